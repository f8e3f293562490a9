#include "editor/documentcolours.h"

#include "editor/rtf.h"

#include <QRegularExpression>
#include <QStringView>

#include <algorithm>

namespace sheetsmith {

namespace {

// A line being coloured, as a sequence of marks: a character of the line (its index,
// 0 or more) or a colour word (-1 - its colour-table entry).
using Marks = std::vector<qint32>;

constexpr qint32 colourWord(int entry)
{
    return -1 - entry;
}

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

class LineColouring
{
public:
    explicit LineColouring(QStringView line) : m_line(line) {}

    // Follows ColourRtfLine on the line's marks; commentOpen as there.
    const Marks &colour(bool &commentOpen)
    {
        markSelectorAndBraces();
        colourComments(commentOpen);
        if (commentOpen && !m_marks.empty()) {
            m_marks.insert(m_marks.begin(), colourWord(3));
            m_marks.push_back(colourWord(0));
        }
        return m_marks;
    }

private:
    // Whether the character at i is written as an escape because a brace precedes it.
    bool escapedAfterBrace(qsizetype i) const
    {
        const QChar c = m_line[i];
        return i > 0 && (c == u' ' || isDigit(c)) && (m_line[i - 1] == u'{' || m_line[i - 1] == u'}');
    }

    // Whether the characters from `at` are written as the first `length` characters of
    // the line are: the same characters, each in the same RTF form.
    bool sameUnits(qsizetype at, qsizetype length) const
    {
        for (qsizetype k = 0; k < length; ++k) {
            if (m_line[at + k] != m_line[k] || escapedAfterBrace(at + k) != escapedAfterBrace(k))
                return false;
        }
        return true;
    }

    void pushCharacter(qsizetype i)
    {
        // Every brace between the brace word and the default word.
        if (m_line[i] == u'{' || m_line[i] == u'}') {
            m_marks.push_back(colourWord(2));
            m_marks.push_back(qint32(i));
            m_marks.push_back(colourWord(0));
        } else {
            m_marks.push_back(qint32(i));
        }
    }

    // The text before the last "{" is the selector: it, and every later copy of it (left
    // to right, not overlapping), goes between the selector word and the default word.
    void markSelectorAndBraces()
    {
        const qsizetype n = m_line.size();
        m_marks.reserve(size_t(n) + 16);
        const qsizetype brace = m_line.lastIndexOf(u'{');
        std::vector<qsizetype> copies;
        if (brace > 0) {
            copies.push_back(0);
            const QStringView selector = m_line.left(brace);
            qsizetype from = brace;
            for (qsizetype at = m_line.indexOf(selector, from); at >= 0; at = m_line.indexOf(selector, from)) {
                if (sameUnits(at, brace)) {
                    copies.push_back(at);
                    from = at + brace;
                } else {
                    from = at + 1;
                }
            }
        }
        auto copy = copies.begin();
        for (qsizetype i = 0; i < n;) {
            if (copy != copies.end() && *copy == i) {
                m_marks.push_back(colourWord(1));
                for (qsizetype k = i; k < i + brace; ++k)
                    pushCharacter(k);
                m_marks.push_back(colourWord(0));
                i += brace;
                ++copy;
            } else {
                pushCharacter(i++);
            }
        }
    }

    bool isCharacter(qsizetype mark, QChar c) const
    {
        return mark < qsizetype(m_marks.size()) && m_marks[size_t(mark)] >= 0
               && m_line[m_marks[size_t(mark)]] == c;
    }

    // The first pair of characters first, second standing next to each other (no colour
    // word between them) at or after the mark `from`; -1 when there is none.
    qsizetype findPair(QChar first, QChar second, qsizetype from) const
    {
        for (qsizetype k = from; k + 1 < qsizetype(m_marks.size()); ++k) {
            if (isCharacter(k, first) && isCharacter(k + 1, second))
                return k;
        }
        return -1;
    }

