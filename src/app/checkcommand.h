#pragma once

#include <cstdio>

namespace sheetsmith {

struct CommandLine;

// `sheetpad --check`: checks each file of the command line (a Check or a BadUsage one)
// as a linter does, with no window and no display, and returns the exit status: 0 when
// no file has an error or a warning, 1 when one has, 2 when a file cannot be read or the
// command line is wrong (each said on err, naming the file and why; the other files are
// still checked). Notes never change the status.
//
// A file is read as the editor reads a sheet (UTF-8 or Windows-1252, a byte-order mark
// left out, every break one line) but its tabs stay tabs, so that lines and columns are
// those of the file on disk: 1-based, the column counted in characters.
int RunCheckCommand(const CommandLine &line, std::FILE *out, std::FILE *err);

} // namespace sheetsmith
