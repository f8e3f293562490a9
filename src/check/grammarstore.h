#pragma once

#include "check/valuematcher.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <vector>

namespace sheetsmith {

// The grammars a ValueMatcher judges values against: read from its SyntaxSource when
// first needed, kept in one arena, and their references looked up once; beside them the
// value types the matcher knows itself instead of from a grammar. Private to the matcher,
// whose Impl builds on GrammarStore.

// Types the matcher knows itself: the primitive ones, and those the definitions give
// in prose only.
enum class Builtin : quint8 {
    None, // not built in: its grammar comes from the definitions
    Length, Percentage, Number, Integer, Angle, Time, Frequency, Resolution, Flex, Dimension, Zero,
    String, Ident, CustomIdent, DashedIdent, Url, HexColour, AnyValue, FamilyName, Keywords, Never,
    NumberToken, IdentToken, StringToken, HashToken, DimensionToken, PercentageToken,
    Unknown, // defined in prose the matcher cannot follow
};

struct BuiltinType
{
    const char *name;
    Builtin kind;
    const char *keywords = nullptr; // Keywords: separated by blanks
    const char *alias = nullptr;    // None: the type whose grammar stands for this one
};

struct GrammarStore
{
    struct Node : SyntaxNode
    {
        QByteArray ascii;            // Keyword and Function: text as ASCII
        Builtin builtin = Builtin::None;
        int target = -2;             // Type, Property, FunctionRef: the grammar's root; -1 none; -2 not looked up
        const BuiltinType *type = nullptr;
        // OneOf: its keyword children as one set, the other children apart (once split),
        // so that an identifier is looked up once instead of compared with each keyword.
        bool split = false;
        QSet<QString> keywords;
        std::vector<int> others;
    };

    SyntaxSource source;
    std::vector<Node> arena;
    QHash<QString, int> types;
    QHash<QString, int> properties;
    QHash<QString, int> functions;

    // Reads a grammar into the arena: its root, or -1 when it cannot be read.
    int load(const QString &syntax);

    using Kind = SyntaxNode::Kind;

    int resolve(QHash<QString, int> &cache, const QString &name,
                const std::function<QString(QStringView)> &lookup);
    int typeRoot(const QString &name);

    // Looks up what a reference node stands for, once. Loading a grammar grows the
    // arena, so the node is reached by its index again afterwards.
    void prepare(int index);
};

} // namespace sheetsmith
