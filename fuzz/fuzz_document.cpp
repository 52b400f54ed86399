// The document reader under any bytes: the reading code of opening a file,
// run on a buffer. A document file may come from anywhere, so whatever it
// holds it is either opened with the fields it holds or refused with nothing
// left behind; the seekable source (a file) and a source read once (a pipe)
// come to the same verdict; and an opened document saves and opens again
// unchanged.

#include "fuzzsupport.h"

#include "documents/doc.h"

#include <QIODevice>

#include <algorithm>

using orxfuzz::fail;

namespace {

// A source that can be read only once, front to back, handing out the bytes
// in uneven pieces: the reader can neither seek back nor learn the size.
class OnceThroughSource : public QIODevice
{
public:
    OnceThroughSource(const QByteArray& bytes, int piece) : m_bytes(bytes), m_piece(std::max(piece, 1)) {}

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_bytes.size() - m_pos + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxLength) override
    {
        const qint64 n = std::min<qint64>({maxLength, m_piece, m_bytes.size() - m_pos});
        std::copy_n(m_bytes.constData() + m_pos, n, data);
        m_pos += n;
        // Vary the piece so that fields straddle the reader's blocks anywhere.
        m_piece = m_piece % 7919 + 1;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_piece;
    qint64 m_pos = 0;
};

QString statusText(Doc::ReadStatus status)
{
    return QString::number(static_cast<int>(status));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    orxfuzz::Shown& shown = orxfuzz::quietErrorHandler();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));

    Doc doc;
    doc.init(30);
    doc.createDefaultName();
    const Doc::ReadStatus status = Doc::fromByteArray(bytes, doc);
    if (status != Doc::rsOk && (!doc.keys().isEmpty() || !doc.untitled()))
        fail("a refused document left fields behind", statusText(status));
    if (status == Doc::rsOk && !Doc::isValidDocType(doc.docType()))
        fail("an opened document has no valid document type", QString::number(doc.docType()));

    // The same bytes read once through, in pieces of a size the input chooses.
    OnceThroughSource pipe(bytes, size > 0 ? data[0] * 37 + 1 : 1);
    pipe.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    Doc piped;
    const Doc::ReadStatus pipedStatus = Doc::readFrom(&pipe, piped);
    if (pipedStatus != status)
        fail("a pipe and a file disagree",
             statusText(status) + QLatin1String(" / ") + statusText(pipedStatus));
    if (piped.keys() != doc.keys())
        fail("a pipe and a file read different fields");

    if (status == Doc::rsOk) {
        // Saving writes every value the reader accepted; what it writes opens
        // again to the very same bytes.
        const QByteArray written = doc.toByteArray();
        if (piped.toByteArray() != written)
            fail("a pipe and a file read different values");
        Doc again;
        const Doc::ReadStatus againStatus = Doc::fromByteArray(written, again);
        if (againStatus != Doc::rsOk)
            fail("a saved document does not open again", statusText(againStatus));
        if (again.toByteArray() != written)
            fail("a saved document changes when opened again");
        // Each field costs at least 9 bytes of the file: no document holds more
        // fields than its bytes can carry.
        if (doc.keys().size() * 9 > bytes.size())
            fail("more fields than the file can hold");
    }
    if (shown.assertions != 0)
        fail("reading a document tripped an internal check", shown.texts.join(QLatin1Char('\n')));
    return 0;
}
