#pragma once

#include <QString>
#include <QStringView>

#include <limits>
#include <vector>

namespace sheetsmith {

// A value definition as CSS writes the grammar of its values, e.g.
// "[ <length> | auto ]{1,2} || <color>#", read into a tree of nodes.
//
// Juxtaposition binds tighter than "&&", which binds tighter than "||", which binds
// tighter than "|". A multiplier ("*", "+", "?", "{A}", "{A,}", "{A,B}", "#", "#{A,B}",
// "!") applies to the component before it; several apply from the inside out.
struct SyntaxNode
{
    enum class Kind : quint8 {
        Keyword,     // text: the keyword in lower case
        Delim,       // text: one character that stands for itself ("/", "+", ...)
        Comma,       // a literal ",", which may be left out where what it separates is
        Type,        // text: the type's name (<length>, <length-percentage [0,∞]>)
        Property,    // text: the property whose grammar stands here (<'margin-top'>)
        FunctionRef, // text: the function whose grammar stands here (<rgb()>)
        Function,    // text: the function's name in lower case; children[0]: its arguments, if any
        Block,       // text: "(" or "["; children[0]: what the block holds, if anything
        Sequence,    // every child, in order
        AllOf,       // "&&": every child, in any order
        AnyOf,       // "||": one or more of the children, each once, in any order
        OneOf,       // "|": exactly one child
        Repeat,      // children[0], from `least` to `most` times; separated by commas if `commas`
        NonEmpty,    // "!": children[0] (a group) must not match nothing
    };

    static constexpr int Unbounded = std::numeric_limits<int>::max();

    Kind kind = Kind::Sequence;
    QString text;
    std::vector<int> children; // indexes into ValueSyntax::nodes
    // Repeat
    int least = 1;
    int most = 1;
    bool commas = false;
    // Type: a numeric range, [min, max], where the grammar gives one; `unit` is the
    // bounds' unit where they name one ("deg" in [-90deg,90deg]).
    bool ranged = false;
    QString unit;
    double min = -std::numeric_limits<double>::infinity();
    double max = std::numeric_limits<double>::infinity();
};

struct ValueSyntax
{
    std::vector<SyntaxNode> nodes;
    int root = -1;       // -1 when the text could not be read
    QString error;       // why not, when root is -1

    bool isValid() const { return root >= 0; }
};

// Reads a value definition. A text the reader does not understand (an unbalanced
// bracket, a multiplier with nothing before it, a range it cannot read, nesting deeper
// than any real grammar) gives an invalid syntax with an error, never a guess.
ValueSyntax ParseValueSyntax(QStringView text);

// The syntax written back in a normal form, for tests and messages: every group in
// brackets, one blank between components.
QString DescribeValueSyntax(const ValueSyntax &syntax);

} // namespace sheetsmith
