#include "text/formatsheet.h"

#include <algorithm>

namespace sheetsmith {

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// A piece of the text that is kept exactly as written: a comment, a string, or a
// backslash with the character (or line break) after it.
struct Atom
{
    qsizetype end = -1; // one past its last character; -1 when none starts here
    bool unclosed = false; // a comment or string not closed, or a backslash ending the text
};

Atom AtomAt(QStringView text, qsizetype i)
{
    const qsizetype n = text.size();
    const QChar c = text[i];
    if (c == u'/' && i + 1 < n && text[i + 1] == u'*') {
        // Searched from after the "/*", so "/*/" does not close itself.
        const qsizetype close = text.indexOf(u"*/", i + 2);
        return close < 0 ? Atom{n, true} : Atom{close + 2, false};
    }
    if (c == u'"' || c == u'\'') {
        for (qsizetype j = i + 1; j < n; ++j) {
            if (text[j] == u'\\')
                ++j;
            else if (text[j] == c)
                return {j + 1, false};
        }
        return {n, true};
    }
    // Outside strings a backslash escapes the character after it. A line break after it
    // is no escape, but it is kept as written all the same: made a blank, it would
    // become one. A backslash at the very end is unfinished: a line break added after it
    // would be taken for its escape.
    if (c == u'\\') {
        if (i + 1 == n)
            return {n, true};
        const bool crLf = text[i + 1] == u'\r' && i + 2 < n && text[i + 2] == u'\n';
        return {i + (crLf ? 3 : 2), false};
    }
    return {};
}

// The formatter reads the text once. Between statements, comments go straight to the
// output; a statement's own text is gathered in m_segment with its blank runs already
// made one blank, because whether it is a selector or a declaration is known only at
// the "{", ";" or "}" that ends it.
class Formatter
{
public:
    Formatter(QStringView text, int tabWidth, int startDepth)
        : m_text(text), m_tabWidth(std::max(tabWidth, 0)), m_depth(std::max(startDepth, 0))
    {
        m_out.reserve(text.size() + text.size() / 2 + 64);
    }

    QString run()
    {
        const qsizetype n = m_text.size();
        int parens = 0;
        qsizetype i = 0;
        while (i < n) {
            const QChar c = m_text[i];
            if (IsBlank(c)) {
                for (; i < n && IsBlank(m_text[i]); ++i)
                    m_breakSinceLast = m_breakSinceLast || IsBreak(m_text[i]);
                m_pendingBlank = !m_segment.isEmpty();
                continue;
            }
            const Atom atom = AtomAt(m_text, i);
            if (atom.end >= 0) {
                const QStringView piece = m_text.sliced(i, atom.end - i);
                if (c == u'/' && m_segment.isEmpty())
                    comment(piece);
                else
                    content(piece);
                m_endsOpen = atom.unclosed;
                i = atom.end;
                continue;
            }
            if (parens == 0 && (c == u'{' || c == u';' || c == u'}')) {
                if (c == u'{')
                    openBlock();
                else if (c == u';')
                    endStatement();
                else
                    closeBlock();
                m_breakSinceLast = false;
                ++i;
                continue;
            }
            if (c == u'(')
                ++parens;
            else if (c == u')' && parens > 0)
                --parens;
            else if (c == u':' && parens == 0 && m_colon < 0) {
                m_colonAfterBlank = m_pendingBlank;
                m_colon = m_segment.size() + (m_pendingBlank ? 1 : 0);
            }
            // Plain characters up to the next one that means something are copied at once.
            qsizetype j = i + 1;
            while (j < n && !IsSpecial(m_text[j]))
                ++j;
            content(m_text.sliced(i, j - i));
            i = j;
        }
        if (!m_segment.isEmpty()) {
            startLine();
            writeSegment();
        }
        if (m_lineOpen && !m_endsOpen)
            m_out += u"\r\n";
        return m_out;
    }

private:
    static bool IsSpecial(QChar c)
    {
        switch (c.unicode()) {
        case ' ': case '\t': case '\r': case '\n': case '/': case '"': case '\'':
        case '\\': case '{': case ';': case '}': case '(': case ')': case ':':
            return true;
        default:
            return false;
        }
    }

    void content(QStringView piece)
    {
        if (m_pendingBlank)
            m_segment += u' ';
        m_pendingBlank = false;
        m_segment += piece;
        m_breakSinceLast = false;
    }

