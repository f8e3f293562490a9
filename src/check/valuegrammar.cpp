#include "check/valuegrammar.h"

#include <QVarLengthArray>

#include <array>
#include <cstdint>
#include <initializer_list>

namespace sheetsmith {

namespace {

// Every keyword a CSS1 value can hold, plus the later CSS-wide ones that must not pass
// as a font family. The 16 colour names come first so that "is a colour" is one compare.
enum class Kw : std::uint8_t {
    Aqua, Black, Blue, Fuchsia, Gray, Green, Lime, Maroon,
    Navy, Olive, Purple, Red, Silver, Teal, White, Yellow,
    Normal, Italic, Oblique, SmallCaps, Bold, Bolder, Lighter,
    XxSmall, XSmall, Small, Medium, Large, XLarge, XxLarge, Larger, Smaller,
    Transparent, None, Repeat, RepeatX, RepeatY, NoRepeat, Scroll, Fixed,
    Top, Center, Bottom, Left, Right,
    Underline, Overline, LineThrough, Blink,
    Baseline, Sub, Super, TextTop, Middle, TextBottom,
    Capitalize, Uppercase, Lowercase, Justify,
    Auto, Thin, Thick, Dotted, Dashed, Solid, Double, Groove, Ridge, Inset, Outset,
    Both, Block, Inline, ListItem, Pre, Nowrap,
    Disc, Circle, Square, Decimal, LowerRoman, UpperRoman, LowerAlpha, UpperAlpha,
    Inside, Outside,
    Inherit, Initial, Unset,
    Count,
    NotKeyword = 0xff
};

// In the order of Kw.
constexpr const char *KeywordNames[] = {
    "aqua", "black", "blue", "fuchsia", "gray", "green", "lime", "maroon",
    "navy", "olive", "purple", "red", "silver", "teal", "white", "yellow",
    "normal", "italic", "oblique", "small-caps", "bold", "bolder", "lighter",
    "xx-small", "x-small", "small", "medium", "large", "x-large", "xx-large", "larger", "smaller",
    "transparent", "none", "repeat", "repeat-x", "repeat-y", "no-repeat", "scroll", "fixed",
    "top", "center", "bottom", "left", "right",
    "underline", "overline", "line-through", "blink",
    "baseline", "sub", "super", "text-top", "middle", "text-bottom",
    "capitalize", "uppercase", "lowercase", "justify",
    "auto", "thin", "thick", "dotted", "dashed", "solid", "double", "groove", "ridge",
    "inset", "outset",
    "both", "block", "inline", "list-item", "pre", "nowrap",
    "disc", "circle", "square", "decimal", "lower-roman", "upper-roman", "lower-alpha",
    "upper-alpha",
    "inside", "outside",
    "inherit", "initial", "unset",
};
static_assert(std::size(KeywordNames) == size_t(Kw::Count));
static_assert(size_t(Kw::Count) <= 128, "KeywordSet holds 128 keywords");

bool isColourName(Kw k)
{
    return k <= Kw::Yellow;
}

char16_t foldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

bool equalsFolded(QStringView s, const char *lowerName)
{
    for (const QChar c : s) {
        if (*lowerName == 0 || foldAscii(c.unicode()) != char16_t(*lowerName))
            return false;
        ++lowerName;
    }
    return *lowerName == 0;
}

// ASCII names to their index, matched without regard to ASCII case, so that a token's
// text is looked up in place: no lower-case copy, no QString. Open addressing over a
// table more than twice the size of the names it holds.
class NameTable
{
public:
    template<size_t N>
    explicit NameTable(const std::array<const char *, N> &names)
        : m_names(names.data())
    {
        static_assert(N * 2 < Size);
        m_slots.fill(-1);
        for (size_t i = 0; i < N; ++i) {
            const QString name = QString::fromLatin1(names[i]);
            size_t slot = hash(name) & (Size - 1);
            while (m_slots[slot] >= 0)
                slot = (slot + 1) & (Size - 1);
            m_slots[slot] = std::int16_t(i);
        }
    }

    // The index of the name, or -1.
    int find(QStringView s) const
    {
        if (s.isEmpty() || s.size() > 32)
            return -1;
        const size_t h = hash(s);
        if (h == NotAscii)
            return -1;
        for (size_t slot = h & (Size - 1); m_slots[slot] >= 0; slot = (slot + 1) & (Size - 1)) {
            if (equalsFolded(s, m_names[m_slots[slot]]))
                return m_slots[slot];
        }
        return -1;
    }

private:
    static constexpr size_t Size = 256;
    static constexpr size_t NotAscii = ~size_t(0);

