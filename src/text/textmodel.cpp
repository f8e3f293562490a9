#include "text/textmodel.h"

#include <algorithm>

namespace sheetsmith {

namespace {
constexpr QChar kParagraphSeparator(0x2029);
}

TextModel::TextModel()
{
    m_lineStarts.push_back(0);
}

TextModel::TextModel(const QString &text)
{
    setText(text);
}

QString TextModel::toCrLf(const QString &text)
{
    // A text whose breaks are all CR LF already is given back as it is, sharing its
    // characters: a large sheet is not copied for nothing. Every CR followed by an LF,
    // and as many of each, means every LF has its CR.
    const qsizetype n = text.size();
    const QChar *s = text.constData();
    if (!text.contains(kParagraphSeparator) && text.count(u'\r') == text.count(u'\n')) {
        bool paired = true;
        for (qsizetype i = text.indexOf(u'\r'); paired && i >= 0; i = text.indexOf(u'\r', i + 1))
            paired = i + 1 < n && s[i + 1] == u'\n';
        if (paired)
            return text;
    }
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s[i];
        if (c == u'\r') {
            out += u"\r\n";
            if (i + 1 < n && s[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n' || c == kParagraphSeparator) {
            out += u"\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

void TextModel::setText(const QString &text)
{
    m_text = toCrLf(text);
    rebuildLineStarts();
    m_markers = FindCommentMarkers(m_text);
}

void TextModel::rebuildLineStarts()
{
    m_lineStarts.clear();
    m_lineStarts.push_back(0);
    const QChar *s = m_text.constData();
    const qsizetype n = m_text.size();
    for (qsizetype i = 0; i + 1 < n; ++i) {
        if (s[i] == u'\r' && s[i + 1] == u'\n') {
            m_lineStarts.push_back(i + 2);
            ++i;
        }
    }
}

qsizetype TextModel::lineStart(int line) const
{
    if (line < 0 || line >= lineCount())
        return -1;
    return m_lineStarts[size_t(line)];
}

qsizetype TextModel::lineLength(int line) const
{
    if (line < 0 || line >= lineCount())
        return 0;
    const qsizetype start = m_lineStarts[size_t(line)];
    const qsizetype end = line + 1 < lineCount() ? m_lineStarts[size_t(line) + 1] - 2 : m_text.size();
    return end - start;
}

QString TextModel::lineText(int line) const
{
    if (line < 0 || line >= lineCount())
        return QString();
    return m_text.mid(m_lineStarts[size_t(line)], lineLength(line));
}

int TextModel::lineOfOffset(qsizetype offset) const
{
    // The last line whose start is at or before offset.
    const auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    if (it == m_lineStarts.begin())
        return 0;
    return int(it - m_lineStarts.begin()) - 1;
}

int TextModel::lineOfQtPosition(qsizetype qtPos) const
{
    // A line's Qt start is its offset minus one for every break before it; that
    // sequence ascends as the offsets do, so it can be searched the same way.
    int lo = 0;
    int hi = lineCount(); // first line whose Qt start is after qtPos
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (m_lineStarts[size_t(mid)] - mid <= qtPos)
            lo = mid + 1;
        else
            hi = mid;
    }
    return std::max(0, lo - 1);
}

qsizetype TextModel::toQtPosition(qsizetype offset) const
{
    offset = std::clamp<qsizetype>(offset, 0, m_text.size());
    const int line = lineOfOffset(offset);
    const qsizetype start = m_lineStarts[size_t(line)];
    const qsizetype column = std::min(offset - start, lineLength(line));
    return start - line + column;
}

qsizetype TextModel::fromQtPosition(qsizetype qtPos) const
{
    qtPos = std::clamp<qsizetype>(qtPos, 0, qtLength());
    return qtPos + lineOfQtPosition(qtPos);
}

std::optional<TextModel::Change> TextModel::applyQtChange(qsizetype qtPos, qsizetype qtRemoved,
                                                         const QString &qtAdded)
{
    if (qtPos < 0 || qtRemoved < 0 || qtPos + qtRemoved > qtLength())
        return std::nullopt;
    const qsizetype from = fromQtPosition(qtPos);
    const qsizetype to = fromQtPosition(qtPos + qtRemoved);
    const QString added = toCrLf(qtAdded);
    const qsizetype delta = added.size() - (to - from);

    m_text.replace(from, to - from, added);

    // Starts after a removed break go; later starts move by delta; every break of the
    // added text brings a new start.
    auto first = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), from);
    auto last = std::upper_bound(first, m_lineStarts.end(), to);
    for (auto it = last; it != m_lineStarts.end(); ++it)
        *it += delta;
    std::vector<qsizetype> inserted;
    for (qsizetype i = 0; i + 1 < added.size(); ++i) {
        if (added[i] == u'\r' && added[i + 1] == u'\n') {
            inserted.push_back(from + i + 2);
            ++i;
        }
    }
    const auto at = m_lineStarts.erase(first, last);
    m_lineStarts.insert(at, inserted.begin(), inserted.end());
    SpliceCommentMarkers(m_markers, m_text, from, to - from, added.size());
    return Change{from, to - from, added.size()};
}

} // namespace sheetsmith
