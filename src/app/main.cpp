#include "app/form1.h"
#include "preview/pageview.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    sheetsmith::prepareBrowserEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sheetsmith"));
    QApplication::setOrganizationName(QStringLiteral("Sheetsmith"));
    QApplication::setApplicationVersion(QStringLiteral("0.1.0"));

    sheetsmith::SettingsStore settings;
    settings.ensureEditorDefaults();

    // The command line is one path; arguments split at blanks are joined again, so an
    // unquoted path with blanks still names one file. Qt's own options were removed
    // from argv by QApplication.
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);

    sheetsmith::Form1 window(settings);
    if (!window.startUp(words.join(QLatin1Char(' '))))
        return 1;
    window.showWindow();
    return app.exec();
}
