#pragma once

// Reference codes: per reference type, the coded names that coded combo boxes and
// check lists show (code, name, sort number). The data comes from a replaceable
// provider; the store itself is process-wide and guarded by one read-write lock.
//
// A code is a 16-bit signed number: 0 is the empty value, -1 stands for "no code".

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QtGlobal>

// A reference code. Kept a plain 16-bit integer so that it travels through item
// data, variants and sets without conversions.
using RefCode = qint16;

// The empty code and the "no code" marker.
constexpr RefCode rcEmpty = 0;
constexpr RefCode rcNone = -1;

inline bool isOneOf(RefCode code, RefCode a, RefCode b)
{
    return code == a || code == b;
}
inline bool isOneOf(RefCode code, RefCode a, RefCode b, RefCode c)
{
    return code == a || code == b || code == c;
}
inline bool isOneOf(RefCode code, RefCode a, RefCode b, RefCode c, RefCode d)
{
    return code == a || code == b || code == c || code == d;
}

// The pair (reference type, code).
struct RefKey
{
    qint16 type = 0;
    RefCode code = 0;

    RefKey() = default;
    RefKey(qint16 type, RefCode code) : type(type), code(code) {}
    // type = n / 65536 (toward zero), code = the low 16 bits of n.
    explicit RefKey(int n);
    // The variant must hold an integer; anything else is an assertion and gives (0, 0).
    explicit RefKey(const QVariant& v);

    bool operator==(const RefKey& other) const { return type == other.type && code == other.code; }
    bool operator!=(const RefKey& other) const { return !(*this == other); }
};

uint qHash(const RefKey& key, uint seed = 0);

// A name entry of the store: the text shown and the sort number.
struct RefName
{
    QString name;
    qint16 order = 0;
};

using RefNames = QHash<RefKey, RefName>;
using RefTypes = QSet<qint16>;
using RefCodeSet = QSet<RefCode>;

// Where the codes come from. The store calls it with its own containers to fill.
class RefCodeProvider
{
public:
    virtual ~RefCodeProvider();
    virtual bool loadCodes(RefNames& names) = 0;
    virtual bool loadAlphabeticalTypes(RefTypes& types) = 0;
    virtual bool insertCode(RefNames& names, qint16 type, const QString& name) = 0;
    virtual bool modifyCode(RefNames& names, qint16 type, RefCode code, const QString& name, bool flag) = 0;
};

// A subset of codes; an inactive filter admits everything.
struct RefFilter
{
    bool active = false;
    RefCodeSet codes;

    bool accepts(RefCode code) const;
    // Inactive, or holding exactly the codes of the type (with -1).
    bool isFull(qint16 type) const;
};

namespace refcodes {

// Listing order of codes().
enum SortMode {
    smDefault = 0, // by name for alphabetical types, otherwise by sort number
    smByName = 1,
    smByOrder = 2,
};

// Installs a provider (ownership passes to the store) and forgets what was loaded.
void setProvider(RefCodeProvider* provider);

// Loads the alphabetical types and the codes once; false when the provider refuses
// the alphabetical types (then nothing is loaded and the next call tries again).
bool ensureLoaded();
// Drops every name and cached set and asks the provider for the names again.
bool reload();

bool contains(qint16 type, RefCode code);
// As contains(), but false when the type or the code is 0.
bool containsBoth(qint16 type, RefCode code);

// The stored name; empty for -1 when emptyForNone, or when there is no name.
QString codeName(RefCode code, qint16 type, bool emptyForNone = true);
bool isAlphabetical(qint16 type);
// Every code stored for the type; -1 only when includeNone.
RefCodeSet codesOfType(qint16 type, bool includeNone = false);
// The codes of the type in listing order (see SortMode).
QList<RefCode> codes(qint16 type, int mode = smDefault, bool includeNone = false);
int count(qint16 type);

bool insertName(qint16 type, const QString& name);
bool modifyName(qint16 type, RefCode code, const QString& name, bool flag);
// Rewrites a code with its current name (flag false).
bool touch(qint16 type, RefCode code);

// The first code of the type whose name equals the given one (blanks simplified on
// both sides); 0 when there is none (after an insertion attempt when asked).
RefCode codeByName(qint16 type, const QString& name, bool insertIfMissing = false,
                   Qt::CaseSensitivity cs = Qt::CaseSensitive);

} // namespace refcodes

// A query condition restricting `column` to the filter's codes, ending in " and ";
// empty when the filter admits everything.
QString sqlFilter(const RefFilter& filter, const QString& column, qint16 type = 0);
