#include "project/project.h"

#include "gentools/errorhandle.h"
#include "project/schedulefile.h"
#include "vocabulary/common.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

using Fields = Project::Fields;

const struct
{
    qint16 code;
    QString ProjectDetails::*text;
} kDetailTexts[] = {
    {Fields::pfObjectName, &ProjectDetails::objectName},
    {Fields::pfProjectCode, &ProjectDetails::projectCode},
    {Fields::pfOrganisation, &ProjectDetails::organisation},
    {Fields::pfDeveloper, &ProjectDetails::developer},
    {Fields::pfChecker, &ProjectDetails::checker},
    {Fields::pfNormControl, &ProjectDetails::normControl},
    {Fields::pfChiefEngineer, &ProjectDetails::chiefEngineer},
};

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

// The field codes of a row kind's two cells.
qint16 codeCell(int rowKind)
{
    return static_cast<qint16>(Fields::pfDeviceCode + 2 * rowKind);
}
qint16 noteCell(int rowKind)
{
    return static_cast<qint16>(Fields::pfDeviceNote + 2 * rowKind);
}

const DocKey kMarkKey(common::PositionFields::fcPosition);
const DocKey kQuantityKey(common::PositionFields::fcQuantity);

// A text field as the text it holds; a value of another kind holds none.
QString textOf(const QVariant& value)
{
    return value.userType() == QMetaType::QString ? value.toString() : QString();
}

// Whether the document has the field: Doc::value() logs a missing one, and a
// document made before positions had marks has none.
bool hasField(const Doc& doc, const DocKey& key)
{
    const QList<DocKey> keys = doc.keys();
    return std::binary_search(keys.cbegin(), keys.cend(), key);
}

bool isMarkDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads the member stored in a field into member; answers why it is not one,
// or nothing.
QString readMember(const QVariant& stored, Doc& member)
{
    member = Doc();
    if (stored.userType() != QMetaType::QString)
        return QStringLiteral("вместо документа значение другого типа");
    // A character beyond Latin-1 becomes "?", which base64 refuses as well.
    const QByteArray::FromBase64Result bytes =
        QByteArray::fromBase64Encoding(stored.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!bytes)
        return QStringLiteral("запись документа испорчена");
    QString reason;
    switch (Doc::fromByteArray(*bytes, member, &reason)) {
    case Doc::rsOk:
        break;
    case Doc::rsWrongVersion:
        return QStringLiteral("документ другой версии формата");
    case Doc::rsDamaged:
        return reason;
    case Doc::rsInvalidDocType:
        return QStringLiteral("неизвестный тип документа");
    }
    // A project has no window to open it in, and one inside another would
    // make the positions a tree.
    if (member.docType() == common::docProject) {
        member = Doc();
        return QStringLiteral("проект внутри проекта");
    }
    return QString();
}

// The project document: the details, and the whole file of every member in
// base64. False, with the place of the first member that would not open
// again, when one cannot be written.
bool writeProject(const Project& project, Doc& doc, int* failedPlace)
{
    doc.init(common::docProject);
    for (const auto& detail : kDetailTexts)
        if (!(project.details.*detail.text).isEmpty())
            doc.setValue(DocKey(detail.code), project.details.*detail.text);
    if (project.details.date.isValid())
        doc.setValue(DocKey(Fields::pfDate), project.details.date.toString(kDateFormat));

    if (!GEH_ASSERT(project.positions.size() <= Project::maxPositions))
        return false;
    for (int place = 0; place < project.positions.size(); ++place) {
        const Project::Position& position = project.positions.at(place);
        const auto index = static_cast<qint16>(place);
        // A member is written only when it opens again as a position: whole
        // (the writer stops at a value the format cannot carry) and of a type
        // with a window.
        QByteArray bytes;
        QBuffer buffer(&bytes);
        Doc check;
        if (!buffer.open(QIODevice::WriteOnly) || !position.doc.writeTo(&buffer) ||
            Doc::fromByteArray(bytes, check) != Doc::rsOk || check.docType() == common::docProject) {
            if (failedPlace)
                *failedPlace = place;
            return false;
        }
        doc.setValue(DocKey(Fields::pfMember, index), QString::fromLatin1(bytes.toBase64()));
        for (int kind = 0; kind < Project::rowKindCount; ++kind) {
            const Project::Cells& cells = position.cells.at(static_cast<size_t>(kind));
            if (!cells.code.isEmpty())
                doc.setValue(DocKey(codeCell(kind), index), cells.code);
            if (!cells.note.isEmpty())
                doc.setValue(DocKey(noteCell(kind), index), cells.note);
        }
    }
    return true;
}

} // namespace

Doc Project::toDoc() const
{
    Doc doc;
    writeProject(*this, doc, nullptr);
    return doc;
}

