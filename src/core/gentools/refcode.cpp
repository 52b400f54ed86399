#include "gentools/refcode.h"

#include "gentools/emptyrefcodeprovider.h"
#include "gentools/errorhandle.h"

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QReadLocker>
#include <QReadWriteLock>
#include <QStringList>
#include <QWriteLocker>

#include <algorithm>
#include <memory>

RefKey::RefKey(int n) : type(static_cast<qint16>(n / 65536)), code(static_cast<RefCode>(n & 0xFFFF))
{
}

RefKey::RefKey(const QVariant& v)
{
    if (!GEH_ASSERT(v.type() == QVariant::Int))
        return;
    *this = RefKey(v.toInt());
}

uint qHash(const RefKey& key, uint seed)
{
    return static_cast<uint>(key.type * 65536 + key.code) ^ seed;
}

RefCodeProvider::~RefCodeProvider() = default;

namespace {

// The process-wide store. The read-write lock guards the data; the provider is
// asked outside it (through its own recursive mutex), because a provider may
// report an assertion, and a message box run from there spins the event loop,
// where a widget may look a name up: a lookup waiting on a lock its own thread
// holds for writing would hang the program.
struct Store
{
    QReadWriteLock lock;
    bool loaded = false;
    RefTypes alphabeticalTypes;
    RefNames names;

    // Per-type code sets (holding -1 when a name is stored for it). Filled
    // during lookups, hence a mutex of its own; emptied whenever names change.
    QMutex cacheMutex;
    QHash<qint16, RefCodeSet> cache;

    // Serialises every use of the provider and its replacement.
    QRecursiveMutex providerMutex;
    std::unique_ptr<RefCodeProvider> provider{new EmptyRefCodeProvider};
    bool loading = false;
};

Store& store()
{
    static Store s;
    return s;
}

void clearCache(Store& s)
{
    QMutexLocker locker(&s.cacheMutex);
    s.cache.clear();
}

// Asks the provider for every name and installs them. The caller holds the
// provider mutex.
bool loadNames(Store& s)
{
    RefNames fresh;
    const bool ok = s.provider->loadCodes(fresh);
    QWriteLocker locker(&s.lock);
    s.names.swap(fresh);
    clearCache(s);
    return ok;
}

// The names of a type sorted for listing; the caller holds the read lock.
QList<RefCode> sortedCodes(const Store& s, const RefCodeSet& set, qint16 type, bool byName)
{
    QList<RefCode> list = set.values();
    std::sort(list.begin(), list.end());
    if (byName) {
        QHash<RefCode, QString> upper;
        for (RefCode code : list)
            upper.insert(code, s.names.value(RefKey(type, code)).name.toUpper());
        std::stable_sort(list.begin(), list.end(),
                         [&upper](RefCode a, RefCode b) { return upper.value(a) < upper.value(b); });
    } else {
        std::stable_sort(list.begin(), list.end(), [&s, type](RefCode a, RefCode b) {
            return s.names.value(RefKey(type, a)).order < s.names.value(RefKey(type, b)).order;
        });
    }
    return list;
}

// Every code stored for the type, -1 included when stored.
RefCodeSet allCodesOfType(Store& s, qint16 type)
{
    {
        QMutexLocker locker(&s.cacheMutex);
        const auto it = s.cache.constFind(type);
        if (it != s.cache.constEnd())
            return it.value();
    }
    RefCodeSet set;
    // Cached while the names cannot change under it, so that a reload in between
    // never leaves a stale set behind.
    QReadLocker locker(&s.lock);
    for (auto it = s.names.constBegin(); it != s.names.constEnd(); ++it)
        if (it.key().type == type)
            set.insert(it.key().code);
    QMutexLocker cacheLocker(&s.cacheMutex);
    s.cache.insert(type, set);
    return set;
}

} // namespace

bool RefFilter::accepts(RefCode code) const
{
    return !active || codes.contains(code);
}

bool RefFilter::isFull(qint16 type) const
{
    return !active || codes == refcodes::codesOfType(type, true);
}

