#include "text/documentfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <array>
#include <cerrno>
#include <sys/stat.h>

namespace sheetsmith {

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF", 3);

// Windows-1252 in 0x80..0x9F. The five bytes the code page leaves undefined map to the
// C1 controls of the same value, so that every byte has a character and a file read
// as Windows-1252 is written back unchanged.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte for a character in Windows-1252, or -1 when the code page has none.
int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < int(Windows1252High.size()); ++i) {
        if (Windows1252High[i] == c)
            return 0x80 + i;
    }
    return -1;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(const QByteArray &bytes, qsizetype from)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = from;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int length;
        char32_t code;
        char32_t minimum;
        if ((c & 0xE0) == 0xC0) {
            length = 2;
            code = c & 0x1F;
            minimum = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3;
            code = c & 0x0F;
            minimum = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4;
            code = c & 0x07;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (n - i < length)
            return false;
        for (int k = 1; k < length; ++k) {
            const unsigned char next = p[i + k];
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

// Every CR LF, lone LF and lone CR of text as the given break.
QString withBreaks(const QString &text, QStringView lineBreak)
{
    QString out;
    out.reserve(text.size() + text.size() / 32);
    const QChar *s = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s[i];
        if (c == u'\r') {
            out += lineBreak;
            if (i + 1 < n && s[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += lineBreak;
        } else {
            out += c;
        }
    }
    return out;
}

FileFormat::LineEnding firstLineEnding(const QByteArray &bytes)
{
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] == '\n')
            return FileFormat::LineEnding::Lf;
        if (bytes[i] == '\r')
            return (i + 1 < n && bytes[i + 1] == '\n') ? FileFormat::LineEnding::CrLf
                                                       : FileFormat::LineEnding::Lf;
    }
    return FileFormat::LineEnding::Lf;
}

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// True when the path cannot be followed because its symbolic links lead round in a
// circle (QFileInfo only says that nothing is there).
bool isSymbolicLinkLoop(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) != 0 && errno == ELOOP;
}

const QString LinkLoop = QStringLiteral("its path goes round in a loop of symbolic links.");

ReadResult readFailure(const QString &path, const QString &reason)
{
    ReadResult result;
    result.error = QStringLiteral("Cannot open \"%1\": %2").arg(shownPath(path), reason);
    return result;
}

} // namespace

ReadResult decodeDocument(const QByteArray &bytes)
{
    ReadResult result;
    if (bytes.contains('\0')) {
        result.error = QStringLiteral("the data is not text (it holds NUL bytes)");
        return result;
    }
    result.format.lineEnding = firstLineEnding(bytes);

    const bool bom = bytes.startsWith(Utf8Bom);
    const qsizetype start = bom ? Utf8Bom.size() : 0;
    QString decoded;
    if (isValidUtf8(bytes, start)) {
        result.format.encoding = FileFormat::Encoding::Utf8;
        result.format.bom = bom;
        // The mark taken off above is the only one dropped: a second mark right after
        // it is a character of the text (QString::fromUtf8 would drop it too).
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        decoded = utf8(QByteArrayView(bytes.constData() + start, bytes.size() - start));
    } else {
        // A mark followed by bytes that are not UTF-8 is three Windows-1252
        // characters like any others, and is written back as such.
        result.format.encoding = FileFormat::Encoding::Windows1252;
        result.format.bom = false;
        decoded.resize(bytes.size());
        QChar *out = decoded.data();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            out[i] = (b >= 0x80 && b < 0xA0) ? QChar(Windows1252High[b - 0x80]) : QChar(b);
        }
    }
    result.text = withBreaks(decoded, u"\r\n");
    result.ok = true;
    return result;
}

