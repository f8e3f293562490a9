#pragma once

#include <QLatin1String>
#include <QString>

class QUrl;
class QWidget;

namespace sheetsmith {

// The outside web resources of the Help and Tools menus: the validator hand-off, the
// CSS1 reference, the maker's home page and the support mail. Every address is opened
// through Launcher::current(); an address that cannot be opened is reported to the
// author in a message box, never passed over in silence.
class WebLinks
{
public:
    // The addresses the editor opens, kept here and nowhere else. The home page and the
    // support mail are the maker's own addresses: whoever publishes the editor sets them.
    static constexpr QLatin1String Css1ReferenceAddress{"https://www.w3.org/TR/REC-CSS1/"};
    static constexpr QLatin1String ValidatorAddress{
        "https://jigsaw.w3.org/css-validator/#validate_by_input"};
    static constexpr QLatin1String HomePageAddress{"https://sheetsmith.example/"};
    static constexpr QLatin1String SupportMailAddress{"mailto:support@sheetsmith.example"};

    // What the author is told before the validator's page opens, lines joined by CR LF.
    static QString validatorInstructions();
    // What the author is told before the mail program opens.
    static QString reportInstructions();
    // The message for an address the desktop could not open; mail addresses name the
    // mail program, all others the web browser.
    static QString openFailedText(const QUrl &url);

    // Tells the author how to use the validator, opens its text-input page, then puts
    // the sheet on the clipboard. The clipboard is filled after the page is opened, so
    // it holds the sheet when the author pastes, and it is filled even when the page
    // could not be opened.
    static void ValidateWithW3C(QWidget *owner, const QString &sheetText);
    static void OpenCss1Reference(QWidget *owner);
    static void OpenHomePage(QWidget *owner);
    // Asks the author to be specific, then opens a new mail to the support address.
    static void ReportErrors(QWidget *owner);

    // Opens an address with the desktop's handler; when that fails, tells the author
    // (critical message owned by owner) and returns false.
    static bool OpenAddress(QWidget *owner, const QUrl &url);
};

} // namespace sheetsmith
