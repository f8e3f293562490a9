#include "preview/previewpage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

namespace sheetsmith {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kHeadEnd = QStringLiteral("</head>");

bool hasNonAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return true;
    }
    return false;
}

// Whether two paths lead to one file: the same device and inode, whatever the
// spelling (a case-insensitive volume, links).
bool sameFile(const QString &a, const QString &b)
{
    struct stat sa;
    struct stat sb;
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace

QString previewCopyPath(const QString &pagePath)
{
    return pagePath + QStringLiteral("prvw.htm");
}

QString composePreviewText(const QString &crlfPage, const QString &crlfSheet)
{
    QString page = crlfPage;
    // Read line by line, every line ends in CR LF; an empty page has no lines.
    if (!page.isEmpty() && !page.endsWith(kCrLf))
        page += kCrLf;
    const qsizetype at = page.indexOf(kHeadEnd, 0, Qt::CaseInsensitive);
    if (at < 0)
        return page;
    const QString insertion = QStringLiteral("<style type=\"text/css\">") + kCrLf + crlfSheet + kCrLf
                              + QStringLiteral("</style>") + kCrLf + kHeadEnd;
    page.replace(at, kHeadEnd.size(), insertion);
    return page;
}

FileFormat previewCopyFormat(const FileFormat &pageFormat, const QString &composedText,
                             const QString &crlfSheet)
{
    FileFormat format = pageFormat;
    format.lineEnding = FileFormat::LineEnding::CrLf;
    const FileFormat utf8WithMark{FileFormat::Encoding::Utf8, true, FileFormat::LineEnding::CrLf};
    if (format.encoding == FileFormat::Encoding::Windows1252) {
        if (encodeDocument(composedText, format).formatUsed.encoding != format.encoding)
            return utf8WithMark;
        return format;
    }
    if (hasNonAscii(crlfSheet))
        return utf8WithMark;
    return format;
}

ComposeResult composePreviewFile(const QString &pagePath, const QString &crlfSheet)
{
    ComposeResult result;
    const QString shown = QDir::toNativeSeparators(pagePath);
    if (pagePath.isEmpty()) {
        result.error = QStringLiteral("No preview page is chosen. Pick a page in the list of the Preview "
                                      "window, or add one with its Browse button.");
        return result;
    }
    const ReadResult page = readDocumentFile(pagePath);
    if (!page.ok) {
        result.error = QStringLiteral("The preview of %1 cannot be composed. %2").arg(shown, page.error);
        return result;
    }
    const QString composed = composePreviewText(page.text, crlfSheet) + kCrLf;
    const FileFormat format = previewCopyFormat(page.format, composed, crlfSheet);
    const QByteArray bytes = encodeDocument(composed, format).bytes;

    const QString copyPath = previewCopyPath(pagePath);
    const auto fail = [&](const QString &reason) {
        result.error = QStringLiteral("The preview of %1 cannot be written to \"%2\": %3")
                           .arg(shown, QDir::toNativeSeparators(copyPath), reason);
        return result;
    };
    if (QFileInfo(copyPath).isDir())
        return fail(QStringLiteral("a folder of that name is in the way."));
    // The copy replaces an earlier one only once it is written completely.
    QSaveFile file(copyPath);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString() + u'.');
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason + u'.');
    }
    if (!file.commit())
        return fail(file.errorString() + u'.');
    result.ok = true;
    result.copyPath = copyPath;
    return result;
}

int findListedPage(const QStringList &pages, const QString &chosen)
{
    const QFileInfo chosenFile(chosen);
    for (int i = 0; i < pages.size(); ++i) {
        const QString &listed = pages[i];
        if (listed == chosen)
            return i;
        if (listed.compare(chosen, Qt::CaseInsensitive) != 0)
            continue;
        // Same name but for case: one page unless the chosen file exists and the
        // listed name does not lead to that very file.
        if (!chosenFile.exists())
            return i;
        if (sameFile(listed, chosen))
            return i;
    }
    return -1;
}

} // namespace sheetsmith
