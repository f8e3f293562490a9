#include "check/valuegrammar.h"

#include "check/css1tokens.h"

#include <array>
#include <cstdint>
#include <initializer_list>

namespace sheetsmith {

using namespace css1;

namespace {

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

bool equalsFolded(QStringView s, const char *lowerName)
{
    for (const QChar c : s) {
        if (*lowerName == 0 || foldAscii(c.unicode()) != char16_t(*lowerName))
            return false;
        ++lowerName;
    }
    return *lowerName == 0;
}

Kw Css1Keyword(QStringView s)
{
    return keywordAt(keywordTable().find(s));
}

ValueJudgement JudgeCss1Value(const QString &property, QStringView value)
{
    ValueJudgement out;
    Tokens tokens;
    const bool clean = ReadCss1Tokens(value, tokens, out.faults);
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
