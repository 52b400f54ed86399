#include "../../fuzz/sampledocuments.h"

#include "project/project.h"
#include "testsupport.h"
#include "vocabulary/common.h"

namespace {

const DocKey kMark(common::PositionFields::fcPosition);
const DocKey kQuantity(common::PositionFields::fcQuantity);

QString base64(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toBase64());
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
// Files that are not projects (null bytes: no file at all).
const struct { const char* name; QByteArray bytes; int status; const char* reason; } kNotProjects[] = {
    {"valve document", orxsamples::valveDocument().toByteArray(), Project::rsNotProject, "это не проект: документ «Клапан»"},
    {"no document type", QByteArray::fromHex("00000003"), Project::rsNotProject, "это не проект: тип документа не указан или неизвестен"},
    {"garbage", QByteArray::fromHex("000000037F"), Project::rsDamaged, "файл обрывается в начале поля"},
    {"another version", QByteArray::fromHex("000000027FFE0000000000020000000384"), Project::rsWrongVersion, "файл другой версии формата"},
    {"no such file", QByteArray(), Project::rsUnreadable, "No such file or directory"},
};

// A one-position project (a valve) with one field stored as given, read back.
Project readWith(DocKey key, const QVariant& stored)
{
    Doc doc = Project{{}, {position(orxsamples::valveDocument())}}.toDoc();
    doc.setValue(key, stored);
    return Project::fromDoc(doc);
}
// The mark of a valve whose own field holds the value (an invalid one: absent), then "!" when the project
// does not carry the member's bytes as they were: the member's window is the one to repair and tell.
QString mark(const QVariant& stored)
{
    Project p{{}, {position(orxsamples::valveDocument())}};
    if (stored.isValid())
        p.positions[0].doc.setValue(kMark, stored);
    const bool kept = contents(Project::fromDoc(p.toDoc())) == contents(p);
    return Project::positionMark(p.positions.at(0).doc) + QLatin1String(kept ? "" : "!");
}
QString quantity(const QVariant& stored)
{
    Doc doc = orxsamples::valveDocument();
    if (stored.isValid())
        doc.setValue(kQuantity, stored);
    return QString::number(Project::quantity(doc));
}
QString nextMark(const char* marks, const char* like)
{
    return Project::nextFreeMark(QString::fromUtf8(marks).split(QLatin1Char('|'), Qt::SkipEmptyParts),
                                 QString::fromUtf8(like));
}

// What is read of a project's fields, a position's mark and quantity, and the
// mark a copy takes after the marks taken.
const QString kLong(Doc::maxTextLength, QLatin1Char('x'));
const struct { const char* name; QString (*read)(); QString expected; } kReads[] = {
    {"detail over the bound cut", [] { return readWith(DocKey(600), kLong + QLatin1String("y")).details.objectName; }, kLong},
    {"date of another format read as none", [] { return readWith(DocKey(607), QStringLiteral("05.03.2024")).details.date.toString(Qt::ISODate); }, QString()},
    {"cell over the bound cut", [] { return readWith(DocKey(614, 0), kLong + kLong).positions.at(0).cells[1].note; }, kLong},
    {"cell of no member ignored", [] { return QString::number(readWith(DocKey(611, 1), QStringLiteral("x")).positions.size()); }, QStringLiteral("1")},
    {"mark: none", [] { return mark(QVariant()); }, QString()},
    {"mark: seventeen cut to sixteen", [] { return mark(QStringLiteral("РК-0123456789ABCD")); }, QStringLiteral("РК-0123456789ABC")},
    {"mark: cut before a split character", [] { return mark(QStringLiteral("РК-0123456789AB") + QString::fromUtf8("\U0001F600")); }, QStringLiteral("РК-0123456789AB")},
    {"mark: a number is no mark", [] { return mark(12); }, QString()},
    {"quantity: none is one", [] { return quantity(QVariant()); }, QStringLiteral("1")},
    {"quantity: whole double", [] { return quantity(5.0); }, QStringLiteral("5")},
    {"quantity: integer", [] { return quantity(7); }, QStringLiteral("7")},
    {"quantity: above the most is one", [] { return quantity(1000.0); }, QStringLiteral("1")},
    {"quantity: the most", [] { return quantity(999); }, QStringLiteral("999")},
    {"quantity: zero is one", [] { return quantity(0.0); }, QStringLiteral("1")},
    {"quantity: a fraction is one", [] { return quantity(2.5); }, QStringLiteral("1")},
    {"quantity: text is one", [] { return quantity(QStringLiteral("5")); }, QStringLiteral("1")},
    {"next mark: after the taken ones", [] { return nextMark("РК1|РК2", "РК1"); }, QStringLiteral("РК3")},
    {"next mark: the next free, not after the highest", [] { return nextMark("РК1|РК3", "РК1"); }, QStringLiteral("РК2")},
    {"next mark: counted up from the copied one", [] { return nextMark("РК1|РК5", "РК5"); }, QStringLiteral("РК6")},
    {"next mark: zeros kept", [] { return nextMark("РК01", "РК01"); }, QStringLiteral("РК02")},
    {"next mark: equal marks taken: case, zeros, blanks", [] { return nextMark("РК1|рк02|РК03 ", "РК1"); }, QStringLiteral("РК4")},
    {"next mark: no number, 1 added", [] { return nextMark("ШУ", "ШУ"); }, QStringLiteral("ШУ1")},
    {"next mark: the last number counted", [] { return nextMark("РК1.1", " РК1.1 "); }, QStringLiteral("РК1.2")},
    {"next mark: too long, characters before the number go", [] { return nextMark("ABCDEFGHIJKLMNO9", "ABCDEFGHIJKLMNO9"); }, QStringLiteral("ABCDEFGHIJKLMN10")},
    {"next mark: no room for the number", [] { return nextMark("", "9999999999999999"); }, QString()},
    {"next mark: blank", [] { return nextMark("", "   "); }, QString()},
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

    // A damaged member is named once (the names of an earlier file gone) and left out with its cells; the
    // others open with theirs. Every reason a member is refused for, and a sound project saving byte for
    // byte as it was read, are among the corpus files.
    void damagedMember()
    {
        Project p = substation();
        p.positions = {p.positions.at(0), p.positions.at(1), p.positions.at(2)};
        p.positions[1].cells[0].note = QStringLiteral("пропадёт с позицией");
        Doc doc = p.toDoc();
        doc.setValue(DocKey(Project::Fields::pfMember, 1),
                     base64(orxsamples::valveDocument().toByteArray().chopped(1)));
        QVERIFY(orxtest::writeFile(path(QStringLiteral("damaged.orxp")), doc.toByteArray()));
        Project read;
        QStringList damaged{QStringLiteral("old")};
        QCOMPARE(Project::load(path(QStringLiteral("damaged.orxp")), read, nullptr, &damaged), Project::rsOk);
        QCOMPARE(damaged, QStringList{QStringLiteral("позиция 2: файл обрывается внутри поля 32767")});
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
        QTest::newRow("a project") << orxtest::typedDoc(common::docProject) << 0;
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

    void reads_data() { tableRows(kReads); }
    void reads()
    {
        ORX_ROW(kReads);
        QCOMPARE(row.read(), row.expected);
    }

    // The project files among the fuzzing seeds open as they are meant to; the sound one saves unchanged.
    void corpusFile_data() { tableRows(kCorpus); }
    void corpusFile()
    {
        ORX_ROW(kCorpus);
        const QString file = orxtest::corpusFile(QLatin1String(row.name) + QStringLiteral(".orx"));
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
