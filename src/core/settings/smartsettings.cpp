#include "smartsettings.h"

#include "gentools/errorhandle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QSettings>

#include <memory>

namespace {

struct Stores
{
    QString fileName;
    std::unique_ptr<QSettings> local;
    std::unique_ptr<QSettings> global;
};

Stores& stores()
{
    static Stores s;
    return s;
}

QMutex& storesMutex()
{
    static QMutex mutex;
    return mutex;
}

// The stores write themselves out when the application object goes away, so
// nothing is left to static destruction after Qt has shut down.
void releaseStores()
{
    QMutexLocker lock(&storesMutex());
    stores().local.reset();
    stores().global.reset();
}

void registerRelease()
{
    static bool registered = false;
    if (!registered && QCoreApplication::instance()) {
        qAddPostRoutine(releaseStores);
        registered = true;
    }
}

QSettings* globalStore()
{
    QMutexLocker lock(&storesMutex());
    Stores& s = stores();
    if (!s.global) {
        // The native store of the organisation and application names set at start-up.
        s.global = std::make_unique<QSettings>();
        registerRelease();
    }
    return s.global.get();
}

QSettings* localStore()
{
    // The file name is resolved outside the lock: it may report an assertion.
    const QString path = SmartSettings::iniFileName();
    QMutexLocker lock(&storesMutex());
    Stores& s = stores();
    if (!s.local) {
        s.local = std::make_unique<QSettings>(path, QSettings::IniFormat);
        s.local->setIniCodec("windows-1251");
        registerRelease();
    }
    return s.local.get();
}

} // namespace

QString SmartSettings::m_fileName;

// Set at start-up, before any other thread reads settings.
void SmartSettings::setFileName(const QString& fileName)
{
    QMutexLocker lock(&storesMutex());
    if (m_fileName == fileName)
        return;
    m_fileName = fileName;
    stores().local.reset(); // the next Local request opens the new file
}

QString SmartSettings::fileName()
{
    return m_fileName;
}

QString SmartSettings::iniFileName()
{
    GEH_ASSERT(!m_fileName.isEmpty());
    const QString appDir = QCoreApplication::applicationDirPath();
    QDir(appDir).mkpath(QStringLiteral("settings"));
    const QString path = appDir + QStringLiteral("/settings/") + m_fileName;
    const QString templatePath = path + QStringLiteral(".default");
    if (!QFile::exists(path) && QFile::exists(templatePath))
        QFile::copy(templatePath, path);
    return path;
}

QSettings* SmartSettings::data(int v)
{
    switch (v) {
    case Local:
        if (!m_fileName.isEmpty())
            return localStore();
        GEH_ASSERT(0); // this program keeps no settings file of its own
        return globalStore();
    case Global:
        return globalStore();
    default:
        GEH_ASSERT(v == Global);
        return globalStore();
    }
}

QVariant SmartSettings::value(const QString& key, const QVariant& defaultValue) const
{
    QSettings* store = data(m_scope);
    if (store->contains(key))
        return store->value(key);
    if (m_scope == Local)
        return globalStore()->value(key, defaultValue);
    return defaultValue;
}

void SmartSettings::setValue(const QString& key, const QVariant& value)
{
    data(m_scope)->setValue(key, value);
}

void SmartSettings::renameKey(const QString& oldKey, const QString& newKey)
{
    QSettings* store = data(m_scope);
    if (!store->contains(oldKey))
        return;
    const QVariant value = store->value(oldKey);
    store->remove(oldKey);
    store->setValue(newKey, value);
}
