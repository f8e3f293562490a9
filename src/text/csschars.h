#pragma once

// The character classes of CSS's tokenizer, for the readers of the text/ layer that
// look at characters without making tokens.

#include <QChar>

namespace sheetsmith::csschars {

inline bool isNewline(QChar c)
{
    return c == u'\n' || c == u'\r' || c == u'\f';
}

inline bool isWhitespace(QChar c)
{
    return c == u' ' || c == u'\t' || isNewline(c);
}

inline bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

inline bool isHexDigit(QChar c)
{
    const char16_t l = c.unicode() | 0x20;
    return isDigit(c) || (l >= u'a' && l <= u'f');
}

inline int hexValue(QChar c)
{
    return isDigit(c) ? c.unicode() - u'0' : (c.unicode() | 0x20) - u'a' + 10;
}

// A NUL reads as U+FFFD, which starts a name like any other character past ASCII.
inline bool isNameStart(QChar c)
{
    const char16_t l = c.unicode() | 0x20;
    return (l >= u'a' && l <= u'z') || c == u'_' || c.unicode() >= 0x80 || c.unicode() == 0;
}

inline bool isNameChar(QChar c)
{
    return isNameStart(c) || isDigit(c) || c == u'-';
}

inline bool isNonPrintable(QChar c)
{
    const char16_t u = c.unicode();
    return u <= 0x08 || u == 0x0b || (u >= 0x0e && u <= 0x1f) || u == 0x7f;
}

inline char16_t foldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

} // namespace sheetsmith::csschars
