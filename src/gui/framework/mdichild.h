#pragma once

// The document window: the abstract base of every form of the program. It owns
// the window's document, keeps a registry of the input controls by document key,
// moves values between the controls and the document, tracks the modified state
// and the tab title, saves and asks before closing, lays the window out in an
// input column and a results column, and offers the helpers every form shares.
//
// A form derives from MdiChild (a calculating form through HydraulicTaskChild),
// builds its rows with the row builders in createInputArea() (each control
// registered under its document key), rebuilds its results in recalc() with the
// cell builders of results() (a ResultsArea), and lets the framework do the rest:
//
//     KvChild::KvChild(const Doc* data) : HydraulicTaskChild(data, common::docKv)
//     {
//         setupLayout();          // createInputArea() + createResultsArea()
//         fillControls();         // the standard combo contents
//         connectControls(true);  // every change runs onModified() -> recalc()
//         applyToControls();      // a loaded document's values, no modification
//     }
//
// The window sits in a scroll area that is a page of the main window's tab
// widget; the tab title, the document's name with " *" while it is modified,
// follows titleChanged().

#include "documents/doc.h"
#include "framework/resultsarea.h"
#include "project/equipmentschedule.h"
#include "vocabulary/common.h"

#include <QColor>
#include <QList>
#include <QMap>
#include <QPair>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

class Algorithm;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QSmartComboBox;
class QSmartTextEdit;
class RadioArea;
class UnusableValues;

class MdiChild : public QWidget, public common::CommonFields
{
    Q_OBJECT
public:
    // The items of one combo box in display order: (text, value as item data).
    using ComboItems = QVector<QPair<QString, int>>;

    // data: a document read from a file (copied), a position of a project
    // (which has no file of its own and gets a default name), or null for a
    // new document of the given type, which gets a default name as well.
    MdiChild(const Doc* data, common::DocType type);
    ~MdiChild() override;

    // The filter of the document file dialogs: "Оримакс-расчёт (*.orx)".
    static QString fileFilter();

    // ---- What every form tells the framework ------------------------------
    virtual common::DocType docType() const = 0;
    // The device type currently chosen (dtEmpty where the form has none).
    virtual common::DeviceType deviceType() const = 0;
    // Connects (on) or disconnects (off) every registered control's change
    // signal to onModified(). Code that adjusts controls of its own accord
    // holds a SignalsPaused instead of calling this in pairs.
    virtual void connectControls(bool on);
    // Recomputes and rebuilds the results from the controls.
    virtual void recalc() = 0;
    // The first calculation of the window, when it has not run yet: it runs
    // when the window first shows, or earlier when a project asks a position
    // that was never looked at for its device.
    void ensureCalculated();
    // Columns of the input grid, which its section headers span.
    virtual int inputColumnCount() const = 0;
    // Cells of one result row, which the results headers span.
    virtual int resultColumnCount() const = 0;
    // Builds the input column.
    virtual QLayout* createInputArea() = 0;
    // Builds the results column shown before the first calculation: the large
    // header "Результаты".
    virtual QLayout* createResultsArea();
    // The DN to preselect in the pipe area (0: none).
    virtual int stdDn() const;
    // The calculation behind the results; forms without one must not be asked.
    virtual Algorithm* algorithm();
    // What the copy button puts on the clipboard.
    virtual QString copyText() const;

    // ---- Where the device stands in a project ------------------------------
    // The position mark on the drawings ("РК1"; empty while none is given) and
    // how many such devices are ordered (1–999).
    QString positionMark() const;
    int quantity() const;
    // A duplicated position takes the next free mark: a modification.
    void setPositionMark(const QString& mark);
    // The rows of the document in the project's equipment schedule, by
    // Project::RowKind: the device's own row, then (a valve's) the row of the
    // drive chosen with it. Position and quantity are the document's. A
    // document with no device chosen gives one row that names the document
    // and says in its note why no device stands there, never a guessed one;
    // a device's row has an empty note (the user's own goes there).
    virtual QList<ScheduleRow> scheduleRows() const;

