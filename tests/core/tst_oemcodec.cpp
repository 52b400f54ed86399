// Code page 866 for the console and Windows-1251 for the log and the
// program's settings file: the byte tables both ways.

#include "settings/oemcodec.h"
#include "tablerows.h"
#include "testsupport.h"

namespace {

// Text to code page 866 (encode), or back (decode) where the way back differs.
// clang-format off
const struct { const char* name; bool encode; const char* text; const char* bytes; } kCodes[] = {
    {"small п, р: the two halves of the lower case", true, "пр", "\xAF\xE0"},
    {"Ё and ё", true, "Ёё", "\xF0\xF1"},
    {"numero sign", true, "№", "\xFC"},
    {"degree sign", true, "°", "\xF8"},
    {"guillemets", true, "«»", "<>"},
    {"euro sign lacks a place", true, "€", "_"},
    {"no-break space", true, "\u00A0", "\xFF"},
    {"ASCII unchanged", true, "Kv=2.5, DN 15\r\n", "Kv=2.5, DN 15\r\n"},
    {"box sign 0xC4 is -", false, "-", "\xC4"},
    {"box sign 0xB3 is broken bar", false, "¦", "\xB3"},
    {"box sign 0xBF is not sign", false, "¬", "\xBF"},
    {"square root is v", false, "v", "\xFB"},
    {"numero sign read back", false, "№", "\xFC"},
};
// clang-format on

} // namespace

class TestOemCodec : public QObject
{
    Q_OBJECT
private slots:
    void codes_data() { tableRows(kCodes); }
    void codes()
    {
        ORX_ROW(kCodes);
        if (row.encode)
            QCOMPARE(COEMCodec::instance()->fromUnicode(QString::fromUtf8(row.text)), QByteArray(row.bytes));
        else
            QCOMPARE(COEMCodec::instance()->toUnicode(QByteArray(row.bytes)), QString::fromUtf8(row.text));
    }

    // Every Cyrillic letter has a place in code page 866 and comes back
    // unchanged; the byte-wise tables never touch the lower half.
    void roundTrips()
    {
        QString letters = QStringLiteral("Ёё\u00A0");
        for (ushort c = 0x0410; c <= 0x044F; ++c)
            letters += QChar(c);
        const QByteArray bytes = COEMCodec::instance()->fromUnicode(letters);
        QCOMPARE(bytes.size(), letters.size());
        QVERIFY(!bytes.contains('_'));
        QCOMPARE(COEMCodec::instance()->toUnicode(bytes), letters);
        QByteArray lower;
        for (int b = 0; b < 0x80; ++b)
            lower += char(b);
        QCOMPARE(COEMCodec::win1251ToOem(lower + "\xC0\xFF\xB8"), lower + "\x80\xEF\xF1");
        QCOMPARE(COEMCodec::oemToWin1251(lower + "\x80\xEF\xF1"), lower + "\xC0\xFF\xB8");
        QVERIFY(localeCodec());
        QCOMPARE(toLocaleBytes(QStringLiteral("Ошибка №")), QByteArray("\xCE\xF8\xE8\xE1\xEA\xE0 \xB9"));
    }
};

ORX_CORE_TEST_MAIN(TestOemCodec)
#include "tst_oemcodec.moc"
