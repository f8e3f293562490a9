#pragma once

#include "check/checkrules.h"

#include <QString>
#include <QStringList>

namespace sheetsmith {

// The program's version, as --version and the About box give it.
inline constexpr char ApplicationVersion[] = SHEETSMITH_VERSION; // the build's project version

// What the command line asks the program to do.
struct CommandLine
{
    enum class Action { Edit, PrintUsage, PrintVersion, Check, BadUsage };
    enum class Format { Gnu, Json };
    Action action = Action::Edit;
    QString sheet; // Edit: the path named, empty when none
    // Check: the files to check, in order, the level and how the problems are printed.
    QStringList files;
    CheckLevel level = CheckLevel::Css1;
    Format format = Format::Gnu;
    QString error; // BadUsage: what is wrong with the words, a sentence
};

// words are the arguments after the program's name. "--help" or "--version" alone
// ask for the usage or the version. "--check" first asks for a check of the files
// named after it, with the options --level=css1|current and --format=gnu|json among
// them ("--" ends the options). Anything else names one sheet: the words are joined by
// blanks again, so an unquoted path with blanks still names one file.
CommandLine parseCommandLine(const QStringList &words);

// The text printed for --help and for --version, each ending in a line break.
QString usageText();
QString versionText();

} // namespace sheetsmith
