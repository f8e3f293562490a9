#include "preview/weblinks.h"

#include "dialogs/dialogseam.h"
#include "preview/launcher.h"

#include <QStringList>
#include <QUrl>

namespace sheetsmith {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

QString WebLinks::validatorInstructions()
{
    // "aera" is how the editor has always spelled it; authors know the text.
    return QStringList{QStringLiteral("Instructions:"),
                       QStringLiteral("1. Paste the file in the text aera in the opened page."),
                       QStringLiteral("2. Select CSS version 1 profile."),
                       QStringLiteral("3. Click on the submit button")}
        .join(kCrLf);
}

QString WebLinks::reportInstructions()
{
    return QStringLiteral("Please be specified when reporting errors or suggestions.");
}

QString WebLinks::openFailedText(const QUrl &url)
{
    if (url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Sheetsmith could not open a new mail to ") + url.path()
            + QStringLiteral(".") + kCrLf
            + QStringLiteral("Check that a default mail program is set up on this desktop.");
    return QStringLiteral("Sheetsmith could not open ") + url.toDisplayString()
        + QStringLiteral(".") + kCrLf
        + QStringLiteral("Check that a default web browser is set up on this desktop.");
}

bool WebLinks::OpenAddress(QWidget *owner, const QUrl &url)
{
    if (Launcher::current().openUrl(url))
        return true;
    MsgBox(owner, openFailedText(url), DialogSeam::Critical);
    return false;
}

void WebLinks::ValidateWithW3C(QWidget *owner, const QString &sheetText)
{
    MsgBox(owner, validatorInstructions(), DialogSeam::Information);

    // The failure, if any, is told after the clipboard is filled: the author can still
    // open the page by hand and paste.
    const QUrl validator(ValidatorAddress);
    const bool opened = Launcher::current().openUrl(validator);
    Launcher::current().setClipboardText(sheetText);
    if (!opened)
        MsgBox(owner,
               openFailedText(validator) + kCrLf
                   + QStringLiteral("The style sheet is on the clipboard all the same."),
               DialogSeam::Critical);
}

void WebLinks::OpenCss1Reference(QWidget *owner)
{
    OpenAddress(owner, QUrl(Css1ReferenceAddress));
}

void WebLinks::OpenHomePage(QWidget *owner)
{
    OpenAddress(owner, QUrl(HomePageAddress));
}

void WebLinks::ReportErrors(QWidget *owner)
{
    MsgBox(owner, reportInstructions(), DialogSeam::Information);
    OpenAddress(owner, QUrl(SupportMailAddress));
}

} // namespace sheetsmith