EncodedDocument encodeDocument(const QString &crlfText, const FileFormat &format)
{
    EncodedDocument encoded;
    encoded.formatUsed = format;
    const QString text =
        withBreaks(crlfText, format.lineEnding == FileFormat::LineEnding::CrLf ? u"\r\n" : u"\n");

    if (format.encoding == FileFormat::Encoding::Windows1252) {
        encoded.bytes.resize(text.size());
        char *out = encoded.bytes.data();
        bool representable = true;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const int b = windows1252Byte(text[i].unicode());
            if (b < 0) {
                representable = false;
                break;
            }
            out[i] = char(b);
        }
        if (representable) {
            encoded.formatUsed.bom = false;
            return encoded;
        }
        // Writing the character as "?" would lose it; UTF-8 holds every character.
        encoded.formatUsed.encoding = FileFormat::Encoding::Utf8;
        encoded.formatUsed.bom = false;
    }

    encoded.bytes = encoded.formatUsed.bom ? Utf8Bom + text.toUtf8() : text.toUtf8();
    return encoded;
}

ReadResult readDocumentFile(const QString &path)
{
    if (path.isEmpty())
        return readFailure(path, QStringLiteral("no file name was given."));
    if (isSymbolicLinkLoop(path))
        return readFailure(path, LinkLoop);
    const QFileInfo info(path);
    if (!info.exists())
        return readFailure(path, QStringLiteral("the file does not exist."));
    if (info.isDir())
        return readFailure(path, QStringLiteral("it is a folder, not a file."));
    // Devices and pipes may never end; only ordinary files are documents.
    if (!info.isFile())
        return readFailure(path, QStringLiteral("it is not a text file."));
    const QString tooLarge =
        QStringLiteral("it is too large to be a style sheet (over %1 MB).").arg(MaxDocumentFileMegabytes);
    if (info.size() > MaxDocumentFileSize)
        return readFailure(path, tooLarge);

    const QString noPermission = QStringLiteral("you do not have permission to read it.");
    if (!info.isReadable())
        return readFailure(path, noPermission);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.error() == QFileDevice::PermissionsError)
            return readFailure(path, noPermission);
        return readFailure(path, file.errorString() + u'.');
    }
    // Read one byte past the limit, in case the file grew since it was measured.
    const QByteArray bytes = file.read(MaxDocumentFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return readFailure(path, file.errorString() + u'.');
    if (bytes.size() > MaxDocumentFileSize)
        return readFailure(path, tooLarge);

    ReadResult result = decodeDocument(bytes);
    if (!result.ok)
        return readFailure(path, QStringLiteral("it is not a text file."));
    result.disk = DiskState::of(path, bytes);
    return result;
}

QString replaceFileWhole(const QString &path, const QByteArray &bytes)
{
    // QSaveFile writes a temporary file beside the target and renames it over the
    // target only on commit(), so a failure at any step leaves the old file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const QFileInfo folder(QFileInfo(path).absolutePath());
        if (folder.isDir() && !folder.isWritable())
            return QStringLiteral("you do not have permission to write in the folder \"%1\".")
                .arg(shownPath(folder.absoluteFilePath()));
        return file.errorString() + u'.';
    }
    // A write cut short by a full disk or a size limit reports only how much it wrote;
    // writing the rest again fails at once and gives the system's reason.
    qsizetype written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    if (written != bytes.size()) {
        const QString reason = file.error() != QFileDevice::NoError
            ? file.errorString() + u'.'
            : QStringLiteral("only %1 of %2 bytes could be written.").arg(written).arg(bytes.size());
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString() + u'.';
    return QString();
}

WriteResult writeDocumentFile(const QString &path, const QString &crlfText, const FileFormat &format)
{
    WriteResult result;
    const EncodedDocument encoded = encodeDocument(crlfText, format);
    result.formatUsed = encoded.formatUsed;
    result.encodingChanged = encoded.formatUsed.encoding != format.encoding;

    const auto fail = [&](const QString &reason) {
        result.ok = false;
        result.error = QStringLiteral("Cannot save \"%1\": %2").arg(shownPath(path), reason);
        return result;
    };
    // Written through such a path, the new file would replace the first link of the
    // loop instead of reaching a file.
    if (isSymbolicLinkLoop(path))
        return fail(LinkLoop);
    const QFileInfo info(path);
    if (info.isDir())
        return fail(QStringLiteral("there is a folder of that name."));
    const QString reason = replaceFileWhole(path, encoded.bytes);
    if (!reason.isEmpty())
        return fail(reason);
    result.ok = true;
    result.disk = DiskState::of(path, encoded.bytes);
    return result;
}

} // namespace sheetsmith
