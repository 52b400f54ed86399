#pragma once

// "Новый подбор": the user picks the kind of a new document by clicking one of
// six picture buttons; the dialog closes as accepted and tells which kind.

#include "guitools/smallclasses.h"
#include "vocabulary/common.h"

#include <QHash>
#include <QIcon>

class QAbstractButton;
class QGridLayout;

class SelectDocTypeDlg : public QBaseDialog
{
    Q_OBJECT
public:
    SelectDocTypeDlg();

    // The kind chosen; 0 until a button has been clicked.
    common::DocType docType() const { return m_docType; }
    // The button of a document type (null for a type the dialog does not offer).
    QAbstractButton* button(common::DocType type) const;
    // The side of the pictures for a dialog `wanted` pixels wide at its
    // pictures' own size, on a screen with `room` pixels for it, in `columns`
    // columns: smaller so that the dialog fits, unless they would have to be
    // too small to show their devices.
    static int iconSideFor(int wanted, int room, int columns);

public slots:
    // A picture button was clicked: remember its type and accept.
    void onPress();

private:
    void addButton(QGridLayout* grid, int row, int column, common::DocType type, const QString& picture);

    common::DocType m_docType = static_cast<common::DocType>(0);
    QHash<QAbstractButton*, common::DocType> m_docTypesByCmd;
    // The pictures read so far: the two cabinets share one, read once.
    QHash<QString, QIcon> m_icons;
};
