#pragma once

// The persistent content of one document: a flat, typed map from field keys to
// values, plus the document's file identity (the file it came from, or the
// default name of a document never saved). The document windows copy their
// controls into a Doc before saving and copy a loaded Doc back into them.
//
// The .orx file is a big-endian data stream of stream version 16: the format
// version (qint32, 3), then for every field in key order the field code and the
// index (qint16 each) and the value as a variant (quint32 type id, qint8 null
// flag, the value). There is no field count: the fields run to the end of file.

#include "vocabulary/fieldcodes.h"

#include <QMap>
#include <QString>
#include <QVariant>
#include <QtGlobal>

class QIODevice;

// The key of one field: which input (fieldCode) and which occurrence of it
// (index, 0 for an input that occurs once in its window).
struct DocKey
{
    qint16 fieldCode = 0;
    qint16 index = 0;

    DocKey() = default;
    DocKey(qint16 fieldCode, qint16 index = 0) : fieldCode(fieldCode), index(index) {}

    bool operator<(const DocKey& other) const
    {
        return fieldCode != other.fieldCode ? fieldCode < other.fieldCode : index < other.index;
    }
    bool operator==(const DocKey& other) const
    {
        return fieldCode == other.fieldCode && index == other.index;
    }
    bool operator!=(const DocKey& other) const { return !(*this == other); }
};

class Doc
{
public:
    // Field codes common to every document type.
    static constexpr qint16 fcDocType = common::CommonFields::fcDocType;
    static constexpr qint16 fcDeviceType = common::CommonFields::fcDeviceType;
    // The version at the head of every document file.
    static constexpr qint32 formatVersion = 3;
    // The stream version the format was made with; fixed so that files are the
    // same whatever Qt 5 builds the program.
    static constexpr int streamVersion = 16;

    // The outcome of reading a document from a device.
    enum ReadStatus {
        rsOk = 0,
        rsWrongVersion,  // the file starts with another format version
        rsDamaged,       // the stream ends inside a field or holds a value the program never writes
        rsInvalidDocType // the fields are readable, but the document type is missing or unknown
    };

    // The longest text a text field keeps, in characters (UTF-16 code units).
    // No one types an object name this long; a longer one comes from elsewhere
    // and would only make the text box and the report crawl.
    static constexpr int maxTextLength = 1000;
    // At most `length` characters, never ending between the two halves of a
    // character outside the basic plane.
    static QString cutText(const QString& text, int length);

    // What repairFields() did to a field.
    enum FieldRepair {
        frCut = 1, // a text longer than maxTextLength, cut to it
        frCleared  // a value its field cannot show, now not filled in
    };
    struct RepairedField
    {
        DocKey key;
        FieldRepair what;
    };

    // Shows a warning to the user (title "Предупреждение", one OK button).
    using WarningPresenter = void (*)(const QString& title, const QString& text);

    Doc() = default;

    // The stored value; a missing field is logged and answered with a null variant.
    QVariant value(const DocKey& key) const;
    void setValue(const DocKey& key, const QVariant& value);
    QList<DocKey> keys() const;

    // The integer under (32766, 0), or 0 when absent.
    int docType() const;
    // No field at all, or only the document type.
    bool isEmpty() const;
    // Empties the document (fields and both names) and stores its type.
    void init(int docType);

    // Makes every field usable by its kind, as a document written elsewhere may
    // hold any value the format can carry: a text longer than maxTextLength is
    // cut to it; a value of a kind its control cannot show (a text in a number
    // field, a number in a check box, a double that is not finite) becomes the
    // null value of its kind, so that the field reads as not filled in: a
    // combo with no choice, an empty text, a number box at 0 (its minimum when
    // 0 lies below it), an unticked box, a radio group with nothing checked.
    // An integer in a number field is that number and stays. Fields of codes
    // without a kind, and the document type the reader has judged, stay as
    // they are. Answers what was done, in key order, so that the user can be
    // told once which fields were changed.
    QList<RepairedField> repairFields();

    // The display name (tab and window title): the file name without ".orx", or
    // the default name of a document never saved.
    QString name() const;
    // Gives an unsaved document its default name ("Клапан 3") from the counter
    // shared by all document types.
    void createDefaultName();
    // Records the file identity after a successful save or load.
    void setCanonicalFileName(const QString& fileName);
    QString canonicalFileName() const { return m_canonicalFileName; }
    bool hasFileName() const { return !m_canonicalFileName.isEmpty(); }
    bool untitled() const { return !hasFileName(); }

    // Writes the document to the file, replacing the old file only when the whole
    // document has been written; errors are shown to the user.
    bool save(const QString& fileName);
    // Reads a document file into doc; on any failure the user is told why, doc
    // is left empty and false is returned.
    static bool loadFromFile(const QString& fileName, Doc& doc);

    // The file format without files and messages (saving, tests, fuzzing).
    // writeTo stops at the first failed write; readFrom leaves doc empty
    // unless the whole stream is a valid document. A damaged stream leaves in
    // reason, when given, what the reader found, in words for the user ("файл
    // обрывается внутри поля 102"), or the device's own error text when the
    // device failed to read.
    bool writeTo(QIODevice* device) const;
    static ReadStatus readFrom(QIODevice* device, Doc& doc, QString* reason = nullptr);
    QByteArray toByteArray() const;
    static ReadStatus fromByteArray(const QByteArray& bytes, Doc& doc, QString* reason = nullptr);

    // The kind of a field code; a code outside the table is shown as an error
    // and has no kind.
    static FieldKind type(qint16 fieldCode);
    static bool isCombo(qint16 fieldCode);
    // True for the document types a file may hold.
    static bool isValidDocType(int docType);

    // The folder of the last chosen document ("Common/Directory"), or the home
    // folder when none is remembered. The user may have deleted it since: the
    // callers check before they use it, and never make it again.
    static QString rememberedDirectory();
    // The folder where the open and save dialogs start, with a trailing "/";
    // the root folder when the remembered one is gone.
    static QString directory();
    // Remembers the folder of a chosen file.
    static void setDirectory(const QString& path);

    // Replaces the way file warnings reach the user; null restores the default,
    // which prints through the error handler's current printer as a warning.
    static void setWarningPresenter(WarningPresenter presenter);

private:
    static void showWarning(const QString& text);

    QMap<DocKey, QVariant> m_values;
    QString m_canonicalFileName;
    QString m_defaultName;
};
