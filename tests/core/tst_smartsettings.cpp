// The settings store: the user's settings kept in the native store, every
// scope that cannot be served falling back to it after a report, and the
// program's own file, seeded once from its template and kept in Windows-1251.

#include "gentools/errorhandle.h"
#include "settings/smartsettings.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace {

const QString kFileName = QStringLiteral("tst_smartsettings.ini");

} // namespace

class TestSmartSettings : public QObject
{
    Q_OBJECT

    QString localPath() const
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/settings/") + kFileName;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Оримакстех"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_smartsettings"));
        geh::ErrorHandler::instance()->setLogFileName(QStringLiteral("test.log"));
    }

    void init()
    {
        SmartSettings::setFileName(QString());
        SmartSettings::data(SmartSettings::Global)->clear();
        QFile::remove(localPath());
        QFile::remove(localPath() + QStringLiteral(".default"));
    }

    void cleanupTestCase()
    {
        init();
        QDir().rmdir(QFileInfo(localPath()).path()); // only when nothing else lives there
        geh::ErrorHandler::destroyInstance();
    }

    void globalRoundTrip()
    {
        orxtest::MessageCapture capture;
        const QString folder = QStringLiteral("/home/инженер/Документы/Клапаны");
        SmartSettings(SmartSettings::Global).setValue(QStringLiteral("Common/Directory"), folder);
        SmartSettings().renameKey(QStringLiteral("Common/Directory"), QStringLiteral("Common/Folder"));
        // A key that does not exist is not created under the new name.
        SmartSettings().renameKey(QStringLiteral("Missing/key"), QStringLiteral("Other/key"));
        SmartSettings::data(SmartSettings::Global)->sync();

        // Another store on the same native file sees it: the value is really kept.
        QSettings native;
        QCOMPARE(native.value(QStringLiteral("Common/Folder")).toString(), folder);
        QCOMPARE(native.allKeys(), QStringList{QStringLiteral("Common/Folder")});
        QVERIFY2(native.fileName().endsWith(QStringLiteral("/Оримакстех/tst_smartsettings.conf")),
                 qPrintable(native.fileName()));
        QCOMPARE(SmartSettings().value(QStringLiteral("No/Such"), 42).toInt(), 42);
        QCOMPARE(capture.count(), 0);
    }

    void scopeFallbacks_data()
    {
        QTest::addColumn<int>("scope");
        QTest::addColumn<QString>("condition");
        QTest::newRow("local without a file") << int(SmartSettings::Local) << QStringLiteral("0");
        QTest::newRow("scope 3") << 3 << QStringLiteral("v == Global");
    }

    // Every scope that cannot be served reads and writes the Global store,
    // after a report.
    void scopeFallbacks()
    {
        QFETCH(int, scope);
        SmartSettings::data(SmartSettings::Global)->setValue(QStringLiteral("A/key"), 5);
        orxtest::MessageCapture capture;
        QCOMPARE(SmartSettings(scope).value(QStringLiteral("A/key"), 1).toInt(), 5);
        SmartSettings(scope).setValue(QStringLiteral("A/written"), 9);
        QCOMPARE(SmartSettings::data(SmartSettings::Global)->value(QStringLiteral("A/written")).toInt(), 9);
        QCOMPARE(capture.conditions().size(), capture.count());
        QVERIFY(capture.count() >= 2);
        QTEST(capture.conditions().first(), "condition");
        QVERIFY(capture.assertions().first().contains(QStringLiteral("smartsettings.cpp, data(), row ")));

        capture.clear();
        SmartSettings::iniFileName();
        QCOMPARE(capture.conditions(), QStringList{QStringLiteral("!m_fileName.isEmpty()")});
    }

    void localStore()
    {
        orxtest::MessageCapture capture;
        QDir().mkpath(QFileInfo(localPath()).path());
        const QByteArray seed = "[Local]\nseeded=from template\nshared=local\n";
        QVERIFY(orxtest::writeFile(localPath() + QStringLiteral(".default"), seed));
        SmartSettings::setFileName(kFileName);
        // The template seeds the missing file once; an existing file stays.
        QCOMPARE(SmartSettings::iniFileName(), localPath());
        QCOMPARE(orxtest::readFile(localPath()), seed);
        QVERIFY(orxtest::writeFile(localPath() + QStringLiteral(".default"), "[Local]\nseeded=again\n"));
        SmartSettings::iniFileName();
        QCOMPARE(orxtest::readFile(localPath()), seed);

        SmartSettings::data(SmartSettings::Global)
            ->setValue(QStringLiteral("Local/shared"), QStringLiteral("g"));
        SmartSettings::data(SmartSettings::Global)
            ->setValue(QStringLiteral("Only/global"), QStringLiteral("g"));
        SmartSettings local(SmartSettings::Local);
        QCOMPARE(local.value(QStringLiteral("Local/seeded")).toString(), QStringLiteral("from template"));
        QCOMPARE(local.value(QStringLiteral("Local/shared")).toString(), QStringLiteral("local"));
        QCOMPARE(local.value(QStringLiteral("Only/global"), QStringLiteral("d")).toString(),
                 QStringLiteral("g"));
        QCOMPARE(local.value(QStringLiteral("Nowhere"), QStringLiteral("d")).toString(), QStringLiteral("d"));
        // The Global scope never looks into the program's file.
        QCOMPARE(SmartSettings().value(QStringLiteral("Local/seeded"), 0).toInt(), 0);

        // Written in Windows-1251, and read back after the store is dropped.
        local.setValue(QStringLiteral("Doc/name"), QStringLiteral("Клапан"));
        local.renameKey(QStringLiteral("Doc/name"), QStringLiteral("Doc/title"));
        SmartSettings::data(SmartSettings::Local)->sync();
        const QByteArray bytes = orxtest::readFile(localPath());
        QVERIFY2(bytes.contains("title=\xCA\xEB\xE0\xEF\xE0\xED") && !bytes.contains("name="),
                 bytes.constData());
        SmartSettings::setFileName(QString());
        SmartSettings::setFileName(kFileName);
        QCOMPARE(local.value(QStringLiteral("Doc/title")).toString(), QStringLiteral("Клапан"));
        QCOMPARE(capture.count(), 0);
    }
};

ORX_CORE_TEST_MAIN(TestSmartSettings)
#include "tst_smartsettings.moc"
