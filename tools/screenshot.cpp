// Draws the main window with a sheet open into a PNG, headless, for the README:
//
//   sheetsmith_screenshot SHEET OUT.png WIDTH HEIGHT CARET_LINE
//
// The window is the program's own, started as the program starts it, with fresh
// settings and the given client size; the caret is put on CARET_LINE (1-based), so
// that the property list shows that rule's values. scripts/screenshot.sh runs it.
#include "app/desktopintegration.h"
#include "app/form1.h"
#include "editor/richedit.h"
#include "editor/editorlines.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    using namespace sheetsmith;
    if (argc != 6) {
        std::fputs("usage: sheetsmith_screenshot SHEET OUT.png WIDTH HEIGHT CARET_LINE\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sheetsmith"));
    setUpDesktopIntegration();

    const QString sheet = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    const int width = QByteArray(argv[3]).toInt();
    const int height = QByteArray(argv[4]).toInt();
    const int caretLine = QByteArray(argv[5]).toInt();

    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("settings.ini")));
    settings.ensureEditorDefaults();
    // A window of the given size at the screen's corner; placements are in twips.
    const auto twips = [&](int px, int dpi) { return QString::number(px * 1440 / dpi); };
    Form1 window(settings);
    using namespace keys::window;
    settings.write(Section, State, QString(StateNormal));
    settings.write(Section, Left, QStringLiteral("0"));
    settings.write(Section, Top, QStringLiteral("0"));
    settings.write(Section, Width, twips(width, window.logicalDpiX()));
    settings.write(Section, Height, twips(height, window.logicalDpiY()));

    if (!window.startUp(sheet))
        return 1;
    window.showWindow();
    QApplication::processEvents(); // the sheet opens once the window is shown
    // LineStart is 1-based; the caret offset 0-based.
    window.MainText()->setSelStart(LineStart(*window.MainText(), caretLine) - 1);
    QApplication::processEvents();
    if (!window.grab().toImage().save(out, "PNG", 0)) {
        std::fprintf(stderr, "could not write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
