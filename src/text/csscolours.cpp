#include "text/csscolours.h"

#include "text/csscolournames.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace sheetsmith {

namespace {

using colournames::kNames;
using colournames::Name;

constexpr ColourValue fromHex24(quint32 rgb)
{
    return makeColour(int(rgb >> 16), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

char16_t foldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

// Compares a name with a lower-case ASCII one, ignoring the case of ASCII letters.
int compareFolded(QStringView s, const char *lower)
{
    const qsizetype n = qsizetype(std::strlen(lower));
    for (qsizetype i = 0; i < std::min(s.size(), n); ++i) {
        const char16_t a = foldAscii(s[i].unicode());
        const auto b = char16_t(lower[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return s.size() < n ? -1 : s.size() > n ? 1 : 0;
}

int to8Bit(double unit)
{
    return int(std::lround(std::clamp(unit, 0.0, 1.0) * 255.0));
}

bool isSignificant(const CssToken &t)
{
    return t.type != CssTokenType::Whitespace && t.type != CssTokenType::Comment;
}

// The arguments of a colour function: the component tokens and the separators between
// them, spelled as a pattern ("v,v,v", "vvv/v", ...), up to the closing ")".
struct Arguments
{
    std::vector<CssToken> values;
    QString pattern;
    qsizetype end = 0;
};

// A colour function's arguments are short; one much longer is no colour.
constexpr qsizetype kLongestArguments = 200;

std::optional<Arguments> readArguments(QStringView text, qsizetype from)
{
    Arguments args;
    CssLexer lexer(text, from);
    while (lexer.position() - from < kLongestArguments) {
        const CssToken t = lexer.next();
        if (t.length == 0)
            return std::nullopt;
        if (!isSignificant(t))
            continue;
        switch (t.type) {
        case CssTokenType::CloseParen:
            args.end = t.end();
            return args;
        case CssTokenType::Comma:
            args.pattern += u',';
            break;
        case CssTokenType::Delim:
            if (text[t.offset] != u'/')
                return std::nullopt;
            args.pattern += u'/';
            break;
        case CssTokenType::Number:
        case CssTokenType::Percentage:
        case CssTokenType::Dimension:
            args.pattern += u'v';
            args.values.push_back(t);
            break;
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool isPercentage(const CssToken &t)
{
    return t.type == CssTokenType::Percentage;
}

bool isNumber(const CssToken &t)
{
    return t.type == CssTokenType::Number;
}

// An alpha in 0..255 from a number (0 to 1) or a percentage.
std::optional<int> alphaOf(const CssToken &t)
{
    if (isNumber(t))
        return to8Bit(t.number);
    if (isPercentage(t))
        return to8Bit(t.number / 100.0);
    return std::nullopt;
}

// A hue in degrees: a number, or an angle in one of CSS's four units.
std::optional<double> hueOf(QStringView text, const CssToken &t)
{
    if (isNumber(t))
        return t.number;
    if (t.type != CssTokenType::Dimension)
        return std::nullopt;
    const QStringView unit = CssTokenUnit(text, t);
    if (compareFolded(unit, "deg") == 0)
        return t.number;
    if (compareFolded(unit, "rad") == 0)
        return t.number * 180.0 / std::numbers::pi;
    if (compareFolded(unit, "grad") == 0)
        return t.number * 0.9;
    if (compareFolded(unit, "turn") == 0)
        return t.number * 360.0;
    return std::nullopt;
}

ColourValue hslToRgb(double hue, double saturation, double lightness)
{
    double h = std::fmod(hue, 360.0);
    if (h < 0)
        h += 360.0;
    const double s = std::clamp(saturation, 0.0, 1.0);
    const double l = std::clamp(lightness, 0.0, 1.0);
    const double a = s * std::min(l, 1.0 - l);
    const auto channel = [&](double n) {
        const double k = std::fmod(n + h / 30.0, 12.0);
        return l - a * std::max(-1.0, std::min({k - 3.0, 9.0 - k, 1.0}));
    };
    return makeColour(to8Bit(channel(0)), to8Bit(channel(8)), to8Bit(channel(4)));
}

enum class Function { None, Rgb, Rgba, Hsl, Hsla };

Function functionOf(QStringView text, const CssToken &t)
{
    if (t.type != CssTokenType::Function || t.escaped)
        return Function::None;
    const QStringView name = text.sliced(t.offset, t.length - 1);
    for (const auto &[spelled, f] : {std::pair{"rgb", Function::Rgb}, std::pair{"rgba", Function::Rgba},
                                     std::pair{"hsl", Function::Hsl}, std::pair{"hsla", Function::Hsla}}) {
        if (compareFolded(name, spelled) == 0)
            return f;
    }
    return Function::None;
}

std::optional<CssColour> functionColour(QStringView text, Function f, const Arguments &args, ColourForms forms)
{
    const bool current = forms == ColourForms::Current;
    const QString &p = args.pattern;
    const bool commas = p == u"v,v,v" || p == u"v,v,v,v";
    const bool blanks = p == u"vvv" || p == u"vvv/v";
    if (!(commas || blanks) || (!current && p != u"v,v,v"))
        return std::nullopt;
    if (!current && f != Function::Rgb)
        return std::nullopt;
    const std::vector<CssToken> &v = args.values;
    CssColour colour;
    if (v.size() == 4) {
        const std::optional<int> alpha = alphaOf(v[3]);
        if (!alpha)
            return std::nullopt;
        colour.alpha = *alpha;
    }
    if (f == Function::Rgb || f == Function::Rgba) {
        int c[3];
        for (int i = 0; i < 3; ++i) {
            if (isNumber(v[size_t(i)]))
                c[i] = to8Bit(v[size_t(i)].number / 255.0);
            else if (isPercentage(v[size_t(i)]))
                c[i] = to8Bit(v[size_t(i)].number / 100.0);
            else
                return std::nullopt;
        }
        // Between commas the three are all numbers or all percentages.
        if (commas && (isPercentage(v[0]) != isPercentage(v[1]) || isPercentage(v[0]) != isPercentage(v[2])))
            return std::nullopt;
        colour.rgb = makeColour(c[0], c[1], c[2]);
        return colour;
    }
    const std::optional<double> hue = hueOf(text, v[0]);
    if (!hue)
        return std::nullopt;
    double sl[2];
    for (int i = 0; i < 2; ++i) {
        const CssToken &t = v[size_t(i + 1)];
        // Between commas saturation and lightness are percentages; without, a number
        // means the same percentage.
        if (!isPercentage(t) && !(blanks && isNumber(t)))
            return std::nullopt;
        sl[i] = t.number / 100.0;
    }
    colour.rgb = hslToRgb(*hue, sl[0], sl[1]);
    return colour;
}

std::optional<CssColour> hashColour(QStringView text, const CssToken &t, ColourForms forms)
{
    if (t.type != CssTokenType::Hash || t.escaped)
        return std::nullopt;
    const QStringView digits = text.sliced(t.offset + 1, t.length - 1);
    const qsizetype n = digits.size();
    const bool current = forms == ColourForms::Current;
    if (!(n == 3 || n == 6 || (current && (n == 4 || n == 8))))
        return std::nullopt;
    int value[8] = {};
    for (qsizetype i = 0; i < n; ++i) {
        value[i] = hexDigitValue(digits[i]);
        if (value[i] < 0)
            return std::nullopt;
    }
    const bool shortForm = n <= 4;
    const auto component = [&](int i) {
        return shortForm ? value[i] * 17 : value[2 * i] * 16 + value[2 * i + 1];
    };
    CssColour colour;
    colour.rgb = makeColour(component(0), component(1), component(2));
    if (n == 4 || n == 8)
        colour.alpha = component(3);
    return colour;
}

// A number with at most `decimals` decimals, trailing zeros dropped.
QString decimal(double value, int decimals)
{
    QString s = QString::number(value, 'f', decimals);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    if (s == u"-0")
        s = QStringLiteral("0");
    return s;
}

QString hexByte(int byte, bool upper)
{
    const QString s = QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
    return upper ? s.toUpper() : s;
}

QString hexText(ColourValue rgb, bool upper)
{
    return u'#' + hexByte(colourRed(rgb), upper) + hexByte(colourGreen(rgb), upper) + hexByte(colourBlue(rgb), upper);
}

// The hue, saturation and lightness (degrees, then 0 to 1) of a colour.
std::array<double, 3> rgbToHsl(ColourValue rgb)
{
    const double r = colourRed(rgb) / 255.0;
    const double g = colourGreen(rgb) / 255.0;
    const double b = colourBlue(rgb) / 255.0;
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    const double l = (high + low) / 2.0;
    const double d = high - low;
    if (d == 0)
        return {0.0, 0.0, l};
    const double s = d / (1.0 - std::abs(2.0 * l - 1.0));
    double h = 0;
    if (high == r)
        h = 60.0 * std::fmod((g - b) / d, 6.0);
    else if (high == g)
        h = 60.0 * ((b - r) / d + 2.0);
    else
        h = 60.0 * ((r - g) / d + 4.0);
    if (h < 0)
        h += 360.0;
    return {h, s, l};
}

// A hue in degrees written in the unit of the hue it replaces.
QString hueText(QStringView text, const CssToken &t, double degrees, int decimals)
{
    if (t.type != CssTokenType::Dimension)
        return decimal(degrees, decimals);
    const QStringView unit = CssTokenUnit(text, t);
    double value = degrees;
    if (compareFolded(unit, "rad") == 0)
        value = degrees * std::numbers::pi / 180.0;
    else if (compareFolded(unit, "grad") == 0)
        value = degrees / 0.9;
    else if (compareFolded(unit, "turn") == 0)
        value = degrees / 360.0;
    // Radians and turns need more decimals than degrees for the same precision.
    const int extra = compareFolded(unit, "rad") == 0 || compareFolded(unit, "turn") == 0 ? 2 : 0;
    return decimal(value, decimals + extra) + unit.toString();
}

// The function's text with its three colour components replaced by `parts`.
QString withComponents(QStringView value, const Arguments &args, const std::array<QString, 3> &parts)
{
    QString out;
    qsizetype at = 0;
    for (int i = 0; i < 3; ++i) {
        const CssToken &t = args.values[size_t(i)];
        out += value.sliced(at, t.offset - at);
        out += parts[size_t(i)];
        at = t.end();
    }
    out += value.sliced(at);
    return out;
}

std::optional<QString> rewriteFunction(QStringView value, Function f, const Arguments &args, ColourValue colour)
{
    const std::vector<CssToken> &v = args.values;
    const std::array<double, 3> hsl = rgbToHsl(colour);
    for (int decimals = 0; decimals <= 4; ++decimals) {
        std::array<QString, 3> parts;
        if (f == Function::Rgb || f == Function::Rgba) {
            const int c[3] = {colourRed(colour), colourGreen(colour), colourBlue(colour)};
            for (int i = 0; i < 3; ++i)
                parts[size_t(i)] = isPercentage(v[size_t(i)]) ? decimal(c[i] * 100.0 / 255.0, decimals) + u'%'
                                                              : QString::number(c[i]);
        } else {
            parts[0] = hueText(value, v[0], hsl[0], decimals);
            for (int i = 1; i < 3; ++i)
                parts[size_t(i)] =
                    decimal(hsl[size_t(i)] * 100.0, decimals) + (isPercentage(v[size_t(i)]) ? QStringLiteral("%") : QString());
        }
        const QString written = withComponents(value, args, parts);
        const std::optional<CssColour> back = ReadCssColour(written, ColourForms::Current);
        if (back && back->rgb == colour)
            return written;
    }
    return std::nullopt;
}

} // namespace

std::optional<CssColour> NamedColour(QStringView name, ColourForms forms)
{
    if (compareFolded(name, "transparent") == 0)
        return forms == ColourForms::Current ? std::optional(CssColour{0, 0}) : std::nullopt;
    const auto found = std::lower_bound(std::begin(kNames), std::end(kNames), name,
                                        [](const Name &n, QStringView s) { return compareFolded(s, n.name) > 0; });
    if (found == std::end(kNames) || compareFolded(name, found->name) != 0)
        return std::nullopt;
    if (!found->css1 && forms != ColourForms::Current)
        return std::nullopt;
    return CssColour{fromHex24(found->rgb), 255};
}

QString Css1ColourName(ColourValue rgb)
{
    for (const Name &n : kNames) {
        if (n.css1 && fromHex24(n.rgb) == rgb)
            return QString::fromLatin1(n.name);
    }
    return QString();
}

std::optional<ColourAt> ReadColourAt(QStringView text, const CssToken &token, ColourForms forms)
{
    switch (token.type) {
    case CssTokenType::Ident: {
        if (token.escaped) {
            if (const auto named = NamedColour(CssTokenValue(text, token), forms))
                return ColourAt{*named, token.end()};
            return std::nullopt;
        }
        if (const auto named = NamedColour(text.sliced(token.offset, token.length), forms))
            return ColourAt{*named, token.end()};
        return std::nullopt;
    }
    case CssTokenType::Hash:
        if (const auto hex = hashColour(text, token, forms))
            return ColourAt{*hex, token.end()};
        return std::nullopt;
    case CssTokenType::Function: {
        const Function f = functionOf(text, token);
        if (f == Function::None)
            return std::nullopt;
        const std::optional<Arguments> args = readArguments(text, token.end());
        if (!args)
            return std::nullopt;
        if (const auto colour = functionColour(text, f, *args, forms))
            return ColourAt{*colour, args->end};
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<CssColour> ReadCssColour(QStringView value, ColourForms forms)
{
    CssLexer lexer(value);
    const CssToken first = lexer.next();
    const std::optional<ColourAt> at = ReadColourAt(value, first, forms);
    if (!at || at->end != value.size())
        return std::nullopt;
    return at->colour;
}

std::optional<QString> RewriteCssColour(QStringView value, ColourValue colour)
{
    const std::optional<CssColour> old = ReadCssColour(value, ColourForms::Current);
    if (!old || !isValidColour(colour) || colour == kAutoColour)
        return std::nullopt;
    if (old->rgb == colour)
        return value.toString();
    CssLexer lexer(value);
    const CssToken first = lexer.next();
    switch (first.type) {
    case CssTokenType::Ident: {
        const QString name = Css1ColourName(colour);
        return name.isEmpty() ? hexText(colour, false) : name;
    }
    case CssTokenType::Hash: {
        const QStringView digits = value.sliced(1);
        const bool upper = std::any_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'A' && c <= u'F'; })
                           && std::none_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'a' && c <= u'f'; });
        const int c[3] = {colourRed(colour), colourGreen(colour), colourBlue(colour)};
        const bool shortFits = std::all_of(std::begin(c), std::end(c), [](int x) { return x % 17 == 0; });
        const bool alpha = digits.size() == 4 || digits.size() == 8;
        const QString alphaDigits = digits.size() == 4 ? digits.sliced(3).toString()
                                    : digits.size() == 8 ? digits.sliced(6).toString()
                                                         : QString();
        if (digits.size() <= 4 && shortFits) {
            QString out = QStringLiteral("#");
            for (const int x : c)
                out += hexByte(x, upper).at(0);
            return out + alphaDigits;
        }
        const QString longAlpha = digits.size() == 4 ? alphaDigits + alphaDigits : alphaDigits;
        return hexText(colour, upper) + (alpha ? longAlpha : QString());
    }
    case CssTokenType::Function: {
        const std::optional<Arguments> args = readArguments(value, first.end());
        if (!args)
            return std::nullopt;
        return rewriteFunction(value, functionOf(value, first), *args, colour);
    }
    default:
        return std::nullopt;
    }
}

} // namespace sheetsmith
