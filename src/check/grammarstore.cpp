#include "check/grammarstore.h"

namespace sheetsmith {

namespace {

constexpr BuiltinType BuiltinTypes[] = {
    {"length", Builtin::Length},
    {"percentage", Builtin::Percentage},
    {"number", Builtin::Number},
    {"integer", Builtin::Integer},
    {"angle", Builtin::Angle},
    {"time", Builtin::Time},
    {"frequency", Builtin::Frequency},
    {"resolution", Builtin::Resolution},
    {"flex", Builtin::Flex},
    {"dimension", Builtin::Dimension},
    {"zero", Builtin::Zero},
    {"string", Builtin::String},
    {"ident", Builtin::Ident},
    {"identifier", Builtin::Ident},
    {"id", Builtin::Ident},
    {"target-name", Builtin::Ident},
    {"timeline-range-name", Builtin::Ident},
    {"custom-ident", Builtin::CustomIdent},
    {"dashed-ident", Builtin::DashedIdent},
    {"custom-property-name", Builtin::DashedIdent},
    {"url", Builtin::Url},
    {"uri", Builtin::Url},
    {"hex-color", Builtin::HexColour},
    {"declaration-value", Builtin::AnyValue},
    {"any-value", Builtin::AnyValue},
    {"family-name", Builtin::FamilyName},
    {"generic-family", Builtin::Keywords, "serif sans-serif cursive fantasy monospace system-ui emoji math fangsong "
                                          "ui-serif ui-sans-serif ui-monospace ui-rounded"},
    {"box", Builtin::Keywords, "content-box padding-box border-box margin-box fill-box stroke-box view-box"},
    // Colours and lengths of documents in quirks mode only: never in a style sheet.
    {"quirky-color", Builtin::Never},
    {"quirky-length", Builtin::Never},
    {"border-style", Builtin::None, nullptr, "line-style"},
    {"border-width", Builtin::None, nullptr, "line-width"},
    {"number-token", Builtin::NumberToken},
    {"ident-token", Builtin::IdentToken},
    {"string-token", Builtin::StringToken},
    {"hash-token", Builtin::HashToken},
    {"dimension-token", Builtin::DimensionToken},
    {"percentage-token", Builtin::PercentageToken},
    {"urange", Builtin::Unknown},
};

// Grammars the definitions give in words only, written out.
constexpr struct
{
    const char *name;
    const char *syntax;
} WrittenOut[] = {
    {"margin-width", "<length-percentage> | auto"},
    {"padding-width", "<length-percentage [0,\u221e]>"},
    {"top", "<length> | auto"},
    {"right", "<length> | auto"},
    {"bottom", "<length> | auto"},
    {"left", "<length> | auto"},
};

} // namespace

int GrammarStore::load(const QString &syntax)
{
    if (syntax.isEmpty())
        return -1;
    const ValueSyntax parsed = ParseValueSyntax(syntax);
    if (!parsed.isValid())
        return -1;
    const int base = int(arena.size());
    for (const SyntaxNode &n : parsed.nodes) {
        Node node;
        static_cast<SyntaxNode &>(node) = n;
        for (int &child : node.children)
            child += base;
        if (node.kind == Kind::Keyword || node.kind == Kind::Function)
            node.ascii = node.text.toLatin1();
        arena.push_back(std::move(node));
    }
    return parsed.root + base;
}

int GrammarStore::resolve(QHash<QString, int> &cache, const QString &name,
                          const std::function<QString(QStringView)> &lookup)
{
    const auto it = cache.constFind(name);
    if (it != cache.constEnd())
        return *it;
    cache.insert(name, -1); // a grammar that refers to itself while read finds none
    const int root = lookup ? load(lookup(name)) : -1;
    cache.insert(name, root);
    return root;
}

int GrammarStore::typeRoot(const QString &name)
{
    for (const auto &w : WrittenOut) {
        if (name == QLatin1String(w.name)) {
            const auto it = types.constFind(name);
            if (it != types.constEnd())
                return *it;
            const int root = load(QString::fromUtf8(w.syntax));
            types.insert(name, root);
            return root;
        }
    }
    return resolve(types, name, source.type);
}

void GrammarStore::prepare(int index)
{
    Node &node = arena[size_t(index)];
    if (node.target != -2)
        return;
    node.target = -1;
    const Kind kind = node.kind;
    const QString name = node.text;
    int root = -1;
    if (kind == Kind::Type) {
        const QString lower = name.toLower();
        const BuiltinType *known = nullptr;
        for (const BuiltinType &b : BuiltinTypes) {
            if (lower == QLatin1String(b.name)) {
                known = &b;
                break;
            }
        }
        node.type = known;
        node.builtin = known ? known->kind : Builtin::None;
        if (node.builtin != Builtin::None)
            return;
        root = typeRoot(known && known->alias ? QString::fromLatin1(known->alias) : name);
    } else if (kind == Kind::Property) {
        root = resolve(properties, name, source.property);
    } else if (kind == Kind::FunctionRef) {
        root = resolve(functions, name, source.function);
    }
    arena[size_t(index)].target = root;
}

} // namespace sheetsmith
