// The document reader under any bytes: the reading code of opening a file,
// run on a buffer. A document file may come from anywhere, so whatever it
// holds it is either opened with the fields it holds or refused with nothing
// left behind; the seekable source (a file) and a source read once (a pipe)
// come to the same verdict; and an opened document saves and opens again
// unchanged. A document that opens is then shown in its form, which
// calculates from it: whatever the fields held, no internal check trips, no
// result reads "nan" or "inf", the user hears at most one warning about the
// fields, and a result is shown only for a task whose every choice is one of
// its table.

#include "fuzzsupport.h"

#include "documents/doc.h"
#include "engine/algorithm.h"
#include "forms/documentwindows.h"
#include "forms/fancabinetchild.h"
#include "forms/flowmeterchild.h"
#include "forms/kvchild.h"
#include "forms/regulatorchild.h"
#include "forms/valvechild.h"
#include "project/project.h"
#include "resources.h"

#include <QApplication>
#include <QIODevice>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <algorithm>
#include <memory>

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

// The widgets need an application; the fuzzing engine gives no main() of ours.
void ensureApplication()
{
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_document";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    orx::initResources();
}

// A window shows a document read from a file: it needs a file of its own.
QString standInFile()
{
    static QTemporaryFile file;
    if (!file.isOpen() && !file.open())
        fail("no temporary file for the document's name");
    return file.fileName();
}

std::unique_ptr<MdiChild> createForm(const Doc& doc)
{
    return std::unique_ptr<MdiChild>(createDocumentWindow(common::DocType(doc.docType()), &doc));
}

// The calculation behind a calculating form's results, null for a configurator.
const Algorithm* calculationOf(MdiChild* form)
{
    if (auto* kv = qobject_cast<KvChild*>(form))
        return &kv->kvAlgorithm();
    if (qobject_cast<ValveChild*>(form) || qobject_cast<RegulatorChild*>(form))
        return form->algorithm();
    return nullptr;
}

// Opens the document in its form as the main window would and lets it calculate.
void openInForm(Doc doc, orxfuzz::Shown& shown)
{
    ensureApplication();
    doc.setCanonicalFileName(standInFile());
    std::unique_ptr<MdiChild> form = createForm(doc);
    if (!form)
        fail("an opened document has no form", QString::number(doc.docType()));
    form->show();
    if (shown.assertions != 0)
        fail("opening a document tripped an internal check", shown.texts.join(QLatin1Char('\n')));
    if (shown.warnings > 1)
        fail("opening a document warned more than once", shown.texts.join(QLatin1Char('\n')));

    static const QRegularExpression notFinite(QStringLiteral("\\b(nan|inf)\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
    for (const QLabel* label : form->findChildren<QLabel*>())
        if (notFinite.match(label->text()).hasMatch())
            fail("a label shows a number that is not finite", label->text());
    for (const QLineEdit* cell : form->findChildren<QLineEdit*>())
        if (cell->isReadOnly() && notFinite.match(cell->text()).hasMatch())
            fail("a result shows a number that is not finite", cell->text());

    const Algorithm* calculation = calculationOf(form.get());
    if (calculation && calculation->errorText().isEmpty() && !calculation->input().choicesWithinTables())
        fail("results were computed from a choice outside its table");
}

// A project opens with every member that reads (the damaged ones named, never
// a reason to refuse the rest), saves to what it read, and each member opens
// in its form as a document of its own would.
void openProject(const Doc& doc, orxfuzz::Shown& shown)
{
    QStringList damaged;
    const Project project = Project::fromDoc(doc, &damaged);
    for (const Project::Position& position : project.positions)
        if (!Doc::isValidDocType(position.doc.docType()) || position.doc.docType() == common::docProject)
            fail("a project kept a member of no form", QString::number(position.doc.docType()));
    const QByteArray written = project.toDoc().toByteArray();
    Doc again;
    if (Doc::fromByteArray(written, again) != Doc::rsOk ||
        Project::fromDoc(again).toDoc().toByteArray() != written)
        fail("a saved project changes when opened again");
    if (shown.assertions != 0)
        fail("reading a project tripped an internal check", shown.texts.join(QLatin1Char('\n')));
    // Each member's own reading is the document target's; a few forms are
    // enough to see that the project hands over what it read.
    const int forms = std::min<int>(project.positions.size(), 8);
    for (int i = 0; i < forms; ++i) {
        shown.reset();
        openInForm(project.positions.at(i).doc, shown);
    }
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
    if (status == Doc::rsOk && doc.docType() == common::docProject)
        openProject(doc, shown);
    else if (status == Doc::rsOk)
        openInForm(doc, shown);
    return 0;
}
