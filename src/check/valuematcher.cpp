#include "check/valuematcher.h"

#include "check/grammarstore.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace sheetsmith {

namespace {

using Component = ComponentValues::Component;

bool unitIn(QStringView unit, std::initializer_list<const char *> units)
{
    for (const char *u : units) {
        if (unit.compare(QLatin1String(u), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isLengthUnit(QStringView u)
{
    return unitIn(u, {"px", "em", "rem", "ex", "rex", "cap", "rcap", "ch", "rch", "ic", "ric", "lh", "rlh", "vw",
                      "vh", "vi", "vb", "vmin", "vmax", "svw", "svh", "svi", "svb", "svmin", "svmax", "lvw", "lvh",
                      "lvi", "lvb", "lvmin", "lvmax", "dvw", "dvh", "dvi", "dvb", "dvmin", "dvmax", "cqw", "cqh",
                      "cqi", "cqb", "cqmin", "cqmax", "cm", "mm", "q", "in", "pt", "pc"});
}

bool isMathFunction(QStringView text, const CssToken &function)
{
    static const char *const names[] = {"calc", "min", "max", "clamp", "round", "mod", "rem", "sin", "cos",
                                        "tan", "asin", "acos", "atan", "atan2", "pow", "sqrt", "hypot", "log",
                                        "exp", "abs", "sign", "calc-size", "progress", "random", "sibling-index",
                                        "sibling-count", "-webkit-calc", "-moz-calc"};
    for (const char *name : names) {
        if (CssTokenIs(text, function, name))
            return true;
    }
    return false;
}

// CSS compares keywords without regard to ASCII case only.
QString asciiLower(QString s)
{
    for (QChar &c : s) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return s;
}

bool isHexDigits(QStringView s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) {
        const char16_t l = c.unicode() | 0x20;
        return (c >= u'0' && c <= u'9') || (l >= u'a' && l <= u'f');
    });
}

// Sorted, without repeats: the positions a grammar can end at.
using Ends = QVarLengthArray<int, 8>;

void addEnd(Ends &ends, int e)
{
    const auto it = std::lower_bound(ends.begin(), ends.end(), e);
    if (it == ends.end() || *it != e)
        ends.insert(it, e);
}

// Inserts v into a sorted array unless it is there; answers whether it was not.
template<typename Array, typename T>
bool insertNew(Array &sorted, T v)
{
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), v);
    if (it != sorted.end() && *it == v)
        return false;
    sorted.insert(it, v);
    return true;
}

// Stands in the memo for a match being worked out.
constexpr int kRunning = -1;

bool hasEnd(const Ends &ends, int e)
{
    return std::binary_search(ends.begin(), ends.end(), e);
}

} // namespace

struct ValueMatcher::Impl : GrammarStore
{
    QHash<QString, Verdict> verdicts;

    // One match at a time.
    QStringView text;
    const ComponentValues *values = nullptr;
    std::unordered_map<quint64, Ends> memo;
    bool unknown = false;
    int depth = 0;

    const Component &at(int pos) const { return values->items[size_t(pos)]; }

    bool isToken(int pos, int end, CssTokenType type) const
    {
        return pos < end && at(pos).kind == Component::Token && at(pos).token.type == type;
    }

    // Whether the number of a single numeric component lies in the node's range.
    bool inRange(const Node &node, const Component &c) const
    {
        if (!node.ranged || c.kind != Component::Token)
            return true;
        const CssToken &t = c.token;
        if (t.type != CssTokenType::Number && t.type != CssTokenType::Percentage && t.type != CssTokenType::Dimension)
            return true;
        // Bounds in a unit are compared with values in that unit only; 0 and the
        // infinities bound every unit alike.
        if (!node.unit.isEmpty() && t.type == CssTokenType::Dimension
            && CssTokenUnit(text, t).compare(node.unit, Qt::CaseInsensitive) != 0) {
            const auto signOnly = [](double b) { return b == 0 || std::isinf(b); };
            if (!signOnly(node.min) || !signOnly(node.max))
                return true;
        }
        return t.number >= node.min && t.number <= node.max;
    }