    // ---- Document commands (the main window) ------------------------------
    const Doc& doc() const { return m_doc; }
    bool isModified() const { return m_modified; }
    // The picture behind the controls: the one of its size that every window
    // of that size shows; none while the window is out of sight.
    const QPixmap& background() const { return m_background; }
    // Saves to the document's file, or asks for one when it has none.
    bool save();
    // Asks for a file name and saves there.
    bool saveAs();
    // Copies the controls into the document and writes it; a failed write
    // leaves the window modified and the previous file as it was.
    bool saveToFile(const QString& fileName);
    // Asks whether to save a modified document: false when the user cancels
    // (or the save fails), true when the window may close.
    bool maybeSave();
    // The same question asked whatever the modified state (a position holding
    // what the file it came from does not).
    bool askToSave();
    // The document as the controls hold it now, exactly as a save would write
    // it; the window stays as it is (a project writes its positions so).
    Doc currentDoc();
    // The document was written elsewhere (into its project): no longer modified.
    void markUnmodified();

    // While alive, the window's controls do not signal changes: what the form
    // writes into its own controls (a derived flow, a clamped temperature) is no
    // modification by the user. Guards nest: the first one disconnects, the last
    // one to end reconnects, so a helper may hold one inside a caller's.
    class SignalsPaused
    {
    public:
        explicit SignalsPaused(MdiChild* window);
        ~SignalsPaused();
        Q_DISABLE_COPY(SignalsPaused)

    private:
        MdiChild* m_window;
    };

    // ---- Registry lookups ---------------------------------------------------
    // The control of a key if it is a T; null otherwise, and reported: the form
    // expected it.
    template <class T>
    T* ctrl(const DocKey& key) const
    {
        T* control = findCtrl<T>(key);
        if (!control)
            reportMissing(key, T::staticMetaObject.className());
        return control;
    }
    // The control of a key if it is a T; null otherwise, unreported: for the
    // controls only some forms have.
    template <class T>
    T* findCtrl(const DocKey& key) const
    {
        return qobject_cast<T*>(m_controls.value(key));
    }
    // The registered widget of a key, whatever its kind, or null (no report).
    QWidget* control(const DocKey& key) const { return m_controls.value(key); }
    QLabel* label(const DocKey& key) const { return m_labels.value(key); }
    QLabel* subLabel(const DocKey& key) const { return m_subLabels.value(key); }
    QList<DocKey> controlKeys() const { return m_controls.keys(); }
    bool rejectedMode() const { return m_rejectedMode; }
    PipeSelectionArea* pipeArea() const { return m_results.pipeArea(); }

    // The integer data of the combo's current item, or the fallback when no item
    // is current.
    int intComboValue(const DocKey& key, int fallback) const;
    // The integer value of a combo, radio group or check box.
    int intValue(const DocKey& key) const;
    // The value of a number field.
    double doubleValue(const DocKey& key) const;

    // The symbols (or, for a caption without one, the captions) of the input
    // rows shown and open to the user that a calculation needs and that are
    // not filled in, in the order of the form: a number at 0 where 0 means
    // "not given", a combo with no choice. A row is named once.
    QStringList emptyInputs() const;
    // The number fields shown and open to the user whose value lies outside
    // what the task allows, in the order of the form, each as one line that
    // names the field, its value and its range: "<i>Tпод</i> = 160,00 °C:
    // допустимо от 0,00 до 150,00 °C (температура кипения при P2)".
    QStringList outOfRangeInputs() const;

signals:
    // The tab title changed: the document's name, " *" while it is modified.
    // The holder of the window (the main window's tab) shows it.
    void titleChanged(const QString& title);

public slots:
    // Any change of a registered control: recalculate, mark modified, retitle.
    void onModified();
    // Puts copyText() on the clipboard.
    virtual void copyName();
    // "Ctrl+Alt+V": show or hide the rejected candidates.
    void onChangeWithRejectedMode();
    // The pipe DN follows the DN of the device chosen in the results.
    void setStdDn();

protected:
    // The field whose change the user made last; DocKey(-1) before any.
    DocKey userChange() const { return m_userChange; }

    // ---- Layout -------------------------------------------------------------
    // Input column, separator and results column with stretches between them.
    void setupLayout();

    // ---- Registry -----------------------------------------------------------
    void putControl(const DocKey& key, QWidget* widget);
    void putLabel(const DocKey& key, QLabel* label);
    void putSubLabel(const DocKey& key, QLabel* label);
    // Appends "code - text" with the code as item data.
    static void addCodeItem(QComboBox* combo, const QString& text, int code);

    // ---- Document transfer --------------------------------------------------
    // The standard items of the registered common combos (medium, units, system,
    // place, ...), number ranges, and the form's own combo items.
    void fillControls(const QMap<qint16, ComboItems>& formItems = QMap<qint16, ComboItems>());
    // Document -> controls, without any modification being signalled.
    void applyToControls();
    // Controls -> document.
    void loadFromControls(Doc& target);

