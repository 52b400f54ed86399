// Code page 866 for the console and Windows-1251 for the log and the
// program's settings file: the byte tables both ways.

#include "settings/oemcodec.h"
#include "testsupport.h"

class TestOemCodec : public QObject
{
    Q_OBJECT
private slots:
    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("capital А") << QStringLiteral("А") << QByteArray("\x80");
        QTest::newRow("small п, р: the two halves of the lower case")
            << QStringLiteral("пр") << QByteArray("\xAF\xE0");
        QTest::newRow("Ё and ё") << QStringLiteral("Ёё") << QByteArray("\xF0\xF1");
        QTest::newRow("numero sign") << QStringLiteral("№") << QByteArray("\xFC");
        QTest::newRow("degree sign") << QStringLiteral("°") << QByteArray("\xF8");
        QTest::newRow("guillemets") << QStringLiteral("«»") << QByteArray("<>");
        QTest::newRow("dashes") << QStringLiteral("–—") << QByteArray("--");
        QTest::newRow("euro sign lacks a place") << QStringLiteral("€") << QByteArray("_");
        QTest::newRow("no-break space") << QStringLiteral("\u00A0") << QByteArray("\xFF");
        QTest::newRow("ASCII unchanged")
            << QStringLiteral("Kv=2.5, DN 15\r\n") << QByteArray("Kv=2.5, DN 15\r\n");
    }

    void encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(COEMCodec::instance()->fromUnicode(text), bytes);
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("box sign 0xC4 is -") << QByteArray("\xC4") << QStringLiteral("-");
        QTest::newRow("box sign 0xC5 is +") << QByteArray("\xC5") << QStringLiteral("+");
        QTest::newRow("box sign 0xB3 is broken bar") << QByteArray("\xB3") << QStringLiteral("¦");
        QTest::newRow("box sign 0xBF is not sign") << QByteArray("\xBF") << QStringLiteral("¬");
        QTest::newRow("square root is v") << QByteArray("\xFB") << QStringLiteral("v");
        QTest::newRow("numero sign") << QByteArray("\xFC") << QStringLiteral("№");
        QTest::newRow("0xFF is no-break space") << QByteArray("\xFF") << QStringLiteral("\u00A0");
        QTest::newRow("ASCII unchanged") << QByteArray("abc 123") << QStringLiteral("abc 123");
    }

    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(COEMCodec::instance()->toUnicode(bytes), text);
    }

    // Every Cyrillic letter has a place in code page 866 and comes back unchanged.
    void cyrillicRoundTrip()
    {
        QString letters = QStringLiteral("Ёё");
        for (ushort c = 0x0410; c <= 0x044F; ++c)
            letters += QChar(c);
        const QByteArray bytes = COEMCodec::instance()->fromUnicode(letters);
        QCOMPARE(bytes.size(), letters.size());
        QVERIFY(!bytes.contains('_'));
        QCOMPARE(COEMCodec::instance()->toUnicode(bytes), letters);
    }

    // The byte-wise tables themselves: the lower half is never touched.
    void tablesKeepLowerHalf()
    {
        QByteArray lower;
        for (int b = 0; b < 0x80; ++b)
            lower += char(b);
        QCOMPARE(COEMCodec::win1251ToOem(lower), lower);
        QCOMPARE(COEMCodec::oemToWin1251(lower), lower);
        QCOMPARE(COEMCodec::win1251ToOem(QByteArray("\xC0\xFF\xB8")), QByteArray("\x80\xEF\xF1"));
        QCOMPARE(COEMCodec::oemToWin1251(QByteArray("\x80\xEF\xF1")), QByteArray("\xC0\xFF\xB8"));
    }

    void localeEncodingIsWindows1251()
    {
        QVERIFY(localeCodec());
        QCOMPARE(toLocaleBytes(QStringLiteral("Ошибка №")), QByteArray("\xCE\xF8\xE8\xE1\xEA\xE0 \xB9"));
    }
};

ORX_CORE_TEST_MAIN(TestOemCodec)
#include "tst_oemcodec.moc"
