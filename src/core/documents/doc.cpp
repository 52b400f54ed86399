#include "documents/doc.h"

#include "gentools/errorhandle.h"
#include "settings/smartsettings.h"
#include "vocabulary/common.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <atomic>
#include <cmath>

namespace {

// Whether a value is one the field's control shows as it stands: what the
// controls themselves store (a double, a text, a combo's integer data or no
// choice, a radio id, a check state), and an integer in a number field, which
// is that number.
bool fitsKind(FieldKind kind, const QVariant& value)
{
    const int type = value.userType();
    switch (kind) {
    case fkDouble:
        return type == QMetaType::Int || (type == QMetaType::Double && std::isfinite(value.toDouble()));
    case fkText:
        return type == QMetaType::QString;
    case fkCombo:
        return type == QMetaType::Int || type == QMetaType::UnknownType;
    case fkRadio:
        return type == QMetaType::Int;
    case fkCheck:
        return type == QMetaType::Bool;
    default:
        return true;
    }
}

// The value of a field of that kind that is not filled in.
QVariant notFilled(FieldKind kind)
{
    switch (kind) {
    case fkDouble:
        return QVariant(QVariant::Double);
    case fkText:
        return QVariant(QVariant::String);
    case fkRadio:
        return QVariant(QVariant::Int);
    case fkCheck:
        return QVariant(QVariant::Bool);
    default:
        // A combo without a current item.
        return QVariant();
    }
}

const char kDirectoryKey[] = "Common/Directory";
const char kWarningTitle[] = "Предупреждение";

// The program-wide counter of default names, shared by all document types.
std::atomic<int> g_defaultNameCounter{1};

void defaultWarningPresenter(const QString& title, const QString& text)
{
    geh::ErrorHandler::instance()->currentPrinter()->print(title, text, QString(), geh::mlWarning);
}

Doc::WarningPresenter g_warningPresenter = defaultWarningPresenter;

// The value types a document holds: what the controls give (double, text, the
// combo's integer data, the radio id, the check state) and the invalid variant
// of a combo with no current item.
bool isStorableValue(const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::QString:
        return true;
    case QMetaType::Double:
        return std::isfinite(value.toDouble());
    default:
        return false;
    }
}

void prepareStream(QDataStream& stream)
{
    stream.setVersion(Doc::streamVersion);
    stream.setByteOrder(QDataStream::BigEndian);
    stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
}

bool streamOk(const QDataStream& stream)
{
    return stream.status() == QDataStream::Ok;
}

} // namespace

QVariant Doc::value(const DocKey& key) const
{
    const auto it = m_values.constFind(key);
    if (it != m_values.constEnd())
        return it.value();
    geh::ErrorHandler::instance()->writeLog(
        GEH_LOCATION, geh::mlWarning,
        QStringLiteral("Нет поля %1 с индексом %2").arg(key.fieldCode).arg(key.index), QString());
    return QVariant();
}

void Doc::setValue(const DocKey& key, const QVariant& value)
{
    m_values.insert(key, value);
}

QList<DocKey> Doc::keys() const
{
    return m_values.keys();
}

int Doc::docType() const
{
    return m_values.value(DocKey(fcDocType, 0)).toInt();
}

bool Doc::isEmpty() const
{
    return m_values.isEmpty() || (m_values.size() == 1 && docType() != 0);
}

void Doc::init(int docType)
{
    *this = Doc();
    m_values.insert(DocKey(fcDocType, 0), QVariant(docType));
}

QList<Doc::RepairedField> Doc::repairFields()
{
    QList<RepairedField> repaired;
    for (auto it = m_values.begin(); it != m_values.end(); ++it) {
        if (it.key() == DocKey(fcDocType, 0))
            continue;
        const FieldKind kind = common::fieldKind(it.key().fieldCode);
        if (!fitsKind(kind, it.value())) {
            it.value() = notFilled(kind);
            repaired.append({it.key(), frCleared});
        } else if (kind == fkText && it.value().toString().size() > maxTextLength) {
            it.value() = cutText(it.value().toString(), maxTextLength);
            repaired.append({it.key(), frCut});
        }
    }
    return repaired;
}

QString Doc::name() const
{
    if (!m_canonicalFileName.isEmpty()) {
        GEH_ASSERT(m_defaultName.isEmpty());
        QString fileName = QFileInfo(m_canonicalFileName).fileName();
        // Only the program's own lower-case extension is hidden: a file the user
        // named "Проект.ORX" keeps its full name.
        if (fileName.endsWith(QLatin1String(".orx"), Qt::CaseSensitive))
            fileName.chop(4);
        return fileName;
    }
    GEH_ASSERT(!m_defaultName.isEmpty());
    return m_defaultName;
}

