// The editor's Find, its line queries and its undo, over the CR LF text.

#include "editor/richedit.h"

#include "editor/richeditscope.h"
#include "text/words.h"

#include <QTextBlock>
#include <QTextDocument>

namespace sheetsmith {

// --- Find ----------------------------------------------------------------------------------

namespace {

FindOptions findOptions(int options)
{
    return {(options & RichEdit::FindWholeWord) != 0, (options & RichEdit::FindMatchCase) != 0};
}

} // namespace

qsizetype RichEdit::find(const QString &what, std::optional<qsizetype> start,
                         std::optional<qsizetype> end, int options)
{
    const qsizetype found = FindInText(m_model.text(), what, selStart(), selLength(), start, end, findOptions(options));
    if (found < 0)
        return -1;
    NotifyScope scope(*this);
    selectOffsets(found, found + what.size());
    return found;
}

std::vector<qsizetype> RichEdit::findEach(const QString &what, int options) const
{
    std::vector<qsizetype> found;
    const FindOptions how = findOptions(options);
    qsizetype from = 0;
    for (qsizetype at; (at = FindInText(m_model.text(), what, 0, 0, from, std::nullopt, how)) >= 0;) {
        found.push_back(at);
        from = at + what.size();
    }
    return found;
}

// --- Lines ---------------------------------------------------------------------------------

int RichEdit::lineCount() const
{
    return m_model.lineCount();
}

qsizetype RichEdit::lineIndex(int line0) const
{
    if (line0 == -1)
        return m_model.lineStart(m_model.lineOfOffset(selStart()));
    return m_model.lineStart(line0);
}

qsizetype RichEdit::lineLength(qsizetype charIndex) const
{
    if (charIndex == -1) {
        const qsizetype start = selStart();
        const qsizetype end = start + selLength();
        const int first = m_model.lineOfOffset(start);
        if (start == end)
            return m_model.lineLength(first);
        const int last = m_model.lineOfOffset(end);
        const qsizetype before = start - m_model.lineStart(first);
        const qsizetype after = m_model.lineStart(last) + m_model.lineLength(last) - end;
        return before + std::max<qsizetype>(after, 0);
    }
    if (charIndex < 0 || charIndex > m_model.length())
        return 0;
    return m_model.lineLength(m_model.lineOfOffset(charIndex));
}

QString RichEdit::lineText(int line0) const
{
    return m_model.lineText(line0);
}

int RichEdit::lineFromChar(qsizetype charIndex) const
{
    if (charIndex == -1)
        charIndex = selStart();
    return m_model.lineOfOffset(std::clamp<qsizetype>(charIndex, 0, m_model.length()));
}

qsizetype RichEdit::charFromPos(QPoint viewportPos) const
{
    return m_model.fromQtPosition(cursorForPosition(viewportPos).position());
}

// --- Undo ----------------------------------------------------------------------------------

void RichEdit::undo()
{
    NotifyScope scope(*this);
    QPlainTextEdit::undo();
}

void RichEdit::redo()
{
    NotifyScope scope(*this);
    QPlainTextEdit::redo();
}

} // namespace sheetsmith
