#pragma once

// Dimension tables of the maker's device series: for every nominal diameter
// the overall length, heights and mass, and for regulators the notes on the
// impulse tubes. One generator writes them either into a rich-text document
// (the closing block of a PDF report) or as an HTML label (document windows).

#include <QString>
#include <QTextCursor>

#include <memory>

class QTextDocument;
class SmartLabel;
class TextTable;

class DeviceSizeTableGenerator
{
public:
    // Without a cursor the generator writes into a document of its own, which
    // lives as long as the generator.
    explicit DeviceSizeTableGenerator(int deviceType, const QTextCursor& cursor = QTextCursor());
    ~DeviceSizeTableGenerator();
    Q_DISABLE_COPY(DeviceSizeTableGenerator)

    // Writes the rows of the device series: DN, L, Н, Н1 (where the series has
    // it) and mass, each a caption followed by one value per DN.
    void fillTable(TextTable& table) const;

    // The impulse tube notes of a regulator with "<br>" (html) or "\n" line
    // breaks; empty for every other device.
    QString notes(bool html) const;

    // Writes the table and the notes at the cursor and returns the document
    // written into.
    QTextDocument* generateDocument(int pointSize);

    // A new label, without parent, showing the table and the notes.
    SmartLabel* generateLabel(int pointSize) const;

private:
    int m_deviceType;
    std::unique_ptr<QTextDocument> m_ownDocument;
    QTextCursor m_cursor;
};
