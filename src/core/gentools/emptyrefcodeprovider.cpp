#include "gentools/emptyrefcodeprovider.h"

#include "gentools/errorhandle.h"

bool EmptyRefCodeProvider::loadCodes(RefNames& names)
{
    Q_UNUSED(names)
    GEH_ASSERT(0);
    return false;
}

bool EmptyRefCodeProvider::loadAlphabeticalTypes(RefTypes& types)
{
    types.clear();
    return true;
}

bool EmptyRefCodeProvider::insertCode(RefNames& names, qint16 type, const QString& name)
{
    Q_UNUSED(names)
    Q_UNUSED(type)
    Q_UNUSED(name)
    GEH_ASSERT(0);
    return false;
}

bool EmptyRefCodeProvider::modifyCode(RefNames& names, qint16 type, RefCode code, const QString& name,
                                      bool flag)
{
    Q_UNUSED(names)
    Q_UNUSED(type)
    Q_UNUSED(code)
    Q_UNUSED(name)
    Q_UNUSED(flag)
    GEH_ASSERT(0);
    return false;
}
