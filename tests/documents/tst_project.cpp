#include "../../fuzz/sampledocuments.h"
#include "tablerows.h"

#include "documents/doc.h"
#include "gentools/errorhandle.h"
#include "project/project.h"
#include "testsupport.h"
#include "vocabulary/common.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

const DocKey kMark(common::PositionFields::fcPosition);
const DocKey kQuantity(common::PositionFields::fcQuantity);

QString base64(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}

Doc typed(int docType)
{
    Doc doc;
    doc.init(docType);
    return doc;
}

Project::Position position(Doc doc, const QString& mark = QString(), const Project::Cells& device = {},
                           const Project::Cells& drive = {})
{
    if (!mark.isEmpty())
        doc.setValue(kMark, mark);
    return {doc, {device, drive}};
}

// A heating substation: every kind of document, some marked, some with the cells typed in.
Project substation()
{
    using namespace orxsamples;
    Project p;
    p.details = {QStringLiteral("ИТП жилого дома"), QStringLiteral("12-2024-ОВ"),
                 QStringLiteral("ООО «Проект»"),    QStringLiteral("Иванов"),
                 QStringLiteral("Петров"),          QStringLiteral("Сидоров"),
                 QStringLiteral("Кузнецов"),        QDate(2024, 3, 5)};
    p.positions = {position(valveDocument(), QStringLiteral("РК1"),
                            {QStringLiteral("42 1862"), QStringLiteral("по месту")},
                            {QString(), QStringLiteral("с приводом")}),
                   position(regulatorDocument(), QStringLiteral("РД1")),
                   position(kvDocument(), QString(), {QStringLiteral("код"), QString()}),
                   position(flowMeterDocument()),
                   position(stdCabinetDocument()),
                   position(fanCabinetDocument(), QStringLiteral("ШУ1"))};
    return p;
}

// Everything a project holds, as one text to compare.
QString contents(const Project& p)
{
    const ProjectDetails& d = p.details;
    QStringList parts{d.objectName, d.projectCode, d.organisation,  d.developer,
                      d.checker,    d.normControl, d.chiefEngineer, d.date.toString(Qt::ISODate)};
    for (const Project::Position& position : p.positions) {
        parts << base64(position.doc.toByteArray());
        for (const Project::Cells& cells : position.cells)
            parts << cells.code << cells.note;
    }
    return parts.join(QLatin1Char('\n'));
}

// clang-format off
// The second member replaced: what the user is told about it.
const QByteArray kValve = orxsamples::valveDocument().toByteArray();
const struct { const char* name; QVariant member; const char* reason; } kDamagedMembers[] = {
    {"truncated bytes", base64(kValve.left(kValve.size() - 1)), "файл обрывается внутри поля 32767"},
    {"a project in the project", base64(typed(common::docProject).toByteArray()), "проект внутри проекта"},
    {"unknown document type", base64(typed(7).toByteArray()), "неизвестный тип документа"},
    {"another format version", base64(QByteArray::fromHex("00000002")), "документ другой версии формата"},
    {"garbage after the version", base64(QByteArray::fromHex("000000036761726261")), "файл обрывается внутри поля 26465"},
    {"number instead of the document", 5, "вместо документа значение другого типа"},
    {"text that is not base64", QStringLiteral("документ"), "запись документа испорчена"},
};

// Files that are not projects (null bytes: no file at all).
const struct { const char* name; QByteArray bytes; int status; const char* reason; } kNotProjects[] = {
    {"valve document", kValve, Project::rsNotProject, "это не проект: документ «Клапан»"},
    {"no document type", QByteArray::fromHex("00000003"), Project::rsNotProject, "это не проект: тип документа не указан или неизвестен"},
    {"garbage", QByteArray::fromHex("000000037F"), Project::rsDamaged, "файл обрывается в начале поля"},
    {"another version", QByteArray::fromHex("000000027FFE0000000000020000000384"), Project::rsWrongVersion, "файл другой версии формата"},
    {"no such file", QByteArray(), Project::rsUnreadable, "No such file or directory"},
};

