#pragma once

// Opening a document file as the main window does, into an untitled document:
// what is left in the document and what the user is told.

#include "documents/doc.h"
#include "gentools/errorhandle.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>

namespace doctest {

// The box the user sees for each way a file is refused: title, text, level.
inline QStringList refusal(Doc::ReadStatus status, const QString& fileName)
{
    switch (status) {
    case Doc::rsWrongVersion:
        return {QStringLiteral("Предупреждение"),
                QStringLiteral("Несоответствие версии загружаемого документа (%1) и версии программы")
                    .arg(fileName),
                QString::number(geh::mlWarning)};
    case Doc::rsDamaged:
        return {QStringLiteral("Ошибка"), QStringLiteral("Ошибка при открытии документа"),
                QString::number(geh::mlError)};
    case Doc::rsInvalidDocType:
        return {QStringLiteral("Предупреждение"), QStringLiteral("Файл повреждён или имеет неверный формат"),
                QString::number(geh::mlWarning)};
    case Doc::rsOk:
        break;
    }
    return {};
}

// Writes the bytes to the file and opens it; the file must read as the bytes
// read from memory. An opened document holds what was read, is named after the
// file and nothing is shown; a refused one is left empty and untitled, with
// exactly the box of its reason shown. A mismatch fails the running test.
inline Doc::ReadStatus openThroughFile(const QString& fileName, const QByteArray& bytes,
                                       const QString& context)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    file.close();
    Doc inMemory;
    const Doc::ReadStatus status = Doc::fromByteArray(bytes, inMemory);

    orxtest::MessageCapture capture;
    Doc doc;
    doc.init(30);
    doc.createDefaultName();
    const bool opened = Doc::loadFromFile(fileName, doc);
    QStringList shown;
    for (const orxtest::CapturedMessage& message : capture.messages())
        shown << message.title << message.text << QString::number(message.level);

    QString fault;
    if (opened != (status == Doc::rsOk))
        fault = QStringLiteral("the file and the bytes disagree");
    else if (opened &&
             (!shown.isEmpty() || doc.name() + QLatin1String(".orx") != QFileInfo(fileName).fileName() ||
              doc.toByteArray() != inMemory.toByteArray()))
        fault = QStringLiteral("opened, but not as read");
    else if (!opened && (!doc.keys().isEmpty() || !doc.untitled() || !inMemory.keys().isEmpty()))
        fault = QStringLiteral("a refused file left fields");
    else if (!opened && shown != refusal(status, fileName))
        fault = QStringLiteral("shown: ") + shown.join(QLatin1Char('|'));
    if (!fault.isEmpty())
        QTest::qFail(qPrintable(context + QLatin1String(": ") + fault), __FILE__, __LINE__);
    return status;
}

} // namespace doctest
