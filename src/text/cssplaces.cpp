#include "text/cssplaces.h"

#include <algorithm>
#include <vector>

namespace sheetsmith {

namespace {

// How far back and forward of the range asked about the text may be read.
constexpr qsizetype kReach = 256 * 1024;

bool endsStatement(const CssToken &t)
{
    return t.type == CssTokenType::OpenCurly || t.type == CssTokenType::CloseCurly
           || t.type == CssTokenType::Semicolon;
}

bool isBlank(const CssToken &t)
{
    return t.type == CssTokenType::Whitespace || t.type == CssTokenType::Comment || t.type == CssTokenType::CDO
           || t.type == CssTokenType::CDC;
}

// Where the statement that holds `from` begins: just after the last "{", "}" or ";"
// before it, or the text's start; -1 when that lies out of reach.
qsizetype statementStart(QStringView text, const CommentMarkerPositions &markers, qsizetype from)
{
    qsizetype before = from;
    for (;;) {
        const qsizetype start = CssSafeStart(text, markers, before, from - kReach, kCssViewUrlReach);
        if (start < 0)
            return -1;
        qsizetype found = start == 0 ? 0 : -1;
        CssLexer lexer(text, start);
        while (lexer.position() < from) {
            const CssToken t = lexer.next();
            if (endsStatement(t))
                found = t.end();
        }
        if (found >= 0)
            return found;
        // Read again from twice as far back.
        before = std::max<qsizetype>(0, start - 1 - (from - start));
    }
}

// One statement being read: its tokens of interest wait until its end says what it is.
class Statement
{
public:
    Statement(QStringView text, const std::function<void(const CssToken &, const CssPlace &)> &visit)
        : m_text(text), m_visit(visit)
    {
    }

    bool hasPending() const { return !m_pending.empty(); }

    // A token that does not end the statement; `keep` when it is to be visited.
    void take(const CssToken &t, bool keep)
    {
        Role role = Role::Other;
        if (!isBlank(t)) {
            if (m_preludeStart < 0)
                m_preludeStart = t.offset;
            switch (m_state) {
            case State::Start:
                if (t.type == CssTokenType::Ident) {
                    m_state = State::Name;
                    m_name = t;
                    role = Role::Name;
                } else {
                    m_state = t.type == CssTokenType::AtKeyword ? State::AtRule : State::Other;
                }
                break;
            case State::Name:
                m_state = t.type == CssTokenType::Colon ? State::Value : State::Other;
                break;
            case State::Value:
                role = Role::Value;
                break;
            case State::AtRule:
            case State::Other:
                break;
            }
            if (t.type == CssTokenType::Comma && m_depth == 0)
                m_commas.push_back(t.offset);
            if (t.type == CssTokenType::Function || t.type == CssTokenType::OpenParen
                || t.type == CssTokenType::OpenSquare)
                ++m_depth;
            else if ((t.type == CssTokenType::CloseParen || t.type == CssTokenType::CloseSquare) && m_depth > 0)
                --m_depth;
        }
        if (keep)
            m_pending.push_back({t, role});
    }

    // The statement ends: with the "{" at `brace` when it is >= 0, otherwise as a
    // declaration does; `known` is false when its end lies out of reach.
    void finish(qsizetype brace, bool known)
    {
        const bool declaration = known && brace < 0 && m_state == State::Value;
        const bool selector = known && brace >= 0 && m_state != State::AtRule && m_state != State::Start;
        const QString property = declaration ? CssTokenValue(m_text, m_name).toLower() : QString();
        for (const Pending &p : m_pending) {
            CssPlace place;
            if (declaration && p.role != Role::Other) {
                place.kind = p.role == Role::Name ? CssPlace::Property : CssPlace::Value;
                place.property = property;
            } else if (selector && !isBlank(p.token)) {
                place.kind = CssPlace::Selector;
                memberOf(p.token.offset, brace, place);
            }
            m_visit(p.token, place);
        }
        m_pending.clear();
        m_commas.clear();
        m_state = State::Start;
        m_depth = 0;
        m_preludeStart = -1;
    }

private:
    enum class State { Start, Name, Value, AtRule, Other };
    enum class Role { Name, Value, Other };
    struct Pending
    {
        CssToken token;
        Role role;
    };

    void memberOf(qsizetype offset, qsizetype brace, CssPlace &place) const
    {
        qsizetype from = m_preludeStart;
        qsizetype to = brace;
        for (const qsizetype comma : m_commas) {
            if (comma < offset)
                from = comma + 1;
            else {
                to = comma;
                break;
            }
        }
        while (from < to && m_text[from].isSpace())
            ++from;
        while (to > from && m_text[to - 1].isSpace())
            --to;
        place.selectorFrom = from;
        place.selectorTo = to;
    }

    QStringView m_text;
    const std::function<void(const CssToken &, const CssPlace &)> &m_visit;
    State m_state = State::Start;
    CssToken m_name;
    int m_depth = 0;
    qsizetype m_preludeStart = -1;
    std::vector<qsizetype> m_commas;
    std::vector<Pending> m_pending;
};

} // namespace

void ForEachCssPlace(QStringView text, const CommentMarkerPositions &markers, qsizetype from, qsizetype to,
                     const std::function<bool(const CssToken &)> &wanted,
                     const std::function<void(const CssToken &, const CssPlace &)> &visit)
{
    from = std::clamp<qsizetype>(from, 0, text.size());
    to = std::clamp<qsizetype>(to, from, text.size());
    const qsizetype start = statementStart(text, markers, from);
    if (start < 0)
        return;
    const qsizetype limit = to + std::min(kReach, text.size() - to);
    Statement statement(text, visit);
    CssLexer lexer(text, start);
    for (;;) {
        const CssToken t = lexer.next();
        if (t.length == 0) {
            statement.finish(-1, true);
            return;
        }
        if (t.offset >= to && !statement.hasPending())
            return;
        if (t.offset >= limit) {
            statement.finish(-1, false);
            return;
        }
        const bool keep = t.offset >= from && t.offset < to && wanted(t);
        if (endsStatement(t)) {
            statement.finish(t.type == CssTokenType::OpenCurly ? t.offset : -1, true);
            if (keep)
                visit(t, CssPlace{});
        } else {
            statement.take(t, keep);
        }
    }
}

CssTokenPlace CssPlaceAt(QStringView text, const CommentMarkerPositions &markers, qsizetype offset)
{
    CssTokenPlace found;
    found.token.type = CssTokenType::Whitespace;
    found.token.offset = std::clamp<qsizetype>(offset, 0, text.size());
    if (offset < 0 || offset >= text.size())
        return found;
    const qsizetype start = CssSafeStart(text, markers, offset, offset - kReach, kCssViewUrlReach);
    if (start < 0)
        return found;
    CssLexer lexer(text, start);
    CssToken t;
    do {
        t = lexer.next();
    } while (t.length > 0 && t.end() <= offset);
    if (t.length == 0)
        return found;
    found.token = t;
    if (isBlank(t))
        return found;
    ForEachCssPlace(
        text, markers, t.offset, t.offset + 1, [&t](const CssToken &candidate) { return candidate == t; },
        [&found](const CssToken &, const CssPlace &place) { found.place = place; });
    return found;
}

} // namespace sheetsmith
