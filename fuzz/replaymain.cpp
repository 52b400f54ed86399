// Runs every file of a fuzz target's corpus once through the target, without
// a fuzzing engine: the regression part of fuzzing, fast enough for every
// test run. A broken invariant aborts; the last name printed is the culprit.
//
//   replay_<target> FOLDER_OR_FILE...

#include "fuzzsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        const QFileInfo info(path);
        if (info.isDir()) {
            const QDir dir(path);
            for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
                files << dir.filePath(name);
        } else {
            files << path;
        }
    }
    // An empty or missing corpus must not pass as a clean replay.
    if (files.isEmpty()) {
        std::fprintf(stderr, "no corpus files given\n");
        return 1;
    }
    for (const QString& fileName : files) {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(fileName));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        std::printf("%s\n", qPrintable(QFileInfo(fileName).fileName()));
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                               static_cast<size_t>(bytes.size()));
    }
    std::printf("%d files replayed\n", static_cast<int>(files.size()));
    return 0;
}
