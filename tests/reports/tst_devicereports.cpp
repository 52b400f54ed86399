// The valve and regulator reports: their rows for the worked examples, the
// pressure rows of each kind of regulation, titles, file names and drawings,
// and one report written to a real PDF and read back.

#include "formhost.h"
#include "guitestsupport.h"
#include "tst_pdfgenerator_reader.h"

#include "engine/algotest.h"
#include "engine/regulatoralgorithm.h"
#include "engine/valvealgorithm.h"
#include "framework/pipeselectionarea.h"
#include "reports/regulatorpdfgenerator.h"
#include "reports/valvepdfgenerator.h"
#include "settings/smartsettings.h"

#include <QDate>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <cmath>

using namespace common;
using orxtest::cells;

Q_DECLARE_METATYPE(ValveInputParams)
Q_DECLARE_METATYPE(RegulatorInputParams)
Q_DECLARE_METATYPE(PipeSelections)

namespace {

using Rows = QList<QStringList>;

// A worked example as the start-up checks fill it, on a named object.
ValveInputParams valveCase(int number, const QString& objectName = QStringLiteral("ИТП-1"),
                           int system = lpHeating)
{
    ValveInputParams in = algotest::valveExample(number);
    in.objectName = objectName;
    in.system = system;
    return in;
}

// Superheated steam, flow given directly; the return temperature is not asked for.
ValveInputParams valveCase4()
{
    return valveCase(4, QStringLiteral("Паровая котельная"), lpProcess);
}

ValveReport reportOf(const ValveInputParams& task, int dn, double kvs, const PipeSelections& pipes)
{
    return orxtest::reportOf<ValveAlgorithm, ValveReport>(task, dn, kvs, pipes);
}

QString pdfTool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

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
RegulatorInputParams regulatorCase(int number)
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

RegulatorReport reportOf(const RegulatorInputParams& task, int dn, double kvs, const PipeSelections& pipes)
{
    return orxtest::reportOf<RegulatorAlgorithm, RegulatorReport>(task, dn, kvs, pipes);
}

Rows head(const char* medium, const char* regulation, const char* place)
{
    return {cells("Объект", "ИТП-2"),           cells("Условия эксплуатации"),
            cells("Система", "отопление"),      cells("Рабочая среда", medium),
            cells("Регулирование", regulation), cells("Место установки", place)};
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

class TestDeviceReports : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт"));
        QVERIFY(m_folder.isValid());
        SmartSettings().setValue(QStringLiteral("Common/Directory"), m_folder.path());
    }

    void valveInputRows_data()
    {
        QTest::addColumn<ValveInputParams>("task");
        QTest::addColumn<Rows>("rows");

        const Rows head{cells("Объект", "ИТП-1"), cells("Условия эксплуатации"),
                        cells("Система", "отопление")};
        QTest::newRow("1: ЛМК-2, propylene glycol, gauge бар, flow from heat")
            << valveCase(1)
            << head +
                   Rows{cells("Рабочая среда", "пропиленгликоля раствор 50%"),
                        cells("Место установки", "подающий трубопровод"),
                        cells("Избыточное давление перед клапаном P1", "6.00", "бар"),
                        cells("Избыточное давление после клапана P2", "5.00", "бар"),
                        cells("Перепад давления на клапане ΔP", "1.00", "бар"),
                        cells("Перепад давления на регулируемом участке после клапана ΔPру", "0.50", "бар"),
                        cells("Температура рабочей среды в подающем трубопроводе Tпод", "100.00", "°C"),
                        cells("Температура рабочей среды в обратном трубопроводе Tобр", "70.00", "°C"),
                        cells("Тепловая нагрузка Q", "2.50", "ГКал/ч"),
                        cells("Максимальный расход рабочей среды G", "91.81", "т/ч")};
        // Steam: no regulated section, no heat load (flow given), no return temperature.
        QTest::newRow("4: ЛМК-П, superheated steam, flow given")
            << valveCase4()
            << Rows{cells("Объект", "Паровая котельная"),
                    cells("Условия эксплуатации"),
                    cells("Система", "технологический процесс"),
                    cells("Рабочая среда", "перегретый пар"),
                    cells("Место установки", "подающий трубопровод"),
                    cells("Абсолютное давление перед клапаном P1", "4.80", "бар"),
                    cells("Абсолютное давление после клапана P2", "3.50", "бар"),
                    cells("Перепад давления на клапане ΔP", "1.30", "бар"),
                    cells("Температура рабочей среды в подающем трубопроводе Tпод", "220.00", "°C"),
                    cells("Температура рабочей среды в обратном трубопроводе Tобр", "Не задано", "°C"),
                    cells("Максимальный расход рабочей среды G", "1345.60", "кг/ч")};
    }