    // A comment between statements ends the line of what it followed on its source line,
    // else it gets a line of its own.
    void comment(QStringView piece)
    {
        if (m_lineOpen && !m_breakSinceLast)
            m_out += u' ';
        else
            startLine();
        m_out += piece;
        m_breakSinceLast = false;
        m_endsWithSemicolon = false;
    }

    void startLine()
    {
        if (m_lineOpen)
            m_out += u"\r\n";
        if (m_blankLineDue)
            m_out += u"\r\n";
        m_blankLineDue = false;
        const qsizetype indent = std::min<qsizetype>(qsizetype(m_depth) * m_tabWidth, kMaxFormatIndent);
        m_out += QStringView(m_blanks).first(indent);
        m_lineOpen = true;
    }

    // A statement at depth 0 that is not a rule (an at-rule like "@import", stray text)
    // keeps its colons as written; inside a block it is a declaration.
    void writeSegment()
    {
        const QStringView segment(m_segment);
        if (m_depth == 0 || m_colon < 0) {
            m_out += segment;
        } else {
            // Only a blank run read before the colon is dropped: a blank there may also be
            // an escaped one, which belongs to the name.
            const QStringView before = segment.first(m_colon - (m_colonAfterBlank ? 1 : 0));
            QStringView after = segment.sliced(m_colon + 1);
            if (after.startsWith(u' '))
                after = after.sliced(1);
            m_out += before;
            m_out += u':';
            if (!after.isEmpty()) {
                m_out += u' ';
                m_out += after;
            }
        }
        clearSegment();
    }

    void clearSegment()
    {
        m_segment.clear(); // keeps its capacity for the next statement
        m_colon = -1;
        m_pendingBlank = false;
    }

    void endedStatement()
    {
        m_blankLineDue = m_depth == 0;
    }

    void openBlock()
    {
        startLine();
        const bool hasSelector = !m_segment.isEmpty();
        m_out += m_segment;
        m_out += hasSelector ? QStringView(u" {") : QStringView(u"{");
        clearSegment();
        ++m_depth;
        m_endsWithSemicolon = false;
    }

    void endStatement()
    {
        if (!m_segment.isEmpty() || !m_endsWithSemicolon) {
            startLine();
            writeSegment();
        }
        m_out += u';';
        m_endsWithSemicolon = true;
        endedStatement();
    }

    void closeBlock()
    {
        if (!m_segment.isEmpty()) {
            startLine();
            writeSegment();
            endedStatement();
        }
        if (m_depth > 0)
            --m_depth;
        startLine();
        m_out += u'}';
        m_endsWithSemicolon = false;
        endedStatement();
    }

    QStringView m_text;
    int m_tabWidth;
    int m_depth;
    QString m_out;
    QString m_segment;
    const QString m_blanks{kMaxFormatIndent, u' '};
    qsizetype m_colon = -1;          // index in m_segment of its first ':' outside parentheses
    bool m_colonAfterBlank = false;  // a blank run was read just before that ':'
    bool m_pendingBlank = false;     // blanks were read after the segment's last character
    bool m_lineOpen = false;         // the output's last line has not been ended yet
    bool m_blankLineDue = false;     // a top-level statement ended: a blank line before the next
    bool m_endsWithSemicolon = false; // the output's open line ends with a statement's ";"
    bool m_breakSinceLast = true;    // a line break was read since the last non-blank character
    bool m_endsOpen = false;         // the text ends unfinished (see Atom::unclosed)
};

} // namespace

QString FormatSheet(QStringView text, int tabWidth, int startDepth)
{
    return Formatter(text, tabWidth, startDepth).run();
}

int FormatDepthAt(QStringView text, qsizetype offset)
{
    const qsizetype end = std::clamp<qsizetype>(offset, 0, text.size());
    int depth = 0;
    int parens = 0;
    for (qsizetype i = 0; i < end;) {
        const Atom atom = AtomAt(text, i);
        if (atom.end >= 0) {
            i = atom.end;
            continue;
        }
        const QChar c = text[i++];
        if (c == u'(')
            ++parens;
        else if (c == u')' && parens > 0)
            --parens;
        else if (parens == 0 && c == u'{')
            ++depth;
        else if (parens == 0 && c == u'}' && depth > 0)
            --depth;
    }
    return depth;
}

} // namespace sheetsmith
