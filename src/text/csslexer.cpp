#include "text/csslexer.h"

#include "text/csschars.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

namespace sheetsmith {

using namespace csschars;

namespace {

// Decodes the escapes of text[from, to) onto out. Inside a string an escaped line
// break stands for nothing, and so does a backslash that ends the text.
void decode(QStringView text, qsizetype from, qsizetype to, bool string, QString &out)
{
    for (qsizetype i = from; i < to;) {
        const QChar c = text[i];
        if (c != u'\\') {
            out += c.unicode() == 0 ? QChar(QChar::ReplacementCharacter) : c;
            ++i;
            continue;
        }
        ++i;
        if (i >= to) {
            // A backslash at the end of the text: U+FFFD in a name or url. None at the
            // end of a string's content, where the quote follows or the text ends.
            if (to == text.size() && !string)
                out += QChar(QChar::ReplacementCharacter);
            break;
        }
        if (isNewline(text[i])) {
            i += text[i] == u'\r' && i + 1 < to && text[i + 1] == u'\n' ? 2 : 1;
            continue;
        }
        if (!isHexDigit(text[i])) {
            out += text[i++];
            continue;
        }
        char32_t code = 0;
        for (int digits = 0; digits < 6 && i < to && isHexDigit(text[i]); ++digits)
            code = code * 16 + char32_t(hexValue(text[i++]));
        if (i < to && text[i] == u'\r' && i + 1 < to && text[i + 1] == u'\n')
            i += 2;
        else if (i < to && isWhitespace(text[i]))
            ++i;
        if (code == 0 || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff)
            out += QChar(QChar::ReplacementCharacter);
        else
            out += QString::fromUcs4(&code, 1);
    }
}

// Past the escape whose backslash is at i, within text[0, to): up to six hex digits and
// one blank after them, or one other character.
qsizetype escapeEndIn(QStringView text, qsizetype i, qsizetype to)
{
    ++i;
    if (!isHexDigit(text[i]))
        return i + 1;
    const qsizetype last = std::min(to, i + 6);
    while (i < last && isHexDigit(text[i]))
        ++i;
    if (i + 1 < to && text[i] == u'\r' && text[i + 1] == u'\n')
        return i + 2;
    return i < to && isWhitespace(text[i]) ? i + 1 : i;
}

// Where a token's decoded text lies in the source: [from, to).
struct ValueRange
{
    qsizetype from = 0;
    qsizetype to = 0;
};

ValueRange valueRange(QStringView text, const CssToken &t)
{
    const qsizetype end = t.end();
    switch (t.type) {
    case CssTokenType::Ident:
    case CssTokenType::Delim:
        return {t.offset, end};
    case CssTokenType::Function:
        return {t.offset, end - 1};
    case CssTokenType::AtKeyword:
    case CssTokenType::Hash:
        return {t.offset + 1, end};
    case CssTokenType::Dimension:
        return {t.offset + t.unitOffset, end};
    case CssTokenType::String:
        return {t.offset + 1, t.unclosed ? end : end - 1};
    case CssTokenType::Url:
    case CssTokenType::BadUrl: {
        qsizetype from = text.indexOf(u'(', t.offset) + 1;
        qsizetype to = end;
        if (!t.unclosed && to > from && text[to - 1] == u')')
            --to;
        while (from < to && isWhitespace(text[from]))
            ++from;
        // The blanks before the ")" are not the address's, but a blank that ends an
        // escape is: read forward, since "\\ " is an escaped backslash and a blank.
        qsizetype contentEnd = from;
        for (qsizetype i = from; i < to;) {
            if (text[i] == u'\\') {
                i = i + 1 < to ? escapeEndIn(text, i, to) : to;
                contentEnd = i;
            } else {
                ++i;
                if (!isWhitespace(text[i - 1]))
                    contentEnd = i;
            }
        }
        return {from, contentEnd};
    }
    default:
        return {t.offset, t.offset};
    }
}

} // namespace

bool CssLexer::validEscape(qsizetype i) const
{
    return i < m_text.size() && m_text[i] == u'\\' && !(i + 1 < m_text.size() && isNewline(m_text[i + 1]));
}

bool CssLexer::startsIdentifier(qsizetype i) const
{
    const qsizetype n = m_text.size();
    if (i >= n)
        return false;
    const QChar c = m_text[i];
    if (c == u'-')
        return i + 1 < n && (isNameStart(m_text[i + 1]) || m_text[i + 1] == u'-' || validEscape(i + 1));
    if (isNameStart(c))
        return true;
    return validEscape(i);
}

bool CssLexer::startsNumber(qsizetype i) const
{
    const qsizetype n = m_text.size();
    if (i < n && (m_text[i] == u'+' || m_text[i] == u'-'))
        ++i;
    if (i < n && isDigit(m_text[i]))
        return true;
    return i + 1 < n && m_text[i] == u'.' && isDigit(m_text[i + 1]);
}

// Past the escape whose backslash is at i (validEscape(i) holds): up to six hex digits
// and one blank after them, or one other character.
qsizetype CssLexer::escapeEnd(qsizetype i) const
{
    const qsizetype n = m_text.size();
    ++i;
    if (i >= n)
        return n;
    if (!isHexDigit(m_text[i]))
        return i + (m_text[i].isHighSurrogate() && i + 1 < n && m_text[i + 1].isLowSurrogate() ? 2 : 1);
    const qsizetype last = std::min(n, i + 6);
    while (i < last && isHexDigit(m_text[i]))
        ++i;
    if (i + 1 < n && m_text[i] == u'\r' && m_text[i + 1] == u'\n')
        return i + 2;
    return i < n && isWhitespace(m_text[i]) ? i + 1 : i;
}

qsizetype CssLexer::nameEnd(qsizetype i, bool &escaped) const
{
    const qsizetype n = m_text.size();
    while (i < n) {
        if (isNameChar(m_text[i])) {
            ++i;
        } else if (validEscape(i)) {
            escaped = true;
            i = escapeEnd(i);
        } else {
            break;
        }
    }
    return i;
}

void CssLexer::number(CssToken &t)
{
    const qsizetype n = m_text.size();
    qsizetype i = t.offset;
    std::string digits;
    if (m_text[i] == u'+' || m_text[i] == u'-') {
        t.sign = true;
        digits += char(m_text[i].unicode());
        ++i;
    }
    t.integer = true;
    const auto run = [&] {
        while (i < n && isDigit(m_text[i]))
            digits += char(m_text[i++].unicode());
    };
    run();
    if (i + 1 < n && m_text[i] == u'.' && isDigit(m_text[i + 1])) {
        t.integer = false;
        digits += '.';
        ++i;
        run();
    }
    if (i + 1 < n && (m_text[i] == u'e' || m_text[i] == u'E')) {
        const qsizetype k = i + 1 + ((m_text[i + 1] == u'+' || m_text[i + 1] == u'-') ? 1 : 0);
        if (k < n && isDigit(m_text[k])) {
            t.integer = false;
            digits += 'e';
            if (k > i + 1)
                digits += char(m_text[i + 1].unicode());
            i = k;
            run();
        }
    }
    const char *first = digits.data() + (digits[0] == '+' ? 1 : 0);
    double value = 0;
    const auto parsed = std::from_chars(first, digits.data() + digits.size(), value);
    // Too large a number reads as the largest there is, of its sign; too small as 0.
    if (parsed.ec == std::errc::result_out_of_range) {
        const bool tiny = digits.find("e-") != std::string::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::max();
        if (digits[0] == '-')
            value = -value;
    }
    t.number = value;
    if (startsIdentifier(i)) {
        t.type = CssTokenType::Dimension;
        t.unitOffset = int(i - t.offset);
        i = nameEnd(i, t.escaped);
    } else if (i < n && m_text[i] == u'%') {
        t.type = CssTokenType::Percentage;
        ++i;
    } else {
        t.type = CssTokenType::Number;
    }
    t.length = i - t.offset;
}

void CssLexer::identLike(CssToken &t)
{
    const qsizetype n = m_text.size();
    const qsizetype end = nameEnd(t.offset, t.escaped);
    t.length = end - t.offset;
    if (end >= n || m_text[end] != u'(') {
        t.type = CssTokenType::Ident;
        return;
    }
    t.type = CssTokenType::Function;
    t.length = end + 1 - t.offset;
    CssToken name = t;
    name.type = CssTokenType::Ident;
    name.length = end - t.offset;
    if (!CssTokenIs(m_text, name, "url"))
        return;
    // url( followed by a quote is a function whose argument is a string; any other
    // address is one token.
    qsizetype i = end + 1;
    while (i < n && isWhitespace(m_text[i]))
        ++i;
    if (i < n && (m_text[i] == u'"' || m_text[i] == u'\''))
        return;
    url(t);
}

void CssLexer::url(CssToken &t)
{
    const qsizetype n = m_text.size();
    qsizetype i = t.end();
    t.type = CssTokenType::Url;
    while (i < n && isWhitespace(m_text[i]))
        ++i;
    bool bad = false;
    while (!bad) {
        if (i >= n) {
            t.unclosed = true;
            break;
        }
        const QChar c = m_text[i];
        if (c == u')') {
            ++i;
            break;
        }
        if (isWhitespace(c)) {
            while (i < n && isWhitespace(m_text[i]))
                ++i;
            if (i >= n) {
                t.unclosed = true;
                break;
            }
            if (m_text[i] == u')') {
                ++i;
                break;
            }
            bad = true;
        } else if (c == u'"' || c == u'\'' || c == u'(' || isNonPrintable(c)) {
            bad = true;
        } else if (c == u'\\') {
            if (!validEscape(i)) {
                bad = true;
            } else {
                t.escaped = true;
                i = escapeEnd(i);
            }
        } else {
            ++i;
        }
    }
    if (bad) {
        // The rest of a bad url, up to its ")": an escaped ")" does not end it.
        t.type = CssTokenType::BadUrl;
        while (i < n && m_text[i] != u')')
            i = validEscape(i) ? escapeEnd(i) : i + 1;
        if (i < n)
            ++i;
        else
            t.unclosed = true;
    }
    t.length = i - t.offset;
}

void CssLexer::string(CssToken &t)
{
    const qsizetype n = m_text.size();
    const QChar quote = m_text[t.offset];
    t.type = CssTokenType::String;
    qsizetype i = t.offset + 1;
    for (;;) {
        if (i >= n) {
            t.unclosed = true;
            break;
        }
        const QChar c = m_text[i];
        if (c == quote) {
            ++i;
            break;
        }
        if (isNewline(c)) {
            // The line break is not the string's.
            t.unclosed = true;
            break;
        }
        if (c == u'\\') {
            t.escaped = true;
            if (i + 1 >= n)
                i = n;
            else if (m_text[i + 1] == u'\r' && i + 2 < n && m_text[i + 2] == u'\n')
                i += 3;
            else if (isNewline(m_text[i + 1]))
                i += 2;
            else
                i = escapeEnd(i);
            continue;
        }
        ++i;
    }
    t.length = i - t.offset;
}

CssToken CssLexer::next()
{
    const qsizetype n = m_text.size();
    CssToken t;
    t.offset = m_at;
    if (m_at >= n) {
        t.type = CssTokenType::Whitespace;
        t.offset = n;
        return t;
    }
    const QChar c = m_text[m_at];
    const auto single = [&t](CssTokenType type) {
        t.type = type;
        t.length = 1;
    };
    switch (c.unicode()) {
    case u' ':
    case u'\t':
    case u'\n':
    case u'\r':
    case u'\f': {
        qsizetype i = m_at;
        while (i < n && isWhitespace(m_text[i]))
            ++i;
        t.type = CssTokenType::Whitespace;
        t.length = i - m_at;
        break;
    }
    case u'"':
    case u'\'':
        string(t);
        break;
    case u'#':
        if (m_at + 1 < n && (isNameChar(m_text[m_at + 1]) || validEscape(m_at + 1))) {
            t.type = CssTokenType::Hash;
            t.idLike = startsIdentifier(m_at + 1);
            t.length = nameEnd(m_at + 1, t.escaped) - m_at;
        } else {
            single(CssTokenType::Delim);
        }
        break;
    case u'(':
        single(CssTokenType::OpenParen);
        break;
    case u')':
        single(CssTokenType::CloseParen);
        break;
    case u'[':
        single(CssTokenType::OpenSquare);
        break;
    case u']':
        single(CssTokenType::CloseSquare);
        break;
    case u'{':
        single(CssTokenType::OpenCurly);
        break;
    case u'}':
        single(CssTokenType::CloseCurly);
        break;
    case u',':
        single(CssTokenType::Comma);
        break;
    case u':':
        single(CssTokenType::Colon);
        break;
    case u';':
        single(CssTokenType::Semicolon);
        break;
    case u'+':
    case u'.':
        if (startsNumber(m_at))
            number(t);
        else
            single(CssTokenType::Delim);
        break;
    case u'-':
        if (startsNumber(m_at)) {
            number(t);
        } else if (m_text.sliced(m_at).startsWith(u"-->")) {
            t.type = CssTokenType::CDC;
            t.length = 3;
        } else if (startsIdentifier(m_at)) {
            identLike(t);
        } else {
            single(CssTokenType::Delim);
        }
        break;
    case u'<':
        if (m_text.sliced(m_at).startsWith(u"<!--")) {
            t.type = CssTokenType::CDO;
            t.length = 4;
        } else {
            single(CssTokenType::Delim);
        }
        break;
    case u'@':
        if (startsIdentifier(m_at + 1)) {
            t.type = CssTokenType::AtKeyword;
            t.length = nameEnd(m_at + 1, t.escaped) - m_at;
        } else {
            single(CssTokenType::Delim);
        }
        break;
    case u'/':
        if (m_at + 1 < n && m_text[m_at + 1] == u'*') {
            t.type = CssTokenType::Comment;
            // Searched from after the "/*", so "/*/" does not close itself.
            const qsizetype close = m_text.indexOf(u"*/", m_at + 2);
            t.unclosed = close < 0;
            t.length = (close < 0 ? n : close + 2) - m_at;
        } else {
            single(CssTokenType::Delim);
        }
        break;
    case u'\\':
        if (validEscape(m_at))
            identLike(t);
        else
            single(CssTokenType::Delim);
        break;
    default:
        if (isDigit(c))
            number(t);
        else if (isNameStart(c))
            identLike(t);
        else
            single(CssTokenType::Delim);
        break;
    }
    m_at = t.end();
    return t;
}

std::vector<CssToken> CssTokens(QStringView text)
{
    std::vector<CssToken> out;
    CssLexer lexer(text);
    while (!lexer.atEnd())
        out.push_back(lexer.next());
    return out;
}

QString CssTokenValue(QStringView text, const CssToken &token)
{
    const ValueRange r = valueRange(text, token);
    if (!token.escaped)
        return text.sliced(r.from, r.to - r.from).toString();
    QString out;
    out.reserve(r.to - r.from);
    decode(text, r.from, r.to, token.type == CssTokenType::String, out);
    return out;
}

bool CssTokenIs(QStringView text, const CssToken &token, const char *lowerAscii)
{
    QString decoded;
    ValueRange r = valueRange(text, token);
    if (token.escaped) {
        decoded = CssTokenValue(text, token);
        text = decoded;
        r = {0, decoded.size()};
    }
    qsizetype i = r.from;
    for (; *lowerAscii; ++lowerAscii, ++i) {
        if (i >= r.to || foldAscii(text[i].unicode()) != char16_t(*lowerAscii))
            return false;
    }
    return i == r.to;
}

QStringView CssTokenUnit(QStringView text, const CssToken &token)
{
    if (token.type != CssTokenType::Dimension)
        return {};
    return text.sliced(token.offset + token.unitOffset, token.length - token.unitOffset);
}

} // namespace sheetsmith
