// Writes the generated part of the seed corpora: real documents of every type
// exactly as the program writes them and the hostile files made from them,
// the worked examples and edge tasks of the engine, the drive catalogue and
// broken designations, and table texts. Files found by fuzzing (named
// "regression-…") are kept as they are.
//
//   orx_fuzz_seeds CORPUS_FOLDER      (normally fuzz/corpus)

#include "enginetask.h"
#include "sampledocuments.h"

#include "engine/algotest.h"
#include "engine/electricdrive.h"
#include "gentools/errorhandle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdio>
#include <limits>

using namespace common;
using orxfuzz::EngineTask;

namespace {

QDir g_root;
int g_written = 0;

void put(const QString& target, const QString& name, const QByteArray& bytes)
{
    g_root.mkpath(target);
    QFile file(g_root.filePath(target + QLatin1Char('/') + name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
    ++g_written;
}

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Control bytes, zeros included.
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int v : values)
        result.append(static_cast<char>(v));
    return result;
}

// ---------------------------------------------------------------------------
// Documents

void writeDocuments()
{
    const QString target = QStringLiteral("document");
    for (const orxsamples::SampleDocument& sample : orxsamples::sampleDocuments())
        put(target, sample.stem + QLatin1String(".orx"), sample.doc.toByteArray());

    const QByteArray valve = orxsamples::valveDocument().toByteArray();
    const QByteArray version = hex("00000003");
    const QByteArray type20 = hex("7FFE0000 00000002 00 00000014");
    const QByteArray typed = version + type20;
    // The object name's field: key, type id, null flag, byte length, text.
    const int nameField = valve.indexOf(hex("007A0000 0000000A 00"));
    const int nameLength = nameField + 9;
    struct Hostile
    {
        const char* name;
        QByteArray bytes;
    };
    QByteArray flippedType = valve;
    flippedType[nameField + 7] = 0x03; // the string's type id becomes an unsigned integer
    QByteArray hugeString = valve;
    hugeString.replace(nameLength, 4, hex("7FFFFFFE"));
    QByteArray oddString = valve;
    oddString.replace(nameLength, 4, hex("00000007"));
    QByteArray version2 = valve;
    version2[3] = 0x02;
    QByteArray version4 = valve;
    version4[3] = 0x04;
    const Hostile hostile[] = {
        {"empty.orx", QByteArray()},
        {"three-bytes.orx", hex("000000")},
        {"version-only.orx", version},
        {"version-2.orx", version2},
        {"version-4.orx", version4},
        {"version-little-endian.orx", hex("03000000") + type20},
        {"truncated-in-version.orx", valve.left(2)},
        {"truncated-in-key.orx", valve.left(6)},
        {"truncated-in-type-id.orx", valve.left(10)},
        {"truncated-in-string.orx", valve.left(nameLength + 7)},
        {"truncated-before-last-byte.orx", valve.left(valve.size() - 1)},
        {"flipped-type-id.orx", flippedType},
        {"huge-string-length.orx", hugeString},
        {"odd-string-length.orx", oddString},
        {"unknown-type-id.orx", typed + hex("00780000 0000007F 00 00000001")},
        {"user-type.orx", typed + hex("00780000 00000400 00 00000005 41424300")},
        {"list-of-2g-variants.orx", typed + hex("00780000 00000009 00 7FFFFFFF")},
        {"map-of-2g-entries.orx", typed + hex("00780000 00000008 00 7FFFFFFF")},
        {"nested-lists.orx", typed + hex("00780000 00000009 00 00000001 00000009 00 00000001 00000009 00 "
                                         "00000001 00000009 00 00000001 00000002 00 00000001")},
        {"byte-array-2g.orx", typed + hex("00780000 0000000C 00 7FFFFFFF")},
        {"long-long.orx", typed + hex("00780000 00000004 00 0000000000000014")},
        {"not-a-number.orx", typed + hex("00660000 00000006 00 7FF8000000000000")},
        {"infinity.orx", typed + hex("00660000 00000006 00 FFF0000000000000")},
        {"null-flag-2.orx", typed + hex("00780000 00000002 02 00000001")},
        {"null-integer-with-value.orx", typed + hex("00780000 00000002 01 00000005")},
        {"boolean-byte-2.orx", typed + hex("01960000 00000001 00 02")},
        {"invalid-variant-not-null.orx", typed + hex("00790000 00000000 00")},
        {"missing-document-type.orx", version + hex("00780000 00000002 00 00000001")},
        {"document-type-7.orx", version + hex("7FFE0000 00000002 00 00000007")},
        {"document-type-0.orx", version + hex("7FFE0000 00000002 00 00000000")},
        {"document-type-as-text.orx", version + hex("7FFE0000 0000000A 00 00000004 00320030")},
        {"document-type-as-double.orx", version + hex("7FFE0000 00000006 00 4034000000000000")},
        {"document-type-null.orx", version + hex("7FFE0000 00000000 01")},
        {"document-type-at-index-1.orx", version + hex("7FFE0001 00000002 00 00000014")},
        {"duplicate-keys.orx", typed + hex("00780000 00000002 00 00000001 00780000 00000002 00 00000004 "
                                           "7FFE0000 00000002 00 000001F4")},
        {"trailing-garbage-3.orx", valve + hex("616263")},
        {"trailing-garbage-9.orx", valve + hex("FFFFFFFFFFFFFFFFFF")},
        {"trailing-version.orx", valve + version},
        {"null-string.orx", typed + hex("007A0000 0000000A 01 FFFFFFFF")},
        {"negative-keys.orx", typed + hex("80000000 00000002 00 00000001 FFFFFFFF 00000001 00 01")},
    };
    for (const Hostile& file : hostile)
        put(target, QString::fromLatin1(file.name), file.bytes);

    // Well-formed documents with a value their form cannot use: each opens
    // with that field not filled in (or cut) and one warning.
    struct Odd
    {
        const char* name;
        Doc doc;
        qint16 fieldCode;
        QVariant value;
    };
    Doc viaHeat = orxsamples::valveDocument();
    viaHeat.setValue(DocKey(104), 2);
    const Odd odd[] = {
        {"odd-long-name.orx", orxsamples::valveDocument(), 122, QString(5000, QLatin1Char('W'))},
        {"odd-pressure-unit.orx", viaHeat, 101, 4},
        {"odd-regulator-pressure-unit.orx", orxsamples::regulatorDocument(), 101, 4},
        {"odd-place.orx", orxsamples::valveDocument(), 131, 7},
        {"odd-system.orx", orxsamples::valveDocument(), 120, 8},
        {"odd-medium.orx", orxsamples::regulatorDocument(), 121, 99},
        {"odd-heat-unit.orx", viaHeat, 1061, 7},
        {"odd-text-in-number.orx", orxsamples::valveDocument(), 108, QStringLiteral("1,5")},
        {"odd-nan-text.orx", orxsamples::kvDocument(), 102, QStringLiteral("nan")},
        {"odd-huge-number.orx", orxsamples::valveDocument(), 108, 1e300},
        {"odd-radio.orx", orxsamples::valveDocument(), 1011, -1},
        {"odd-check-int.orx", orxsamples::flowMeterDocument(), 410, 5},
    };
    for (const Odd& file : odd) {
        Doc doc = file.doc;
        doc.setValue(DocKey(file.fieldCode), file.value);
        put(target, QString::fromLatin1(file.name), doc.toByteArray());
    }
}

// ---------------------------------------------------------------------------
// Engine tasks

QByteArray valveTask(const ValveInputParams& in, int flags = 0)
{
    EngineTask task;
    task.kind = EngineTask::Valve;
    task.valve = in;
    task.flags = flags;
    return orxfuzz::encodeTask(task);
}

QByteArray kvTask(const KvInputParams& in, int flags = 0)
{
    EngineTask task;
    task.kind = EngineTask::Kv;
    task.kv = in;
    task.flags = flags;
    return orxfuzz::encodeTask(task);
}

QByteArray regulatorTask(const RegulatorInputParams& in, int flags = 0)
{
    EngineTask task;
    task.kind = EngineTask::Regulator;
    task.regulator = in;
    task.flags = flags;
    return orxfuzz::encodeTask(task);
}

KvInputParams kvFrom(const ValveInputParams& valve)
{
    KvInputParams in;
    static_cast<ValveInputParams&>(in) = valve;
    in.valveType = dtLMKP;
    return in;
}

KvInputParams kvWater()
{
    KvInputParams in;
    in.substance = stWater;
    in.place = ipSupply;
    in.pressureType = pkExcess;
    in.pressureMeasure = pmBar;
    in.P1 = 2;
    in.P2 = 1;
    in.dP = 1;
    in.Tsupply = 20;
    in.Treturn = NAN;
    in.flowInputMode = 1;
    in.flowMeasure = wfM3h;
    in.flow = 10;
    return in;
}

KvInputParams kvGas(int substance, double P1, double P2)
{
    KvInputParams in = kvWater();
    in.substance = substance;
    in.pressureType = pkAbsolute;
    in.P1 = P1;
    in.P2 = P2;
    in.dP = P1 - P2;
    in.flow = 100;
    return in;
}

void writeEngineTasks()
{
    const QString target = QStringLiteral("engine");
    const double inf = std::numeric_limits<double>::infinity();

    // The worked examples of the start-up checks, the flow from the heat load
    // as the checks derive it (kept unrounded) and as a form shows it.
    for (int n = 1; n <= 4; ++n) {
        const ValveInputParams in = algotest::valveExample(n);
        put(target, QStringLiteral("valve-example-%1.task").arg(n), valveTask(in));
        put(target, QStringLiteral("kv-of-valve-example-%1.task").arg(n), kvTask(kvFrom(in)));
        if (in.flowInputMode == 2)
            put(target, QStringLiteral("valve-example-%1-rounded-flow.task").arg(n),
                valveTask(in, EngineTask::DeriveFlow | EngineTask::RoundDerived));
    }
    for (int n = 1; n <= 3; ++n) {
        const RegulatorInputParams in = algotest::regulatorExample(n);
        put(target, QStringLiteral("regulator-example-%1.task").arg(n), regulatorTask(in));
        if (in.flowInputMode == 2)
            put(target, QStringLiteral("regulator-example-%1-rounded-flow.task").arg(n),
                regulatorTask(in, EngineTask::DeriveFlow | EngineTask::RoundDerived));
    }

    // The Kv calculation at the edges of its checks.
    struct KvCase
    {
        const char* name;
        KvInputParams in;
    };
    QList<KvCase> cases;
    cases << KvCase{"kv-water-10m3h-1bar", kvWater()};
    KvInputParams t = kvWater();
    t.P2 = t.P1;
    cases << KvCase{"kv-equal-pressures", t};
    t = kvWater();
    t.P1 = 25;
    t.P2 = 24;
    cases << KvCase{"kv-25-bar-gauge", t};
    t.P1 = 25.01;
    cases << KvCase{"kv-25.01-bar-gauge", t};
    t = kvWater();
    t.Tsupply = 0;
    cases << KvCase{"kv-temperature-zero", t};
    t = kvWater();
    t.Tsupply = NAN;
    cases << KvCase{"kv-temperature-hidden", t};
    t = kvWater();
    t.flow = inf;
    cases << KvCase{"kv-infinite-flow", t};
    t = kvWater();
    t.flow = 1e8;
    t.P1 = 0.02;
    t.P2 = 0.01;
    cases << KvCase{"kv-huge-flow-tiny-drop", t};
    t = kvWater();
    t.flowMeasure = 0;
    cases << KvCase{"kv-no-flow-unit", t};
    t = kvWater();
    t.valveType = dtEmpty;
    cases << KvCase{"kv-no-device-type", t};
    t = kvWater();
    t.P1 = -3;
    t.P2 = -5;
    cases << KvCase{"kv-negative-pressures", t};
    t = kvWater();
    t.pressureMeasure = pmMWater;
    t.P1 = 20;
    t.P2 = 10;
    t.Tsupply = 150;
    cases << KvCase{"kv-water-near-boiling", t};
    t = kvWater();
    t.substance = stEthyleneGlycol;
    t.concentration = 60;
    t.Tsupply = 220;
    cases << KvCase{"kv-glycol-60-at-220", t};
    cases << KvCase{"kv-air-subcritical", kvGas(stAir, 6, 5)};
    cases << KvCase{"kv-air-critical", kvGas(stAir, 8, 4)};
    cases << KvCase{"kv-nitrogen-critical-boundary", kvGas(stNitrogen, 8, 4.000000001)};
    t = kvGas(stSuperheatedSteam, 8, 4);
    t.flowMeasure = wfKgh;
    t.flow = 1000;
    t.Tsupply = 200;
    cases << KvCase{"kv-steam-critical", t};
    t.P2 = 4.01;
    cases << KvCase{"kv-steam-subcritical", t};
    t = kvGas(stSaturatedSteam, 26.01, 1);
    t.flowMeasure = wfTh;
    t.flow = 2;
    t.Tsupply = NAN;
    cases << KvCase{"kv-saturated-steam-too-hot", t};
    for (const KvCase& c : cases)
        put(target, QString::fromLatin1(c.name) + QLatin1String(".task"), kvTask(c.in));

    // Valve and regulator tasks beyond the forms.
    ValveInputParams v = algotest::valveExample(1);
    v.dPru = -1;
    put(target, QStringLiteral("valve-negative-section-drop.task"), valveTask(v));
    v = algotest::valveExample(2);
    v.flow = 1e8;
    put(target, QStringLiteral("valve-beyond-the-catalogue.task"), valveTask(v));
    v = algotest::valveExample(4);
    v.substance = stSaturatedSteam;
    v.Tsupply = NAN;
    put(target, QStringLiteral("valve-saturated-steam.task"), valveTask(v));
    v = algotest::valveExample(3);
    v.Treturn = NAN;
    put(target, QStringLiteral("valve-return-temperature-hidden.task"), valveTask(v));

    RegulatorInputParams r = algotest::regulatorExample(2);
    r.regulation = rtBypass;
    put(target, QStringLiteral("regulator-bypass.task"), regulatorTask(r));
    r = algotest::regulatorExample(2);
    r.regulation = rtDownstream;
    r.substance = stSaturatedSteam;
    r.place = ipSupply;
    r.flowMeasure = wfKgh;
    r.flow = 500;
    r.Tsupply = NAN;
    r.Treturn = NAN;
    put(target, QStringLiteral("regulator-steam-downstream.task"), regulatorTask(r));
    r = algotest::regulatorExample(1);
    r.place = 7;
    put(target, QStringLiteral("regulator-unknown-place.task"), regulatorTask(r));
    r = algotest::regulatorExample(3);
    r.Psupply = inf;
    put(target, QStringLiteral("regulator-infinite-supply-pressure.task"), regulatorTask(r));
}

// ---------------------------------------------------------------------------
// Drive designations

void writeDrives()
{
    const QString target = QStringLiteral("drive");
    const QVector<int>& series = ElectricDriveCatalogue::valveDnSeries();
    const QVector<ElectricDrive>& drives = ElectricDriveCatalogue::standard().drives();
    for (int i = 0; i < drives.size(); ++i) {
        QByteArray bytes = drives.at(i).m_designation.toUtf8() + '\n';
        for (int dn : drives.at(i).m_dnSet)
            bytes.append(static_cast<char>(series.indexOf(dn)));
        put(target, QStringLiteral("catalogue-%1.txt").arg(i + 1, 2, 10, QLatin1Char('0')), bytes);
    }
    const char* broken[] = {
        "",
        "ЛМА-",
        "ЛМА-125В-1600/63-20-220В",     // "В" drives exist for three-point control only
        "ЛМА-115B-1600/63-20-220В",     // Latin B
        "LMA-115-700/63-20-220В",       // Latin letters
        "лма-115-700/63-20-220в",       // lower case
        "ЛМА-115-700/63-20-220В IP65",  // no such protection class
        "ЛМА-115-700/63-20-220В\tIP67", // another blank
        "ЛМА-115-700/63-20-220В IP67 ", // trailing blank
        "ЛМА-415-700/63-20-220В",       // control digit 4
        "ЛМА-012-700/63-20-220В",       // family 0
        "ЛМА-115-700/63-20-380В",       // no such supply
        "ЛМА-115--/-",                  // empty figures, no supply
        "ЛМА-115-//-220В",              // empty figures
        "ЛМА-115-99999999999999999999/63-20-24В",
        "ЛМА-115М-700/63-20-24В\xc2\xa0IP67", // no-break space
        "ЛМА-1\xff\xfe-700/63-20-24В",        // broken UTF-8
        "ЛМА-115-700/63-20-24В IP67 IP67",
    };
    int n = 0;
    for (const char* designation : broken) {
        QByteArray bytes = QByteArray(designation) + "\n" + hex("00 05 0D F0 F1 F4 FF 05");
        put(target, QStringLiteral("broken-%1.txt").arg(++n, 2, 10, QLatin1Char('0')), bytes);
    }
    // A designation with an embedded zero.
    put(target, QStringLiteral("broken-zero.txt"),
        QByteArray("ЛМА-115-700/63-20-220В") + bytes({0}) + " IP67\n" + bytes({1}));
}

// ---------------------------------------------------------------------------
// Table texts

void writeTables()
{
    const QString target = QStringLiteral("texttable");
    // Header: writers (0 both), prepared rows, columns.
    auto table = [](int rows, int columns, const QByteArray& text) {
        return bytes({0, rows - 1, columns - 1}) + text;
    };
    QByteArray longText;
    for (int i = 0; i < 300; ++i)
        longText += "Длина строки ";
    put(target, QStringLiteral("dimension-table.txt"),
        table(6, 4, "DN\t15\t20\t25\nL|мм\t130\t150\t160\nH|мм\t235\t235\t245\nМасса|кг\t2,9\t3,5\t4,2"));
    put(target, QStringLiteral("three-bars.txt"), table(2, 2, "Давление|бар|изб.\t1|2|3"));
    put(target, QStringLiteral("bar-only.txt"), table(2, 2, "|\t||\n|x\tx|"));
    put(target, QStringLiteral("markup.txt"),
        table(3, 3,
              "<b>жирный</b>\t<i>курсив</i>\t<br>\n</td></tr></table><table><tr><td>\t<img "
              "src=\":/icons/x.png\">\t"
              "&amp;&lt;&#x41;&nbsp;\n<script>alert(1)</script>\t\"кавычки\" & 'апостроф'\t<!-- -->"));
    put(target, QStringLiteral("long-text.txt"), table(2, 2, longText + "\t" + longText));
    put(target, QStringLiteral("odd-unicode.txt"),
        table(
            4, 3,
            "ё\xcc\x81 и\xcc\x86 (combining)\t\xd8\xa7\xd9\x84\xd8\xb9\xd8\xb1\xd8\xa8\xd9\x8a\xd8\xa9 RTL\t"
            "\xf0\x9f\x94\xa5\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x94\xa7 emoji\n"
            "\xe2\x80\xa8line\xe2\x80\xa9para\r\nCRLF\t\xef\xbf\xbf\xef\xb7\x90\xef\xb7\x91\t\xef\xbb\xbf "
            "BOM\n"
            "\xed\xa0\x80 lone surrogate\t\xc0\xaf overlong\t\x01\x02 control"));
    put(target, QStringLiteral("widening.txt"), table(4, 2, "a\tb\na\tb\tc\td\te\na\n\x02\na\tb"));
    put(target, QStringLiteral("past-the-end.txt"), table(1, 2, "a\tb\nc\td\ne\tf"));
    put(target, QStringLiteral("cells-and-seek.txt"),
        table(5, 3,
              bytes({1, 1, 4, 3, 14}) + "Ячейка|ед.\nx\ty\tz\n" + bytes({3}) + "\nпосле\tseek\n" +
                  bytes({4, 20, 50, 30})));
    put(target, QStringLiteral("cell-out-of-range.txt"),
        table(2, 2, bytes({1, 127, 2, 0, 0}) + "вне\n" + bytes({1, 255, 1, 1, 240}) + "минус"));
    put(target, QStringLiteral("html-only.txt"), bytes({1, 0, 0}) + "<&>\t\"");
    put(target, QStringLiteral("document-only.txt"), bytes({2, 0, 0}) + "x|y\tz");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: orx_fuzz_seeds CORPUS_FOLDER\n");
        return 2;
    }
    // The engine's internal checks on odd tasks are expected here.
    geh::ErrorHandler::instance()->setLogFileName(QString());
    geh::ErrorHandler::instance()->setPrinter(new geh::QCustomMessagePrinter, false);
    g_root = QDir(QString::fromLocal8Bit(argv[1]));
    writeDocuments();
    writeEngineTasks();
    writeDrives();
    writeTables();
    std::printf("%d seed files written to %s\n", g_written, qPrintable(g_root.absolutePath()));
    return 0;
}