    static size_t hash(QStringView s)
    {
        std::uint32_t h = 2166136261u;
        for (const QChar c : s) {
            if (c.unicode() > 0x7f)
                return NotAscii;
            h = (h ^ foldAscii(c.unicode())) * 16777619u;
        }
        return h;
    }

    const char *const *m_names;
    std::array<std::int16_t, Size> m_slots;
};

template<size_t N>
std::array<const char *, N> toArray(const char *const (&names)[N])
{
    std::array<const char *, N> out;
    for (size_t i = 0; i < N; ++i)
        out[i] = names[i];
    return out;
}

Kw keywordAt(int index)
{
    return index < 0 ? Kw::NotKeyword : Kw(index);
}

const NameTable &keywordTable()
{
    static const std::array<const char *, std::size(KeywordNames)> names = toArray(KeywordNames);
    static const NameTable table(names);
    return table;
}

// ---- Tokens ------------------------------------------------------------------------

enum class TokenKind : std::uint8_t {
    Ident, Number, Dimension, Percentage, String, Hash, Url, Rgb, Comma, Slash
};

// A hash or rgb() token is only ever judged when it is a well-formed colour: a malformed
// one is a fault, and a value with a fault is not judged further.
struct Token
{
    TokenKind kind = TokenKind::Ident;
    Kw keyword = Kw::NotKeyword; // identifiers only
    bool negative = false;       // a number below zero; "-0" is not
    bool zero = false;           // a number whose digits are all 0
    bool lengthUnit = false;     // a dimension in one of the eight length units
    bool weight = false;         // a number written exactly 100, 200, ... 900
};

using Tokens = QVarLengthArray<Token, 16>;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(QChar c)
{
    return isDigit(c) || ((c.unicode() | 0x20) >= u'a' && (c.unicode() | 0x20) <= u'f');
}

char32_t hexValue(QChar c)
{
    return isDigit(c) ? c.unicode() - u'0' : (c.unicode() | 0x20) - u'a' + 10;
}

bool isLetter(QChar c)
{
    return (c.unicode() | 0x20) >= u'a' && (c.unicode() | 0x20) <= u'z';
}

// Identifiers start with a letter, a non-ASCII character or an escape (not a digit or
// "-"), and go on with those, digits and "-".
bool isNameStart(QChar c)
{
    return isLetter(c) || c.unicode() > 0x7f || c == u'\\';
}

bool isNameChar(QChar c)
{
    return isNameStart(c) || isDigit(c) || c == u'-';
}

class Tokenizer
{
public:
    Tokenizer(QStringView s, Tokens &tokens, QList<ValueFault> &faults)
        : m_s(s), m_n(s.size()), m_tokens(tokens), m_faults(faults)
    {
    }

    // Tokenizes the whole value, so that every fault in it is found even after
    // something not allowed. Gives whether every character made a token.
    bool run()
    {
        qsizetype i = 0;
        while (i < m_n) {
            const QChar c = m_s[i];
            if (isBlank(c)) {
                ++i;
            } else if (startsNumber(i, m_n)) {
                i = number(i);
            } else if (c == u'#') {
                i = hash(i);
            } else if (c == u'"' || c == u'\'') {
                const qsizetype end = stringEnd(i, m_n);
                if (end < 0) {
                    m_bad = true;
                    i = m_n;
                } else {
                    push(TokenKind::String);
                    i = end;
                }
            } else if (c == u',') {
                push(TokenKind::Comma);
                ++i;
            } else if (c == u'/') {
                push(TokenKind::Slash);
                ++i;
            } else if (isNameStart(c) && nameEnd(i) > i) {
                i = identOrFunction(i);
            } else {
                m_bad = true;
                ++i;
            }
        }
        return !m_bad;
    }

private:
    void push(TokenKind kind) { m_tokens.push_back(Token{kind}); }

