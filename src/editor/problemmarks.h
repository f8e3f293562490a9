#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <vector>

namespace sheetsmith {

// The spans of the editor's text that a check found fault with, each drawn with a wavy
// underline in its kind's colour and told in a tool tip. Like the colours, a layer
// beside the text (Qt positions): setting it is neither an edit nor an undo step. The
// marks move with edits made after the check; a mark an edit touches goes until the
// next check.
class ProblemMarks
{
public:
    enum Kind : quint8 { Error, Warning, Note };
    struct Mark
    {
        qsizetype start = 0;
        qsizetype length = 0;
        Kind kind = Error;
        QString message;
    };

    // Marks in order of their start.
    void assign(std::vector<Mark> marks);
    void clear() { assign({}); }
    // The marks that start in [from, to) give way to these, in order, all in that range.
    void replaceRange(qsizetype from, qsizetype to, std::vector<Mark> marks);
    // Follows an edit of the text: `removed` characters at pos gave way to `added`.
    void follow(qsizetype pos, qsizetype removed, qsizetype added);

    // Calls visit for each mark that overlaps [pos, pos + count).
    void forEachIn(qsizetype pos, qsizetype count, const std::function<void(const Mark &)> &visit) const;
    // The message of the marks over the character at pos, one per line; empty when none.
    QString messageAt(qsizetype pos) const;

    bool isEmpty() const { return m_marks.empty(); }
    // Changes whenever a mark is added, moved or taken away.
    quint64 revision() const { return m_revision; }

private:
    std::vector<Mark> m_marks;
    // The longest mark, so a search for the marks over a place knows how far back to look.
    qsizetype m_longest = 0;
    quint64 m_revision = 0;
};

} // namespace sheetsmith
