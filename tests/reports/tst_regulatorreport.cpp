// The regulator report: the pressure rows of each kind of regulation, the rows
// of the chosen regulator for liquids and steam, titles and file names.

#include "guitestsupport.h"
#include "tst_pdfgenerator_reader.h"

#include "engine/algotest.h"
#include "engine/regulatoralgorithm.h"
#include "reports/regulatorpdfgenerator.h"
#include "settings/smartsettings.h"

#include <QDate>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>

using namespace common;

Q_DECLARE_METATYPE(RegulatorInputParams)
Q_DECLARE_METATYPE(PipeSelections)

namespace {

using Rows = QList<QStringList>;

RegulatorInputParams task(int regulation, int substance, int place, int pressureType, int measure)
{
    RegulatorInputParams in;
    in.objectName = QStringLiteral("ИТП-2");
    in.system = lpHeating;
    in.regulation = regulation;
    in.substance = substance;
    in.place = place;
    in.pressureType = pressureType;
    in.pressureMeasure = measure;
    in.flowMeasure = wfM3h;
    return in;
}

// A worked example as the start-up checks fill it, on the object of every task here.
RegulatorInputParams example(int number)
{
    RegulatorInputParams in = algotest::regulatorExample(number);
    in.objectName = QStringLiteral("ИТП-2");
    in.system = lpHeating;
    return in;
}

// ЛМР-2-П "после себя", saturated steam, absolute бар.
RegulatorInputParams steamTask()
{
    RegulatorInputParams in = task(rtDownstream, stSaturatedSteam, ipSupply, pkAbsolute, pmBar);
    in.objectName = QStringLiteral("Паровая");
    in.system = lpProcess;
    in.P1 = 6;
    in.P2 = 3;
    in.Tsupply = 160;
    in.flowMeasure = wfKgh;
    in.flow = 500;
    return in;
}

RegulatorReport reportOf(const RegulatorInputParams& input, int dn, double kvs, const PipeSelections& pipes)
{
    RegulatorAlgorithm algorithm;
    if (!algorithm.calc(input))
        qWarning("%s", qPrintable(algorithm.errorText()));
    RegulatorReport report{input, RegulatorResultItem(), pipes};
    for (const RegulatorResultItem& item : algorithm.results())
        if (item.dn == dn && std::abs(item.kv - kvs) < 1e-10)
            report.item = item;
    return report;
}

QStringList row(const char* a, const char* b = nullptr, const char* c = nullptr)
{
    QStringList cells{QString::fromUtf8(a)};
    if (b)
        cells.append(QString::fromUtf8(b));
    if (c)
        cells.append(QString::fromUtf8(c));
    return cells;
}

Rows head(const char* medium, const char* regulation, const char* place)
{
    return {row("Объект", "ИТП-2"),       row("Условия эксплуатации"),      row("Система", "отопление"),
            row("Рабочая среда", medium), row("Регулирование", regulation), row("Место установки", place)};
}

// The two rows of pressure lost on other equipment of the inlet.
Rows losses(const char* before, const char* after, const char* unit)
{
    const char* where = " регулируемого участка (расходомеры, фильтры, грязевики и пр.) ";
    return {{QStringLiteral("Потери давления на другом оборудовании ДО") + QString::fromUtf8(where) +
                 QStringLiteral("ΔPдр.под"),
             QString::fromUtf8(before), QString::fromUtf8(unit)},
            {QStringLiteral("Потери давления на другом оборудовании ПОСЛЕ") + QString::fromUtf8(where) +
                 QStringLiteral("ΔPдр.обр"),
             QString::fromUtf8(after), QString::fromUtf8(unit)}};
}

} // namespace