    // The offset past the escape starting with the backslash at i, or -1 when it
    // escapes nothing (a line break or the end of the value). Up to six hex digits and
    // one blank after them make one escape.
    qsizetype escapeEnd(qsizetype i) const
    {
        ++i;
        if (i >= m_n || m_s[i] == u'\n' || m_s[i] == u'\r' || m_s[i] == u'\f')
            return -1;
        if (!isHexDigit(m_s[i]))
            return i + 1;
        const qsizetype last = std::min(m_n, i + 6);
        while (i < last && isHexDigit(m_s[i]))
            ++i;
        if (i < m_n && m_s[i] == u'\r' && i + 1 < m_n && m_s[i + 1] == u'\n')
            return i + 2;
        return i < m_n && isBlank(m_s[i]) ? i + 1 : i;
    }

    qsizetype nameEnd(qsizetype i) const
    {
        while (i < m_n && isNameChar(m_s[i])) {
            if (m_s[i] != u'\\') {
                ++i;
                continue;
            }
            const qsizetype end = escapeEnd(i);
            if (end < 0)
                break;
            i = end;
        }
        return i;
    }

    // The keyword an identifier spells, escapes resolved.
    Kw keywordOf(QStringView name) const
    {
        if (!name.contains(u'\\'))
            return keywordAt(keywordTable().find(name));
        std::array<char16_t, 32> buffer;
        qsizetype length = 0;
        for (qsizetype i = 0; i < name.size(); ++i) {
            if (length == qsizetype(buffer.size()))
                return Kw::NotKeyword;
            if (name[i] != u'\\') {
                buffer[size_t(length++)] = name[i].unicode();
                continue;
            }
            ++i;
            if (!isHexDigit(name[i])) {
                buffer[size_t(length++)] = name[i].unicode();
                continue;
            }
            char32_t code = 0;
            for (int digits = 0; digits < 6 && i < name.size() && isHexDigit(name[i]); ++digits)
                code = code * 16 + hexValue(name[i++]);
            // One blank after the digits belongs to the escape, not to the name; the
            // outer loop steps past the last character of the escape.
            if (i < name.size() && name[i] == u'\r' && i + 1 < name.size() && name[i + 1] == u'\n')
                ++i;
            else if (i >= name.size() || !isBlank(name[i]))
                --i;
            buffer[size_t(length++)] = code < 0x80 ? char16_t(code) : char16_t(0xfffd);
        }
        return keywordAt(keywordTable().find(QStringView(buffer.data(), length)));
    }

    // A number starts with a digit, or "." and a digit, optionally after one sign.
    bool startsNumber(qsizetype i, qsizetype limit) const
    {
        if (i < limit && (m_s[i] == u'+' || m_s[i] == u'-'))
            ++i;
        if (i < limit && isDigit(m_s[i]))
            return true;
        return i + 1 < limit && m_s[i] == u'.' && isDigit(m_s[i + 1]);
    }

    struct NumberText
    {
        qsizetype end = 0;
        bool sign = false;
        bool negative = false;
        bool fraction = false;
        bool zero = true;
        qsizetype integerStart = 0;
        qsizetype integerDigits = 0;
    };

    // The number at i, which startsNumber() has accepted.
    NumberText scanNumber(qsizetype i, qsizetype limit) const
    {
        NumberText out;
        if (m_s[i] == u'+' || m_s[i] == u'-') {
            out.sign = true;
            out.negative = m_s[i] == u'-';
            ++i;
        }
        out.integerStart = i;
        for (; i < limit && isDigit(m_s[i]); ++i)
            out.zero = out.zero && m_s[i] == u'0';
        out.integerDigits = i - out.integerStart;
        if (i + 1 < limit && m_s[i] == u'.' && isDigit(m_s[i + 1])) {
            out.fraction = true;
            for (++i; i < limit && isDigit(m_s[i]); ++i)
                out.zero = out.zero && m_s[i] == u'0';
        }
        out.negative = out.negative && !out.zero;
        out.end = i;
        return out;
    }

    qsizetype number(qsizetype i)
    {
        const NumberText n = scanNumber(i, m_n);
        Token t;
        t.negative = n.negative;
        t.zero = n.zero;
        qsizetype end = n.end;
        if (end < m_n && m_s[end] == u'%') {
            t.kind = TokenKind::Percentage;
            ++end;
        } else if (end < m_n && isNameStart(m_s[end]) && nameEnd(end) > end) {
            t.kind = TokenKind::Dimension;
            const qsizetype unitEnd = nameEnd(end);
            t.lengthUnit = unitEnd - end == 2 && isLengthUnit(m_s.mid(end, 2));
            end = unitEnd;
        } else {
            t.kind = TokenKind::Number;
            const QStringView digits = m_s.mid(n.integerStart, n.integerDigits);
            t.weight = !n.sign && !n.fraction && digits.size() == 3 && digits[0] >= u'1'
                       && digits[0] <= u'9' && digits[1] == u'0' && digits[2] == u'0';
        }
        m_tokens.push_back(t);
        return end;
    }

