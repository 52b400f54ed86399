// The settings store: the user's settings kept in the native store, every
// scope that cannot be served falling back to it after a report, and the
// program's own file, seeded once from its template and kept in Windows-1251.

#include "gentools/errorhandle.h"
#include "settings/smartsettings.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>

class TestSmartSettings : public QObject
{
    Q_OBJECT

    const QString m_file = QStringLiteral("tst_smartsettings.ini");
    const QString m_path = QCoreApplication::applicationDirPath() + QStringLiteral("/settings/") + m_file;

    QString value(int scope, const char* key) const
    {
        return SmartSettings(scope).value(QLatin1String(key), QStringLiteral("d")).toString();
    }

    void reset()
    {
        SmartSettings::setFileName(QString());
        SmartSettings::data(SmartSettings::Global)->clear();
        QFile::remove(m_path);
        QFile::remove(m_path + QStringLiteral(".default"));
    }

private slots:
    void initTestCase()
    {
        geh::ErrorHandler::instance()->setLogFileName(QStringLiteral("test.log"));
        reset();
    }

    void cleanupTestCase()
    {
        reset();
        QDir().rmdir(QFileInfo(m_path).path()); // only when nothing else lives there
        geh::ErrorHandler::destroyInstance();
    }

    // The value is really kept: another store on the same native file sees it
    // under its new name; a missing key is not created by a rename.
    void globalRoundTrip()
    {
        orxtest::MessageCapture capture;
        const QString folder = QStringLiteral("/home/инженер/Документы/Клапаны");
        SmartSettings(SmartSettings::Global).setValue(QStringLiteral("Common/Directory"), folder);
        SmartSettings().renameKey(QStringLiteral("Common/Directory"), QStringLiteral("Common/Folder"));
        SmartSettings().renameKey(QStringLiteral("Missing/key"), QStringLiteral("Other/key"));
        SmartSettings::data(SmartSettings::Global)->sync();
        QCOMPARE(QSettings().allKeys(), QStringList{QStringLiteral("Common/Folder")});
        QCOMPARE(QSettings().value(QStringLiteral("Common/Folder")).toString(), folder);
        QCOMPARE(capture.count(), 0);
    }

    // Every scope that cannot be served (Local without a file, an unknown
    // scope) reads and writes the Global store, after a report.
    void scopeFallbacks()
    {
        SmartSettings::data(SmartSettings::Global)->setValue(QStringLiteral("A/key"), QStringLiteral("g"));
        for (const QPair<int, const char*> scope : {qMakePair<int, const char*>(SmartSettings::Local, "0"),
                                                    qMakePair<int, const char*>(3, "v == Global")}) {
            orxtest::MessageCapture capture;
            QCOMPARE(value(scope.first, "A/key"), QStringLiteral("g"));
            SmartSettings(scope.first).setValue(QStringLiteral("A/written"), scope.first);
            QCOMPARE(value(SmartSettings::Global, "A/written"), QString::number(scope.first));
            QVERIFY(capture.count() >= 2 && capture.conditions().size() == capture.count());
            QCOMPARE(capture.conditions().first(), QString::fromUtf8(scope.second));
            QVERIFY(capture.assertions().first().contains(QStringLiteral("smartsettings.cpp, data(), row ")));
        }
        orxtest::MessageCapture capture;
        SmartSettings::iniFileName();
        QCOMPARE(capture.conditions(), QStringList{QStringLiteral("!m_fileName.isEmpty()")});
    }

    // The template seeds the missing file once; the file's values come first,
    // then the Global store's; the Global scope never looks into the file.
    void localStore()
    {
        orxtest::MessageCapture capture;
        QDir().mkpath(QFileInfo(m_path).path());
        const QByteArray seed = "[Local]\nseeded=from template\nshared=local\n";
        QVERIFY(orxtest::writeFile(m_path + QStringLiteral(".default"), seed));
        SmartSettings::setFileName(m_file);
        QCOMPARE(SmartSettings::iniFileName(), m_path);
        QVERIFY(orxtest::writeFile(m_path + QStringLiteral(".default"), "[Local]\nseeded=again\n"));
        SmartSettings::iniFileName();
        QCOMPARE(orxtest::readFile(m_path), seed);
        SmartSettings::data(SmartSettings::Global)
            ->setValue(QStringLiteral("Local/shared"), QStringLiteral("g"));
        SmartSettings::data(SmartSettings::Global)
            ->setValue(QStringLiteral("Only/global"), QStringLiteral("g"));
        QCOMPARE(value(SmartSettings::Local, "Local/seeded") + value(SmartSettings::Local, "Local/shared") +
                     value(SmartSettings::Local, "Only/global") +
                     value(SmartSettings::Global, "Local/seeded"),
                 QStringLiteral("from templatelocalgd"));
        // Written in Windows-1251.
        SmartSettings(SmartSettings::Local).setValue(QStringLiteral("Doc/name"), QStringLiteral("Клапан"));
        SmartSettings(SmartSettings::Local)
            .renameKey(QStringLiteral("Doc/name"), QStringLiteral("Doc/title"));
        SmartSettings::data(SmartSettings::Local)->sync();
        const QByteArray bytes = orxtest::readFile(m_path);
        QVERIFY2(bytes.contains("title=\xCA\xEB\xE0\xEF\xE0\xED") && !bytes.contains("name="),
                 bytes.constData());
        QCOMPARE(capture.count(), 0);
    }
};

ORX_CORE_TEST_MAIN(TestSmartSettings)
#include "tst_smartsettings.moc"
