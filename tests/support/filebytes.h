#pragma once

#include <QByteArray>
#include <QString>

namespace sheetsmith {

// A file's bytes; empty when it cannot be read.
QByteArray readBytes(const QString &path);
// Replaces the file's content; false when it could not be written whole.
bool writeBytes(const QString &path, const QByteArray &bytes);

} // namespace sheetsmith