    Ends builtin(const Node &node, int pos, int end)
    {
        Ends out;
        const Builtin kind = node.builtin;
        if (kind == Builtin::Unknown) {
            unknown = true;
            return out;
        }
        if (kind == Builtin::Never)
            return out;
        if (kind == Builtin::AnyValue) {
            for (int e = pos + 1; e <= end; ++e)
                out.push_back(e);
            return out;
        }
        if (pos >= end)
            return out;
        const Component &c = at(pos);
        const bool numeric = kind == Builtin::Length || kind == Builtin::Percentage || kind == Builtin::Number
                             || kind == Builtin::Integer || kind == Builtin::Angle || kind == Builtin::Time
                             || kind == Builtin::Frequency || kind == Builtin::Resolution || kind == Builtin::Flex
                             || kind == Builtin::Dimension;
        if (c.kind == Component::Function) {
            if (numeric && isMathFunction(text, c.token))
                out.push_back(pos + 1);
            else if (kind == Builtin::Url && (CssTokenIs(text, c.token, "url") || CssTokenIs(text, c.token, "src")))
                out.push_back(pos + 1);
            return out;
        }
        if (c.kind != Component::Token)
            return out;
        const CssToken &t = c.token;
        const QStringView unit = CssTokenUnit(text, t);
        bool ok = false;
        switch (kind) {
        case Builtin::Length:
            ok = (t.type == CssTokenType::Dimension && isLengthUnit(unit))
                 || (t.type == CssTokenType::Number && t.number == 0);
            break;
        case Builtin::Percentage:
            ok = t.type == CssTokenType::Percentage;
            break;
        case Builtin::Number:
            ok = t.type == CssTokenType::Number;
            break;
        case Builtin::Integer:
            ok = t.type == CssTokenType::Number && t.integer;
            break;
        case Builtin::Angle:
            // A unitless zero angle is accepted by the legacy transform functions, and
            // by every engine.
            ok = (t.type == CssTokenType::Dimension && unitIn(unit, {"deg", "grad", "rad", "turn"}))
                 || (t.type == CssTokenType::Number && t.number == 0);
            break;
        case Builtin::Time:
            ok = t.type == CssTokenType::Dimension && unitIn(unit, {"s", "ms"});
            break;
        case Builtin::Frequency:
            ok = t.type == CssTokenType::Dimension && unitIn(unit, {"hz", "khz"});
            break;
        case Builtin::Resolution:
            ok = t.type == CssTokenType::Dimension && unitIn(unit, {"dpi", "dpcm", "dppx", "x"});
            break;
        case Builtin::Flex:
            ok = t.type == CssTokenType::Dimension && unitIn(unit, {"fr"});
            break;
        case Builtin::Dimension:
            ok = t.type == CssTokenType::Dimension;
            break;
        case Builtin::Zero:
            ok = t.type == CssTokenType::Number && t.number == 0;
            break;
        case Builtin::String:
            ok = t.type == CssTokenType::String && !t.unclosed;
            break;
        case Builtin::Ident:
            ok = t.type == CssTokenType::Ident;
            break;
        case Builtin::CustomIdent:
            ok = t.type == CssTokenType::Ident && !isCssWide(t) && !CssTokenIs(text, t, "default");
            break;
        case Builtin::DashedIdent:
            ok = t.type == CssTokenType::Ident && text.sliced(t.offset).startsWith(u"--");
            break;
        case Builtin::Url:
            ok = t.type == CssTokenType::Url && !t.unclosed;
            break;
        case Builtin::HexColour: {
            const qsizetype digits = t.length - 1;
            ok = t.type == CssTokenType::Hash && !t.escaped
                 && (digits == 3 || digits == 4 || digits == 6 || digits == 8)
                 && isHexDigits(text.sliced(t.offset + 1, digits));
            break;
        }
        case Builtin::FamilyName:
            if (t.type == CssTokenType::String && !t.unclosed) {
                out.push_back(pos + 1);
            } else {
                for (int e = pos; e < end && isToken(e, end, CssTokenType::Ident); ++e)
                    out.push_back(e + 1);
            }
            return out;
        case Builtin::Keywords:
            ok = t.type == CssTokenType::Ident
                 && QString::fromLatin1(node.type->keywords)
                        .split(u' ')
                        .contains(asciiLower(CssTokenValue(text, t)));
            break;
        case Builtin::NumberToken:
            ok = t.type == CssTokenType::Number;
            break;
        case Builtin::IdentToken:
            ok = t.type == CssTokenType::Ident;
            break;
        case Builtin::StringToken:
            ok = t.type == CssTokenType::String;
            break;
        case Builtin::HashToken:
            ok = t.type == CssTokenType::Hash;
            break;
        case Builtin::DimensionToken:
            ok = t.type == CssTokenType::Dimension;
            break;
        case Builtin::PercentageToken:
            ok = t.type == CssTokenType::Percentage;
            break;
        default:
            break;
        }
        if (ok && inRange(node, c))
            out.push_back(pos + 1);
        return out;
    }

