#include "app/commandline.h"

namespace sheetsmith {

namespace {

CommandLine badUsage(const QString &error)
{
    CommandLine line;
    line.action = CommandLine::Action::BadUsage;
    line.error = error;
    return line;
}

// The words after "--check".
CommandLine parseCheck(const QStringList &words)
{
    CommandLine line;
    line.action = CommandLine::Action::Check;
    const QLatin1String levelOption("--level="), formatOption("--format=");
    bool options = true;
    for (const QString &word : words) {
        if (options && word == QLatin1String("--")) {
            options = false;
        } else if (options && word.startsWith(levelOption)) {
            const QString value = word.mid(levelOption.size());
            bool ok = false;
            line.level = CheckLevelFromKey(value, &ok);
            if (!ok)
                return badUsage(QStringLiteral("unknown level '%1' (css1 or current)").arg(value));
        } else if (options && word.startsWith(formatOption)) {
            const QString value = word.mid(formatOption.size());
            if (value == QLatin1String("gnu"))
                line.format = CommandLine::Format::Gnu;
            else if (value == QLatin1String("json"))
                line.format = CommandLine::Format::Json;
            else
                return badUsage(QStringLiteral("unknown format '%1' (gnu or json)").arg(value));
        } else if (options && word.startsWith(u'-') && word.size() > 1) {
            return badUsage(QStringLiteral("unknown option '%1'").arg(word));
        } else {
            line.files << word;
        }
    }
    if (line.files.isEmpty())
        return badUsage(QStringLiteral("--check needs the files to check"));
    return line;
}

} // namespace

CommandLine parseCommandLine(const QStringList &words)
{
    CommandLine line;
    if (words == QStringList{QStringLiteral("--help")})
        line.action = CommandLine::Action::PrintUsage;
    else if (words == QStringList{QStringLiteral("--version")})
        line.action = CommandLine::Action::PrintVersion;
    else if (!words.isEmpty() && words.first() == QLatin1String("--check"))
        return parseCheck(words.mid(1));
    else
        line.sheet = words.join(QLatin1Char(' '));
    return line;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: sheetpad [SHEET]\n"
        "       sheetpad --check [--level=css1|current] [--format=gnu|json] FILE...\n"
        "       sheetpad --help | --version\n"
        "\n"
        "Sheetsmith, an editor for CSS level 1 style sheets. Opens SHEET, or an untitled\n"
        "sheet when none is named. All words of the command line name one file, so a\n"
        "path with blanks needs no quotes.\n"
        "\n"
        "  --check    check each FILE as the editor does, without a window, and print\n"
        "             its problems in text order on standard output: with gnu (the\n"
        "             default) one a line, FILE:LINE:COLUMN: error|warning|note: MESSAGE\n"
        "             [RULE], then a summary per file on standard error; with json one\n"
        "             array of objects for all files. Exits 0 when no file has an error\n"
        "             or a warning, 1 when one has, 2 when a file cannot be read or the\n"
        "             command line is wrong. \"--\" ends the options.\n"
        "  --level    css1 (the default) checks against CSS level 1, telling what is\n"
        "             valid CSS but not CSS1 in notes; current reports only what is\n"
        "             wrong in current CSS\n"
        "  --format   gnu (the default) or json\n"
        "  --help     print this text and exit\n"
        "  --version  print the version and exit\n");
}

QString versionText()
{
    return QStringLiteral("sheetpad (Sheetsmith) ") + QLatin1String(ApplicationVersion) + u'\n';
}

} // namespace sheetsmith
