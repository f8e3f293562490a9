#pragma once

#include "text/commentmarkers.h"

#include <QString>

#include <optional>
#include <vector>

namespace sheetsmith {

// The editor's text as the rest of the program sees it: one string in which every
// line break is CR LF (both characters counted), with an index of line starts.
//
// Qt's document keeps one character per line break, so a Qt position and an offset
// here differ by the number of line breaks before them. This class is the one place
// where the two are converted. Offsets are 0-based; lines are 0-based here (the
// 1-based line numbers of the editor's operations are made by the callers).
//
// An offset that falls on the CR or the LF of a break belongs to the line the break
// ends, and maps to that line's end in Qt's document.
//
// The comment markers of the text are kept beside it, so that the comment questions of
// the scanner and the line colouring never search the whole text.
class TextModel
{
public:
    TextModel();
    explicit TextModel(const QString &text);

    // Replaces the whole content. Any mix of CR LF, LF and lone CR breaks is accepted
    // and stored as CR LF, as Qt's document would break the text.
    void setText(const QString &text);

    // A change of the text in CR LF offsets: `removed` characters at `from` gave way to
    // `added` others.
    struct Change
    {
        qsizetype from = 0;
        qsizetype removed = 0;
        qsizetype added = 0;
    };

    // Applies a change reported by Qt's document: at Qt position qtPos, qtRemoved Qt
    // characters were replaced by qtAdded (in which "\n" or U+2029 stand for breaks).
    // Returns the change in CR LF offsets; nullopt, changing nothing, when the change
    // does not fit the current text.
    std::optional<Change> applyQtChange(qsizetype qtPos, qsizetype qtRemoved, const QString &qtAdded);

    const QString &text() const { return m_text; }
    qsizetype length() const { return m_text.size(); }
    // Number of characters in Qt's document form (one per break, no final separator).
    qsizetype qtLength() const { return m_text.size() - (lineCount() - 1); }

    int lineCount() const { return int(m_lineStarts.size()); }
    // Offset of the first character of a line; -1 when the line does not exist.
    qsizetype lineStart(int line) const;
    // Length of a line without its break; 0 when the line does not exist.
    qsizetype lineLength(int line) const;
    QString lineText(int line) const;
    // The line holding the character at offset; offsets past the end give the last
    // line, negative offsets the first.
    int lineOfOffset(qsizetype offset) const;

    qsizetype toQtPosition(qsizetype offset) const;
    qsizetype fromQtPosition(qsizetype qtPos) const;
    // The line holding a Qt position (its block number).
    int lineOfQtPosition(qsizetype qtPos) const;

    // The "/*" and "*/" of the text.
    const CommentMarkerPositions &commentMarkers() const { return m_markers; }

    // Converts text in any break form to CR LF.
    static QString toCrLf(const QString &text);

private:
    void rebuildLineStarts();

    QString m_text;
    // Offsets of line starts, ascending; always holds 0 for the first line.
    std::vector<qsizetype> m_lineStarts;
    CommentMarkerPositions m_markers;
};

} // namespace sheetsmith
