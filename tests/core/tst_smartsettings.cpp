#include "gentools/errorhandle.h"
#include "settings/smartsettings.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

namespace {

const QString kFileName = QStringLiteral("tst_smartsettings.ini");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class TestSmartSettings : public QObject
{
    Q_OBJECT

    QString settingsDir() const
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/settings");
    }
    QString localPath() const { return settingsDir() + QLatin1Char('/') + kFileName; }

    void removeLocalFiles()
    {
        QFile::remove(localPath());
        QFile::remove(localPath() + QStringLiteral(".default"));
        QDir().rmdir(settingsDir()); // only when nothing else lives there
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
        removeLocalFiles();
    }

    void cleanupTestCase()
    {
        SmartSettings::setFileName(QString());
        removeLocalFiles();
        geh::ErrorHandler::destroyInstance();
    }

    void globalRoundTrip()
    {
        orxtest::MessageCapture capture;
        const QString folder = QStringLiteral("/home/инженер/Документы/Клапаны");
        SmartSettings(SmartSettings::Global).setValue(QStringLiteral("Common/Directory"), folder);
        QCOMPARE(SmartSettings().value(QStringLiteral("Common/Directory")).toString(), folder);
        SmartSettings::data(SmartSettings::Global)->sync();

        // Another store on the same native file sees it: the value is really kept.
        QSettings native;
        QCOMPARE(native.value(QStringLiteral("Common/Directory")).toString(), folder);
        QVERIFY2(native.fileName().endsWith(QStringLiteral("/Оримакстех/tst_smartsettings.conf")),
                 qPrintable(native.fileName()));
        // A missing key gives the default.
        QCOMPARE(SmartSettings().value(QStringLiteral("No/Such"), 42).toInt(), 42);
        QVERIFY(!SmartSettings().value(QStringLiteral("No/Such")).isValid());
        QCOMPARE(capture.count(), 0);
    }

    void scopeFallbacks_data()
    {
        QTest::addColumn<int>("scope");
        QTest::addColumn<QString>("assertion"); // empty: none expected
        QTest::newRow("global") << int(SmartSettings::Global) << QString();
        QTest::newRow("local without a file")
            << int(SmartSettings::Local) << QStringLiteral(", data(), row ");
        QTest::newRow("scope 0") << 0 << QStringLiteral("\r\nv == Global");
        QTest::newRow("scope 3") << 3 << QStringLiteral("\r\nv == Global");
    }

    // Every scope that cannot be served reads and writes the Global store,
    // after a report.
    void scopeFallbacks()
    {
        QFETCH(int, scope);
        QFETCH(QString, assertion);
        SmartSettings::data(SmartSettings::Global)->setValue(QStringLiteral("A/key"), 5);

        orxtest::MessageCapture capture;
        QCOMPARE(SmartSettings::data(scope), SmartSettings::data(SmartSettings::Global));
        QCOMPARE(SmartSettings(scope).value(QStringLiteral("A/key"), 1).toInt(), 5);
        QCOMPARE(SmartSettings(scope).value(QStringLiteral("A/none"), 7).toInt(), 7);
        SmartSettings(scope).setValue(QStringLiteral("A/written"), 9);
        QCOMPARE(SmartSettings::data(SmartSettings::Global)->value(QStringLiteral("A/written")).toInt(), 9);

        if (assertion.isEmpty()) {
            QCOMPARE(capture.count(), 0);
            return;
        }
        QCOMPARE(capture.assertions().size(), capture.count());
        QVERIFY(capture.count() >= 4);
        for (const QString& text : capture.assertions())
            QVERIFY2(text.contains(QStringLiteral("smartsettings.cpp, data(), row ")) &&
                         text.contains(assertion),
                     qPrintable(text));
        if (scope == SmartSettings::Local)
            QVERIFY(capture.assertions().first().endsWith(QStringLiteral("\r\n0")));
    }

    void iniFileNameWithoutName()
    {
        orxtest::MessageCapture capture;
        SmartSettings::iniFileName();
        QCOMPARE(capture.assertions().size(), 1);
        QVERIFY(capture.assertions().first().endsWith(QStringLiteral("\r\n!m_fileName.isEmpty()")));
    }

