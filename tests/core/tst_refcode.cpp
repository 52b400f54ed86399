#include "gentools/emptyrefcodeprovider.h"
#include "gentools/refcode.h"
#include "testsupport.h"

#include <QThread>

#include <atomic>

namespace {

// A provider with codes of its own, counting how often the store asks it.
struct Backing
{
    RefNames names;
    RefTypes alphabetical;
    bool typesOk = true;
    bool insertOk = true;
    int loadCodesCalls = 0;
    int loadTypesCalls = 0;
    int insertCalls = 0;
    QList<QVariantList> modifyCalls;
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
        ++b->loadTypesCalls;
        if (!b->typesOk)
            return false;
        types = b->alphabetical;
        return true;
    }
    bool insertCode(RefNames&, qint16 type, const QString& name) override
    {
        ++b->insertCalls;
        if (!b->insertOk)
            return false;
        RefCode next = 1;
        while (b->names.contains(RefKey(type, next)))
            ++next;
        b->names.insert(RefKey(type, next), {name, 100});
        return true;
    }
    bool modifyCode(RefNames&, qint16 type, RefCode code, const QString& name, bool flag) override
    {
        b->modifyCalls.append({type, code, name, flag});
        b->names[RefKey(type, code)].name = name;
        return true;
    }

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
Q_DECLARE_METATYPE(RefFilter)

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

