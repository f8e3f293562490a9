#pragma once

#include "text/commentmarkers.h"
#include "text/csslexer.h"

#include <QString>
#include <QStringView>

#include <functional>

namespace sheetsmith {

// What a token of a sheet is part of, read from the tokens around it.
//
// A statement runs from the text's start, a "{", a "}" or a ";" to the next of them.
// A statement that ends with "{" is a rule's selector (or an at-rule's prelude, which
// is neither selector nor declaration); one that ends with ";", "}" or the end of the
// text and begins with a name and a ":" is a declaration: the name is its property and
// what follows the colon its value. Anything else (an at-rule's statement, a
// declaration gone wrong, blanks and comments) is Other. Braces and semicolons count
// wherever they stand outside strings, comments and urls, as the block scanner counts
// them, so a mistyped value never makes a whole sheet one statement.
struct CssPlace
{
    enum Kind : quint8 { Other, Selector, Property, Value };
    Kind kind = Other;
    // Property and Value: the declaration's property name, escapes decoded, lower case.
    QString property;
    // Selector: the member of the selector group that holds the token, [from, to),
    // without the blanks around it.
    qsizetype selectorFrom = 0;
    qsizetype selectorTo = 0;
};

// Calls visit(token, place) for each token that starts in [from, to) and that wanted
// accepts, in text order. The reading starts at the beginning of the statement that
// holds `from`, found by reading back from a place CssSafeStart shows safe, and goes on
// past `to` to the end of the last statement a wanted token is in. Neither way reads
// more than a quarter of a million characters: where the statement's start lies further
// back nothing is visited, and a token whose statement's end lies further on is
// visited as Other.
void ForEachCssPlace(QStringView text, const CommentMarkerPositions &markers, qsizetype from, qsizetype to,
                     const std::function<bool(const CssToken &)> &wanted,
                     const std::function<void(const CssToken &, const CssPlace &)> &visit);

// The token that holds the character at offset (a Whitespace token of length 0 past the
// text, or where no safe place to start reading lies near) and its place; blanks and
// comments are Other.
struct CssTokenPlace
{
    CssToken token;
    CssPlace place;
};
CssTokenPlace CssPlaceAt(QStringView text, const CommentMarkerPositions &markers, qsizetype offset);

} // namespace sheetsmith