    void localStoreFallsBackToGlobal()
    {
        orxtest::MessageCapture capture;
        QDir().mkpath(settingsDir());
        writeFile(localPath() + QStringLiteral(".default"), "[Local]\nseeded=from template\nshared=local\n");
        SmartSettings::setFileName(kFileName);

        QCOMPARE(SmartSettings::iniFileName(), localPath());
        // The template seeds the missing file once.
        QVERIFY(QFile::exists(localPath()));
        QCOMPARE(readFile(localPath()), readFile(localPath() + QStringLiteral(".default")));

        SmartSettings::data(SmartSettings::Global)
            ->setValue(QStringLiteral("Local/shared"), QStringLiteral("global"));
        SmartSettings::data(SmartSettings::Global)
            ->setValue(QStringLiteral("Only/global"), QStringLiteral("g"));
        const SmartSettings local(SmartSettings::Local);
        QVERIFY(SmartSettings::data(SmartSettings::Local) != SmartSettings::data(SmartSettings::Global));
        QCOMPARE(local.value(QStringLiteral("Local/seeded")).toString(), QStringLiteral("from template"));
        QCOMPARE(local.value(QStringLiteral("Local/shared")).toString(), QStringLiteral("local"));
        QCOMPARE(local.value(QStringLiteral("Only/global"), QStringLiteral("d")).toString(),
                 QStringLiteral("g"));
        QCOMPARE(local.value(QStringLiteral("Nowhere"), QStringLiteral("d")).toString(), QStringLiteral("d"));
        // The Global scope never looks into the program's file.
        QCOMPARE(SmartSettings().value(QStringLiteral("Local/seeded"), 0).toInt(), 0);
        QCOMPARE(capture.count(), 0);
    }

    void existingFileIsNotOverwrittenByTemplate()
    {
        QDir().mkpath(settingsDir());
        writeFile(localPath(), "[A]\nb=own\n");
        writeFile(localPath() + QStringLiteral(".default"), "[A]\nb=template\n");
        SmartSettings::setFileName(kFileName);
        QCOMPARE(SmartSettings(SmartSettings::Local).value(QStringLiteral("A/b")).toString(),
                 QStringLiteral("own"));
    }

    void localFileIsWindows1251()
    {
        SmartSettings::setFileName(kFileName);
        SmartSettings local(SmartSettings::Local);
        local.setValue(QStringLiteral("Doc/name"), QStringLiteral("Клапан"));
        SmartSettings::data(SmartSettings::Local)->sync();
        const QByteArray bytes = readFile(localPath());
        QVERIFY2(bytes.contains("name=\xCA\xEB\xE0\xEF\xE0\xED"), bytes.constData());
        SmartSettings::setFileName(QString()); // drops the store; reopening reads the file back
        SmartSettings::setFileName(kFileName);
        QCOMPARE(local.value(QStringLiteral("Doc/name")).toString(), QStringLiteral("Клапан"));
    }

    void renameKey_data()
    {
        QTest::addColumn<int>("scope");
        QTest::newRow("global") << int(SmartSettings::Global);
        QTest::newRow("local") << int(SmartSettings::Local);
    }

    void renameKey()
    {
        QFETCH(int, scope);
        SmartSettings::setFileName(kFileName);
        SmartSettings settings(scope);
        settings.setValue(QStringLiteral("Old/key"), QStringLiteral("значение"));
        settings.renameKey(QStringLiteral("Old/key"), QStringLiteral("New/key"));
        QSettings* store = SmartSettings::data(scope);
        QVERIFY(!store->contains(QStringLiteral("Old/key")));
        QCOMPARE(store->value(QStringLiteral("New/key")).toString(), QStringLiteral("значение"));

        // A key that does not exist is not created under the new name.
        settings.renameKey(QStringLiteral("Missing/key"), QStringLiteral("Other/key"));
        QVERIFY(!store->contains(QStringLiteral("Other/key")));
        QVERIFY(!store->contains(QStringLiteral("Missing/key")));
    }
};

ORX_CORE_TEST_MAIN(TestSmartSettings)
#include "tst_smartsettings.moc"
