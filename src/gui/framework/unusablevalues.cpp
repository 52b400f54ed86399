#include "framework/unusablevalues.h"

#include "gentools/errorhandle.h"

void UnusableValues::addShown(const QString& fieldName, const QString& whatDone, const QString& detail)
{
    const QString line =
        QStringLiteral("%1 %2 %3").arg(QChar(0x2022), fieldName, QChar(0x2014)) + QLatin1Char(' ') + whatDone;
    // A field met twice (a value cut and then refused) is named once.
    if (!m_shown.contains(line))
        m_shown << line;
    m_details << detail;
}

void UnusableValues::addUnshown(const QString& detail)
{
    m_details << detail;
}

void UnusableValues::report(const QString& documentName) const
{
    if (isEmpty())
        return;
    const QString text =
        QStringLiteral("Документ «%1» содержит значения, которые программа не может использовать:")
            .arg(documentName);
    geh::ErrorHandler* handler = geh::ErrorHandler::instance();
    handler->writeLog(GEH_LOCATION, geh::mlWarning, text, m_details.join(QLatin1Char('\n')));
    if (m_shown.isEmpty())
        return;
    handler->currentPrinter()->print(QStringLiteral("Предупреждение"),
                                     text + QLatin1Char('\n') + m_shown.join(QLatin1Char('\n')), QString(),
                                     geh::mlWarning);
}

QString UnusableValues::rawValueText(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("%1 (пусто)").arg(QString::fromLatin1(value.typeName()));
    QString text = value.toString();
    // The log keeps the beginning of a text no one could read whole.
    const int shown = 40;
    if (text.size() > shown)
        text = text.left(shown) + QStringLiteral("… (%1 знаков)").arg(text.size());
    return QStringLiteral("%1 «%2»").arg(QString::fromLatin1(value.typeName()), text);
}

QString UnusableValues::fieldDetail(const Doc& stored, const DocKey& key, const QString& done)
{
    return QStringLiteral("поле %1, индекс %2: %3 %4 %5")
        .arg(key.fieldCode)
        .arg(key.index)
        .arg(rawValueText(stored.value(key)), QChar(0x2192), done);
}