    // ---- Input-area row builders --------------------------------------------
    // Captions "Name|Symbol" show the symbol in italics: "Name <i>Symbol:</i>".
    QDoubleSpinBox* addDoubleRow(QGridLayout* grid, const DocKey& key, const QString& caption);
    QDoubleSpinBox* addDoubleRowWithUnit(QGridLayout* grid, const DocKey& key, const QString& caption,
                                         const DocKey& unitKey);
    QDoubleSpinBox* addDoubleRowWithSubLabel(QGridLayout* grid, const DocKey& key, const QString& caption,
                                             const QString& subLabelText);
    QSmartComboBox* addComboRow(QGridLayout* grid, const DocKey& key, const QString& caption,
                                const QString& subLabelText = QString());
    QSmartTextEdit* addTextRow(QGridLayout* grid, const DocKey& key, const QString& caption);
    QCheckBox* addCheckRow(QGridLayout* grid, const DocKey& key, const QString& caption);
    // orientation 1: horizontal, otherwise vertical.
    RadioArea* addRadioRow(QGridLayout* grid, const DocKey& key, const QString& caption, int orientation);
    // A bold, centred header in a new row: large (font + 2 pt) or small.
    QLabel* addSectionHeader(QGridLayout* grid, const QString& text, int columnSpan, bool small = false,
                             const QColor& colour = QColor());
    // A word-wrapped label across the input columns in a new row.
    QLabel* addInfoRow(QGridLayout* grid, const QString& text, const QColor& colour = QColor());
    // "• text"
    static QString listItemText(const QString& text);
    // A sunken vertical line between the input and the results columns.
    static QWidget* createVerticalSeparator();

    // "Позиция" and "Кол-во" in one row. They tell where the device stands
    // in the project, not what it is: a change marks the document modified and
    // leaves the results as they are.
    void addPositionRow(QGridLayout* grid);
    // A schedule row of this document: a device of the maker, "шт.", the
    // document's mark and quantity (mass: kg per unit, not a number where the
    // catalogue gives none); or the row without a device, named by the
    // document and saying why in its note.
    ScheduleRow deviceScheduleRow(const QString& name, const QString& type, double mass = qQNaN()) const;
    ScheduleRow unchosenScheduleRow(const QString& why) const;

    // ---- Showing, hiding, enabling ------------------------------------------
    void setInputEnabled(const DocKey& key, bool on);
    void setInputVisible(const DocKey& key, bool on);
    // A figure the form derives, written into its box; a box that already shows
    // it is left as it is (a spin box repaints itself on every value set).
    static void showDerivedValue(QDoubleSpinBox* box, double value);

    // Whether a number field at 0 holds no value at all: the task's pressures,
    // temperatures, heat load and flow by default; a form whose inputs decide
    // it otherwise (a gas at 0 °C, a glycol at 0 %) says so.
    virtual bool zeroIsEmpty(const DocKey& key) const;

    // ---- What the form changes of its own accord ------------------------------
    // From now on, every results tell in one line each value the form changed
    // itself since the last results (a medium that takes no such unit, a
    // saturated steam that fixes the temperature): the field and its new value.
    // What the user changed and fields that were hidden or disabled are not told.
    void watchForcedChanges();
    // The line told instead when the form changes this field before the next
    // results ("Tпод изменена на 152,45 °C: температура насыщения при P1"); an
    // empty line: the change is told by another field's line.
    void explainForcedChange(const DocKey& key, const QString& line);
    // The symbol of a field's caption ("Tпод"), or its name where it has none.
    QString symbolOf(const DocKey& key) const;
    // What the field shows, with its unit: "152.45 °C", "«т/ч»".
    QString shownValueText(const DocKey& key) const;

    // ---- Fields besides the controls ------------------------------------------
    // What a form keeps in its document beyond its input controls (the choice
    // made in the results): written after the controls on every save. Nothing is
    // written while there is nothing to keep, so a document keeps its bytes.
    virtual void storeResultFields(Doc& target) const;
    // At opening, after the controls took the document's values and before the
    // opening warning: the form takes those fields of `stored` and names in
    // `unusable` what it cannot use. It removes from `repaired` the keys it
    // dealt with, so that they are not logged as fields of another form.
    virtual void applyResultFields(const Doc& stored, QMap<DocKey, Doc::FieldRepair>& repaired,
                                   UnusableValues& unusable);

