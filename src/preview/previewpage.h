#pragma once

#include "text/documentfile.h"

#include <QString>
#include <QStringList>

namespace sheetsmith {

// The composed preview page: an HTML page with the sheet being edited inserted as an
// embedded style element at the end of its head, written beside the page so that the
// page's relative links (images, scripts, its own style sheets) still resolve.

// Where the copy of the page at pagePath is written: the whole path with "prvw.htm"
// appended ("index.html" gives "index.htmlprvw.htm"), never a replaced extension, so
// the copy cannot overwrite a page of the site.
QString previewCopyPath(const QString &pagePath);

// The page's text (CR LF breaks) with the sheet inserted. The page is taken line by
// line, each line followed by CR LF, the last one too. The first "</head>", found
// without regard to case, is replaced by
//     <style type="text/css"> CR LF sheet CR LF </style> CR LF </head>
// so the sheet comes after everything else in the head and wins over the page's own
// styles. A page without "</head>" is returned unchanged apart from its line ends and
// is shown without the sheet.
QString composePreviewText(const QString &crlfPage, const QString &crlfSheet);

// How the copy is stored: in the page's own encoding, so the browser reads it as it
// reads the page, with CR LF breaks. Two exceptions, so that no character of the
// sheet is lost or misread: a Windows-1252 page whose copy holds a character that
// Windows-1252 cannot store, and a UTF-8 page whose copy gains characters beyond
// ASCII from the sheet, are written as UTF-8 with a byte-order mark, which browsers
// honour before any charset the page declares.
FileFormat previewCopyFormat(const FileFormat &pageFormat, const QString &composedText,
                             const QString &crlfSheet);

struct ComposeResult
{
    bool ok = false;
    QString copyPath; // the composed copy, written whole
    QString error;    // a sentence for the author naming the page and the reason
};

// Reads the page at pagePath (UTF-8 when it is valid UTF-8, else Windows-1252),
// inserts the sheet and writes the copy, followed by one line break, whole or not at
// all: a failure at any step leaves an earlier copy as it was and is told in error.
ComposeResult composePreviewFile(const QString &pagePath, const QString &crlfSheet);

// The entry of pages that names the same page as chosen, or -1. Page paths are
// compared without regard to letter case, as pages picked by hand often differ from
// the listed spelling only in case; but on a file system where case makes two names
// two files, a chosen file that exists and is not the listed file is a page of its
// own, so browsing to it never previews another page.
int findListedPage(const QStringList &pages, const QString &chosen);

} // namespace sheetsmith
