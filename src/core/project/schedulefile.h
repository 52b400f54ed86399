#pragma once

// Writing an export file as a whole or not at all: the bytes go to a temporary
// file beside the target, which takes the target's name only when everything
// was written. A failed export leaves any earlier file of that name untouched
// and never a half-written one under it.

#include <QString>

#include <functional>

class QIODevice;

// Calls write() with the open temporary file; write() answers whether it
// wrote everything. On failure *error (when given) is the message for the
// user: "Не удалось сохранить файл "<path>": <reason>".
bool saveWholeFile(const QString& path, const std::function<bool(QIODevice*)>& write, QString* error);

// The user's message for a file that could not be saved, the path as the
// system writes it.
QString saveFailureText(const QString& path, const QString& reason);