    void refKeyFromInteger_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("code");
        QTest::newRow("zero") << 0 << 0 << 0;
        QTest::newRow("type 3 code 7") << 3 * 65536 + 7 << 3 << 7;
        QTest::newRow("low half all ones is code -1") << 65535 << 0 << -1;
        QTest::newRow("type 3 code -1") << 3 * 65536 + 65535 << 3 << -1;
        QTest::newRow("-1 rounds the type toward zero") << -1 << 0 << -1;
        QTest::newRow("-65535: type 0, low bits 1") << -65535 << 0 << 1;
        QTest::newRow("-65537: type -1, code -1") << -65537 << -1 << -1;
    }

    void refKeyFromInteger()
    {
        QFETCH(int, n);
        QFETCH(int, type);
        QFETCH(int, code);
        const RefKey key(n);
        QCOMPARE(int(key.type), type);
        QCOMPARE(int(key.code), code);
        const RefKey fromVariant{QVariant(n)};
        QVERIFY(fromVariant == key);
    }

    void refKeyFromNonInteger_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("string") << QVariant(QStringLiteral("65543"));
        QTest::newRow("double") << QVariant(65543.0);
        QTest::newRow("invalid") << QVariant();
    }

    void refKeyFromNonInteger()
    {
        QFETCH(QVariant, value);
        orxtest::MessageCapture capture;
        const RefKey key(value);
        QCOMPARE(capture.assertions().size(), 1);
        QVERIFY(capture.assertions().first().endsWith(QLatin1String("\r\nv.type() == QVariant::Int")));
        QVERIFY(key == RefKey(0, 0));
    }

    void refKeyHash()
    {
        // (2 × 65536 + 5) = 131077, mixed with the seed by exclusive or.
        QCOMPARE(qHash(RefKey(2, 5), 0), 131077u);
        QCOMPARE(qHash(RefKey(2, 5), 0xFFu), 131077u ^ 0xFFu);
        QVERIFY(qHash(RefKey(2, 5)) != qHash(RefKey(5, 2)));
    }

    void listingOrder_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("includeNone");
        QTest::addColumn<QList<RefCode>>("expected");
        QTest::newRow("ordered type by sort number") << int(kOrdered) << 0 << false << codeList({2, 3, 1, 0});
        QTest::newRow("ordered type with -1") << int(kOrdered) << 0 << true << codeList({-1, 2, 3, 1, 0});
        QTest::newRow("by name, case ignored") << int(kOrdered) << 1 << false << codeList({3, 2, 1, 0});
        QTest::newRow("by name with -1") << int(kOrdered) << 1 << true << codeList({-1, 3, 2, 1, 0});
        QTest::newRow("alphabetical type by name")
            << int(kAlphabetical) << 0 << false << codeList({12, 11, 10});
        QTest::newRow("alphabetical type by order")
            << int(kAlphabetical) << 2 << false << codeList({10, 11, 12});
        QTest::newRow("unknown type") << int(kUnknownType) << 0 << true << codeList({});
    }

    void listingOrder()
    {
        QFETCH(int, type);
        QFETCH(int, mode);
        QFETCH(bool, includeNone);
        QFETCH(QList<RefCode>, expected);
        QCOMPARE(refcodes::codes(qint16(type), mode, includeNone), expected);
    }

    void codesOfTypeHonoursIncludeNoneEveryCall()
    {
        const RefCodeSet withNone{-1, 0, 1, 2, 3};
        const RefCodeSet withoutNone{0, 1, 2, 3};
        QCOMPARE(refcodes::codesOfType(kOrdered, true), withNone);
        QCOMPARE(refcodes::codesOfType(kOrdered, false), withoutNone);
        QCOMPARE(refcodes::codesOfType(kOrdered, true), withNone);
        QCOMPARE(refcodes::count(kAlphabetical), 3);
    }

    void namesAndMembership()
    {
        QCOMPARE(refcodes::codeName(2, kOrdered), QStringLiteral("Бак"));
        QCOMPARE(refcodes::codeName(-1, kOrdered, true), QString());
        QCOMPARE(refcodes::codeName(-1, kOrdered, false), QStringLiteral("(нет)"));
        QCOMPARE(refcodes::codeName(42, kOrdered), QString());
        QCOMPARE(refcodes::codeName(2, kAlphabetical), QString());
        QVERIFY(refcodes::isAlphabetical(kAlphabetical));
        QVERIFY(!refcodes::isAlphabetical(kOrdered));

        QVERIFY(refcodes::contains(kOrdered, 0));
        QVERIFY(!refcodes::containsBoth(kOrdered, 0));
        QVERIFY(refcodes::containsBoth(kOrdered, 3));
        QVERIFY(!refcodes::containsBoth(kOrdered, 4));
        QVERIFY(!refcodes::containsBoth(0, 3));
    }

    void loadsOnceUntilAChange()
    {
        for (int i = 0; i < 5; ++i)
            refcodes::codeName(1, kOrdered);
        QCOMPARE(m_backing.loadTypesCalls, 1);
        QCOMPARE(m_backing.loadCodesCalls, 1);
        QVERIFY(refcodes::insertName(kOrdered, QStringLiteral("пар")));
        QCOMPARE(m_backing.loadCodesCalls, 2);
        QCOMPARE(refcodes::count(kOrdered), 6);
    }

    void failedAlphabeticalTypesLoadNothing()
    {
        m_backing.typesOk = false;
        QVERIFY(!refcodes::ensureLoaded());
        QCOMPARE(m_backing.loadCodesCalls, 0);
        QVERIFY(refcodes::codesOfType(kOrdered, true).isEmpty());
        m_backing.typesOk = true;
        QVERIFY(refcodes::ensureLoaded());
        QCOMPARE(m_backing.loadTypesCalls, 3);
        QCOMPARE(refcodes::count(kOrdered), 5);
    }

    void reloadReplacesNamesAndCachedSets()
    {
        QCOMPARE(refcodes::count(kOrdered), 5);
        m_backing.names.remove(RefKey(kOrdered, 1));
        m_backing.names.insert(RefKey(kOrdered, 9), {QStringLiteral("гелий"), 9});
        QCOMPARE(refcodes::count(kOrdered), 5);
        QVERIFY(refcodes::reload());
        QCOMPARE(refcodes::codesOfType(kOrdered), (RefCodeSet{0, 2, 3, 9}));
        QCOMPARE(refcodes::codeName(1, kOrdered), QString());
    }

    void codeByName_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<int>("expected");
        QTest::newRow("exact") << int(kAlphabetical) << "Горячая вода" << true << 10;
        QTest::newRow("outer and inner blanks") << int(kAlphabetical) << "  Горячая \t  вода " << true << 10;
        QTest::newRow("other case, case-insensitive") << int(kAlphabetical) << "ГОРЯЧАЯ ВОДА" << false << 10;
        QTest::newRow("other case, case-sensitive") << int(kAlphabetical) << "ГОРЯЧАЯ ВОДА" << true << 0;
        QTest::newRow("the no-code name") << int(kOrdered) << "(нет)" << true << -1;
        QTest::newRow("other case in an ordered type") << int(kOrdered) << "Азот" << false << 3;
        QTest::newRow("unknown name") << int(kOrdered) << "гелий" << false << 0;
        QTest::newRow("empty name") << int(kOrdered) << "" << false << 0;
    }

    void codeByName()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(bool, caseSensitive);
        QFETCH(int, expected);
        const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
        QCOMPARE(int(refcodes::codeByName(qint16(type), name, false, cs)), expected);
        QCOMPARE(m_backing.insertCalls, 0);
    }

    void codeByNameInsertsAMissingName()
    {
        const RefCode code = refcodes::codeByName(kAlphabetical, QStringLiteral("  новая   среда "), true);
        QCOMPARE(m_backing.insertCalls, 1);
        QCOMPARE(code, RefCode(1));
        QCOMPARE(refcodes::codeName(code, kAlphabetical), QStringLiteral("новая среда"));

        QCOMPARE(refcodes::codeByName(kAlphabetical, QStringLiteral("   "), true), RefCode(0));
        QCOMPARE(m_backing.insertCalls, 1);

        m_backing.insertOk = false;
        QCOMPARE(refcodes::codeByName(kAlphabetical, QStringLiteral("ещё"), true), RefCode(0));
        QCOMPARE(m_backing.insertCalls, 2);
    }

    void touchRewritesTheCurrentName()
    {
        QVERIFY(refcodes::touch(kOrdered, 2));
        QCOMPARE(m_backing.modifyCalls.size(), 1);
        QCOMPARE(m_backing.modifyCalls.first(),
                 (QVariantList{int(kOrdered), 2, QStringLiteral("Бак"), false}));
        QVERIFY(refcodes::modifyName(kOrdered, 2, QStringLiteral("Бак-аккумулятор"), true));
        QCOMPARE(refcodes::codeName(2, kOrdered), QStringLiteral("Бак-аккумулятор"));
    }

    void nullProviderIsRefused()
    {
        orxtest::MessageCapture capture;
        refcodes::setProvider(nullptr);
        QCOMPARE(capture.assertions().size(), 1);
        QVERIFY(capture.assertions().first().endsWith(QLatin1String("\r\nv")));
        QCOMPARE(refcodes::codeName(2, kOrdered), QStringLiteral("Бак"));
    }

    void filterAcceptsAndFullness()
    {
        RefFilter filter;
        QVERIFY(filter.accepts(12345));
        QVERIFY(filter.isFull(kOrdered));
        filter.active = true;
        filter.codes = {1, 2};
        QVERIFY(filter.accepts(2));
        QVERIFY(!filter.accepts(3));
        QVERIFY(!filter.isFull(kOrdered));
        filter.codes = {-1, 0, 1, 2, 3};
        QVERIFY(filter.isFull(kOrdered));
        filter.codes = {0, 1, 2, 3};
        QVERIFY(!filter.isFull(kOrdered));
    }

    void sqlFilterText_data()
    {
        QTest::addColumn<RefFilter>("filter");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("expected");
        const RefFilter everyCode{true, {-1, 0, 1, 2, 3}};
        QTest::newRow("inactive") << RefFilter{false, {3}} << 0 << QString();
        QTest::newRow("no codes: false statement")
            << RefFilter{true, {}} << 0 << " medium=-100 /* false statement */ and ";
        QTest::newRow("codes 3 and 7 of a type")
            << RefFilter{true, {7, 3}} << int(kOrdered) << " medium in (3,7) and ";
        QTest::newRow("every code of the type") << everyCode << int(kOrdered) << QString();
        QTest::newRow("every code, no type given") << everyCode << 0 << " medium in (-1,0,1,2,3) and ";
    }

    void sqlFilterText()
    {
        QFETCH(RefFilter, filter);
        QFETCH(int, type);
        QFETCH(QString, expected);
        QCOMPARE(sqlFilter(filter, QStringLiteral("medium"), qint16(type)), expected);
    }

    // Readers on several threads while the codes are reloaded: every answer is
    // one of the two consistent states, and nothing hangs.
    void concurrentLookupsDuringReloads()
    {
        std::atomic<bool> stop{false};
        std::atomic<int> wrong{0};
        QList<QThread*> readers;
        for (int i = 0; i < 3; ++i) {
            readers << QThread::create([&] {
                while (!stop) {
                    const QString name = refcodes::codeName(2, kOrdered);
                    if (name != QStringLiteral("Бак"))
                        ++wrong;
                    if (refcodes::codes(kOrdered).size() != 4)
                        ++wrong;
                }
            });
            readers.last()->start();
        }
        for (int i = 0; i < 200; ++i)
            refcodes::reload();
        stop = true;
        for (QThread* thread : readers) {
            QVERIFY(thread->wait(10000));
            delete thread;
        }
        QCOMPARE(wrong.load(), 0);
    }
};

ORX_CORE_TEST_MAIN(TestRefCode)
#include "tst_refcode.moc"
