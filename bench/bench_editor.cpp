// Times the editor control on a large real sheet: loading the text, reading it back,
// and the edits and colourings that happen while the author works.

#include "benchutil.h"

#include "editor/richedit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <cstdio>

using namespace sheetsmith;

namespace {

void report(const char *what, qint64 nanoseconds, int repeats = 1)
{
    std::printf("%-48s %10.3f ms\n", what, double(nanoseconds) / repeats / 1e6);
}

void typeKey(RichEdit &edit, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&edit, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&edit, &release);
}

} // namespace

int main(int argc, char **argv)
{
    bench::preferOffscreenPlatform();
    QApplication app(argc, argv);

    const QString path = corpusDir() + QStringLiteral("/css/fomantic-semantic.css");
    const QByteArray bytes = readBytes(path);
    if (bytes.isEmpty()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    const QString sheet = QString::fromUtf8(bytes);
    std::printf("%s: %lld characters\n", qPrintable(path), static_cast<long long>(sheet.size()));

    RichEdit edit;
    edit.resize(900, 700);
    edit.show();
    QElapsedTimer timer;

    timer.start();
    edit.setText(sheet);
    report("setText", timer.nsecsElapsed());
    std::printf("%-48s %10d\n", "lines", edit.lineCount());

    constexpr int reads = 1000;
    qsizetype total = 0;
    timer.restart();
    for (int i = 0; i < reads; ++i)
        total += edit.text().size();
    report("text() (per read)", timer.nsecsElapsed(), reads);

    timer.restart();
    total += edit.toPlainText().replace(u'\n', QStringLiteral("\r\n")).size();
    report("for comparison: toPlainText + CR LF join", timer.nsecsElapsed());

    constexpr int keys = 200;
    edit.setSelStart(edit.text().size());
    timer.restart();
    for (int i = 0; i < keys; ++i)
        typeKey(edit, Qt::Key_X, QStringLiteral("x"));
    report("keystroke at the end (per key)", timer.nsecsElapsed(), keys);

    edit.setSelStart(edit.text().size() / 2);
    timer.restart();
    for (int i = 0; i < keys; ++i)
        typeKey(edit, Qt::Key_X, QStringLiteral("x"));
    report("keystroke in the middle (per key)", timer.nsecsElapsed(), keys);

    timer.restart();
    for (int i = 0; i < keys; ++i)
        typeKey(edit, Qt::Key_Return, QStringLiteral("\r"));
    report("Enter in the middle (per key)", timer.nsecsElapsed(), keys);

    timer.restart();
    for (int i = 0; i < keys; ++i) {
        edit.setSelStart(edit.lineIndex(i * 7));
        edit.setSelLength(edit.lineLength(edit.lineIndex(i * 7)));
        edit.setSelColor(makeColour(0, 0, 128));
    }
    report("select and colour one line (per line)", timer.nsecsElapsed(), keys);

    timer.restart();
    const QString rtf = edit.textRTF();
    report("textRTF", timer.nsecsElapsed());

    // The document colouring: every brace recoloured in the RTF, assigned back at once.
    QString coloured = rtf;
    coloured.replace(QStringLiteral("}}"), QStringLiteral("}}\r\n{\\colortbl ;\\red0\\green0\\blue255;}"));
    coloured.replace(QStringLiteral("\\{"), QStringLiteral("\\cf1\\{\\cf0 "));
    timer.restart();
    edit.setTextRTF(coloured);
    report("setTextRTF, same text, new colours", timer.nsecsElapsed());

    timer.restart();
    edit.undo();
    report("undo of the last edit", timer.nsecsElapsed());

    std::printf("(checksum %lld)\n", static_cast<long long>(total));
    return 0;
}