    // ---- Results ------------------------------------------------------------
    // A number field the task does not allow: the red refusal that names every
    // such field and its range, in place of the results; true when refused.
    bool refuseOutOfRange(QGridLayout* grid);
    // The results column: its grids, cells and pipe area (see ResultsArea).
    ResultsArea& results() { return m_results; }
    const ResultsArea& results() const { return m_results; }
    // A flat 64 x 64 copy button in the results that runs copyName(); the
    // caller places it.
    QPushButton* createCopyButton(const QString& toolTip);

    // The first row index of a grid that is free (0 for an empty grid).
    static int nextRow(QGridLayout* grid);
    // The input columns a control without a unit beside it spans, from column 2:
    // the control's own column alone (the default), or that and the units'
    // column in the forms whose number boxes have their units beside them.
    virtual int controlSpan() const;
    // Column 0 of an input grid, the captions: at least `minimum` px, and wide
    // enough for a caption of ordinary length to stand on one line in the
    // system's font (a caption broken before its symbol, "Tпод:" alone on a
    // line, reads badly). Only the longest captions still wrap.
    static void fitCaptionColumn(QGridLayout* grid, int minimum);

    // ---- Qt events ------------------------------------------------------------
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    // Announces the title: the document's name, " *" while modified.
    void updateTitle();

private:
    void reportMissing(const DocKey& key, const char* typeName) const;
    // Whether a stored value is one the control offers: a combo item, a radio
    // button, a number within the box's range. A null value (a field missing
    // or not filled in) fits: it shows as not filled in.
    static bool fitsControl(QWidget* control, FieldKind kind, const QVariant& value);
    static void setControlValue(QWidget* control, FieldKind kind, const QVariant& value);
    // Shows the control as not filled in (a radio group: its first choice) and
    // answers what the user is told was done.
    static QString clearControl(QWidget* control, FieldKind kind);
    // How the user knows a field: the caption of its row ("Перед клапаном
    // (P1)"), or a name of its own for a control without one (a unit combo).
    QString fieldName(const DocKey& key) const;
    QLabel* addCaptionLabel(QGridLayout* grid, int row, const DocKey& key, const QString& caption);
    // The symbol of the caption in column 0 of an input row ("P1" of
    // "Перед клапаном|P1"), or the caption when it has none.
    QString rowSymbol(int row) const;
    // The row of a control in the input grid (and its column), -1 when it has none.
    int inputRow(QWidget* control, int* column = nullptr) const;
    // The input column keeps the width its own rows ask for when the window
    // first shows: the results beside it never move it.
    void fixInputColumn();
    void updateBackground();
    // The position mark and quantity of the document: written only when given
    // (a mark, a quantity other than 1), so that a document keeps its bytes;
    // at opening a mark too long is cut and a quantity that is no whole
    // number 1–999 becomes 1, each named in the opening warning.
    void storePositionFields(Doc& target) const;
    void applyPositionFields(const Doc& stored, QMap<DocKey, Doc::FieldRepair>& repaired,
                             UnusableValues& unusable);
    // The position row changed: the document did, the results did not.
    void positionChanged();

    Doc m_doc;
    QMap<DocKey, QWidget*> m_controls;
    QMap<DocKey, QLabel*> m_labels;
    QMap<DocKey, QLabel*> m_subLabels;
    bool m_modified = false;
    QLineEdit* m_positionEdit = nullptr;
    QSpinBox* m_quantityBox = nullptr;
    ResultsArea m_results;
    bool m_shown = false;
    bool m_calculated = false;
    bool m_rejectedMode = false;
    QGridLayout* m_mainLayout = nullptr;
    QGridLayout* m_inputLayout = nullptr;
    // The captions as the forms gave them ("Перед клапаном|P1").
    QMap<DocKey, QString> m_captions;
    // The picture behind the controls (shared by the windows of one size; none
    // while the window is hidden) and the window size it was made for.
    QPixmap m_background;
    QSize m_backgroundSize;
    qreal m_backgroundRatio = 1;
    // How many SignalsPaused guards are alive.
    int m_signalsPaused = 0;

    // The values shown and open to the user when the results were last built.
    struct ShownValue
    {
        QVariant value;
        bool open = false;
        bool visible = false;
    };
    QMap<DocKey, ShownValue> shownValues() const;
    void noteForcedChanges();
    void forgetShownValues() { m_lastShown.clear(); }
    DocKey keyOfSender(const QObject* sender) const;
    // The unit beside a number field: its sub-label or the unit combo of its row.
    QString unitBeside(const DocKey& key) const;
    bool m_watchChanges = false;
    QMap<DocKey, ShownValue> m_lastShown;
    QMap<DocKey, QString> m_changeLines;
    DocKey m_userChange = DocKey(-1);
};
