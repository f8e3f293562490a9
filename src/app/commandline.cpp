#include "app/commandline.h"

namespace sheetsmith {

CommandLine parseCommandLine(const QStringList &words)
{
    CommandLine line;
    if (words == QStringList{QStringLiteral("--help")})
        line.action = CommandLine::Action::PrintUsage;
    else if (words == QStringList{QStringLiteral("--version")})
        line.action = CommandLine::Action::PrintVersion;
    else
        line.sheet = words.join(QLatin1Char(' '));
    return line;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: sheetpad [SHEET]\n"
        "       sheetpad --help | --version\n"
        "\n"
        "Sheetsmith, an editor for CSS level 1 style sheets. Opens SHEET, or an untitled\n"
        "sheet when none is named. All words of the command line name one file, so a\n"
        "path with blanks needs no quotes.\n"
        "\n"
        "  --help     print this text and exit\n"
        "  --version  print the version and exit\n");
}

QString versionText()
{
    return QStringLiteral("sheetpad (Sheetsmith) ") + QLatin1String(ApplicationVersion) + u'\n';
}

} // namespace sheetsmith
