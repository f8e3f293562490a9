#include "app/checkcommand.h"
#include "app/commandline.h"
#include "app/desktopintegration.h"
#include "app/form1.h"
#include "app/memoryuse.h"
#include "app/recovery.h"
#include "dialogs/answerfiledialogs.h"
#include "dialogs/consoledialogseam.h"
#include "dialogs/dialogseam.h"
#include "dialogs/scopeddialogseam.h"
#include "preview/pageview.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

QStringList arguments(int argc, char *argv[])
{
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    return words;
}

} // namespace

int main(int argc, char *argv[])
{
    using sheetsmith::CommandLine;
    // The usage, the version and a check of files are answered before anything
    // graphical starts, so they need no display.
    const CommandLine line = sheetsmith::parseCommandLine(arguments(argc, argv));
    if (line.action == CommandLine::Action::Check || line.action == CommandLine::Action::BadUsage)
        return sheetsmith::RunCheckCommand(line, stdout, stderr);
    if (line.action != CommandLine::Action::Edit) {
        const QByteArray text = (line.action == CommandLine::Action::PrintUsage ? sheetsmith::usageText()
                                                                                : sheetsmith::versionText())
                                    .toLocal8Bit();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return 0;
    }

    sheetsmith::setUpMemoryUse();
    sheetsmith::prepareBrowserEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sheetsmith"));
    QApplication::setOrganizationName(QStringLiteral("Sheetsmith"));
    QApplication::setApplicationVersion(QLatin1String(sheetsmith::ApplicationVersion));
    sheetsmith::setUpDesktopIntegration();

    // SHEETSMITH_START_AND_QUIT=1 lets an installed copy be checked with nobody at
    // the screen: the program starts as usual and, once its window is shown, closes
    // it through the normal shut-down. Messages on the way are printed and answered
    // with their default button instead of waiting.
    const bool startAndQuit = qEnvironmentVariableIntValue("SHEETSMITH_START_AND_QUIT") == 1;
    sheetsmith::ConsoleDialogSeam console;
    std::optional<sheetsmith::ScopedDialogSeam> unattended;
    if (startAndQuit)
        unattended.emplace(console);
    // Only when SHEETSMITH_DIALOG_ANSWERS is set (tests of the whole program): message
    // boxes answered from a file.
    const auto answersFromFile = sheetsmith::AnswerFileDialogs::fromEnvironment();

    sheetsmith::SettingsStore settings;
    settings.setProblemHandler(
        [](const QString &problem) { sheetsmith::MsgBox(nullptr, problem, sheetsmith::DialogSeam::Warning); });
    settings.ensureEditorDefaults();

    // Qt's own options were removed from argv by QApplication; the rest names the
    // sheet, as parseCommandLine joins it.
    sheetsmith::Form1 window(settings);
    sheetsmith::DocumentRecovery recovery(window.document(), *window.MainText(),
                                          sheetsmith::DocumentRecovery::defaultFolder(), &window);
    if (!window.startUp(sheetsmith::parseCommandLine(arguments(argc, argv)).sheet))
        return 1;
    // Offered once the sheet named on the command line has opened: a restored text is
    // then the one left in the window, and the sheet opened before it is asked about if
    // it was changed.
    QObject::connect(&window, &sheetsmith::Form1::startedUp, &recovery,
                     &sheetsmith::DocumentRecovery::offerLeftOvers);
    if (startAndQuit)
        QObject::connect(&window, &sheetsmith::Form1::startedUp, &window, &QWidget::close, Qt::QueuedConnection);
    window.showWindow();
    const int status = app.exec();
    recovery.endSession();
    return status;
}
