// The reference-code store: the empty provider the program configures, and
// listing and finding codes over a provider of the test's own.

#include "gentools/emptyrefcodeprovider.h"
#include "gentools/refcode.h"
#include "testsupport.h"

namespace {

// A provider with codes of its own, counting how often the store asks it.
struct Backing
{
    RefNames names;
    RefTypes alphabetical;
    int loadCodesCalls = 0;
    int insertCalls = 0;
};

class FakeProvider : public RefCodeProvider
{
public:
    explicit FakeProvider(Backing* backing) : b(backing) {}

    bool loadCodes(RefNames& names) override
    {
        ++b->loadCodesCalls;
        names = b->names;
        return true;
    }
    bool loadAlphabeticalTypes(RefTypes& types) override
    {
        types = b->alphabetical;
        return true;
    }
    bool insertCode(RefNames&, qint16 type, const QString& name) override
    {
        ++b->insertCalls;
        RefCode next = 1;
        while (b->names.contains(RefKey(type, next)))
            ++next;
        b->names.insert(RefKey(type, next), {name, 100});
        return true;
    }
    bool modifyCode(RefNames&, qint16, RefCode, const QString&, bool) override { return true; }

private:
    Backing* b;
};

const qint16 kOrdered = 7;      // listed by sort number
const qint16 kAlphabetical = 8; // listed by name
const qint16 kUnknownType = 99;

// Names chosen so that the order by sort number, by name and by code differ.
Backing standardBacking()
{
    Backing b;
    b.names.insert(RefKey(kOrdered, 1), {QStringLiteral("вода"), 3});
    b.names.insert(RefKey(kOrdered, 2), {QStringLiteral("Бак"), 1});
    b.names.insert(RefKey(kOrdered, 3), {QStringLiteral("азот"), 2});
    b.names.insert(RefKey(kOrdered, -1), {QStringLiteral("(нет)"), 0});
    b.names.insert(RefKey(kOrdered, 0), {QStringLiteral("пусто"), 5});
    b.names.insert(RefKey(kAlphabetical, 10), {QStringLiteral("Горячая вода"), 1});
    b.names.insert(RefKey(kAlphabetical, 11), {QStringLiteral("гликоль"), 2});
    b.names.insert(RefKey(kAlphabetical, 12), {QStringLiteral("Азот"), 3});
    b.alphabetical.insert(kAlphabetical);
    return b;
}

QList<RefCode> codeList(std::initializer_list<RefCode> codes)
{
    return QList<RefCode>(codes);
}

} // namespace

Q_DECLARE_METATYPE(QList<RefCode>)

class TestRefCode : public QObject
{
    Q_OBJECT

    Backing m_backing;

private slots:
    void init()
    {
        m_backing = standardBacking();
        refcodes::setProvider(new FakeProvider(&m_backing));
    }
    void cleanup() { refcodes::setProvider(new EmptyRefCodeProvider); }

    // The program's own configuration: no codes at all, and every attempt to
    // load or change them is a reported programming error.
    void emptyProviderReportsEveryLoadAndChange()
    {
        orxtest::MessageCapture capture;
        refcodes::setProvider(new EmptyRefCodeProvider);
        QCOMPARE(refcodes::codeName(5, kOrdered), QString());
        QCOMPARE(capture.assertions().size(), 1);
        QVERIFY(capture.assertions().first().contains(
            QLatin1String("emptyrefcodeprovider.cpp, loadCodes(), row")));
        QVERIFY(capture.assertions().first().endsWith(QLatin1String("\r\n0")));
        // Loaded once: the lists are empty without further reports.
        QVERIFY(refcodes::codes(kOrdered, refcodes::smByName, true).isEmpty());
        QVERIFY(refcodes::codesOfType(kOrdered, true).isEmpty());
        QCOMPARE(capture.assertions().size(), 1);

        QVERIFY(!refcodes::insertName(kOrdered, QStringLiteral("новое")));
        QVERIFY(capture.assertions().last().contains(QLatin1String("insertCode()")));
        QVERIFY(!refcodes::modifyName(kOrdered, 1, QStringLiteral("x"), true));
        QVERIFY(capture.assertions().last().contains(QLatin1String("modifyCode()")));
        QCOMPARE(capture.assertions().size(), 3);
    }

    void lookups_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("mode"); // listing order; -1: find by the name
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<RefCode>>("expected");
        QTest::newRow("ordered type by sort number, with -1")
            << int(kOrdered) << 0 << QString() << codeList({-1, 2, 3, 1, 0});
        QTest::newRow("by name, case ignored")
            << int(kOrdered) << 1 << QString() << codeList({-1, 3, 2, 1, 0});
        QTest::newRow("alphabetical type by name")
            << int(kAlphabetical) << 0 << QString() << codeList({12, 11, 10});
        QTest::newRow("alphabetical type by order")
            << int(kAlphabetical) << 2 << QString() << codeList({10, 11, 12});
        QTest::newRow("unknown type lists nothing") << int(kUnknownType) << 0 << QString() << codeList({});
        QTest::newRow("name with outer and inner blanks, other case")
            << int(kAlphabetical) << -1 << "  ГОРЯЧАЯ \t  вода " << codeList({10});
        QTest::newRow("the no-code name") << int(kOrdered) << -1 << "(нет)" << codeList({-1});
        QTest::newRow("unknown name, inserted")
            << int(kAlphabetical) << -1 << " новая   среда " << codeList({1});
        QTest::newRow("blank name, not inserted") << int(kAlphabetical) << -1 << "   " << codeList({0});
    }

    void lookups()
    {
        QFETCH(int, type);
        QFETCH(int, mode);
        QFETCH(QString, name);
        QFETCH(QList<RefCode>, expected);
        orxtest::MessageCapture capture;
        if (mode >= 0) {
            QCOMPARE(refcodes::codes(qint16(type), mode, true), expected);
            // Loaded once, however often asked.
            QCOMPARE(refcodes::codes(qint16(type), mode, true), expected);
            QCOMPARE(m_backing.loadCodesCalls, 1);
        } else {
            const RefCode code = refcodes::codeByName(qint16(type), name, true, Qt::CaseInsensitive);
            QCOMPARE(code, expected.first());
            QCOMPARE(m_backing.insertCalls, code == 1 ? 1 : 0);
            if (code == 1)
                QCOMPARE(refcodes::codeName(code, qint16(type)), name.simplified());
        }
        QCOMPARE(capture.count(), 0);
    }
};

ORX_CORE_TEST_MAIN(TestRefCode)
#include "tst_refcode.moc"