    void colourComments(bool &commentOpen)
    {
        qsizetype opener = findPair(u'/', u'*', 0);
        if (opener < 0) {
            // A closer ends a comment opened on an earlier line: the line's start through
            // the last closer is comment, colour words inside it kept.
            qsizetype lastCloser = -1;
            for (qsizetype at = findPair(u'*', u'/', 0); at >= 0; at = findPair(u'*', u'/', at + 2))
                lastCloser = at;
            if (lastCloser < 0)
                return;
            commentOpen = false;
            m_marks.insert(m_marks.begin() + lastCloser + 2, colourWord(0));
            m_marks.insert(m_marks.begin(), colourWord(3));
            return;
        }
        // Each opener runs to the first closer from the opener itself; the comment loses
        // the selector, brace and default words inside it and goes between the comment
        // word and the default word.
        Marks out;
        out.reserve(m_marks.size() + 16);
        qsizetype copied = 0;
        while (opener >= 0) {
            const qsizetype closer = findPair(u'*', u'/', opener);
            if (closer < 0) {
                commentOpen = true;
                break;
            }
            const qsizetype end = closer + 2;
            out.insert(out.end(), m_marks.begin() + copied, m_marks.begin() + opener);
            out.push_back(colourWord(3));
            for (qsizetype k = opener; k < end; ++k) {
                const qint32 mark = m_marks[size_t(k)];
                if (mark >= 0 || mark == colourWord(3))
                    out.push_back(mark);
            }
            out.push_back(colourWord(0));
            copied = end;
            commentOpen = false;
            opener = findPair(u'/', u'*', end);
        }
        out.insert(out.end(), m_marks.begin() + copied, m_marks.end());
        m_marks = std::move(out);
    }

    QStringView m_line;
    Marks m_marks;
};

// Whether the RTF colouring leaves a line as it is: nothing to mark on it.
bool plainLine(QStringView line, bool commentOpen)
{
    if (commentOpen)
        return false;
    for (const QChar c : line) {
        if (c == u'{' || c == u'}' || c == u'*')
            return false;
    }
    return true;
}

} // namespace

std::vector<quint8> DocumentColourEntries(const QString &crLfText, bool &commentOpen)
{
    std::vector<quint8> entries;
    entries.reserve(size_t(crLfText.size()));
    // The colour word in effect; the RTF starts with none (automatic), and entry 0 is
    // automatic too.
    int state = 0;
    const QStringView text(crLfText);
    qsizetype lineStart = 0;
    for (;;) {
        qsizetype lineEnd = text.indexOf(u"\r\n", lineStart);
        const bool last = lineEnd < 0;
        if (last)
            lineEnd = text.size();
        const QStringView line = text.mid(lineStart, lineEnd - lineStart);
        const size_t first = entries.size();
        if (plainLine(line, commentOpen)) {
            entries.resize(first + size_t(line.size()), quint8(state));
        } else {
            entries.resize(first + size_t(line.size()), 0);
            LineColouring colouring(line);
            for (const qint32 mark : colouring.colour(commentOpen)) {
                if (mark < 0)
                    state = -1 - mark;
                else
                    entries[first + size_t(mark)] = quint8(state);
            }
        }
        if (last)
            break;
        // The break takes the colour in effect at the "\par" that starts the next line.
        entries.push_back(quint8(state));
        lineStart = lineEnd + 2;
    }
    return entries;
}

std::optional<std::array<ColourValue, 4>> ColourTableColours(const QString &colourTable)
{
    static const QRegularExpression plainTable(
        QStringLiteral("\\A\\{\\\\colortbl ;(?:(?:\\\\(?:red|green|blue)[0-9]{1,9})*;){3}\\}\\z"));
    if (!plainTable.match(colourTable).hasMatch())
        return std::nullopt;
    const std::optional<RtfContent> sample =
        readRtf(QStringLiteral("{\\rtf1") + colourTable + QStringLiteral("\\cf1 a\\cf2 b\\cf3 c}"));
    if (!sample || sample->colours.size() != 3)
        return std::nullopt;
    return std::array<ColourValue, 4>{kAutoColour, sample->colours[0], sample->colours[1], sample->colours[2]};
}

} // namespace sheetsmith
