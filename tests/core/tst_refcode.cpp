// The reference-code store: the empty provider the program configures, and
// listing and finding codes over a provider of the test's own.

#include "gentools/emptyrefcodeprovider.h"
#include "gentools/refcode.h"
#include "tablerows.h"
#include "testsupport.h"

namespace {

const qint16 kOrdered = 7;      // listed by sort number
const qint16 kAlphabetical = 8; // listed by name

// Codes whose order by sort number, by name and by code differ; the store's
// loads and inserts are counted.
class FakeProvider : public RefCodeProvider
{
public:
    int loads = 0, inserts = 0;
    RefNames names{{RefKey(kOrdered, 1), {QStringLiteral("вода"), 3}},
                   {RefKey(kOrdered, 2), {QStringLiteral("Бак"), 1}},
                   {RefKey(kOrdered, 3), {QStringLiteral("азот"), 2}},
                   {RefKey(kOrdered, -1), {QStringLiteral("(нет)"), 0}},
                   {RefKey(kOrdered, 0), {QStringLiteral("пусто"), 5}},
                   {RefKey(kAlphabetical, 10), {QStringLiteral("Горячая вода"), 1}},
                   {RefKey(kAlphabetical, 11), {QStringLiteral("гликоль"), 2}},
                   {RefKey(kAlphabetical, 12), {QStringLiteral("Азот"), 3}}};

    bool loadCodes(RefNames& loaded) override { return ++loads, loaded = names, true; }
    bool loadAlphabeticalTypes(RefTypes& types) override { return types.insert(kAlphabetical), true; }
    bool insertCode(RefNames&, qint16 type, const QString& name) override
    {
        ++inserts;
        return names.insert(RefKey(type, 1), {name, 100}), true;
    }
    bool modifyCode(RefNames&, qint16, RefCode, const QString&, bool) override { return true; }
};

// Mode: the listing order, or -1 to find the name (inserted when unknown and not blank).
// clang-format off
const struct { const char* name; qint16 type; int mode; const char* text; QList<RefCode> expected; } kLookups[] = {
    {"ordered type by sort number, with -1", kOrdered, 0, "", {-1, 2, 3, 1, 0}},
    {"by name, case ignored", kOrdered, 1, "", {-1, 3, 2, 1, 0}},
    {"alphabetical type by name", kAlphabetical, 0, "", {12, 11, 10}},
    {"alphabetical type by order", kAlphabetical, 2, "", {10, 11, 12}},
    {"unknown type lists nothing", 99, 0, "", {}},
    {"name with outer and inner blanks, other case", kAlphabetical, -1, "  ГОРЯЧАЯ \t  вода ", {10}},
    {"the no-code name", kOrdered, -1, "(нет)", {-1}},
    {"unknown name, inserted", kAlphabetical, -1, " новая   среда ", {1}},
    {"blank name, not inserted", kAlphabetical, -1, "   ", {0}},
};
// clang-format on

} // namespace

class TestRefCode : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { refcodes::setProvider(new EmptyRefCodeProvider); }

    // The program's own configuration: no codes at all, and every attempt to
    // load (once) or change them is a reported programming error.
    void emptyProviderReportsEveryLoadAndChange()
    {
        orxtest::MessageCapture capture;
        refcodes::setProvider(new EmptyRefCodeProvider);
        QCOMPARE(refcodes::codeName(5, kOrdered), QString());
        QVERIFY(refcodes::codes(kOrdered, refcodes::smByName, true).isEmpty());
        QVERIFY(refcodes::codesOfType(kOrdered, true).isEmpty());
        QVERIFY(!refcodes::insertName(kOrdered, QStringLiteral("новое")));
        QVERIFY(!refcodes::modifyName(kOrdered, 1, QStringLiteral("x"), true));
        const QStringList reports = capture.assertions();
        QCOMPARE(reports.size(), 3);
        QVERIFY(reports[0].contains(QLatin1String("emptyrefcodeprovider.cpp, loadCodes(), row")) &&
                reports[0].endsWith(QLatin1String("\r\n0")));
        QVERIFY(reports[1].contains(QLatin1String("insertCode()")) &&
                reports[2].contains(QLatin1String("modifyCode()")));
    }

    void lookups_data() { tableRows(kLookups); }
    void lookups()
    {
        ORX_ROW(kLookups);
        auto* provider = new FakeProvider;
        refcodes::setProvider(provider);
        orxtest::MessageCapture capture;
        const QString name = QString::fromUtf8(row.text);
        if (row.mode >= 0) {
            QCOMPARE(refcodes::codes(row.type, row.mode, true), row.expected);
            // Loaded once, however often asked.
            QCOMPARE(refcodes::codes(row.type, row.mode, true), row.expected);
            QCOMPARE(provider->loads, 1);
        } else {
            const RefCode code = refcodes::codeByName(row.type, name, true, Qt::CaseInsensitive);
            QCOMPARE(code, row.expected.first());
            QCOMPARE(provider->inserts, code == 1 ? 1 : 0);
            if (code == 1)
                QCOMPARE(refcodes::codeName(code, row.type), name.simplified());
        }
        QCOMPARE(capture.count(), 0);
    }
};

ORX_CORE_TEST_MAIN(TestRefCode)
#include "tst_refcode.moc"
