#include "editor/problemmarks.h"

#include <QStringList>

#include <algorithm>

namespace sheetsmith {

void ProblemMarks::assign(std::vector<Mark> marks)
{
    m_marks = std::move(marks);
    m_longest = 0;
    for (const Mark &mark : m_marks)
        m_longest = std::max(m_longest, mark.length);
    ++m_revision;
}

void ProblemMarks::replaceRange(qsizetype from, qsizetype to, std::vector<Mark> marks)
{
    const auto byStart = [](const Mark &m, qsizetype at) { return m.start < at; };
    const auto first = std::lower_bound(m_marks.begin(), m_marks.end(), from, byStart);
    const auto last = std::lower_bound(first, m_marks.end(), to, byStart);
    if (first == last && marks.empty())
        return;
    for (const Mark &mark : marks)
        m_longest = std::max(m_longest, mark.length);
    const auto at = m_marks.erase(first, last);
    m_marks.insert(at, std::make_move_iterator(marks.begin()), std::make_move_iterator(marks.end()));
    ++m_revision;
}

void ProblemMarks::follow(qsizetype pos, qsizetype removed, qsizetype added)
{
    if (m_marks.empty())
        return;
    const qsizetype end = pos + removed;
    // Marks that end before the edit stay, those after it move; one the edit touches goes.
    auto first = std::lower_bound(m_marks.begin(), m_marks.end(), pos - m_longest,
                                  [](const Mark &m, qsizetype at) { return m.start < at; });
    while (first != m_marks.end() && first->start + first->length < pos)
        ++first;
    auto after = first;
    while (after != m_marks.end() && after->start <= end)
        ++after;
    const qsizetype delta = added - removed;
    if (first == after && delta == 0)
        return;
    for (auto it = after; it != m_marks.end(); ++it)
        it->start += delta;
    m_marks.erase(first, after);
    ++m_revision;
}

void ProblemMarks::forEachIn(qsizetype pos, qsizetype count, const std::function<void(const Mark &)> &visit) const
{
    auto it = std::lower_bound(m_marks.begin(), m_marks.end(), pos - m_longest,
                               [](const Mark &m, qsizetype at) { return m.start < at; });
    for (; it != m_marks.end() && it->start < pos + count; ++it) {
        if (it->start + it->length > pos)
            visit(*it);
    }
}

QString ProblemMarks::messageAt(qsizetype pos) const
{
    QStringList messages;
    forEachIn(pos, 1, [&messages](const Mark &mark) { messages << mark.message; });
    return messages.join(u'\n');
}

} // namespace sheetsmith
