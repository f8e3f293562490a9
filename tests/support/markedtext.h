#pragma once

#include <QString>

namespace sheetsmith {

class RichEdit;

// Texts written with their caret or selection marked: "|" for the caret with nothing
// selected, or "[" and "]" around a selection; with no marker the caret is at 0. The
// caret marker wins, so a text marked with "|" may hold brackets of its own. Breaks may
// be written as "\n": offsets are counted in the editor's CR LF form.
struct MarkedText
{
    QString text; // CR LF breaks, markers removed
    qsizetype selStart = 0;
    qsizetype selLength = 0;
};

MarkedText parseMarked(const QString &marked);
// The text with its selection marked, the other way round.
QString marked(const QString &text, qsizetype selStart, qsizetype selLength);

// Puts a marked text into an editor, with its selection.
void loadMarked(RichEdit &edit, const QString &marked);
// The editor's text with its selection marked.
QString marked(const RichEdit &edit);

} // namespace sheetsmith
