// The valve report: its rows for the worked examples of the valve selection,
// and one report written to a real PDF and read back.

#include "guitestsupport.h"
#include "tst_pdfgenerator_reader.h"

#include "engine/algotest.h"
#include "engine/valvealgorithm.h"
#include "framework/pipeselectionarea.h"
#include "reports/valvepdfgenerator.h"
#include "settings/smartsettings.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <cmath>

using namespace common;

Q_DECLARE_METATYPE(ValveInputParams)
Q_DECLARE_METATYPE(PipeSelections)

namespace {

using Rows = QList<QStringList>;

// A worked example as the start-up checks fill it, on a named object.
ValveInputParams example(int number, const QString& objectName = QStringLiteral("ИТП-1"),
                         int system = lpHeating)
{
    ValveInputParams in = algotest::valveExample(number);
    in.objectName = objectName;
    in.system = system;
    return in;
}

// Superheated steam, flow given directly; the return temperature is not asked for.
ValveInputParams example4()
{
    return example(4, QStringLiteral("Паровая котельная"), lpProcess);
}

// The report of the candidate (DN, Kvs) of a calculated task.
ValveReport reportOf(const ValveInputParams& task, int dn, double kvs, const PipeSelections& pipes)
{
    ValveAlgorithm algorithm;
    if (!algorithm.calc(task))
        qWarning("%s", qPrintable(algorithm.errorText()));
    ValveReport report{task, ValveResultItem(), pipes};
    for (const ValveResultItem& item : algorithm.results())
        if (item.dn == dn && std::abs(item.kv - kvs) < 1e-10)
            report.item = item;
    return report;
}

QStringList caption(const char* text)
{
    return {QString::fromUtf8(text)};
}

QStringList row(const char* a, const char* b, const char* c = nullptr)
{
    QStringList cells{QString::fromUtf8(a), QString::fromUtf8(b)};
    if (c)
        cells.append(QString::fromUtf8(c));
    return cells;
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

} // namespace

class TestValveReport : public QObject
{
    Q_OBJECT
public slots:
    void openFile(const QUrl& url) { m_opened.append(url); }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Оримакс-расчёт"));
        QVERIFY(m_folder.isValid());
        SmartSettings().setValue(QStringLiteral("Common/Directory"), m_folder.path());
    }

    void inputRows_data()
    {
        QTest::addColumn<ValveInputParams>("task");
        QTest::addColumn<Rows>("rows");

        const Rows head{row("Объект", "ИТП-1"), caption("Условия эксплуатации"), row("Система", "отопление")};
        QTest::newRow("1: ЛМК-2, propylene glycol, gauge бар, flow from heat")
            << example(1)
            << head + Rows{row("Рабочая среда", "пропиленгликоля раствор 50%"),
                           row("Место установки", "подающий трубопровод"),
                           row("Избыточное давление перед клапаном P1", "6.00", "бар"),
                           row("Избыточное давление после клапана P2", "5.00", "бар"),
                           row("Перепад давления на клапане ΔP", "1.00", "бар"),
                           row("Перепад давления на регулируемом участке после клапана ΔPру", "0.50", "бар"),
                           row("Температура рабочей среды в подающем трубопроводе Tпод", "100.00", "°C"),
                           row("Температура рабочей среды в обратном трубопроводе Tобр", "70.00", "°C"),
                           row("Тепловая нагрузка Q", "2.50", "ГКал/ч"),
                           row("Максимальный расход рабочей среды G", "91.81", "т/ч")};
        QTest::newRow("3: ЛМК-3, water, return pipe, absolute атм")
            << example(3)
            << head + Rows{row("Рабочая среда", "вода"),
                           row("Место установки", "обратный трубопровод"),
                           row("Абсолютное давление перед клапаном P1", "5.00", "атм"),
                           row("Абсолютное давление после клапана P2", "3.00", "атм"),
                           row("Перепад давления на клапане ΔP", "2.00", "атм"),
                           row("Перепад давления на регулируемом участке после клапана ΔPру", "0.60", "атм"),
                           row("Температура рабочей среды в подающем трубопроводе Tпод", "94.00", "°C"),
                           row("Температура рабочей среды в обратном трубопроводе Tобр", "65.00", "°C"),
                           row("Тепловая нагрузка Q", "1.00", "ГКал/ч"),
                           row("Максимальный расход рабочей среды G", "34.43", "т/ч")};
        // Steam: no regulated section, no heat load (flow given), no return temperature.
        QTest::newRow("4: ЛМК-П, superheated steam, flow given")
            << example4()
            << Rows{row("Объект", "Паровая котельная"),
                    caption("Условия эксплуатации"),
                    row("Система", "технологический процесс"),
                    row("Рабочая среда", "перегретый пар"),
                    row("Место установки", "подающий трубопровод"),
                    row("Абсолютное давление перед клапаном P1", "4.80", "бар"),
                    row("Абсолютное давление после клапана P2", "3.50", "бар"),
                    row("Перепад давления на клапане ΔP", "1.30", "бар"),
                    row("Температура рабочей среды в подающем трубопроводе Tпод", "220.00", "°C"),
                    row("Температура рабочей среды в обратном трубопроводе Tобр", "Не задано", "°C"),
                    row("Максимальный расход рабочей среды G", "1345.60", "кг/ч")};
    }

