#pragma once

#include <QString>
#include <QStringList>

namespace sheetsmith {

// The program's version, as --version and the About box give it.
inline constexpr char ApplicationVersion[] = SHEETSMITH_VERSION; // the build's project version

// What the command line asks the program to do.
struct CommandLine
{
    enum class Action { Edit, PrintUsage, PrintVersion };
    Action action = Action::Edit;
    QString sheet; // Edit: the path named, empty when none
};

// words are the arguments after the program's name. "--help" or "--version" alone
// ask for the usage or the version. Anything else names one sheet: the words are
// joined by blanks again, so an unquoted path with blanks still names one file.
CommandLine parseCommandLine(const QStringList &words);

// The text printed for --help and for --version, each ending in a line break.
QString usageText();
QString versionText();

} // namespace sheetsmith
