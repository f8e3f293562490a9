#include "app/form1.h"
#include "app/recovery.h"
#include "dialogs/answerfiledialogs.h"
#include "dialogs/dialogseam.h"
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
    // Only when SHEETSMITH_DIALOG_ANSWERS is set (tests of the whole program).
    const auto answersFromFile = sheetsmith::AnswerFileDialogs::fromEnvironment();

    sheetsmith::SettingsStore settings;
    settings.setProblemHandler(
        [](const QString &problem) { sheetsmith::MsgBox(nullptr, problem, sheetsmith::DialogSeam::Warning); });
    settings.ensureEditorDefaults();

    // The command line is one path; arguments split at blanks are joined again, so an
    // unquoted path with blanks still names one file. Qt's own options were removed
    // from argv by QApplication.
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);

    sheetsmith::Form1 window(settings);
    sheetsmith::DocumentRecovery recovery(window.document(), *window.MainText(),
                                          sheetsmith::DocumentRecovery::defaultFolder(), &window);
    if (!window.startUp(words.join(QLatin1Char(' '))))
        return 1;
    window.showWindow();
    recovery.offerLeftOvers();
    const int status = app.exec();
    recovery.endSession();
    return status;
}