namespace refcodes {

void setProvider(RefCodeProvider* v)
{
    if (!GEH_ASSERT(v))
        return;
    Store& s = store();
    QMutexLocker providerLocker(&s.providerMutex);
    s.provider.reset(v);
    // The new provider's codes are loaded on the next lookup.
    QWriteLocker locker(&s.lock);
    s.loaded = false;
    s.alphabeticalTypes.clear();
    s.names.clear();
    clearCache(s);
}

bool ensureLoaded()
{
    Store& s = store();
    {
        QReadLocker locker(&s.lock);
        if (s.loaded)
            return true;
    }
    QMutexLocker providerLocker(&s.providerMutex);
    {
        QReadLocker locker(&s.lock);
        if (s.loaded)
            return true;
    }
    // A lookup made while the provider is still answering (from a message box it
    // raised) sees the store as not loaded rather than starting a second load.
    if (s.loading)
        return false;
    s.loading = true;
    RefTypes types;
    const bool typesLoaded = s.provider->loadAlphabeticalTypes(types);
    if (typesLoaded) {
        {
            QWriteLocker locker(&s.lock);
            s.alphabeticalTypes = types;
        }
        loadNames(s);
        QWriteLocker locker(&s.lock);
        s.loaded = true;
    }
    s.loading = false;
    return typesLoaded;
}

bool reload()
{
    Store& s = store();
    QMutexLocker providerLocker(&s.providerMutex);
    return loadNames(s);
}

bool contains(qint16 type, RefCode code)
{
    ensureLoaded();
    Store& s = store();
    QReadLocker locker(&s.lock);
    return s.names.contains(RefKey(type, code));
}

bool containsBoth(qint16 type, RefCode code)
{
    if (type == 0 || code == 0)
        return false;
    return contains(type, code);
}

QString codeName(RefCode code, qint16 type, bool emptyForNone)
{
    if (emptyForNone && code == rcNone)
        return QString();
    ensureLoaded();
    Store& s = store();
    QReadLocker locker(&s.lock);
    return s.names.value(RefKey(type, code)).name;
}

bool isAlphabetical(qint16 type)
{
    ensureLoaded();
    Store& s = store();
    QReadLocker locker(&s.lock);
    return s.alphabeticalTypes.contains(type);
}

RefCodeSet codesOfType(qint16 type, bool includeNone)
{
    ensureLoaded();
    RefCodeSet set = allCodesOfType(store(), type);
    if (!includeNone)
        set.remove(rcNone);
    return set;
}

QList<RefCode> codes(qint16 type, int mode, bool includeNone)
{
    const RefCodeSet set = codesOfType(type, includeNone);
    const bool byName = mode == smByName || (mode == smDefault && isAlphabetical(type));
    Store& s = store();
    QReadLocker locker(&s.lock);
    return sortedCodes(s, set, type, byName);
}

int count(qint16 type)
{
    return codesOfType(type, true).size();
}

bool insertName(qint16 type, const QString& name)
{
    Store& s = store();
    QMutexLocker providerLocker(&s.providerMutex);
    RefNames names;
    {
        QReadLocker locker(&s.lock);
        names = s.names;
    }
    if (!s.provider->insertCode(names, type, name))
        return false;
    loadNames(s);
    return true;
}

bool modifyName(qint16 type, RefCode code, const QString& name, bool flag)
{
    Store& s = store();
    QMutexLocker providerLocker(&s.providerMutex);
    RefNames names;
    {
        QReadLocker locker(&s.lock);
        names = s.names;
    }
    if (!s.provider->modifyCode(names, type, code, name, flag))
        return false;
    loadNames(s);
    return true;
}

bool touch(qint16 type, RefCode code)
{
    return modifyName(type, code, codeName(code, type, false), false);
}

RefCode codeByName(qint16 type, const QString& name, bool insertIfMissing, Qt::CaseSensitivity cs)
{
    const QString wanted = name.simplified();
    for (RefCode code : codes(type, smDefault, true)) {
        if (QString::compare(codeName(code, type, false).simplified(), wanted, cs) == 0)
            return code;
    }
    if (insertIfMissing && !wanted.isEmpty()) {
        insertName(type, wanted);
        return codeByName(type, wanted, false, cs);
    }
    geh::trace(
        QStringLiteral("Не удаётся найти \"%1\" наименование в refCodes (type=%2)").arg(wanted).arg(type));
    return 0;
}

} // namespace refcodes

QString sqlFilter(const RefFilter& filter, const QString& column, qint16 type)
{
    if (!filter.active)
        return QString();
    if (type != 0 && filter.isFull(type))
        return QString();
    if (filter.codes.isEmpty())
        return QStringLiteral(" %1=-100 /* false statement */ and ").arg(column);
    QList<RefCode> sorted = filter.codes.values();
    std::sort(sorted.begin(), sorted.end());
    QStringList list;
    for (RefCode code : sorted)
        list << QString::number(code);
    return QCoreApplication::translate("RefFilter", " %1 in (%2) and ")
        .arg(column, list.join(QLatin1Char(',')));
}