    bool isCssWide(const CssToken &t) const
    {
        for (const char *k : {"initial", "inherit", "unset", "revert", "revert-layer"}) {
            if (CssTokenIs(text, t, k))
                return true;
        }
        return false;
    }

    // What `node` can match from pos within a level that ends at end.
    Ends match(int index, int pos, int end)
    {
        Node &node = arena[size_t(index)];
        switch (node.kind) {
        case Kind::Keyword: {
            Ends out;
            if (isToken(pos, end, CssTokenType::Ident) && CssTokenIs(text, at(pos).token, node.ascii.constData()))
                out.push_back(pos + 1);
            return out;
        }
        case Kind::Delim:
            return delim(node, pos, end);
        case Kind::Comma: {
            Ends out;
            if (isToken(pos, end, CssTokenType::Comma))
                out.push_back(pos + 1);
            return out;
        }
        case Kind::Function:
        case Kind::Block:
            return nested(node, pos, end);
        default:
            break;
        }
        const quint64 key = (quint64(index) << 40) | (quint64(pos) << 20) | quint64(end);
        const auto [found, fresh] = memo.try_emplace(key, Ends{kRunning});
        if (!fresh) {
            if (found->second.isEmpty() || found->second.front() != kRunning)
                return found->second;
            // A grammar that comes back to itself without reading anything.
            unknown = true;
            return {};
        }
        if (depth > 400) {
            unknown = true;
            memo.erase(found);
            return {};
        }
        ++depth;
        Ends out = compute(index, pos, end);
        --depth;
        // The table may have grown meanwhile: the entry is found again.
        memo[key] = out;
        return out;
    }

    Ends delim(const Node &node, int pos, int end)
    {
        Ends out;
        if (pos >= end || at(pos).kind != Component::Token)
            return out;
        const CssToken &t = at(pos).token;
        const QChar c = node.text[0];
        // Square brackets stand in a value as themselves (grid line names).
        const bool same = (t.type == CssTokenType::Delim && text[t.offset] == c)
                          || (c == u'[' && t.type == CssTokenType::OpenSquare)
                          || (c == u']' && t.type == CssTokenType::CloseSquare)
                          || (c == u':' && t.type == CssTokenType::Colon);
        if (same)
            out.push_back(pos + 1);
        return out;
    }

    Ends nested(const Node &node, int pos, int end)
    {
        Ends out;
        if (pos >= end)
            return out;
        const Component &c = at(pos);
        const bool fits = node.kind == Kind::Function
                              ? c.kind == Component::Function && CssTokenIs(text, c.token, node.ascii.constData())
                              : c.kind == Component::Block;
        if (!fits)
            return out;
        const int innerEnd = c.first + c.count;
        if (node.children.empty() ? c.count == 0 : hasEnd(match(node.children[0], c.first, innerEnd), innerEnd))
            out.push_back(pos + 1);
        return out;
    }

