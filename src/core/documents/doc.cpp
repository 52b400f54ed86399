#include "documents/doc.h"

#include "gentools/errorhandle.h"
#include "settings/smartsettings.h"
#include "vocabulary/common.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <iterator>
#include <utility>

namespace {

// Which control each field code belongs to. Codes not listed have no control.
struct KindRange
{
    qint16 first;
    qint16 last;
    FieldKind kind;
};

const KindRange kKindTable[] = {
    {100, 101, fkCombo},    {102, 103, fkDouble},     {104, 104, fkRadio},     {105, 108, fkDouble},
    {110, 110, fkCombo},    {120, 121, fkCombo},      {122, 122, fkText},      {130, 131, fkCombo},
    {141, 141, fkDouble},   {201, 203, fkCombo},      {304, 307, fkCombo},     {400, 400, fkCombo},
    {401, 401, fkRadio},    {402, 404, fkCombo},      {405, 405, fkRadio},     {406, 406, fkCheck},
    {407, 409, fkCombo},    {410, 411, fkCheck},      {412, 414, fkCombo},     {415, 415, fkDouble},
    {416, 417, fkCombo},    {418, 419, fkCheck},      {420, 421, fkCombo},     {1011, 1011, fkRadio},
    {1020, 1021, fkDouble}, {1031, 1032, fkDouble},   {1035, 1037, fkDouble},  {1061, 1061, fkCombo},
    {1081, 1081, fkCombo},  {10371, 10371, fkDouble}, {32766, 32767, fkCombo},
};

// The kind of a code, or fkNone, without telling anyone.
FieldKind kindOf(qint16 fieldCode)
{
    for (const KindRange& range : kKindTable) {
        if (fieldCode >= range.first && fieldCode <= range.last)
            return range.kind;
    }
    return fkNone;
}

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

// A text cut to maxTextLength, never between the two halves of a character
// outside the basic plane.
QString cutText(const QString& text)
{
    int length = Doc::maxTextLength;
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

const int kValidDocTypes[] = {common::docValve,      common::docRegulator, common::docStdCabinet,
                              common::docFanCabinet, common::docFlowMeter, common::docKv};

const char kDirectoryKey[] = "Common/Directory";
const char kWarningTitle[] = "Предупреждение";

// Strings are read in steps of this many bytes, so that a declared length never
// allocates more than the data actually present.
const quint32 kStringStep = 1024 * 1024;
const quint32 kNullString = 0xFFFFFFFFu;

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

// Why a stream is not a document: each kind of damage the reader refuses, told
// to the user as the reason (the field code fills %1, the type id %2).
enum Damage {
    dmNone,
    dmTruncatedKey,
    dmTruncated,
    dmUnknownType,
    dmNullFlag,
    dmNullWithData,
    dmBadBoolean,
    dmNotFinite,
    dmOddLength
};

const char* const kDamageTexts[] = {
    "",
    "файл обрывается в начале поля",
    "файл обрывается внутри поля %1",
    "неизвестный тип значения %2 в поле %1",
    "неверный признак пустого значения в поле %1",
    "пустое значение с данными в поле %1",
    "неверное логическое значение в поле %1",
    "не число или бесконечность в поле %1",
    "нечётная длина строки в поле %1",
};

// Reads the big-endian numbers and raw bytes of a document through a buffer of
// its own: one device call per block rather than per number, so that a file of
// tens of thousands of fields is walked in a few milliseconds.
class FieldReader
{
public:
    explicit FieldReader(QIODevice* device) : m_device(device) {}

    // True only at a clean end of the data; a device error is not an end, so the
    // next read fails and the file counts as damaged.
    bool atEnd() { return m_pos == m_buffer.size() && !refill() && !m_failed; }

    // Exactly `length` bytes into target, or past them when target is null.
    bool read(char* target, qint64 length)
    {
        while (length > 0) {
            if (m_pos == m_buffer.size() && !refill())
                return false;
            const qint64 n = std::min<qint64>(length, m_buffer.size() - m_pos);
            if (target) {
                std::memcpy(target, m_buffer.constData() + m_pos, static_cast<size_t>(n));
                target += n;
            }
            m_pos += static_cast<int>(n);
            length -= n;
        }
        return true;
    }

    template <typename T>
    bool read(T& value)
    {
        char bytes[sizeof(T)];
        if (!read(bytes, sizeof(T)))
            return false;
        value = qFromBigEndian<T>(bytes);
        return true;
    }

    // True once the device itself has refused to read: the data was not damaged,
    // it could not be had.
    bool failed() const { return m_failed; }

    // The bytes still to come, or -1 when the device cannot tell (a pipe).
    qint64 remaining() const
    {
        if (m_device->isSequential())
            return -1;
        return (m_buffer.size() - m_pos) + m_device->bytesAvailable();
    }

private:
    bool refill()
    {
        if (m_failed)
            return false;
        m_buffer.resize(kBlock);
        const qint64 n = m_device->read(m_buffer.data(), kBlock);
        m_failed = n < 0;
        m_buffer.resize(static_cast<int>(std::max<qint64>(n, 0)));
        m_pos = 0;
        return n > 0;
    }

    static const int kBlock = 64 * 1024;
    QIODevice* m_device;
    QByteArray m_buffer;
    int m_pos = 0;
    bool m_failed = false;
};

// A string as the stream stores it: byte length (0xFFFFFFFF for the null
// string), then UTF-16 big-endian code units. Without a target the text is
// checked and passed over, allocating nothing. A declared length beyond the end
// of the data is a file that ends inside the string.
Damage readString(FieldReader& reader, QString* text, bool& isNullString)
{
    quint32 bytes = 0;
    if (!reader.read(bytes))
        return dmTruncated;
    isNullString = bytes == kNullString;
    if (isNullString) {
        if (text)
            *text = QString();
        return dmNone;
    }
    if (bytes % 2 != 0)
        return dmOddLength;
    const qint64 remaining = reader.remaining();
    if (remaining >= 0 && bytes > remaining)
        return dmTruncated;
    if (!text)
        return reader.read(nullptr, bytes) ? dmNone : dmTruncated;
    *text = QString(QLatin1String(""));
    quint32 done = 0;
    while (done < bytes) {
        const quint32 step = std::min(kStringStep, bytes - done);
        text->resize(static_cast<int>((done + step) / 2));
        if (!reader.read(reinterpret_cast<char*>(text->data()) + done, step))
            return dmTruncated;
        done += step;
    }
    ushort* units = reinterpret_cast<ushort*>(text->data());
    qFromBigEndian<ushort>(units, text->size(), units);
    return dmNone;
}

// One value, accepting exactly the bytes the writer produces for the storable
// types; any other type id, null flag or null payload marks a damaged file, and
// no value of a foreign type is ever built. Without a target the value is only
// checked. The type id is left in typeId for the reason of a refusal.
Damage readValue(FieldReader& reader, QVariant* value, quint32& typeId)
{
    qint8 isNull = 0;
    if (!reader.read(typeId) || !reader.read(isNull))
        return dmTruncated;
    if (isNull != 0 && isNull != 1)
        return dmNullFlag;
    QVariant result;
    switch (typeId) {
    case QMetaType::UnknownType:
        // A combo without a current item: always null, with no payload.
        if (isNull != 1)
            return dmNullFlag;
        break;
    case QMetaType::Bool: {
        qint8 flag = 0;
        if (!reader.read(flag))
            return dmTruncated;
        if (flag != 0 && flag != 1)
            return dmBadBoolean;
        if (isNull && flag != 0)
            return dmNullWithData;
        result = isNull ? QVariant(QVariant::Bool) : QVariant(flag == 1);
        break;
    }
    case QMetaType::Int: {
        qint32 number = 0;
        if (!reader.read(number))
            return dmTruncated;
        if (isNull && number != 0)
            return dmNullWithData;
        result = isNull ? QVariant(QVariant::Int) : QVariant(number);
        break;
    }
    case QMetaType::Double: {
        quint64 bits = 0;
        if (!reader.read(bits))
            return dmTruncated;
        if (isNull && bits != 0)
            return dmNullWithData;
        double number = 0.0;
        std::memcpy(&number, &bits, sizeof number);
        if (!std::isfinite(number))
            return dmNotFinite;
        result = isNull ? QVariant(QVariant::Double) : QVariant(number);
        break;
    }
    case QMetaType::QString: {
        QString text;
        bool isNullString = false;
        if (const Damage damage = readString(reader, value ? &text : nullptr, isNullString))
            return damage;
        if (isNull && !isNullString)
            return dmNullWithData;
        result = isNull ? QVariant(QVariant::String) : QVariant(text);
        break;
    }
    default:
        return dmUnknownType;
    }
    if (value)
        *value = std::move(result);
    return dmNone;
}

// The reason of a refusal as the user reads it. A device that failed gives its
// own error text: the data may be sound, the medium was not.
QString damageReason(const FieldReader& reader, QIODevice* device, Damage damage, qint16 fieldCode,
                     quint32 typeId)
{
    if (reader.failed())
        return device->errorString();
    const QString text = QString::fromUtf8(kDamageTexts[damage]);
    if (damage == dmTruncatedKey)
        return text;
    return damage == dmUnknownType ? text.arg(fieldCode).arg(typeId) : text.arg(fieldCode);
}

// Walks the fields after the version. With a map it collects them; without one
// it only checks them. Either way the document type is the last one given.
Doc::ReadStatus readFields(FieldReader& reader, QIODevice* device, QMap<DocKey, QVariant>* values,
                           QString* reason)
{
    const DocKey typeKey(Doc::fcDocType, 0);
    int docType = 0;
    while (!reader.atEnd()) {
        DocKey key;
        quint32 typeId = 0;
        QVariant value;
        Damage damage = dmTruncatedKey;
        if (reader.read(key.fieldCode))
            damage = !reader.read(key.index)
                         ? dmTruncated
                         : readValue(reader, values || key == typeKey ? &value : nullptr, typeId);
        if (damage != dmNone) {
            if (reason)
                *reason = damageReason(reader, device, damage, key.fieldCode, typeId);
            return Doc::rsDamaged;
        }
        if (key == typeKey)
            docType = value.toInt();
        if (values)
            values->insert(key, std::move(value));
    }
    return Doc::isValidDocType(docType) ? Doc::rsOk : Doc::rsInvalidDocType;
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
        const FieldKind kind = kindOf(it.key().fieldCode);
        if (!fitsKind(kind, it.value())) {
            it.value() = notFilled(kind);
            repaired.append({it.key(), frCleared});
        } else if (kind == fkText && it.value().toString().size() > maxTextLength) {
            it.value() = cutText(it.value().toString());
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

Doc::ReadStatus Doc::readFrom(QIODevice* device, Doc& doc, QString* reason)
{
    doc = Doc();
    const qint64 start = device->pos();
    FieldReader reader(device);
    qint32 version = 0;
    if (!reader.read(version)) {
        if (reason)
            *reason = reader.failed() ? device->errorString() : QStringLiteral("файл короче номера версии");
        return rsDamaged;
    }
    if (version != formatVersion)
        return rsWrongVersion;

    // A file is checked whole before anything is built from it, so that a
    // refused file costs one quick pass and no memory. A pipe cannot be read
    // twice: there the fields are collected aside and dropped on refusal.
    if (!device->isSequential()) {
        const ReadStatus status = readFields(reader, device, nullptr, reason);
        if (status != rsOk)
            return status;
        reader = FieldReader(device);
        if (!device->seek(start) || !reader.read(version) || version != formatVersion) {
            if (reason)
                *reason = device->errorString();
            return rsDamaged;
        }
    }
    QMap<DocKey, QVariant> values;
    const ReadStatus status = readFields(reader, device, &values, reason);
    if (status == rsOk)
        doc.m_values.swap(values);
    return status;
}

QByteArray Doc::toByteArray() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeTo(&buffer);
    return bytes;
}

Doc::ReadStatus Doc::fromByteArray(const QByteArray& bytes, Doc& doc, QString* reason)
{
    QByteArray copy(bytes);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readFrom(&buffer, doc, reason);
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

bool Doc::loadFromFile(const QString& fileName, Doc& doc)
{
    doc = Doc();
    QFile file(fileName);
    // Only regular files: opening a pipe or a device could block or never end.
    const QFileInfo info(fileName);
    const bool regular = !info.exists() || info.isFile();
    if (!regular || !file.open(QIODevice::ReadOnly)) {
        GEH_SET_ERROR(QStringLiteral("Не удалось открыть файл \"%1\"").arg(fileName),
                      regular ? file.errorString() : QStringLiteral("Not a regular file"));
        geh::ErrorHandler::instance()->showLastError();
        return false;
    }
    QString reason;
    switch (readFrom(&file, doc, &reason)) {
    case rsOk:
        break;
    case rsWrongVersion:
        showWarning(QStringLiteral("Несоответствие версии загружаемого документа (%1) и версии программы")
                        .arg(fileName));
        return false;
    case rsDamaged:
        GEH_SET_ERROR(QStringLiteral("Ошибка при открытии документа"), reason);
        geh::ErrorHandler::instance()->showLastError();
        return false;
    case rsInvalidDocType:
        showWarning(QStringLiteral("Файл повреждён или имеет неверный формат"));
        return false;
    }
    doc.setCanonicalFileName(fileName);
    return true;
}

FieldKind Doc::type(qint16 fieldCode)
{
    const FieldKind kind = kindOf(fieldCode);
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

bool Doc::isValidDocType(int docType)
{
    return std::find(std::begin(kValidDocTypes), std::end(kValidDocTypes), docType) !=
           std::end(kValidDocTypes);
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
