#include "text/formatsheet.h"

#include "text/csslexer.h"

#include <algorithm>
#include <utility>

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

// Whether a token that ends the text leaves it unfinished: a comment, string or url
// still open, or a name whose last escape has no character yet (an odd run of
// backslashes at its end). A line break added there would change the token, or be
// taken for the escaped character.
bool EndsUnfinished(const CssToken &token, QStringView piece)
{
    if (token.unclosed)
        return true;
    qsizetype backslashes = 0;
    while (backslashes < piece.size() && piece[piece.size() - 1 - backslashes] == u'\\')
        ++backslashes;
    return backslashes % 2 == 1;
}

bool IsHexDigit(QChar c)
{
    const char16_t l = c.unicode() | 0x20;
    return (c >= u'0' && c <= u'9') || (l >= u'a' && l <= u'f');
}

// The length of the blank (one, or a CR LF) that ends a name when it is the blank a
// hex escape takes after its digits ("\41 "), else 0. That blank only marks where the
// digits stop: a line break the formatter writes after the name does the same. An
// escaped blank ("\ ") is the name's own character.
qsizetype EscapeBlankAtEnd(QStringView name)
{
    qsizetype i = 0;
    while (i < name.size()) {
        if (name[i] != u'\\' || i + 1 >= name.size()) {
            ++i;
            continue;
        }
        ++i;
        if (!IsHexDigit(name[i])) {
            ++i;
            continue;
        }
        for (int digits = 0; digits < 6 && i < name.size() && IsHexDigit(name[i]); ++digits)
            ++i;
        const qsizetype blank = name.sliced(i).startsWith(u"\r\n") ? 2 : i < name.size() && IsBlank(name[i]) ? 1 : 0;
        if (i + blank == name.size())
            return blank;
        i += blank;
    }
    return 0;
}

// The formatter reads the tokens of the text once. Between statements, comments go
// straight to the output; a statement's own text is gathered in m_segment with its
// blank runs already made one blank, because whether it is a selector or a declaration
// is known only at the "{", ";" or "}" that ends it.
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
        CssLexer lexer(m_text);
        int parens = 0;
        // The line break after a backslash, or after a string that a line break cut
        // short, is what keeps them apart from what follows: it stays as written.
        bool keepBreak = false;
        while (!lexer.atEnd()) {
            const CssToken t = lexer.next();
            const QStringView piece = m_text.sliced(t.offset, t.length);
            const bool keep = std::exchange(keepBreak, false);
            switch (t.type) {
            case CssTokenType::Whitespace:
                blanks(piece, keep);
                break;
            case CssTokenType::Comment:
                if (m_segment.isEmpty())
                    comment(piece);
                else
                    content(piece);
                break;
            case CssTokenType::OpenCurly:
            case CssTokenType::Semicolon:
            case CssTokenType::CloseCurly:
                if (parens > 0)
                    content(piece);
                else if (t.type == CssTokenType::OpenCurly)
                    openBlock();
                else if (t.type == CssTokenType::Semicolon)
                    endStatement();
                else
                    closeBlock();
                m_breakSinceLast = false;
                break;
            case CssTokenType::Colon:
                if (parens == 0 && m_colon < 0) {
                    m_colonAfterBlank = m_pendingBlank;
                    m_colon = m_segment.size() + (m_pendingBlank ? 1 : 0);
                }
                content(piece);
                break;
            case CssTokenType::Function:
            case CssTokenType::OpenParen:
                ++parens;
                content(piece);
                break;
            case CssTokenType::CloseParen:
                if (parens > 0)
                    --parens;
                content(piece);
                break;
            case CssTokenType::String:
                keepBreak = t.unclosed;
                content(piece);
                break;
            case CssTokenType::Delim:
                // A backslash reads as a delimiter only before a line break.
                keepBreak = piece[0] == u'\\';
                content(piece);
                break;
            case CssTokenType::Ident:
            case CssTokenType::AtKeyword:
            case CssTokenType::Hash:
            case CssTokenType::Dimension: {
                content(piece);
                m_keptBreak = EscapeBlankAtEnd(piece);
                break;
            }
            default:
                content(piece);
                break;
            }
            m_endsOpen = lexer.atEnd() && EndsUnfinished(t, piece);
        }
        if (!m_segment.isEmpty()) {
            dropKeptBreak();
            startLine();
            writeSegment();
        }
        if (m_lineOpen && !m_endsOpen)
            m_out += u"\r\n";
        return m_out;
    }

private:
    // A run of whitespace: its blanks and line breaks become one pending blank, except
    // the line break it starts with when keepBreak says so. A form feed is not one of
    // the blanks that formatting may change: it is copied as a character.
    void blanks(QStringView piece, bool keepBreak)
    {
        qsizetype i = 0;
        if (keepBreak && IsBreak(piece[0])) {
            i = piece.startsWith(u"\r\n") ? 2 : 1;
            content(piece.first(i));
            m_keptBreak = i;
        }
        while (i < piece.size()) {
            if (!IsBlank(piece[i])) {
                content(piece.sliced(i++, 1));
                continue;
            }
            for (; i < piece.size() && IsBlank(piece[i]); ++i)
                m_breakSinceLast = m_breakSinceLast || IsBreak(piece[i]);
            m_pendingBlank = !m_segment.isEmpty();
        }
    }

    // A kept line break that ends the segment where the output starts a new line after
    // it anyway (before a "}" or at the end) would only leave a break of its own there;
    // an escape's blank there would be left at the end of a line.
    void dropKeptBreak()
    {
        m_segment.chop(m_keptBreak);
        m_keptBreak = 0;
    }

    void content(QStringView piece)
    {
        m_keptBreak = 0;
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
        m_keptBreak = 0;
    }

    void endedStatement()
    {
        m_blankLineDue = m_depth == 0;
    }

    void openBlock()
    {
        startLine();
        // A selector that ends with an escape's blank has its blank before the "{".
        const bool blankDue = !m_segment.isEmpty() && !m_segment.endsWith(u' ') && !m_segment.endsWith(u'\t');
        m_out += m_segment;
        m_out += blankDue ? QStringView(u" {") : QStringView(u"{");
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
            dropKeptBreak();
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
    bool m_endsOpen = false;         // the text ends unfinished (see EndsUnfinished)
    qsizetype m_keptBreak = 0;       // the length of a kept line break (or an escape's blank) ending m_segment
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
    CssLexer lexer(text);
    while (lexer.position() < end) {
        switch (lexer.next().type) {
        case CssTokenType::Function:
        case CssTokenType::OpenParen:
            ++parens;
            break;
        case CssTokenType::CloseParen:
            parens = std::max(parens - 1, 0);
            break;
        case CssTokenType::OpenCurly:
            depth += parens == 0 ? 1 : 0;
            break;
        case CssTokenType::CloseCurly:
            if (parens == 0 && depth > 0)
                --depth;
            break;
        default:
            break;
        }
    }
    return depth;
}

} // namespace sheetsmith