    Ends compute(int index, int pos, int end)
    {
        // The node is read through the arena each time: loading a grammar may grow it.
        const Kind kind = arena[size_t(index)].kind;
        switch (kind) {
        case Kind::Type:
        case Kind::Property:
        case Kind::FunctionRef: {
            prepare(index);
            const Node &node = arena[size_t(index)];
            if (node.kind == Kind::Type && node.builtin != Builtin::None)
                return builtin(node, pos, end);
            const int target = node.target;
            if (target < 0) {
                unknown = true;
                return {};
            }
            Ends out = match(target, pos, end);
            const Node &again = arena[size_t(index)];
            if (again.ranged) {
                out.erase(std::remove_if(out.begin(), out.end(),
                                         [&](int e) { return e == pos + 1 && !inRange(again, at(pos)); }),
                          out.end());
            }
            return out;
        }
        case Kind::Sequence:
            return sequence(index, pos, end);
        case Kind::OneOf: {
            Node &node = arena[size_t(index)];
            if (!node.split) {
                node.split = true;
                for (const int child : node.children) {
                    if (arena[size_t(child)].kind == Kind::Keyword)
                        node.keywords.insert(arena[size_t(child)].text);
                    else
                        node.others.push_back(child);
                }
            }
            Ends out;
            if (!node.keywords.isEmpty() && isToken(pos, end, CssTokenType::Ident)
                && node.keywords.contains(asciiLower(CssTokenValue(text, at(pos).token))))
                out.push_back(pos + 1);
            const std::vector<int> others = node.others; // matching may grow the arena
            for (const int child : others) {
                for (const int e : match(child, pos, end))
                    addEnd(out, e);
            }
            return out;
        }
        case Kind::AnyOf:
        case Kind::AllOf:
            return combination(index, pos, end, kind == Kind::AllOf);
        case Kind::Repeat:
            return repeat(index, pos, end);
        case Kind::NonEmpty: {
            Ends out = match(arena[size_t(index)].children[0], pos, end);
            out.erase(std::remove(out.begin(), out.end(), pos), out.end());
            return out;
        }
        default:
            return match(index, pos, end);
        }
    }

    // A comma of the grammar may be left out where what it separates is: at the start
    // of the sequence, at the end of the value, or after another comma.
    Ends sequence(int index, int pos, int end)
    {
        const std::vector<int> children = arena[size_t(index)].children;
        Ends current{pos};
        for (const int child : children) {
            Ends next;
            const bool comma = arena[size_t(child)].kind == Kind::Comma;
            for (const int p : current) {
                if (comma) {
                    if (isToken(p, end, CssTokenType::Comma))
                        addEnd(next, p + 1);
                    if (p == pos || p == end || (p > pos && isToken(p - 1, end, CssTokenType::Comma)))
                        addEnd(next, p);
                    continue;
                }
                for (const int e : match(child, p, end))
                    addEnd(next, e);
            }
            if (next.isEmpty())
                return next;
            current = next; // copied: Qt 6.4 loses a heap buffer in moving onto one
        }
        return current;
    }

    Ends combination(int index, int pos, int end, bool all)
    {
        const std::vector<int> children = arena[size_t(index)].children;
        Ends out;
        if (children.size() > 30) {
            unknown = true;
            return out;
        }
        const quint32 every = (quint32(1) << children.size()) - 1;
        struct State
        {
            int pos;
            quint32 used;
        };
        std::vector<State> pending{{pos, 0}};
        QVarLengthArray<quint64, 32> seen{quint64(pos) << 32}; // sorted
        while (!pending.empty()) {
            const State s = pending.back();
            pending.pop_back();
            if (all ? s.used == every : s.used != 0)
                addEnd(out, s.pos);
            for (size_t k = 0; k < children.size(); ++k) {
                if (s.used & (quint32(1) << k))
                    continue;
                for (const int e : match(children[k], s.pos, end)) {
                    const State n{e, s.used | (quint32(1) << k)};
                    if (insertNew(seen, (quint64(n.pos) << 32) | n.used))
                        pending.push_back(n);
                }
            }
        }
        return out;
    }

