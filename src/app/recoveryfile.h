#pragma once

#include "text/documentfile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace sheetsmith {

// The unsaved state of a document as kept in a recovery file: enough to put it back
// into the editor as it was and to save it later as its file was.
struct RecoveryRecord
{
    QString title;   // "Untitled" for a sheet never saved
    QString path;    // empty for a sheet never saved
    FileFormat format;
    QString text;    // the editor's text, CR LF breaks
    QDateTime saved; // when the copy was written (UTC)
};

struct RecoveryParse
{
    bool ok = false;
    RecoveryRecord record;
    QString error; // why the bytes are not a whole recovery file
};

// A recovery file is a line naming the form, a line of JSON describing the document
// (title, path, format, time, and the length and SHA-256 of the text) and then the
// text as UTF-8. The length and the checksum let a copy that was cut short or
// damaged be told from a whole one, so that it is never loaded in part.
QByteArray encodeRecovery(const RecoveryRecord &record);
RecoveryParse decodeRecovery(const QByteArray &bytes);

} // namespace sheetsmith
