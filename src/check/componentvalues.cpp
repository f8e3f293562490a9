#include "check/valuematcher.h"

namespace sheetsmith {

namespace {

using Component = ComponentValues::Component;

// Values longer or deeper than real ones are not judged: the matcher's cost grows with
// the square of a value's length at worst.
constexpr int kLongestValue = 2000;
constexpr int kDeepestValue = 32;

// Functions whose value is only known when the page is shown.
bool isSubstitution(QStringView text, const CssToken &function)
{
    if (text.sliced(function.offset).startsWith(u"--"))
        return true; // a custom function
    for (const char *name : {"var", "env", "attr", "if", "inherit"}) {
        if (CssTokenIs(text, function, name))
            return true;
    }
    return false;
}

} // namespace

ComponentValues ReadComponentValues(QStringView text, qsizetype from, qsizetype to)
{
    ComponentValues out;
    // The content of each open function or block, gathered until it closes; then laid
    // out as one run of items, so that every level's items stand side by side.
    struct Open
    {
        Component component;
        std::vector<Component> content;
    };
    std::vector<Open> open(1);
    const QStringView value = text.first(to);
    CssLexer lexer(value, from);
    int total = 0;
    const auto close = [&](std::vector<Component> &content, int &first, int &count) {
        first = int(out.items.size());
        count = int(content.size());
        out.items.insert(out.items.end(), content.begin(), content.end());
    };
    while (!lexer.atEnd()) {
        const CssToken t = lexer.next();
        switch (t.type) {
        case CssTokenType::Whitespace:
        case CssTokenType::Comment:
            continue;
        case CssTokenType::Function:
        case CssTokenType::OpenParen: {
            if (open.size() > size_t(kDeepestValue)) {
                out.tooBig = true;
                return out;
            }
            Open o;
            o.component.kind = t.type == CssTokenType::Function ? Component::Function : Component::Block;
            o.component.token = t;
            if (t.type == CssTokenType::Function && isSubstitution(value, t))
                out.substituted = true;
            open.push_back(std::move(o));
            continue;
        }
        case CssTokenType::CloseParen:
            if (open.size() > 1) {
                Open done = std::move(open.back());
                open.pop_back();
                close(done.content, done.component.first, done.component.count);
                open.back().content.push_back(done.component);
                continue;
            }
            out.broken = true;
            break;
        default:
            break;
        }
        if ((t.type == CssTokenType::String || t.type == CssTokenType::Url) && t.unclosed)
            out.broken = true;
        if (t.type == CssTokenType::BadUrl || t.type == CssTokenType::OpenCurly || t.type == CssTokenType::CloseCurly
            || t.type == CssTokenType::Semicolon)
            out.broken = true;
        if (++total > kLongestValue) {
            out.tooBig = true;
            return out;
        }
        Component c;
        c.token = t;
        open.back().content.push_back(c);
    }
    if (open.size() > 1)
        out.broken = true; // a function or bracket never closed
    while (open.size() > 1) {
        Open done = std::move(open.back());
        open.pop_back();
        close(done.content, done.component.first, done.component.count);
        open.back().content.push_back(done.component);
    }
    close(open.front().content, out.first, out.count);
    return out;
}

} // namespace sheetsmith