    static bool isLengthUnit(QStringView unit)
    {
        for (const char *u : {"em", "ex", "px", "in", "cm", "mm", "pt", "pc"}) {
            if (equalsFolded(unit, u))
                return true;
        }
        return false;
    }

    // "#" and the name characters after it; a colour when they are 3 or 6 hex digits.
    qsizetype hash(qsizetype i)
    {
        const qsizetype end = nameEnd(i + 1);
        const qsizetype digits = end - i - 1;
        bool hex = digits == 3 || digits == 6;
        for (qsizetype k = i + 1; hex && k < end; ++k)
            hex = isHexDigit(m_s[k]);
        if (!hex)
            m_faults.push_back(ValueFault{ValueFault::BadHexColour, i, end - i});
        push(TokenKind::Hash);
        return end;
    }

    // The offset past the string whose quote is at i, or -1 when it is not closed
    // before limit or a line break (an escaped line break continues it).
    qsizetype stringEnd(qsizetype i, qsizetype limit) const
    {
        const QChar quote = m_s[i];
        for (++i; i < limit; ++i) {
            const QChar c = m_s[i];
            if (c == quote)
                return i + 1;
            if (c == u'\n' || c == u'\r' || c == u'\f')
                return -1;
            if (c == u'\\' && i + 1 < limit) {
                ++i;
                if (m_s[i] == u'\r' && i + 1 < limit && m_s[i + 1] == u'\n')
                    ++i;
            }
        }
        return -1;
    }

    qsizetype skipBlanks(qsizetype i, qsizetype limit) const
    {
        while (i < limit && isBlank(m_s[i]))
            ++i;
        return i;
    }

    // The offset past the ")" that closes the "(" at open, strings and nesting heeded;
    // -1 when there is none.
    qsizetype closingParen(qsizetype open) const
    {
        int depth = 0;
        for (qsizetype i = open; i < m_n; ++i) {
            const QChar c = m_s[i];
            if (c == u'"' || c == u'\'') {
                const qsizetype end = stringEnd(i, m_n);
                if (end < 0)
                    return -1;
                i = end - 1;
            } else if (c == u'\\') {
                ++i;
            } else if (c == u'(') {
                ++depth;
            } else if (c == u')' && --depth == 0) {
                return i + 1;
            }
        }
        return -1;
    }

    qsizetype identOrFunction(qsizetype i)
    {
        const qsizetype end = nameEnd(i);
        const QStringView name = m_s.mid(i, end - i);
        if (end >= m_n || m_s[end] != u'(') {
            Token t;
            t.keyword = keywordOf(name);
            m_tokens.push_back(t);
            return end;
        }
        if (equalsFolded(name, "url"))
            return url(end + 1);
        if (equalsFolded(name, "rgb"))
            return rgb(i, end + 1);
        m_bad = true;
        const qsizetype close = closingParen(end);
        return close < 0 ? m_n : close;
    }

    // The url() whose text starts at i, after "(": one string, or characters other than
    // blanks, quotes and ")" (escapes allowed), with blanks around either.
    qsizetype url(qsizetype i)
    {
        i = skipBlanks(i, m_n);
        bool ok = i < m_n;
        if (ok && (m_s[i] == u'"' || m_s[i] == u'\'')) {
            i = stringEnd(i, m_n);
            ok = i >= 0;
        } else if (ok) {
            const qsizetype start = i;
            while (ok && i < m_n && !isBlank(m_s[i]) && m_s[i] != u')' && m_s[i] != u'"'
                   && m_s[i] != u'\'') {
                i = m_s[i] == u'\\' ? escapeEnd(i) : i + 1;
                ok = i >= 0;
            }
            ok = ok && i > start;
        }
        if (ok)
            i = skipBlanks(i, m_n);
        if (ok && i < m_n && m_s[i] == u')') {
            push(TokenKind::Url);
            return i + 1;
        }
        m_bad = true;
        if (i < 0)
            return m_n;
        const qsizetype close = m_s.indexOf(u')', i);
        return close < 0 ? m_n : close + 1;
    }