    void valveInputRows()
    {
        QFETCH(ValveInputParams, task);
        QFETCH(Rows, rows);

        orxtest::MessageCapture capture;
        ValveAlgorithm algorithm;
        QVERIFY(algorithm.calc(task));
        ValvePdfGenerator generator;
        generator.write(ValveReport{task, algorithm.results().first(), {}});
        const QList<QTextTable*> tables = reporttest::dataTables(generator.textDocument());
        QCOMPARE(tables.size(), 2);
        QCOMPARE(reporttest::tableRows(tables.first()), rows);
        QCOMPARE(capture.count(), 0);
        // A report is one sheet, whatever the medium and its rows.
        QCOMPARE(generator.textDocument().pageCount(), 1);
    }

    void valveRows_data()
    {
        QTest::addColumn<ValveInputParams>("task");
        QTest::addColumn<int>("dn");
        QTest::addColumn<double>("kvs");
        QTest::addColumn<PipeSelections>("pipes");
        QTest::addColumn<Rows>("rows");

        QTest::newRow("1: water-like liquid, DN 100 Kvs 125")
            << valveCase(1) << 100 << 125.0 << PipeSelections{{plSingle, {100, 3.2987}}}
            << Rows{cells("Наименование", "Клапан седельный ЛМК-2 DN 100 Kvy 125"),
                    cells("Коэффициент запаса", "1.35", " "),
                    cells("Внешний авторитет", "0.59", " "),
                    cells("Вероятность кавитации в клапане", "низкая", ""),
                    cells("Вероятность шума и вибрации в клапане", "низкая", ""),
                    cells("Макс. скорость потока в трубопроводе DN 100", "3.30", "м/с")};
        QTest::newRow("4: steam, a pipe before and one after")
            << valveCase4() << 50 << 40.0
            << PipeSelections{{plBefore, {50, 88.3012}}, {plAfter, {65, 72.0897}}}
            << Rows{cells("Наименование", "Клапан для пара ЛМК-П DN 50 Kvy 40"),
                    cells("Макс. скорость потока в трубопроводе DN 50 до клапана", "88.30", "м/с"),
                    cells("Макс. скорость потока в трубопроводе DN 65 после клапана", "72.09", "м/с")};
        QTest::newRow("no pipe chosen: DN 0")
            << valveCase(1) << 80 << 100.0 << PipeSelections()
            << Rows{cells("Наименование", "Клапан седельный ЛМК-2 DN 80 Kvy 100"),
                    cells("Коэффициент запаса", "1.08", " "),
                    cells("Внешний авторитет", "0.65", " "),
                    cells("Вероятность кавитации в клапане", "низкая", ""),
                    cells("Вероятность шума и вибрации в клапане", "низкая", ""),
                    cells("Макс. скорость потока в трубопроводе DN 0", "0.00", "м/с")};
    }

    void valveRows()
    {
        QFETCH(ValveInputParams, task);
        QFETCH(int, dn);
        QFETCH(double, kvs);
        QFETCH(PipeSelections, pipes);
        QFETCH(Rows, rows);

        orxtest::MessageCapture capture;
        const ValveReport report = reportOf(task, dn, kvs, pipes);
        QCOMPARE(report.item.dn, dn);
        ValvePdfGenerator generator;
        generator.write(report);
        QCOMPARE(reporttest::tableRows(reporttest::dataTables(generator.textDocument()).last()), rows);
        QCOMPARE(capture.count(), 0);
    }