    void inputRows()
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
            << example(1) << 100 << 125.0 << PipeSelections{{plSingle, {100, 3.2987}}}
            << Rows{row("Наименование", "Клапан седельный ЛМК-2 DN 100 Kvy 125"),
                    row("Коэффициент запаса", "1.35", " "),
                    row("Внешний авторитет", "0.59", " "),
                    row("Вероятность кавитации в клапане", "низкая", ""),
                    row("Вероятность шума и вибрации в клапане", "низкая", ""),
                    row("Макс. скорость потока в трубопроводе DN 100", "3.30", "м/с")};
        QTest::newRow("4: steam, a pipe before and one after")
            << example4() << 50 << 40.0 << PipeSelections{{plBefore, {50, 88.3012}}, {plAfter, {65, 72.0897}}}
            << Rows{row("Наименование", "Клапан для пара ЛМК-П DN 50 Kvy 40"),
                    row("Макс. скорость потока в трубопроводе DN 50 до клапана", "88.30", "м/с"),
                    row("Макс. скорость потока в трубопроводе DN 65 после клапана", "72.09", "м/с")};
        QTest::newRow("no pipe chosen: DN 0")
            << example(1) << 80 << 100.0 << PipeSelections()
            << Rows{row("Наименование", "Клапан седельный ЛМК-2 DN 80 Kvy 100"),
                    row("Коэффициент запаса", "1.08", " "),
                    row("Внешний авторитет", "0.65", " "),
                    row("Вероятность кавитации в клапане", "низкая", ""),
                    row("Вероятность шума и вибрации в клапане", "низкая", ""),
                    row("Макс. скорость потока в трубопроводе DN 0", "0.00", "м/с")};
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
        ValveInputParams task = example(3);
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
        const ValveInputParams task = example(1);
        ValveAlgorithm algorithm;
        QVERIFY(algorithm.calc(task));
        PipeSelectionArea pipes(algorithm);
        pipes.setDn(100);
        ValveReport report = reportOf(task, 100, 125, pipes.selections());

        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFile");
        orxtest::MessageCapture capture;
        ValvePdfGenerator generator;
        QVERIFY(generator.generate(report));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(capture.count(), 0);

        const QString path = generator.fileName();
        QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(path)});

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

private:
    QTemporaryDir m_folder;
    QList<QUrl> m_opened;
};

ORX_GUI_TEST_MAIN(TestValveReport)
#include "tst_valvereport.moc"