// A field of a one-position project stored as given, and what is read of it.
const QString kLong(Doc::maxTextLength, QLatin1Char('x'));
const struct { const char* name; DocKey key; QVariant stored; QString (*read)(const Project&); QString expected; } kReadFields[] = {
    {"detail over the bound cut", DocKey(600), kLong + QLatin1String("y"), [](const Project& p) { return p.details.objectName; }, kLong},
    {"date of another format read as none", DocKey(607), QStringLiteral("05.03.2024"), [](const Project& p) { return p.details.date.toString(Qt::ISODate); }, QString()},
    {"cell over the bound cut", DocKey(614, 0), kLong + kLong, [](const Project& p) { return p.positions.at(0).cells[1].note; }, kLong},
    {"cell of no member ignored", DocKey(611, 1), QStringLiteral("x"), [](const Project& p) { return QString::number(p.positions.size()); }, QStringLiteral("1")},
};

// The member's own field (an invalid value: absent) and the mark read.
const struct { const char* name; QVariant stored; const char* expected; } kMarks[] = {
    {"none", QVariant(), ""},
    {"seventeen cut to sixteen", QStringLiteral("РК-0123456789ABCD"), "РК-0123456789ABC"},
    {"cut before a split character", QStringLiteral("РК-0123456789AB") + QString::fromUtf8("\U0001F600"), "РК-0123456789AB"},
    {"a number is no mark", 12, ""},
};

const struct { const char* name; QVariant stored; int expected; } kQuantities[] = {
    {"none: one", QVariant(), 1},
    {"whole double", 5.0, 5},
    {"integer", 7, 7},
    {"above the most: one", 1000.0, 1},
    {"the most", 999, 999},
    {"zero: one", 0.0, 1},
    {"fraction: one", 2.5, 1},
    {"text: one", QStringLiteral("5"), 1},
};

const struct { const char* name; const char* marks; const char* like; const char* expected; } kNextMarks[] = {
    {"after the taken ones", "РК1|РК2", "РК1", "РК3"},
    {"the next free, not after the highest", "РК1|РК3", "РК1", "РК2"},
    {"counted up from the copied one", "РК1|РК5", "РК5", "РК6"},
    {"zeros kept", "РК01", "РК01", "РК02"},
    {"equal marks taken: case, zeros, blanks", "РК1|рк02|РК03 ", "РК1", "РК4"},
    {"no number: 1 added", "ШУ", "ШУ", "ШУ1"},
    {"the last number counted", "РК1.1", " РК1.1 ", "РК1.2"},
    {"too long: characters before the number go", "ABCDEFGHIJKLMNO9", "ABCDEFGHIJKLMNO9", "ABCDEFGHIJKLMN10"},
    {"no room for the number", "", "9999999999999999", ""},
    {"blank", "", "   ", ""},
};

// The project files of the fuzzing corpus: the positions that open, what is told.
const struct { const char* name; int positions; const char* damaged; } kCorpus[] = {
    {"project-ok", 6, ""},
    {"project-damaged-members", 2, "позиция 2: файл обрывается внутри поля 32767|позиция 3: вместо документа значение другого типа|позиция 4: проект внутри проекта|позиция 5: запись документа испорчена"},
    {"project-odd", 2, "позиция 2: неизвестный тип документа|позиция 3: документ другой версии формата"},
};
// clang-format on

} // namespace

Q_DECLARE_METATYPE(Doc)