    Ends repeat(int index, int pos, int end)
    {
        const Node &node = arena[size_t(index)];
        const int child = node.children[0];
        const int least = node.least;
        const int most = node.most;
        const bool commas = node.commas;
        Ends out;
        if (least == 0)
            out.push_back(pos);
        Ends current{pos};
        Ends reached{pos};
        for (int k = 1; k <= most && !current.isEmpty(); ++k) {
            Ends next;
            for (const int p : current) {
                int q = p;
                if (commas && k > 1) {
                    if (!isToken(q, end, CssTokenType::Comma))
                        continue;
                    ++q;
                }
                for (const int e : match(child, q, end)) {
                    // A repetition that reads nothing only helps to reach the least count.
                    if (e > p || k <= least)
                        addEnd(next, e);
                }
            }
            if (k >= least) {
                for (const int e : next)
                    addEnd(out, e);
            }
            // Positions reached before lead nowhere new, once the least count is met.
            Ends fresh;
            for (const int e : next) {
                if (k < least || insertNew(reached, e))
                    fresh.push_back(e);
            }
            current = fresh; // copied, as in sequence()
        }
        return out;
    }

    Verdict run(int root, QStringView source, const ComponentValues &cv)
    {
        if (root < 0)
            return Verdict::Unknown;
        if (cv.tooBig || cv.substituted)
            return Verdict::Unknown;
        text = source;
        values = &cv;
        memo.clear();
        unknown = false;
        depth = 0;
        const int end = cv.first + cv.count;
        // A CSS-wide keyword alone is a value of every property.
        if (cv.count == 1 && cv.items[size_t(cv.first)].kind == Component::Token
            && cv.items[size_t(cv.first)].token.type == CssTokenType::Ident && isCssWide(cv.items[size_t(cv.first)].token))
            return Verdict::Valid;
        const Ends ends = match(root, cv.first, end);
        values = nullptr;
        if (hasEnd(ends, end))
            return Verdict::Valid;
        return unknown ? Verdict::Unknown : Verdict::Invalid;
    }
};

ValueMatcher::ValueMatcher(SyntaxSource source) : d(std::make_unique<Impl>())
{
    d->source = std::move(source);
}

ValueMatcher::~ValueMatcher() = default;

ValueMatcher::Verdict ValueMatcher::matchProperty(QStringView property, QStringView text, qsizetype from, qsizetype to)
{
    // Sheets set the same few values over and over.
    QString key;
    key.reserve(property.size() + 1 + (to - from));
    key += property;
    key += u'\x1f';
    key += text.sliced(from, to - from);
    const auto known = d->verdicts.constFind(key);
    if (known != d->verdicts.constEnd())
        return *known;
    const QString name = property.toString();
    const int root = d->resolve(d->properties, name, d->source.property);
    const ComponentValues cv = ReadComponentValues(text, from, to);
    const Verdict verdict = cv.broken ? Verdict::Unknown : d->run(root, text, cv);
    if (d->verdicts.size() > 50000)
        d->verdicts.clear();
    d->verdicts.insert(key, verdict);
    return verdict;
}

ValueMatcher::Verdict ValueMatcher::matchSyntax(QStringView syntax, QStringView value)
{
    const int root = d->load(syntax.toString());
    const ComponentValues cv = ReadComponentValues(value, 0, value.size());
    return cv.broken ? Verdict::Unknown : d->run(root, value, cv);
}

} // namespace sheetsmith
