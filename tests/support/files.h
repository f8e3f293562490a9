#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace sheetsmith {

// Files as the tests, fuzz seeds and benchmarks see them.

// The whole file; empty when it cannot be read.
QByteArray readBytes(const QString &path);
// Writes the whole file anew; false when that failed.
bool writeBytes(const QString &path, const QByteArray &bytes);

// The folder of the shared sample sheets (the SHEETSMITH_CORPUS build setting), and the
// paths of its style sheets ("css/*.css"), sorted by name.
QString corpusDir();
QStringList corpusSheets();

// For a data-driven test: the column "path" with one row per sample sheet, named after
// the sheet's file. Fails the test when there is no sample sheet.
void addCorpusRows();

// A sheet as the editor holds it once opened with the default tab width: read as
// UTF-8, CR LF breaks, tabs as four blanks. Empty when it cannot be read.
QString editorText(const QString &path);

} // namespace sheetsmith
