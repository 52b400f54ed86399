#pragma once

// The DOS Cyrillic code page 866 used on the console, reached by way of
// Windows-1251 (the "locale encoding" of the program's log and trace lines).

#include <QByteArray>
#include <QTextCodec>

// The codec the program means by "locale encoding": Windows-1251 on every
// platform. On Windows it is also made the locale codec at start-up; elsewhere
// file names stay in the system's own encoding and this codec is used explicitly.
// Null when the platform has no Windows-1251 codec.
QTextCodec* localeCodec();

// Unicode text to Windows-1251 bytes; Latin-1 bytes when the codec is missing.
QByteArray toLocaleBytes(const QString& text);

class COEMCodec : public QTextCodec
{
public:
    QByteArray name() const override;
    QList<QByteArray> aliases() const override;
    int mibEnum() const override;

    // Byte-wise translation of the upper half (0x80..0xFF); lower bytes stay.
    static QByteArray win1251ToOem(const QByteArray& bytes);
    static QByteArray oemToWin1251(const QByteArray& bytes);

    // The one instance of the program, created on first use.
    static COEMCodec* instance();

protected:
    QString convertToUnicode(const char* in, int length, ConverterState* state) const override;
    QByteArray convertFromUnicode(const QChar* in, int length, ConverterState* state) const override;
};