    // The rgb() whose name starts at start and whose arguments start at i: three
    // integers or three percentages, each with an optional sign, separated by commas,
    // blanks allowed around them. Anything else is a fault over the whole function, up
    // to the end of the value when it is not closed.
    qsizetype rgb(qsizetype start, qsizetype i)
    {
        const qsizetype closeEnd = closingParen(i - 1);
        const qsizetype close = closeEnd < 0 ? m_n : closeEnd - 1;
        const qsizetype end = closeEnd < 0 ? m_n : closeEnd;
        int count = 0;
        bool integers = true;
        bool percentages = true;
        bool ok = closeEnd >= 0;
        while (ok) {
            i = skipBlanks(i, close);
            if (!startsNumber(i, close)) {
                ok = false;
                break;
            }
            const NumberText n = scanNumber(i, close);
            i = n.end;
            const bool percentage = i < close && m_s[i] == u'%';
            if (percentage)
                ++i;
            ++count;
            integers = integers && !percentage && !n.fraction;
            percentages = percentages && percentage;
            i = skipBlanks(i, close);
            if (i == close)
                break;
            ok = m_s[i] == u',';
            ++i;
        }
        if (!ok || count != 3 || !(integers || percentages))
            m_faults.push_back(ValueFault{ValueFault::BadRgb, start, end - start});
        push(TokenKind::Rgb);
        return end;
    }

    QStringView m_s;
    qsizetype m_n;
    Tokens &m_tokens;
    QList<ValueFault> &m_faults;
    bool m_bad = false;
};

// ---- Grammars ----------------------------------------------------------------------

// Keywords as a bit set, so a keyword is allowed or not in one test.
struct KeywordSet
{
    std::uint64_t bits[2] = {0, 0};

