#include "project/schedulefile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

QString saveFailureText(const QString& path, const QString& reason)
{
    return QStringLiteral("Не удалось сохранить файл \"%1\": %2").arg(QDir::toNativeSeparators(path), reason);
}

bool saveWholeFile(const QString& path, const std::function<bool(QIODevice*)>& write, QString* error)
{
    const auto fail = [&path, error](const QString& reason) {
        if (error)
            *error = saveFailureText(path, reason);
        return false;
    };
    // The toolkit's reasons for a missing or read-only folder speak of a file
    // the user never named (the temporary one): say what is wrong in the
    // user's terms where it can be seen beforehand.
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return fail(QStringLiteral("нет папки \"%1\"").arg(QDir::toNativeSeparators(folder.filePath())));
    if (target.isDir())
        return fail(QStringLiteral("под этим именем уже есть папка"));
    if (!folder.isWritable())
        return fail(QStringLiteral("нет права на запись в папку \"%1\"")
                        .arg(QDir::toNativeSeparators(folder.filePath())));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // The explicit flush matters: a buffered write that the disk refuses is not
    // seen by commit(), which would then put a truncated file in place.
    if (!write(&file) || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("файл записан не полностью");
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
