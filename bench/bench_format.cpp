// Times Format Sheet in the real window on minified sheets: the command itself, with
// the recolouring of the lines it changed and the rebuilding of the blocks and the tree
// that follows it.

#include "benchutil.h"

#include "app/form1.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace sheetsmith;

namespace {

// The sheet as minifiers write it: every line trimmed and joined to the next with a
// blank, with a line break only after every 200th "}", so that lines run to tens of
// thousands of characters.
QByteArray minified(const QByteArray &sheet)
{
    QByteArray out;
    out.reserve(sheet.size());
    int braces = 0;
    for (const QByteArray &line : sheet.split('\n')) {
        const QByteArray t = line.trimmed();
        if (t.isEmpty())
            continue;
        out += t;
        braces += int(t.count('}'));
        if (braces >= 200) {
            out += '\n';
            braces = 0;
        } else {
            out += ' ';
        }
    }
    return out;
}

void run(const char *name, const QByteArray &sheet)
{
    WindowFixture fixture;
    if (!fixture.setUp() || !fixture.open(sheet)) {
        std::fprintf(stderr, "%s: the window did not start or open the sheet\n", name);
        return;
    }
    Form1 &window = fixture.window();
    const int linesBefore = window.MainText()->lineCount();
    QElapsedTimer timer;
    timer.start();
    window.runCommand(QStringLiteral("Format"));
    const double first = double(timer.nsecsElapsed()) / 1e6;
    const int linesAfter = window.MainText()->lineCount();
    timer.restart();
    window.runCommand(QStringLiteral("Format")); // laid out already: nothing to change
    const double second = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%-34s %9lld chars %6d -> %6d lines  format %8.1f ms  again %6.1f ms  (%d blocks)\n", name,
                static_cast<long long>(sheet.size()), linesBefore, linesAfter, first, second,
                int(window.Blocks().Count()));
    fixture.tearDown();
}

} // namespace

int main(int argc, char **argv)
{
    bench::preferOffscreenPlatform();
    QApplication app(argc, argv);
    const QByteArray big = readBytes(corpusDir() + QStringLiteral("/css/fomantic-semantic.css"));
    const QByteArray min = readBytes(corpusDir() + QStringLiteral("/css/bootstrap5-min.css"));
    if (big.isEmpty() || min.isEmpty()) {
        std::fprintf(stderr, "cannot read the sample sheets in %s/css\n", qPrintable(corpusDir()));
        return 1;
    }
    run("bootstrap5-min.css (one line)", min);
    run("fomantic-semantic.css, minified", minified(big));
    run("fomantic-semantic.css as it is", big);
    return 0;
}