class TestRegulatorReport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт"));
        QVERIFY(m_folder.isValid());
        SmartSettings().setValue(QStringLiteral("Common/Directory"), m_folder.path());
    }

    void inputRows_data()
    {
        QTest::addColumn<RegulatorInputParams>("input");
        QTest::addColumn<Rows>("rows");

        QTest::newRow("1: ЛМР-Д, the pressure balance of the inlet")
            << example(1)
            << head("пропиленгликоля раствор 10%", "перепада давления", "обратный трубопровод") +
                   Rows{row("Абсолютное давление в подающем трубопроводе на вводе Pпод", "5.00", "бар"),
                        row("Абсолютное давление в обратном трубопроводе на вводе Pобр", "1.00", "бар"),
                        row("Перепад давления, поддерживаемый на регулируемом участке, ΔPру", "1.00", "бар"),
                        row("Перепад давления на регуляторе ΔPрег", "2.00", "бар")} +
                   losses("0.50", "0.50", "бар") +
                   Rows{row("Температура рабочей среды в подающем трубопроводе Tпод", "100.00", "°C"),
                        row("Температура рабочей среды в обратном трубопроводе Tобр", "46.00", "°C"),
                        row("Тепловая нагрузка Q", "2.00", "ГКал/ч"),
                        row("Максимальный расход рабочей среды G", "38.71", "м³/ч")};
        // No supply temperature: its row is left out, not written "Не задано".
        QTest::newRow("2: ЛМР-1 \"до себя\", P1 - P2 across the regulator")
            << example(2)
            << head("вода", "давления \"до себя\"", "обратный трубопровод") +
                   Rows{row("Избыточное давление перед регулятором P1", "8.00", "атм"),
                        row("Избыточное давление после регулятора P2", "4.10", "атм"),
                        row("Перепад давления на регуляторе ΔPрег", "3.90", "атм"),
                        row("Температура рабочей среды в обратном трубопроводе Tобр", "46.00", "°C"),
                        row("Максимальный расход рабочей среды G", "38.88", "м³/ч")};
        // A gas has no regulated section to keep a drop on, and normal cubic metres.
        RegulatorInputParams air = task(rtDiffPressure, stAir, ipSupply, pkExcess, pmKPa);
        air.Psupply = 300;
        air.Preturn = 100;
        air.dPreg = 150;
        air.dPdrSupply = 20;
        air.dPdrReturn = 30;
        air.Tsupply = 20;
        air.Treturn = NAN;
        air.flow = 120;
        QTest::newRow("differential pressure of air: no ΔPру")
            << air
            << head("воздух", "перепада давления", "подающий трубопровод") +
                   Rows{row("Избыточное давление в подающем трубопроводе на вводе Pпод", "300.00", "кПа"),
                        row("Избыточное давление в обратном трубопроводе на вводе Pобр", "100.00", "кПа"),
                        row("Перепад давления на регуляторе ΔPрег", "150.00", "кПа")} +
                   losses("20.00", "30.00", "кПа") +
                   Rows{row("Температура рабочей среды в подающем трубопроводе Tпод", "20.00", "°C"),
                        row("Максимальный расход рабочей среды G", "120.00", "нм³/ч")};
    }

    void inputRows()
    {
        QFETCH(RegulatorInputParams, input);
        QFETCH(Rows, rows);

        RegulatorResultItem item;
        item.deviceType = input.deviceType();
        item.tuningRange = 527;
        item.deviceNoiseRisk = nrLow;
        RegulatorPdfGenerator generator(input.deviceType());
        generator.write(RegulatorReport{input, item, {}});
        const QList<QTextTable*> tables = reporttest::dataTables(generator.textDocument());
        QCOMPARE(tables.size(), 2);
        QCOMPARE(reporttest::tableRows(tables.first()), rows);
    }

    void regulatorRows_data()
    {
        QTest::addColumn<RegulatorInputParams>("input");
        QTest::addColumn<int>("dn");
        QTest::addColumn<double>("kvs");
        QTest::addColumn<PipeSelections>("pipes");
        QTest::addColumn<Rows>("rows");

        QTest::newRow("1: ЛМР-Д DN 40 Kvs 25")
            << example(1) << 40 << 25.0 << PipeSelections{{plSingle, {40, 8.55609}}}
            << Rows{row("Наименование", "Регулятор перепада давления ЛМР-Д DN 40 Kvy 25 (0,04 - 0,70 МПа)"),
                    row("Вероятность кавитации в регуляторе", "низкая", ""),
                    row("Вероятность шума и вибрации в регуляторе", "ниже средней", ""),
                    row("Макс. скорость потока в трубопроводе DN 40", "8.56", "м/с")};
        QTest::newRow("2: ЛМР-1 DN 40 Kvs 25")
            << example(2) << 40 << 25.0 << PipeSelections{{plSingle, {50, 5.5}}}
            << Rows{row("Наименование", "Регулятор давления «до себя» ЛМР-1 DN 40 Kvy 25 (0,60 - 1,00 МПа)"),
                    row("Вероятность кавитации в регуляторе", "низкая", ""),
                    row("Вероятность шума и вибрации в регуляторе", "выше средней", ""),
                    row("Макс. скорость потока в трубопроводе DN 50", "5.50", "м/с")};
        QTest::newRow("ЛМР-2-П: speeds before and after, no risks")
            << steamTask() << 25 << 10.0
            << PipeSelections{{plBefore, {25, 89.5801}}, {plAfter, {40, 71.9669}}}
            << Rows{row("Наименование",
                        "Регулятор давления \"после себя\" прямого действия ЛМР-2-П (для пара) DN 25 "
                        "Kvy 10 (0,10 - 0,70 МПа)"),
                    row("Макс. скорость потока в трубопроводе DN 25 до регулятора", "89.58", "м/с"),
                    row("Макс. скорость потока в трубопроводе DN 40 после регулятора", "71.97", "м/с")};
    }

    void regulatorRows()
    {
        QFETCH(RegulatorInputParams, input);
        QFETCH(int, dn);
        QFETCH(double, kvs);
        QFETCH(PipeSelections, pipes);
        QFETCH(Rows, rows);

        orxtest::MessageCapture capture;
        const RegulatorReport report = reportOf(input, dn, kvs, pipes);
        QCOMPARE(report.item.dn, dn);
        RegulatorPdfGenerator generator(input.deviceType());
        generator.write(report);
        QCOMPARE(reporttest::tableRows(reporttest::dataTables(generator.textDocument()).last()), rows);
        QCOMPARE(capture.count(), 0);
    }

    // The known regulations are read in the report titles below.
    void unknownRegulationIsReported()
    {
        orxtest::MessageCapture capture;
        QCOMPARE(RegulatorPdfGenerator::titleDevName(5), QString());
        QCOMPARE(capture.assertions().size(), 1);
    }

    void titleFileNameAndDrawing_data()
    {
        QTest::addColumn<int>("regulation");
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("fileStem");
        QTest::addColumn<QStringList>("drawing");

        QTest::newRow("ЛМР-Д") << 1 << int(dtLMRD) << QStringLiteral("Расчёт регулятора перепада давления")
                               << QStringLiteral("Регулятор_перепада_давления")
                               << QStringList{QStringLiteral(":/icons/lmrd_small.png")};
        QTest::newRow("ЛМР-1") << 2 << int(dtLMR1) << QStringLiteral("Расчёт регулятора давления «до себя»")
                               << QStringLiteral("Регулятор_давления_до_себя")
                               << QStringList{QStringLiteral(":/icons/lmr1_small.png")};
        QTest::newRow("ЛМР-2-П") << 3 << int(dtLMR2P)
                                 << QStringLiteral("Расчёт регулятора давления «после себя»")
                                 << QStringLiteral("Регулятор_давления_после_себя")
                                 << QStringList{QStringLiteral(":/icons/lmr2_p_small.png")};
        // The bypass regulator has neither drawing nor dimension table.
        QTest::newRow("ЛМР-1-01") << 4 << int(dtLMR101) << QStringLiteral("Расчёт регулятора «перепуска»")
                                  << QStringLiteral("Регулятор_перепуска") << QStringList();
    }

    void titleFileNameAndDrawing()
    {
        QFETCH(int, regulation);
        QFETCH(int, deviceType);
        QFETCH(QString, title);
        QFETCH(QString, fileStem);
        QFETCH(QStringList, drawing);

        RegulatorInputParams input = example(2);
        input.regulation = regulation;
        RegulatorResultItem item;
        item.deviceType = deviceType;
        item.tuningRange = 527;
        item.deviceNoiseRisk = nrLow;

        orxtest::MessageCapture capture;
        RegulatorPdfGenerator generator(deviceType);
        generator.write(RegulatorReport{input, item, {}});
        // Only the missing drawing and dimensions of the bypass regulator are reported.
        QCOMPARE(capture.assertions().size(), drawing.isEmpty() ? 2 : 0);

        QCOMPARE(reporttest::titles(generator.textDocument()).first(), title);
        QCOMPARE(QFileInfo(generator.makeFileName()).fileName(),
                 fileStem + QStringLiteral("_ОРИМАКС_") +
                     QDate::currentDate().toString(QStringLiteral("dd.MM.yy")) + QStringLiteral(".pdf"));
        const QList<QTextTable*> tables = reporttest::topTables(generator.textDocument());
        QCOMPARE(reporttest::imagesIn(tables.at(tables.size() - 2)->cellAt(0, 0)), drawing);
        // A report is one sheet, notes and footer included.
        QCOMPARE(generator.textDocument().pageCount(), 1);
    }

private:
    QTemporaryDir m_folder;
};

ORX_GUI_TEST_MAIN(TestRegulatorReport)
#include "tst_regulatorreport.moc"