class TestProject : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { geh::ErrorHandler::instance()->setLogFileName(path(QStringLiteral("app.log"))); }
    void cleanupTestCase() { geh::ErrorHandler::destroyInstance(); }

    // The project type reads as a document, but is no type the user creates.
    void projectIsADocumentWithoutAWindow()
    {
        QVERIFY(Doc::isValidDocType(common::docProject) && !common::docTypeInfo(common::docProject));
        QCOMPARE(Project().toDoc().toByteArray(), QByteArray::fromHex("000000037FFE0000000000020000000384"));
    }

    // Where each thing the user fills in is kept: only when given, a cell under its position's place.
    void fieldCodes()
    {
        Project p;
        p.positions = {position(orxsamples::valveDocument()), position(orxsamples::kvDocument())};
        QCOMPARE(p.toDoc().keys(), (QList<DocKey>{DocKey(610, 0), DocKey(610, 1), DocKey(Doc::fcDocType)}));
        QCOMPARE(p.toDoc().value(DocKey(610, 1)).toString(), base64(orxsamples::kvDocument().toByteArray()));
        p.details = {QStringLiteral("ИТП"), QStringLiteral("ОВ"), QStringLiteral("О"), QStringLiteral("Р"),
                     QStringLiteral("П"),   QStringLiteral("Н"),  QStringLiteral("Г"), QDate(2024, 3, 5)};
        p.positions[0].cells[1].note = QStringLiteral("п0");
        p.positions[1].cells[0] = {QStringLiteral("к1"), QStringLiteral("п1")};
        p.positions[1].cells[1].code = QStringLiteral("кп1");
        const Doc doc = p.toDoc();
        QStringList stored;
        for (const DocKey& key : doc.keys())
            if (key.fieldCode != 610 && key.fieldCode != Doc::fcDocType)
                stored << QStringLiteral("%1/%2=").arg(key.fieldCode).arg(key.index) +
                              doc.value(key).toString();
        QCOMPARE(stored.join(QLatin1Char('|')),
                 QStringLiteral("600/0=ИТП|601/0=ОВ|602/0=О|603/0=Р|604/0=П|605/0=Н|606/0=Г|607/0=2024-03-05|"
                                "611/1=к1|612/1=п1|613/1=кп1|614/0=п0"));
        QCOMPARE(contents(Project::fromDoc(doc)), contents(p));
    }

    // Saved, opened and saved again: the same project and the very same bytes.
    void roundTrip()
    {
        const QString first = path(QStringLiteral("Проект.orxp")),
                      second = path(QStringLiteral("Снова.orxp"));
        Project read;
        QStringList damaged{QStringLiteral("old")};
        QVERIFY(substation().save(first) && Project::load(first, read, nullptr, &damaged) == Project::rsOk);
        QVERIFY(damaged.isEmpty() && read.save(second));
        QCOMPARE(contents(read), contents(substation()));
        QCOMPARE(orxtest::readFile(second), orxtest::readFile(first));
    }

    // A damaged member is named once and left out with its cells; the others open with theirs.
    void damagedMember_data() { tableRows(kDamagedMembers); }
    void damagedMember()
    {
        ORX_ROW(kDamagedMembers);
        Project p = substation();
        p.positions = {p.positions.at(0), p.positions.at(1), p.positions.at(2)};
        p.positions[1].cells[0].note = QStringLiteral("пропадёт с позицией");
        Doc doc = p.toDoc();
        doc.setValue(DocKey(Project::Fields::pfMember, 1), row.member);
        QVERIFY(orxtest::writeFile(path(QStringLiteral("damaged.orxp")), doc.toByteArray()));
        Project read;
        QStringList damaged;
        QCOMPARE(Project::load(path(QStringLiteral("damaged.orxp")), read, nullptr, &damaged), Project::rsOk);
        QCOMPARE(damaged, QStringList{QStringLiteral("позиция 2: ") + QString::fromUtf8(row.reason)});
        p.positions.removeAt(1);
        QCOMPARE(contents(read), contents(p));
    }

    // Not a project: refused with the reason, and nothing of a project left behind.
    void notProject_data() { tableRows(kNotProjects); }
    void notProject()
    {
        ORX_ROW(kNotProjects);
        const QString file = path(QStringLiteral("чужой.orx"));
        QFile::remove(file);
        QVERIFY(row.bytes.isNull() || orxtest::writeFile(file, row.bytes));
        Project p = substation();
        QString reason;
        QStringList damaged{QStringLiteral("old")};
        QCOMPARE(int(Project::load(file, p, &reason, &damaged)), row.status);
        QCOMPARE(reason, QString::fromUtf8(row.reason));
        QVERIFY(contents(p) == contents(Project()) && damaged.isEmpty());
    }

    void readFields_data() { tableRows(kReadFields); }
    void readFields()
    {
        ORX_ROW(kReadFields);
        Project p;
        p.positions = {position(orxsamples::valveDocument())};
        Doc doc = p.toDoc();
        doc.setValue(row.key, row.stored);
        QCOMPARE(row.read(Project::fromDoc(doc)), row.expected);
    }

    // A disk full after N bytes, for every N short of the file: the save says so, and the old file keeps
    // every byte with nothing else left beside it. Small, so that every length is tried quickly.
    void failedSaveKeepsTheOldFile()
    {
        Project p;
        p.details.objectName = QStringLiteral("ИТП");
        p.positions = {
            position(orxsamples::fanCabinetDocument(), QStringLiteral("ШУ1"), {QStringLiteral("код"), {}})};
        const QByteArray full = p.toDoc().toByteArray();
        QDir folder(path(QStringLiteral("save")));
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        const QString existing = folder.filePath(QStringLiteral("Проект.orxp"));
        const QByteArray old = Project().toDoc().toByteArray();
        for (int limit = 0; limit < full.size(); ++limit) {
            QVERIFY(orxtest::writeFile(existing, old));
            QString error;
            bool saved = true;
            {
                const orxtest::FileSizeLimit diskFull(static_cast<rlim_t>(limit));
                QVERIFY(diskFull.ok);
                saved = p.save(existing, &error);
            }
            QVERIFY2(!saved && error.startsWith(QStringLiteral("Не удалось сохранить файл")) &&
                         orxtest::readFile(existing) == old &&
                         folder.entryList(QDir::Files | QDir::Hidden).size() == 1,
                     qPrintable(QStringLiteral("%1 bytes fit: %2").arg(limit).arg(error)));
        }
        const orxtest::FileSizeLimit exactFit(static_cast<rlim_t>(full.size()));
        QVERIFY(p.save(existing) && orxtest::readFile(existing) == full);
    }

    // A member that would not open again is never written: the save is refused, naming it.
    void unwritableMember_data()
    {
        QTest::addColumn<Doc>("member");
        QTest::addColumn<int>("assertions");
        Doc wide = orxsamples::valveDocument();
        wide.setValue(DocKey(Doc::fcDeviceType), qlonglong(5)); // after the type: a cut file would open
        QTest::newRow("value the format cannot carry") << wide << 1;
        QTest::newRow("no document type") << Doc() << 0;
        QTest::newRow("a project") << typed(common::docProject) << 0;
    }
    void unwritableMember()
    {
        QFETCH(Doc, member);
        QFETCH(int, assertions);
        Project p = substation();
        p.positions[2].doc = member;
        const QString file = path(QStringLiteral("keep.orxp"));
        QVERIFY(orxtest::writeFile(file, "old"));
        orxtest::MessageCapture capture;
        QString error;
        QVERIFY(!p.save(file, &error) && orxtest::readFile(file) == "old");
        QCOMPARE(error,
                 QStringLiteral("Не удалось сохранить файл \"%1\": документ позиции 3 не может быть записан")
                     .arg(QDir::toNativeSeparators(file)));
        QCOMPARE(capture.assertions().size(), assertions);
    }

    // The mark is cut as read; the member itself keeps its bytes, for its window to repair and tell.
    void positionMark_data() { tableRows(kMarks); }
    void positionMark()
    {
        ORX_ROW(kMarks);
        Project p;
        p.positions = {position(orxsamples::valveDocument())};
        if (row.stored.isValid())
            p.positions[0].doc.setValue(kMark, row.stored);
        QCOMPARE(Project::positionMark(p.positions.at(0).doc), QString::fromUtf8(row.expected));
        QCOMPARE(contents(Project::fromDoc(p.toDoc())), contents(p));
    }

    void quantity_data() { tableRows(kQuantities); }
    void quantity()
    {
        ORX_ROW(kQuantities);
        Doc doc = orxsamples::valveDocument();
        if (row.stored.isValid())
            doc.setValue(kQuantity, row.stored);
        QCOMPARE(Project::quantity(doc), row.expected);
    }

    void nextFreeMark_data() { tableRows(kNextMarks); }
    void nextFreeMark()
    {
        ORX_ROW(kNextMarks);
        const QStringList marks = QString::fromUtf8(row.marks).split(QLatin1Char('|'), Qt::SkipEmptyParts);
        QCOMPARE(Project::nextFreeMark(marks, QString::fromUtf8(row.like)), QString::fromUtf8(row.expected));
    }

    // The project files among the fuzzing seeds open as they are meant to; the sound one saves unchanged.
    void corpusFile_data() { tableRows(kCorpus); }
    void corpusFile()
    {
        ORX_ROW(kCorpus);
        const QString file = QStringLiteral(ORX_TEST_SOURCE_DIR "/../fuzz/corpus/document/%1.orx")
                                 .arg(QLatin1String(row.name));
        Project p;
        QStringList damaged;
        QCOMPARE(Project::load(file, p, nullptr, &damaged), Project::rsOk);
        QCOMPARE(damaged.join(QLatin1Char('|')), QString::fromUtf8(row.damaged));
        QCOMPARE(p.positions.size(), row.positions);
        if (damaged.isEmpty())
            QCOMPARE(p.toDoc().toByteArray(), orxtest::readFile(file));
    }
};

ORX_CORE_TEST_MAIN(TestProject)
#include "tst_project.moc"