    // The object name is the user's own text: neither markup nor the unit bar.
    void reportLayout()
    {
        ValveInputParams task = valveCase(3);
        task.objectName = QStringLiteral("<b>Котельная</b> | корпус 2 | ул. Заводская\nИТП &amp; ЦТП");
        orxtest::MessageCapture capture;
        ValvePdfGenerator generator;
        generator.write(reportOf(task, 40, 25, {}));
        QCOMPARE(capture.count(), 0);
        QCOMPARE(reporttest::tableRows(reporttest::dataTables(generator.textDocument()).first()).first(),
                 (QStringList{QStringLiteral("Объект"), task.objectName}));

        QCOMPARE(
            reporttest::titles(generator.textDocument()),
            (QStringList{QStringLiteral("Расчёт регулирующего клапана"), QStringLiteral("Входные данные"),
                         QStringLiteral("Клапан, выбранный пользователем программы с учётом особенностей "
                                        "системы теплоснабжения"),
                         QStringLiteral("Габаритные размеры"),
                         QStringLiteral("Оримакс-расчёт, версия от 01.03.22")}));
        // The dimensions are those of the valve type of the task.
        const QList<QTextTable*> tables = reporttest::topTables(generator.textDocument());
        QCOMPARE(reporttest::imagesIn(tables.at(tables.size() - 2)->cellAt(0, 0)),
                 QStringList{QStringLiteral(":/icons/lmk3_small.png")});
        QCOMPARE(generator.name(), QStringLiteral("Клапан регулирующий"));
    }