    constexpr KeywordSet() = default;
    constexpr KeywordSet(std::initializer_list<Kw> keywords)
    {
        for (const Kw k : keywords)
            bits[size_t(k) >> 6] |= std::uint64_t(1) << (size_t(k) & 63);
    }
    bool has(Kw k) const
    {
        return k != Kw::NotKeyword && (bits[size_t(k) >> 6] >> (size_t(k) & 63)) & 1;
    }
};

// The value types a single token may be, beside its keywords.
namespace type {
constexpr unsigned Length = 1;
constexpr unsigned Percentage = 2;
constexpr unsigned Number = 4;
constexpr unsigned Colour = 8;
constexpr unsigned Url = 16;
constexpr unsigned Weight = 32;   // 100 ... 900
constexpr unsigned Negative = 64; // lengths, percentages and numbers may be below zero
} // namespace type

// What one token may be: some types and some keywords.
struct Alternatives
{
    unsigned types = 0;
    KeywordSet keywords;
};

bool matches(const Token &t, const Alternatives &a)
{
    const bool signAllowed = !t.negative || (a.types & type::Negative);
    switch (t.kind) {
    case TokenKind::Ident:
        return a.keywords.has(t.keyword) || ((a.types & type::Colour) && isColourName(t.keyword));
    case TokenKind::Number:
        return ((a.types & type::Number) && signAllowed) || ((a.types & type::Length) && t.zero)
               || ((a.types & type::Weight) && t.weight);
    case TokenKind::Dimension:
        return (a.types & type::Length) && t.lengthUnit && signAllowed;
    case TokenKind::Percentage:
        return (a.types & type::Percentage) && signAllowed;
    case TokenKind::Hash:
    case TokenKind::Rgb:
        return a.types & type::Colour;
    case TokenKind::Url:
        return a.types & type::Url;
    default:
        return false;
    }
}

using namespace type;

constexpr Alternatives FontStyle{0, {Kw::Normal, Kw::Italic, Kw::Oblique}};
constexpr Alternatives FontVariant{0, {Kw::Normal, Kw::SmallCaps}};
constexpr Alternatives FontWeight{Weight, {Kw::Normal, Kw::Bold, Kw::Bolder, Kw::Lighter}};
constexpr Alternatives FontSize{Length | Percentage,
                                {Kw::XxSmall, Kw::XSmall, Kw::Small, Kw::Medium, Kw::Large,
                                 Kw::XLarge, Kw::XxLarge, Kw::Larger, Kw::Smaller}};
constexpr Alternatives LineHeight{Number | Length | Percentage, {Kw::Normal}};
constexpr Alternatives ColourValue{Colour, {}};
constexpr Alternatives BackgroundColour{Colour, {Kw::Transparent}};
constexpr Alternatives UrlOrNone{Url, {Kw::None}};
constexpr Alternatives BackgroundRepeat{0, {Kw::Repeat, Kw::RepeatX, Kw::RepeatY, Kw::NoRepeat}};
constexpr Alternatives BackgroundAttachment{0, {Kw::Scroll, Kw::Fixed}};
constexpr Alternatives PositionNumber{Length | Percentage | Negative, {}};
constexpr Alternatives Spacing{Length | Negative, {Kw::Normal}};
constexpr Alternatives VerticalAlign{Percentage | Negative,
                                     {Kw::Baseline, Kw::Sub, Kw::Super, Kw::Top, Kw::TextTop,
                                      Kw::Middle, Kw::Bottom, Kw::TextBottom}};
constexpr Alternatives TextTransform{0, {Kw::Capitalize, Kw::Uppercase, Kw::Lowercase, Kw::None}};
constexpr Alternatives TextAlign{0, {Kw::Left, Kw::Right, Kw::Center, Kw::Justify}};
constexpr Alternatives TextIndent{Length | Percentage | Negative, {}};
constexpr Alternatives Margin{Length | Percentage | Negative, {Kw::Auto}};
constexpr Alternatives Padding{Length | Percentage, {}};
constexpr Alternatives BorderWidth{Length, {Kw::Thin, Kw::Medium, Kw::Thick}};
constexpr Alternatives BorderStyle{0,
                                   {Kw::None, Kw::Dotted, Kw::Dashed, Kw::Solid, Kw::Double,
                                    Kw::Groove, Kw::Ridge, Kw::Inset, Kw::Outset}};
constexpr Alternatives Width{Length | Percentage, {Kw::Auto}};
constexpr Alternatives Height{Length, {Kw::Auto}};
constexpr Alternatives Float{0, {Kw::Left, Kw::Right, Kw::None}};
constexpr Alternatives Clear{0, {Kw::None, Kw::Left, Kw::Right, Kw::Both}};
constexpr Alternatives Display{0, {Kw::Block, Kw::Inline, Kw::ListItem, Kw::None}};
constexpr Alternatives WhiteSpace{0, {Kw::Normal, Kw::Pre, Kw::Nowrap}};
constexpr Alternatives ListStyleType{0,
                                     {Kw::Disc, Kw::Circle, Kw::Square, Kw::Decimal,
                                      Kw::LowerRoman, Kw::UpperRoman, Kw::LowerAlpha,
                                      Kw::UpperAlpha, Kw::None}};
constexpr Alternatives ListStylePosition{0, {Kw::Inside, Kw::Outside}};

// One part of a "||" combination: a single token, or the one or two tokens of a
// background position.
struct Part
{
    Alternatives one;
    bool position = false;
};

bool isVertical(Kw k)
{
    return k == Kw::Top || k == Kw::Center || k == Kw::Bottom;
}

bool isHorizontal(Kw k)
{
    return k == Kw::Left || k == Kw::Center || k == Kw::Right;
}

bool isPositionKeyword(const Token &t)
{
    return t.kind == TokenKind::Ident && (isVertical(t.keyword) || isHorizontal(t.keyword));
}

// The token counts a part can take at the start of t, as bits: 1 << 1 for one token,
// 1 << 2 for two. A position is one or two lengths or percentages, or one keyword, or a
// vertical and a horizontal keyword in either order ("center" is both); keywords and
// numbers do not mix.
unsigned partLengths(const Part &p, const Token *t, qsizetype n)
{
    if (n == 0)
        return 0;
    if (!p.position)
        return matches(t[0], p.one) ? 1u << 1 : 0;
    unsigned out = 0;
    const bool number0 = matches(t[0], PositionNumber);
    if (number0 || isPositionKeyword(t[0]))
        out |= 1u << 1;
    if (n >= 2) {
        if (number0 && matches(t[1], PositionNumber))
            out |= 1u << 2;
        if (isPositionKeyword(t[0]) && isPositionKeyword(t[1])
            && ((isVertical(t[0].keyword) && isHorizontal(t[1].keyword))
                || (isHorizontal(t[0].keyword) && isVertical(t[1].keyword))))
            out |= 1u << 2;
    }
    return out;
}

// Whether t is one or more of the parts, each at most once, in any order. A token may
// fit several parts ("none" in list-style, "normal" in font), so every fitting part and
// length is tried before giving up; there are at most five parts.
bool anyOrder(const Part *parts, int count, const Token *t, qsizetype n, unsigned used = 0)
{
    if (n == 0)
        return used != 0;
    for (int p = 0; p < count; ++p) {
        if (used & (1u << p))
            continue;
        const unsigned lengths = partLengths(parts[p], t, n);
        for (qsizetype length = 1; length <= 2; ++length) {
            if ((lengths & (1u << length))
                && anyOrder(parts, count, t + length, n - length, used | (1u << p)))
                return true;
        }
    }
    return false;
}

bool oneToFour(const Alternatives &a, const Token *t, qsizetype n)
{
    if (n < 1 || n > 4)
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        if (!matches(t[i], a))
            return false;
    }
    return true;
}

// Families separated by commas, each a string or one or more identifiers; a lone
// CSS-wide keyword is that keyword, not a family called so.
bool familyList(const Token *t, qsizetype n)
{
    qsizetype i = 0;
    for (;;) {
        if (i >= n)
            return false; // an empty list, or a comma with no family after it
        if (t[i].kind == TokenKind::String) {
            ++i;
        } else if (t[i].kind == TokenKind::Ident) {
            const qsizetype first = i;
            while (i < n && t[i].kind == TokenKind::Ident)
                ++i;
            const Kw k = t[first].keyword;
            if (i - first == 1 && (k == Kw::Inherit || k == Kw::Initial || k == Kw::Unset))
                return false;
        } else {
            return false;
        }
        if (i == n)
            return true;
        if (t[i].kind != TokenKind::Comma)
            return false;
        ++i;
    }
}

constexpr Part FontPrefix[] = {{FontStyle}, {FontVariant}, {FontWeight}};

// [style || variant || weight]? size [/ line-height]? family-list. Each prefix of up to
// three tokens is tried as a whole "||" match before the size after it, so that
// "normal normal 12px" gives "normal" to two different parts.
bool font(const Token *t, qsizetype n)
{
    for (qsizetype size = 0; size <= 3 && size < n; ++size) {
        if (size > 0 && !anyOrder(FontPrefix, 3, t, size))
            continue;
        if (!matches(t[size], FontSize))
            continue;
        qsizetype i = size + 1;
        if (i < n && t[i].kind == TokenKind::Slash) {
            if (i + 1 >= n || !matches(t[i + 1], LineHeight))
                continue;
            i += 2;
        }
        if (familyList(t + i, n - i))
            return true;
    }
    return false;
}

constexpr Part Decorations[] = {{{0, {Kw::Underline}}},
                                {{0, {Kw::Overline}}},
                                {{0, {Kw::LineThrough}}},
                                {{0, {Kw::Blink}}}};
constexpr Part Background[] = {{BackgroundColour},
                               {UrlOrNone},
                               {BackgroundRepeat},
                               {BackgroundAttachment},
                               {{}, true}};
constexpr Part Border[] = {{BorderWidth}, {BorderStyle}, {ColourValue}};
constexpr Part ListStyle[] = {{ListStyleType}, {ListStylePosition}, {UrlOrNone}};

enum class Shape : std::uint8_t {
    One, OneToFour, AnyOrder, FontFamily, Font, Position, TextDecoration
};

struct Rule
{
    const char *name;
    Shape shape;
    Alternatives one{};         // One and OneToFour
    const Part *parts = nullptr; // AnyOrder
    int partCount = 0;
};

template<size_t N>
constexpr Rule anyOrderRule(const char *name, const Part (&parts)[N])
{
    return Rule{name, Shape::AnyOrder, {}, parts, int(N)};
}

constexpr Rule Rules[] = {
    {"font-family", Shape::FontFamily},
    {"font-style", Shape::One, FontStyle},
    {"font-variant", Shape::One, FontVariant},
    {"font-weight", Shape::One, FontWeight},
    {"font-size", Shape::One, FontSize},
    {"font", Shape::Font},
    {"color", Shape::One, ColourValue},
    {"background-color", Shape::One, BackgroundColour},
    {"background-image", Shape::One, UrlOrNone},
    {"background-repeat", Shape::One, BackgroundRepeat},
    {"background-attachment", Shape::One, BackgroundAttachment},
    {"background-position", Shape::Position},
    anyOrderRule("background", Background),
    {"word-spacing", Shape::One, Spacing},
    {"letter-spacing", Shape::One, Spacing},
    {"text-decoration", Shape::TextDecoration},
    {"vertical-align", Shape::One, VerticalAlign},
    {"text-transform", Shape::One, TextTransform},
    {"text-align", Shape::One, TextAlign},
    {"text-indent", Shape::One, TextIndent},
    {"line-height", Shape::One, LineHeight},
    {"margin-top", Shape::One, Margin},
    {"margin-right", Shape::One, Margin},
    {"margin-bottom", Shape::One, Margin},
    {"margin-left", Shape::One, Margin},
    {"margin", Shape::OneToFour, Margin},
    {"padding-top", Shape::One, Padding},
    {"padding-right", Shape::One, Padding},
    {"padding-bottom", Shape::One, Padding},
    {"padding-left", Shape::One, Padding},
    {"padding", Shape::OneToFour, Padding},
    {"border-top-width", Shape::One, BorderWidth},
    {"border-right-width", Shape::One, BorderWidth},
    {"border-bottom-width", Shape::One, BorderWidth},
    {"border-left-width", Shape::One, BorderWidth},
    {"border-width", Shape::OneToFour, BorderWidth},
    {"border-color", Shape::OneToFour, ColourValue},
    {"border-style", Shape::OneToFour, BorderStyle},
    anyOrderRule("border-top", Border),
    anyOrderRule("border-right", Border),
    anyOrderRule("border-bottom", Border),
    anyOrderRule("border-left", Border),
    anyOrderRule("border", Border),
    {"width", Shape::One, Width},
    {"height", Shape::One, Height},
    {"float", Shape::One, Float},
    {"clear", Shape::One, Clear},
    {"display", Shape::One, Display},
    {"white-space", Shape::One, WhiteSpace},
    {"list-style-type", Shape::One, ListStyleType},
    {"list-style-image", Shape::One, UrlOrNone},
    {"list-style-position", Shape::One, ListStylePosition},
    anyOrderRule("list-style", ListStyle),
};
static_assert(std::size(Rules) == 53);

const NameTable &propertyTable()
{
    static const std::array<const char *, std::size(Rules)> names = [] {
        std::array<const char *, std::size(Rules)> out;
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = Rules[i].name;
        return out;
    }();
    static const NameTable table(names);
    return table;
}

bool judge(const Rule &rule, const Token *t, qsizetype n)
{
    switch (rule.shape) {
    case Shape::One:
        return n == 1 && matches(t[0], rule.one);
    case Shape::OneToFour:
        return oneToFour(rule.one, t, n);
    case Shape::AnyOrder:
        return anyOrder(rule.parts, rule.partCount, t, n);
    case Shape::FontFamily:
        return familyList(t, n);
    case Shape::Font:
        return font(t, n);
    case Shape::Position: {
        const unsigned lengths = partLengths(Part{{}, true}, t, n);
        return n <= 2 && (lengths & (1u << n));
    }
    case Shape::TextDecoration:
        if (n == 1 && t[0].kind == TokenKind::Ident && t[0].keyword == Kw::None)
            return true;
        return anyOrder(Decorations, 4, t, n);
    }
    return false;
}

} // namespace

ValueJudgement JudgeCss1Value(const QString &property, QStringView value)
{
    ValueJudgement out;
    Tokens tokens;
    const bool clean = Tokenizer(value, tokens, out.faults).run();
    if (!out.faults.isEmpty()) {
        out.allowed = false;
        return out;
    }
    const int rule = propertyTable().find(property);
    if (rule < 0)
        return out;
    out.allowed = clean && !tokens.isEmpty()
                  && judge(Rules[rule], tokens.constData(), tokens.size());
    return out;
}

bool IsCss1Property(QStringView name)
{
    return propertyTable().find(name) >= 0;
}

const QStringList &Css1PropertyNames()
{
    static const QStringList names = [] {
        QStringList out;
        for (const Rule &rule : Rules)
            out << QString::fromLatin1(rule.name);
        return out;
    }();
    return names;
}

} // namespace sheetsmith
