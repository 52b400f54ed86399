// The drive designation grammar under any text. Input: the designation (UTF-8,
// up to the first line feed), then one byte per DN of the drive's fit set.
// Whatever the text, the record enters the catalogue as written; a text the
// grammar refuses is reported and keeps the neutral codes; a text it accepts
// yields codes of the catalogue's vocabulary; and the drive is chosen for
// every DN it fits.

#include "fuzzsupport.h"

#include "engine/electricdrive.h"

#include <limits>

using orxfuzz::fail;

namespace {

// DN codes no valve has: zero, negative, between and beyond the series.
const int kOddDn[16] = {0,    -1,    10,     49,    51,    301, 350, 1000,
                        2000, 32767, -32768, 65536, 10015, 5,   1,   std::numeric_limits<int>::min()};

const QString kWarning = QStringLiteral("Недопустимый формат ЛМА: ");

bool oneOf(int value, std::initializer_list<int> values)
{
    for (int v : values)
        if (v == value)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    orxfuzz::Shown& shown = orxfuzz::quietErrorHandler();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const int end = bytes.indexOf('\n');
    const QString designation = QString::fromUtf8(end < 0 ? bytes : bytes.left(end));
    QVector<int> dnSet;
    if (end >= 0) {
        const QVector<int>& series = ElectricDriveCatalogue::valveDnSeries();
        for (int i = end + 1; i < bytes.size(); ++i) {
            const uint8_t b = static_cast<uint8_t>(bytes.at(i));
            dnSet << (b >= 0xF0 ? kOddDn[b - 0xF0] : series.at(b % series.size()));
        }
    }

    ElectricDriveCatalogue catalogue;
    catalogue.add(designation, dnSet);
    if (catalogue.drives().size() != 1)
        fail("add() did not append exactly one record");
    const ElectricDrive& drive = catalogue.drives().first();
    if (drive.m_designation != designation)
        fail("the designation was not kept as written", designation);

    const bool refused = shown.texts.contains(kWarning + designation);
    if (refused) {
        if (drive.m_controlSignalType != 0 || drive.m_valveFamily != 0 || drive.m_protectionClass != 54)
            fail("a refused designation carries codes", designation);
    } else {
        if (shown.warnings != 0)
            fail("a warning other than the refusal", shown.texts.join(QLatin1Char('\n')));
        if (!oneOf(drive.m_controlSignalType, {1, 2, 3, csTripleV}) ||
            !oneOf(drive.m_valveFamily, {1, 5, 8}) || !oneOf(drive.m_protectionClass, {54, 67}))
            fail("an accepted designation yields codes outside the vocabulary", designation);
        if ((drive.m_protectionClass == 67) != designation.endsWith(QLatin1String("IP67")))
            fail("protection class 67 without IP67 at the end, or the reverse", designation);
    }

    // The fit set is kept ascending and without repeats, and the drive is
    // chosen for each of its DN with its own codes.
    for (int i = 1; i < drive.m_dnSet.size(); ++i)
        if (drive.m_dnSet.at(i - 1) >= drive.m_dnSet.at(i))
            fail("the fit set is not ascending without repeats");
    for (int dn : dnSet) {
        if (!drive.fits(dn))
            fail("the drive does not fit a DN of its set", QString::number(dn));
        const QStringList chosen = catalogue.selectDrives(dn, drive.m_valveFamily, drive.m_controlSignalType,
                                                          drive.m_protectionClass);
        if (chosen != QStringList{designation})
            fail("the drive is not chosen for a DN it fits", QString::number(dn));
    }

    // The maker's catalogue answers any question with some of its own drives.
    if (!dnSet.isEmpty()) {
        const ElectricDriveCatalogue& standard = ElectricDriveCatalogue::standard();
        const QStringList chosen = standard.selectDrives(dnSet.first(), drive.m_valveFamily,
                                                         drive.m_controlSignalType, drive.m_protectionClass);
        int from = 0;
        for (const QString& name : chosen) {
            int at = from;
            while (at < standard.drives().size() && standard.drives().at(at).m_designation != name)
                ++at;
            if (at == standard.drives().size())
                fail("a chosen drive is not in catalogue order", name);
            from = at + 1;
        }
    }
    return 0;
}
