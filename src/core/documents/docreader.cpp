#include "documents/doc.h"

#include "gentools/errorhandle.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

// Reading a document: the stream is walked field by field, accepting exactly
// the bytes the writer produces, so that a damaged or foreign file is refused
// with the reason the reader found and never builds a value of a foreign type.

namespace {

// Strings are read in steps of this many bytes, so that a declared length never
// allocates more than the data actually present.
const quint32 kStringStep = 1024 * 1024;
const quint32 kNullString = 0xFFFFFFFFu;

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

Doc::ReadStatus Doc::fromByteArray(const QByteArray& bytes, Doc& doc, QString* reason)
{
    QByteArray copy(bytes);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readFrom(&buffer, doc, reason);
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
