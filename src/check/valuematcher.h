#pragma once

#include "check/valuesyntax.h"
#include "text/csslexer.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <vector>

namespace sheetsmith {

// A declaration's value as CSS reads it: its tokens, blanks and comments left out, with
// each function's and bracketed block's content nested inside it.
struct ComponentValues
{
    struct Component
    {
        enum Kind : quint8 { Token, Function, Block } kind = Token;
        CssToken token; // Function: its name token; Block: the opening bracket
        int first = 0;  // Function and Block: their content, items [first, first + count)
        int count = 0;
    };

    std::vector<Component> items;
    int first = 0; // the top level, items [first, first + count)
    int count = 0;
    // Whether the value holds var(), env(), attr() or another function whose value is
    // only known when the page is shown; such a value is not judged.
    bool substituted = false;
    // Whether it is too deeply nested or too long to judge.
    bool tooBig = false;
    // Whether it holds a bracket or a string never closed, a bad url or a "}" or ";".
    bool broken = false;
};

// value: text[from, to).
ComponentValues ReadComponentValues(QStringView text, qsizetype from, qsizetype to);

// Where the matcher finds the grammar a name stands for: the syntax of a property, a
// value type (name without "<>") or a function (name without "()"), or an empty text
// when it has none. Names of properties and functions come in lower case.
struct SyntaxSource
{
    std::function<QString(QStringView)> property;
    std::function<QString(QStringView)> type;
    std::function<QString(QStringView)> function;
};

// Judges values against the grammars of a SyntaxSource. The grammars are read once,
// when first needed, and kept. Not to be shared between threads.
class ValueMatcher
{
public:
    enum class Verdict { Valid, Invalid, Unknown };

    explicit ValueMatcher(SyntaxSource source);
    ~ValueMatcher();
    ValueMatcher(const ValueMatcher &) = delete;
    ValueMatcher &operator=(const ValueMatcher &) = delete;

    // Whether the property allows the value text[from, to) (no "!important" in it).
    // Unknown when the property has no grammar the matcher can read, or the value needs
    // something it cannot judge (a type defined in prose only, a substitution such as
    // var()): the caller then says nothing rather than something false.
    Verdict matchProperty(QStringView property, QStringView text, qsizetype from, qsizetype to);
    // The same against a grammar written out, for tests.
    Verdict matchSyntax(QStringView syntax, QStringView value);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace sheetsmith
