#pragma once

#include <QString>
#include <QStringList>

namespace sheetsmith {

// A sheet cut into consecutive pieces for the live preview, which gives each piece a
// style element of its own: an edit then changes the text of one small element, and
// the engine parses that piece again, not the whole sheet.
//
// A cut falls only where the sheet's meaning cannot change by it: after a "}" that
// closes a top-level block, outside comments, strings and url(...), and never before
// an at-rule (an @import ignored in the middle of a sheet would count at the start of
// a piece of its own). Cuts are made once a piece has at least `target` characters,
// each counted from the cut before, so an edit moves no cut but those near it and the
// pieces after it stay the same. The pieces joined give the text back.
QStringList SplitSheetChunks(const QString &text, qsizetype target = 32 * 1024);

// The same pieces for text as SplitSheetChunks gives, found from the pieces of the text
// before an edit: the pieces it still starts and ends with are taken as they are, so
// only the stretch around the edit is read again.
QStringList ResplitSheetChunks(const QStringList &before, const QString &text, qsizetype target = 32 * 1024);

// How a list of pieces becomes another: `removed` pieces from index `from` give way to
// `inserted`. The pieces the two lists share at either end are kept.
struct ChunkSplice
{
    qsizetype from = 0;
    qsizetype removed = 0;
    QStringList inserted;

    bool isEmpty() const { return removed == 0 && inserted.isEmpty(); }
};

ChunkSplice DiffChunks(const QStringList &before, const QStringList &after);

} // namespace sheetsmith
