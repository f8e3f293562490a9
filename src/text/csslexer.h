#pragma once

#include "text/commentmarkers.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <vector>

namespace sheetsmith {

// The tokens of a style sheet as CSS Syntax reads them, with their offsets in the text.
//
// This is the program's one answer to "what does this character belong to": a string,
// a comment, a url(...), an identifier. The text is read as written, with no copy:
// CR LF, a lone CR and a form feed each count as one line break, and escapes stay in the
// text (value() and equals() decode them, so `r\0065d` reads as `red`). Comments and
// whitespace are tokens too, so that the tokens of a text cover it without gaps.
enum class CssTokenType : quint8 {
    Ident,
    Function,  // a name and its "(": the token ends after the "("
    AtKeyword, // "@" and a name
    Hash,      // "#" and a name; `idLike` when the name would make an identifier
    String,    // quotes included; `unclosed` when a line break or the end of the text ends it
    Url,       // url( and an unquoted address up to its ")"; `unclosed` at the end of the text
    BadUrl,    // a url( whose address holds a quote, a "(", a blank inside or a bad escape
    Delim,     // any other single character
    Number,
    Percentage,
    Dimension, // a number and its unit
    Whitespace,
    Comment, // "/*" to "*/"; `unclosed` when the text ends first
    CDO,     // "<!--"
    CDC,     // "-->"
    Colon,
    Semicolon,
    Comma,
    OpenSquare,
    CloseSquare,
    OpenParen,
    CloseParen,
    OpenCurly,
    CloseCurly,
};

struct CssToken
{
    CssTokenType type = CssTokenType::Delim;
    bool unclosed = false; // String, Url, Comment
    bool escaped = false;  // the token's name or text holds an escape
    bool idLike = false;   // Hash
    bool integer = false;  // Number, Percentage, Dimension: written without "." or exponent
    bool sign = false;     // Number, Percentage, Dimension: written with "+" or "-"
    qsizetype offset = 0;
    qsizetype length = 0;
    // Number, Percentage and Dimension: the number's value (a percentage's without "%").
    double number = 0;
    // Dimension: the offset of the unit, from the token's start.
    int unitOffset = 0;

    qsizetype end() const { return offset + length; }
    bool operator==(const CssToken &other) const = default;
};

// Reads one token after another from a position in a text. Any position may be a start,
// but only a position outside strings and comments reads the text as a whole sheet would.
class CssLexer
{
public:
    explicit CssLexer(QStringView text, qsizetype from = 0) : m_text(text), m_at(from) {}

    bool atEnd() const { return m_at >= m_text.size(); }
    qsizetype position() const { return m_at; }
    // The next token; past the end, a Whitespace token of length 0.
    CssToken next();

    QStringView text() const { return m_text; }

private:
    QChar at(qsizetype i) const { return i < m_text.size() ? m_text[i] : QChar(); }
    bool validEscape(qsizetype i) const;
    bool startsIdentifier(qsizetype i) const;
    bool startsNumber(qsizetype i) const;
    qsizetype escapeEnd(qsizetype i) const;
    qsizetype nameEnd(qsizetype i, bool &escaped) const;
    void number(CssToken &token);
    void identLike(CssToken &token);
    void url(CssToken &token);
    void string(CssToken &token);

    QStringView m_text;
    qsizetype m_at;
};

// Every token of a text, in order.
std::vector<CssToken> CssTokens(QStringView text);

// The decoded text of a token in `text`, the text it was read from: an identifier's,
// function's, at-keyword's or hash's name (without "@", "#" or "("), a string's or
// url's content (without quotes or url( and ")"), a dimension's unit, a delimiter's
// character; empty for the others.
QString CssTokenValue(QStringView text, const CssToken &token);
// Whether that decoded text equals `lowerAscii` (lower-case ASCII), ASCII letters
// compared without regard to case. No copy is made unless the token holds an escape.
bool CssTokenIs(QStringView text, const CssToken &token, const char *lowerAscii);
// A dimension's unit as written (escapes not decoded).
QStringView CssTokenUnit(QStringView text, const CssToken &token);

// A place at or before `before` (and not before `limit`) from which CssLexer reads text
// as it reads it from the start, found without reading what lies before it: 0, or a
// line start that the text's comment markers show to be outside every comment, whose
// line break no escape takes and that no url(...) may run over (a string ends at a line
// break, so none runs over it). Where that cannot be told within the characters from
// limit on, the answer is -1; the search reads no further back than limit.
//
// A reader that serves the view (swatches, tool tips, completion) passes urlReach: it
// looks for an open url(...) that many characters back of a line start at most, and
// takes the line start as safe when it finds none there. Only a url gone wrong that runs
// on unclosed over more than that (a broken sheet) makes it read from the wrong place;
// a sheet without parentheses then costs that much per line, not the whole reach.
qsizetype CssSafeStart(QStringView text, const CommentMarkerPositions &markers, qsizetype before,
                       qsizetype limit = 0, qsizetype urlReach = -1);
inline constexpr qsizetype kCssViewUrlReach = 8 * 1024;

// The strings, comments and url(...) addresses of a text, as spans [from, to), in text
// order. A reader that only needs to know whether an offset lies in one of them asks
// this rather than reading quotes and "/*" itself.
class CssQuotedSpans
{
public:
    struct Span
    {
        qsizetype from = 0;
        qsizetype to = 0;
        CssTokenType type = CssTokenType::Comment; // Comment, String, Url or BadUrl
        bool unclosed = false;
    };

    CssQuotedSpans() = default;
    explicit CssQuotedSpans(QStringView text);
    // Those of the tokens read from `from`, a place to start reading (CssSafeStart), up
    // to the first that ends at or past `to`: only offsets in [from, to) are answered.
    CssQuotedSpans(QStringView text, qsizetype from, qsizetype to);

    const std::vector<Span> &spans() const { return m_spans; }
    // The span that holds the character at offset, or nullptr.
    const Span *at(qsizetype offset) const;
    // Whether the character at offset lies in a comment, a string or a url.
    bool contains(qsizetype offset) const { return at(offset) != nullptr; }
    // Whether the character at offset lies in a comment.
    bool inComment(qsizetype offset) const;

private:
    std::vector<Span> m_spans;
};

} // namespace sheetsmith
