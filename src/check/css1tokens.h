#pragma once

#include "check/valuegrammar.h"

#include <QList>
#include <QStringView>
#include <QVarLengthArray>

#include <cstdint>

namespace sheetsmith {

// A CSS level 1 value as the tokens JudgeCss1Value judges: the keywords such a value
// can hold and what each token is, read from the value text by ReadCss1Tokens, which
// also finds the faults that are errors whatever the property. Private to the CSS1
// value check; equalsFolded and Css1Keyword live in valuegrammar.cpp, beside the name
// tables they share with the property lookup.

namespace css1 {

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

} // namespace css1

// Whether s is lowerName without regard to ASCII case.
bool equalsFolded(QStringView s, const char *lowerName);
// The keyword s is, without regard to ASCII case; Kw::NotKeyword for any other name.
css1::Kw Css1Keyword(QStringView s);

// The value's tokens, read by the program's CSS reader, as CSS level 1 sees them. Reads
// the whole value, so that every fault in it is found even after something not allowed.
// Gives whether every token is one CSS level 1 values are made of.
bool ReadCss1Tokens(QStringView s, css1::Tokens &tokens, QList<ValueFault> &faults);

} // namespace sheetsmith
