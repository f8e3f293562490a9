#include "preview/browserpreview.h"

#include "dialogs/dialogseam.h"
#include "preview/launcher.h"
#include "preview/weblinks.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace sheetsmith {

QString unconfiguredBrowserText(int index)
{
    return QStringLiteral("You didn't configure browser ") + QString::number(index) + QStringLiteral(" location.")
           + QStringLiteral("\r\n")
           + QStringLiteral("To configure browsers locations click on Settings in the Tools menu.");
}

QString browserStartFailedText(const BrowserEntry &browser)
{
    // A bare program name is looked up in the folders of PATH, as the launcher does.
    const bool bareName = !browser.path.contains(u'/');
    const QString found = bareName ? QStandardPaths::findExecutable(browser.path) : browser.path;
    const QFileInfo program(found);
    QString reason;
    if (found.isEmpty() || !program.exists())
        reason = bareName ? QStringLiteral("no program of that name was found.")
                          : QStringLiteral("the file does not exist.");
    else if (program.isDir())
        reason = QStringLiteral("it is a folder, not a program.");
    else if (!program.isExecutable())
        reason = QStringLiteral("the file is not a program that can be run.");
    else
        reason = QStringLiteral("the program could not be started.");
    return QStringLiteral("The browser %1 could not be started from \"%2\": %3\r\n"
                          "Check its location in Settings on the Tools menu.")
        .arg(browser.name, QDir::toNativeSeparators(browser.path), reason);
}

void PreviewWithBrowser(QWidget *owner, int index, const BrowserEntry &browser,
                        const std::function<QString()> &composeCopy)
{
    if (browser.path.isEmpty()) {
        MsgBox(owner, unconfiguredBrowserText(index), DialogSeam::Critical);
        return;
    }
    const QString copy = composeCopy();
    if (copy.isEmpty())
        return;
    if (browser.path == QLatin1String(IeLocation)) {
        WebLinks::OpenAddress(owner, QUrl::fromLocalFile(copy));
        return;
    }
    if (!Launcher::current().startProgram(browser.path, {copy}))
        MsgBox(owner, browserStartFailedText(browser), DialogSeam::Critical);
}

} // namespace sheetsmith
