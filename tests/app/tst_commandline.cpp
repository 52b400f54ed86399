// Documents named on the command line, as the file manager passes them on a
// double-click: each opens in its own tab the way "Открыть..." opens it, a
// refused one is explained as there, and only a start without documents asks
// for a new one. (The real program taking them from its arguments, past the
// toolkit's own, is run in tst_install.)

#include "../../fuzz/sampledocuments.h"

#include "guitestsupport.h"
#include "mainwindow.h"

#include <QDialog>
#include <QMessageBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/stat.h>

namespace {

const QString kNewDocumentDialog = QStringLiteral("Новый подбор");

// Turns down every modal window that comes and keeps what it was: the text of a
// message box, the title of any other dialog.
class ModalRecorder : public QObject
{
public:
    ModalRecorder()
    {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            auto* box = qobject_cast<QMessageBox*>(modal);
            seen << (box ? box->text() : modal->windowTitle());
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        });
        timer->start(10);
    }
    QStringList seen;
};

QStringList tabTitles(const MainWindow& window)
{
    QStringList titles;
    for (int i = 0; i < window.tabWidget()->count(); ++i)
        titles << window.tabWidget()->tabText(i);
    return titles;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& relative) const { return m_dir.filePath(relative); }

    bool write(const QString& relative, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile file(path(relative));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(write(QStringLiteral("Клапан.orx"), orxsamples::valveDocument().toByteArray()));
        QVERIFY(write(QStringLiteral("Проекты 2022/Расчёт Kv.orx"), orxsamples::kvDocument().toByteArray()));
        QVERIFY(write(QStringLiteral("with spaces/flow meter.orx"),
                      orxsamples::flowMeterDocument().toByteArray()));
        // A list of two billion fields: the reader must refuse it, not run out of memory.
        QVERIFY(write(QStringLiteral("hostile.orx"), QByteArray::fromHex("00000003"
                                                                         "7ffe0000"
                                                                         "00000009"
                                                                         "00"
                                                                         "7fffffff")));
        // A named pipe nobody writes to: reading it would never end.
        QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe.orx"))).constData(), 0600), 0);
    }

    void opensTheDocumentsGiven_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("tabs");
        // What the user was shown, in order: the text of each box, or the
        // title of the new-document dialog.
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("refusals");

        const QString dialog = kNewDocumentDialog;
        QTest::newRow("none: a new document is asked for")
            << QStringList() << QStringList() << QStringList{dialog} << 0;
        QTest::newRow("valid") << QStringList{QStringLiteral("Клапан.orx")}
                               << QStringList{QStringLiteral("Клапан")} << QStringList() << 0;
        QTest::newRow("Cyrillic folder") << QStringList{QStringLiteral("Проекты 2022/Расчёт Kv.orx")}
                                         << QStringList{QStringLiteral("Расчёт Kv")} << QStringList() << 0;
        QTest::newRow("spaces") << QStringList{QStringLiteral("with spaces/flow meter.orx")}
                                << QStringList{QStringLiteral("flow meter")} << QStringList() << 0;
        QTest::newRow("missing") << QStringList{QStringLiteral("missing.orx")} << QStringList()
                                 << QStringList() << 1;
        QTest::newRow("hostile") << QStringList{QStringLiteral("hostile.orx")} << QStringList()
                                 << QStringList() << 1;
        QTest::newRow("pipe") << QStringList{QStringLiteral("pipe.orx")} << QStringList() << QStringList()
                              << 1;
        QTest::newRow("same file twice by two paths")
            << QStringList{QStringLiteral("Клапан.orx"), QStringLiteral("with spaces/../Клапан.orx")}
            << QStringList{QStringLiteral("Клапан")} << QStringList() << 0;
        QTest::newRow("several, one refused")
            << QStringList{QStringLiteral("Клапан.orx"), QStringLiteral("missing.orx"),
                           QStringLiteral("with spaces/flow meter.orx")}
            << QStringList{QStringLiteral("Клапан"), QStringLiteral("flow meter")} << QStringList() << 1;
    }

    void opensTheDocumentsGiven()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, tabs);
        QFETCH(QStringList, shown);
        QFETCH(int, refusals);
        QStringList paths;
        for (const QString& file : files)
            paths << path(file);

        // A refusal is an error message or a warning box of the reader.
        orxtest::MessageCapture errors;
        ModalRecorder modals;
        MainWindow window(paths);
        // Every document is read, and every refusal answered, before the
        // window goes idle.
        QTest::qWait(300);
        QTRY_VERIFY(!QApplication::activeModalWidget());

        QCOMPARE(tabTitles(window), tabs);
        // The last document opened is the one in front.
        QCOMPARE(window.tabWidget()->currentIndex(), tabs.size() - 1);
        const QStringList dialogs = modals.seen.filter(kNewDocumentDialog);
        QCOMPARE(dialogs, shown);
        QCOMPARE(errors.count() + modals.seen.size() - dialogs.size(), refusals);
        // A file that is not there is named.
        if (files.contains(QStringLiteral("missing.orx")))
            QVERIFY(errors.contains(path(QStringLiteral("missing.orx"))));
    }
};

ORX_GUI_TEST_MAIN(TestCommandLine)

#include "tst_commandline.moc"