    void writtenPdfReadsBack()
    {
        const QString pdftotext = pdfTool("pdftotext");
        const QString pdffonts = pdfTool("pdffonts");
        if (pdftotext.isEmpty() || pdffonts.isEmpty())
            QSKIP("poppler-utils (pdftotext, pdffonts) are not installed");

        // The pipe chosen as the window would: the area follows the valve's DN.
        const ValveInputParams task = valveCase(1);
        ValveAlgorithm algorithm;
        QVERIFY(algorithm.calc(task));
        PipeSelectionArea pipes(algorithm);
        pipes.setDn(100);
        ValveReport report = reportOf(task, 100, 125, pipes.selections());

        orxtest::ViewerStub viewer;
        orxtest::MessageCapture capture;
        ValvePdfGenerator generator;
        QVERIFY(generator.generate(report));
        QCOMPARE(capture.count(), 0);
        const QString path = generator.fileName();
        QCOMPARE(viewer.opened, QList<QUrl>{QUrl::fromLocalFile(path)});

        const QString text = runTool(pdftotext, {QStringLiteral("-layout"), path, QStringLiteral("-")});
        // The narrow caption cells of the dimension table may wrap, so only their
        // first word is looked for.
        for (const char* expected :
             {"Расчёт регулирующего клапана", "ИТП-1", "пропиленгликоля раствор",
              "Клапан седельный ЛМК-2 DN 100 Kvy 125", "Макс. скорость потока в трубопроводе DN 100", "3.30",
              "Номинальный", "Оримакс-расчёт, версия от 01.03.22"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);

        // Every font of the report is the report family, embedded in the file.
        const QStringList lines = runTool(pdffonts, {path}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(lines.size() > 2);
        const int embedded = lines.first().indexOf(QStringLiteral("emb"));
        for (const QString& font : lines.mid(2)) { // below the heading and its rule
            QVERIFY2(font.startsWith(QStringLiteral("Carlito")) || font.startsWith(QStringLiteral("Calibri")),
                     qPrintable(font));
            QCOMPARE(font.mid(embedded, 3), QStringLiteral("yes"));
        }
    }

    void regulatorInputRows_data()
    {
        QTest::addColumn<RegulatorInputParams>("input");
        QTest::addColumn<Rows>("rows");

        QTest::newRow("1: ЛМР-Д, the pressure balance of the inlet")
            << regulatorCase(1)
            << head("пропиленгликоля раствор 10%", "перепада давления", "обратный трубопровод") +
                   Rows{
                       cells("Абсолютное давление в подающем трубопроводе на вводе Pпод", "5.00", "бар"),
                       cells("Абсолютное давление в обратном трубопроводе на вводе Pобр", "1.00", "бар"),
                       cells("Перепад давления, поддерживаемый на регулируемом участке, ΔPру", "1.00", "бар"),
                       cells("Перепад давления на регуляторе ΔPрег", "2.00", "бар")} +
                   losses("0.50", "0.50", "бар") +
                   Rows{cells("Температура рабочей среды в подающем трубопроводе Tпод", "100.00", "°C"),
                        cells("Температура рабочей среды в обратном трубопроводе Tобр", "46.00", "°C"),
                        cells("Тепловая нагрузка Q", "2.00", "ГКал/ч"),
                        cells("Максимальный расход рабочей среды G", "38.71", "м³/ч")};
        // No supply temperature: its row is left out, not written "Не задано".
        QTest::newRow("2: ЛМР-1 \"до себя\", P1 - P2 across the regulator")
            << regulatorCase(2)
            << head("вода", "давления \"до себя\"", "обратный трубопровод") +
                   Rows{cells("Избыточное давление перед регулятором P1", "8.00", "атм"),
                        cells("Избыточное давление после регулятора P2", "4.10", "атм"),
                        cells("Перепад давления на регуляторе ΔPрег", "3.90", "атм"),
                        cells("Температура рабочей среды в обратном трубопроводе Tобр", "46.00", "°C"),
                        cells("Максимальный расход рабочей среды G", "38.88", "м³/ч")};
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
                   Rows{cells("Избыточное давление в подающем трубопроводе на вводе Pпод", "300.00", "кПа"),
                        cells("Избыточное давление в обратном трубопроводе на вводе Pобр", "100.00", "кПа"),
                        cells("Перепад давления на регуляторе ΔPрег", "150.00", "кПа")} +
                   losses("20.00", "30.00", "кПа") +
                   Rows{cells("Температура рабочей среды в подающем трубопроводе Tпод", "20.00", "°C"),
                        cells("Максимальный расход рабочей среды G", "120.00", "нм³/ч")};
    }

    void regulatorInputRows()
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
            << regulatorCase(1) << 40 << 25.0 << PipeSelections{{plSingle, {40, 8.55609}}}
            << Rows{cells("Наименование", "Регулятор перепада давления ЛМР-Д DN 40 Kvy 25 (0,04 - 0,70 МПа)"),
                    cells("Вероятность кавитации в регуляторе", "низкая", ""),
                    cells("Вероятность шума и вибрации в регуляторе", "ниже средней", ""),
                    cells("Макс. скорость потока в трубопроводе DN 40", "8.56", "м/с")};
        QTest::newRow("2: ЛМР-1 DN 40 Kvs 25")
            << regulatorCase(2) << 40 << 25.0 << PipeSelections{{plSingle, {50, 5.5}}}
            << Rows{
                   cells("Наименование", "Регулятор давления «до себя» ЛМР-1 DN 40 Kvy 25 (0,60 - 1,00 МПа)"),
                   cells("Вероятность кавитации в регуляторе", "низкая", ""),
                   cells("Вероятность шума и вибрации в регуляторе", "выше средней", ""),
                   cells("Макс. скорость потока в трубопроводе DN 50", "5.50", "м/с")};
        QTest::newRow("ЛМР-2-П: speeds before and after, no risks")
            << steamTask() << 25 << 10.0
            << PipeSelections{{plBefore, {25, 89.5801}}, {plAfter, {40, 71.9669}}}
            << Rows{cells("Наименование",
                          "Регулятор давления \"после себя\" прямого действия ЛМР-2-П (для пара) DN 25 "
                          "Kvy 10 (0,10 - 0,70 МПа)"),
                    cells("Макс. скорость потока в трубопроводе DN 25 до регулятора", "89.58", "м/с"),
                    cells("Макс. скорость потока в трубопроводе DN 40 после регулятора", "71.97", "м/с")};
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

        RegulatorInputParams input = regulatorCase(2);
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

ORX_GUI_TEST_MAIN(TestDeviceReports)
#include "tst_devicereports.moc"
