#pragma once

// The provider this program installs: it knows no codes. Asking it for codes, or
// to add or change one, is a programming error and is reported as an assertion.

#include "gentools/refcode.h"

class EmptyRefCodeProvider : public RefCodeProvider
{
public:
    bool loadCodes(RefNames& names) override;
    bool loadAlphabeticalTypes(RefTypes& types) override;
    bool insertCode(RefNames& names, qint16 type, const QString& name) override;
    bool modifyCode(RefNames& names, qint16 type, RefCode code, const QString& name, bool flag) override;
};