Project Project::fromDoc(const Doc& doc, QStringList* damagedMembers)
{
    Project project;
    QStringList damaged;
    const QList<DocKey> keys = doc.keys();
    for (const auto& detail : kDetailTexts)
        if (std::binary_search(keys.cbegin(), keys.cend(), DocKey(detail.code)))
            project.details.*detail.text =
                Doc::cutText(textOf(doc.value(DocKey(detail.code))), Doc::maxTextLength);
    if (std::binary_search(keys.cbegin(), keys.cend(), DocKey(Fields::pfDate)))
        project.details.date = QDate::fromString(textOf(doc.value(DocKey(Fields::pfDate))), kDateFormat);

    // The members in the order of their indexes; a damaged one is named by
    // its place among the members of the file.
    QMap<qint16, int> positionAt; // the member's index → its place in the project
    int memberNumber = 0;
    for (const DocKey& key : keys) {
        if (key.fieldCode != Fields::pfMember)
            continue;
        ++memberNumber;
        Position position;
        const QString reason = readMember(doc.value(key), position.doc);
        if (!reason.isEmpty()) {
            damaged << QStringLiteral("позиция %1: %2").arg(memberNumber).arg(reason);
            continue;
        }
        positionAt.insert(key.index, project.positions.size());
        project.positions.append(position);
    }

    // The cells of the members that opened.
    for (const DocKey& key : keys) {
        const int offset = key.fieldCode - Fields::pfDeviceCode;
        const auto at = positionAt.constFind(key.index);
        if (offset < 0 || offset >= 2 * rowKindCount || at == positionAt.constEnd())
            continue;
        Cells& cells = project.positions[at.value()].cells.at(static_cast<size_t>(offset / 2));
        (offset % 2 == 0 ? cells.code : cells.note) =
            Doc::cutText(textOf(doc.value(key)), Doc::maxTextLength);
    }
    if (damagedMembers)
        *damagedMembers = damaged;
    return project;
}

bool Project::save(const QString& path, QString* error) const
{
    if (positions.size() > maxPositions) {
        if (error)
            *error = saveFailureText(path, QStringLiteral("в проекте больше %1 позиций").arg(maxPositions));
        return false;
    }
    Doc doc;
    int failedPlace = 0;
    // A member that would not open again must not reach the file in pieces.
    if (!writeProject(*this, doc, &failedPlace)) {
        if (error)
            *error = saveFailureText(
                path, QStringLiteral("документ позиции %1 не может быть записан").arg(failedPlace + 1));
        return false;
    }
    return saveWholeFile(
        path, [&doc](QIODevice* device) { return doc.writeTo(device); }, error);
}

Project::ReadStatus Project::load(const QString& path, Project& project, QString* reason,
                                  QStringList* damagedMembers)
{
    project = Project();
    if (damagedMembers)
        damagedMembers->clear();
    const auto refuse = [reason](ReadStatus status, const QString& why) {
        if (reason)
            *reason = why;
        return status;
    };
    // Only regular files: opening a pipe or a device could block or never end.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return refuse(rsUnreadable, QStringLiteral("это не файл"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(rsUnreadable, file.errorString());

    Doc doc;
    QString why;
    switch (Doc::readFrom(&file, doc, &why)) {
    case Doc::rsOk:
        break;
    case Doc::rsWrongVersion:
        return refuse(rsWrongVersion, QStringLiteral("файл другой версии формата"));
    case Doc::rsDamaged:
        return refuse(rsDamaged, why);
    case Doc::rsInvalidDocType:
        return refuse(rsNotProject, QStringLiteral("это не проект: тип документа не указан или неизвестен"));
    }
    if (doc.docType() != common::docProject)
        return refuse(rsNotProject,
                      QStringLiteral("это не проект: документ «%1»")
                          .arg(common::simpleDocTypeName(static_cast<common::DocType>(doc.docType()))));
    project = fromDoc(doc, damagedMembers);
    return rsOk;
}

QString Project::positionMark(const Doc& doc)
{
    return hasField(doc, kMarkKey) ? Doc::cutText(textOf(doc.value(kMarkKey)), maxMarkLength) : QString();
}

int Project::quantity(const Doc& doc)
{
    if (!hasField(doc, kQuantityKey))
        return minQuantity;
    // The number box stores a double; an integer is that number as well.
    const QVariant value = doc.value(kQuantityKey);
    const int type = value.userType();
    if (value.isNull() || (type != QMetaType::Int && type != QMetaType::Double))
        return minQuantity;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number != std::floor(number))
        return minQuantity;
    // Outside the range no one typed it: the form opens it as 1 and says so.
    return number < minQuantity || number > maxQuantity ? minQuantity : static_cast<int>(number);
}

QString Project::nextFreeMark(const QStringList& marks, const QString& like)
{
    QString stem = Doc::cutText(like.trimmed(), maxMarkLength);
    if (stem.isEmpty())
        return QString();
    int digitsFrom = stem.size();
    while (digitsFrom > 0 && isMarkDigit(stem.at(digitsFrom - 1)))
        --digitsFrom;
    const int width = stem.size() - digitsFrom;
    // At most 16 digits: the number and its successors fit in 64 bits.
    qulonglong number = width > 0 ? stem.midRef(digitsFrom).toULongLong() : 0;
    stem.truncate(digitsFrom);

    // Each mark equals at most one number after the stem: the loop ends
    // within marks.size() + 1 rounds.
    for (;;) {
        ++number;
        const QString digits = QString::number(number).rightJustified(width, QLatin1Char('0'));
        if (digits.size() > maxMarkLength)
            return QString();
        const QString candidate = Doc::cutText(stem, maxMarkLength - digits.size()) + digits;
        const bool taken = std::any_of(marks.cbegin(), marks.cend(), [&candidate](const QString& mark) {
            return comparePositionMarks(mark, candidate) == 0;
        });
        if (!taken)
            return candidate;
    }
}
