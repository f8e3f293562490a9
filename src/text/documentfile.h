#pragma once

#include "text/diskstate.h"

#include <QByteArray>
#include <QString>

namespace sheetsmith {

// How a style sheet is stored on disk, recorded when it is read and used again when
// it is written, so that an unedited sheet is saved byte for byte as it was.
struct FileFormat
{
    enum class Encoding { Utf8, Windows1252 };
    enum class LineEnding { Lf, CrLf };

    Encoding encoding = Encoding::Utf8;
    bool bom = false; // a UTF-8 byte-order mark at the start
    LineEnding lineEnding = LineEnding::Lf;

    friend bool operator==(const FileFormat &, const FileFormat &) = default;
};

struct ReadResult
{
    bool ok = false;
    QString text; // with CR LF line breaks, the editor's form
    FileFormat format;
    QString error; // a sentence for the author, naming the file
    DiskState disk; // the file as it was read
};

struct WriteResult
{
    bool ok = false;
    QString error;         // a sentence for the author, naming the file
    FileFormat formatUsed; // differs from the format asked for when it could not hold the text
    bool encodingChanged = false; // the text needed UTF-8 in a Windows-1252 file
    DiskState disk;               // the file as it was written
};

struct EncodedDocument
{
    QByteArray bytes;
    FileFormat formatUsed;
};

// Files larger than this are refused before they are read. No style sheet comes near
// it (the largest samples are about 2 MB), and the editor needs some thirty times a
// sheet's size in memory at its peak, most of it Qt's own text layout: 50 MB takes
// about 1.4 GB, where a sheet of several hundred megabytes would exhaust the memory of
// most machines.
inline constexpr qint64 MaxDocumentFileMegabytes = 64;
inline constexpr qint64 MaxDocumentFileSize = MaxDocumentFileMegabytes * 1024 * 1024;

// Bytes as text. Valid UTF-8 (with or without a byte-order mark) is UTF-8; anything
// else is Windows-1252, in which every byte has a character, so nothing is lost.
// Bytes holding a NUL are not text and are refused (ok false, error without a file
// name). The line ending is CR LF when the first break is CR LF, else LF; every break
// (CR LF, LF or a lone CR) becomes CR LF in the text.
ReadResult decodeDocument(const QByteArray &bytes);

// Text with any line breaks as bytes of the given format. A character that
// Windows-1252 cannot hold turns the whole file into UTF-8 (without a mark), and
// formatUsed says so.
EncodedDocument encodeDocument(const QString &crlfText, const FileFormat &format);

ReadResult readDocumentFile(const QString &path);

// Replaces the file at path by bytes, whole or not at all: the old file stays
// untouched unless the new content was written completely. Returns the reason for
// the author when it failed (a sentence without the file's name), else nothing.
QString replaceFileWhole(const QString &path, const QByteArray &bytes);

// Replaces the file as a whole: the old file stays untouched unless the new content
// was written completely.
WriteResult writeDocumentFile(const QString &path, const QString &crlfText, const FileFormat &format);

} // namespace sheetsmith