void Doc::createDefaultName()
{
    // A document with a file, or of no type, keeps its identity: a default name
    // beside a file name would leave two names for one window.
    if (!GEH_ASSERT(untitled()) || !GEH_ASSERT(docType()))
        return;
    const int number = g_defaultNameCounter.fetch_add(1);
    m_defaultName = QStringLiteral("%1 %2")
                        .arg(common::simpleDocTypeName(static_cast<common::DocType>(docType())))
                        .arg(number);
}

void Doc::setCanonicalFileName(const QString& fileName)
{
    m_defaultName.clear();
    m_canonicalFileName = QFileInfo(fileName).canonicalFilePath();
    GEH_ASSERT(hasFileName());
}

bool Doc::writeTo(QIODevice* device) const
{
    QDataStream stream(device);
    prepareStream(stream);
    stream << formatVersion;
    for (auto it = m_values.constBegin(); it != m_values.constEnd() && streamOk(stream); ++it) {
        // A value the reader would refuse must never reach a file: the user
        // could not open the document again.
        const QVariant& value = it.value();
        if (!GEH_ASSERT(isStorableValue(value)))
            return false;
        stream << it.key().fieldCode << it.key().index << value;
    }
    return streamOk(stream);
}

QByteArray Doc::toByteArray() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeTo(&buffer);
    return bytes;
}

bool Doc::save(const QString& fileName)
{
    geh::traceMark(GEH_LOCATION, "getSaveFileName - F1");
    // The document goes to a temporary file beside the old one, which is
    // replaced only after everything has been written: a save that fails half
    // way (disk full, device error) leaves the last good document in place.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        GEH_SET_ERROR(QStringLiteral("Не удалось открыть файл"), file.errorString());
        geh::ErrorHandler::instance()->showLastError();
        return false;
    }
    geh::traceMark(GEH_LOCATION, "getSaveFileName - F2");
    // The explicit flush matters: a buffered write that the disk refuses half way
    // is not seen by commit(), which would then put a truncated file in place of
    // the old one.
    bool written = writeTo(&file) && file.flush() && file.error() == QFileDevice::NoError;
    geh::traceMark(GEH_LOCATION, "getSaveFileName - F3");
    QString details = file.errorString();
    if (written) {
        written = file.commit();
        details = file.errorString();
    } else {
        file.cancelWriting();
    }
    if (!written) {
        GEH_SET_ERROR(QStringLiteral("Ошибка при сохранении документа"), details);
        geh::ErrorHandler::instance()->showLastError();
        return false;
    }
    geh::traceMark(GEH_LOCATION, "getSaveFileName - F4");
    setCanonicalFileName(fileName);
    geh::traceMark(GEH_LOCATION, "getSaveFileName - F5");
    return true;
}

FieldKind Doc::type(qint16 fieldCode)
{
    const FieldKind kind = common::fieldKind(fieldCode);
    if (kind != fkNone)
        return kind;
    GEH_SET_ERROR(QStringLiteral("Doc::type() failed for ") + QString::number(fieldCode), QString());
    geh::ErrorHandler::instance()->showLastError();
    return fkNone;
}

bool Doc::isCombo(qint16 fieldCode)
{
    return type(fieldCode) == fkCombo;
}

QString Doc::cutText(const QString& text, int length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

bool Doc::isValidDocType(int docType)
{
    // A project file is a document of this format too, though no window
    // shows it and no one creates one from the list of document types.
    return common::docTypeInfo(docType) != nullptr || docType == common::docProject;
}

QString Doc::rememberedDirectory()
{
    const QString path = SmartSettings(SmartSettings::Global).value(QLatin1String(kDirectoryKey)).toString();
    return path.isEmpty() ? QDir::homePath() : path;
}

QString Doc::directory()
{
    QString path = rememberedDirectory();
    if (!path.endsWith(QLatin1Char('\\')) && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    if (QFileInfo(path).isDir())
        return path;
    return QStringLiteral("/");
}

void Doc::setDirectory(const QString& path)
{
    // For a file its folder; for a folder its parent (the path without its last
    // component) - both are the absolute path of the entry's location.
    SmartSettings(SmartSettings::Global)
        .setValue(QLatin1String(kDirectoryKey), QFileInfo(path).absolutePath());
}

void Doc::setWarningPresenter(WarningPresenter presenter)
{
    g_warningPresenter = presenter ? presenter : defaultWarningPresenter;
}

void Doc::showWarning(const QString& text)
{
    g_warningPresenter(QString::fromUtf8(kWarningTitle), text);
}
