#pragma once

#include "check/braceindex.h"
#include "check/currentcss.h"
#include "check/sheetcheck.h"
#include "text/csslexer.h"

#include <QList>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace sheetsmith::checking {

// Whether a name is one a browser engine gives its own features: "-webkit-box",
// "-moz-document", "-ms-filter", "-o-transition" (and the older engines' "-khtml-",
// "-apple-" and the e-book readers' "-epub-").
bool isVendorName(QStringView name);

// Reads one top-level statement after another and records their problems.
class Checker
{
public:
    Checker(QStringView text, std::vector<Problem> &out, CheckLevel level, CurrentCss *current)
        : m_text(text), m_out(out), m_level(level), m_current(current)
    {
    }

    // Reads the statement that starts at `at` (blanks before it included) and answers
    // where it ends, its problems put in text order (they are found in the order of
    // reading, and an error of a block's brace is found after what the block holds). A
    // statement keeps only the problems inside it: a block that ends where the next rule
    // begins has read into that rule, which finds what stands there for itself.
    qsizetype ordered(qsizetype at)
    {
        m_reach = 0;
        const std::size_t start = m_out.size();
        const qsizetype end = statement(at);
        const auto mine = m_out.begin() + qsizetype(start);
        m_out.erase(std::remove_if(mine, m_out.end(), [end](const Problem &p) { return p.offset >= end; }), m_out.end());
        std::stable_sort(mine, m_out.end(), [](const Problem &a, const Problem &b) { return a.offset < b.offset; });
        m_reach = std::max(m_reach, end);
        return end;
    }
    // How far the last statement's reading looked: past its end, where it looked ahead
    // to tell a rule inside it from a "}" missing.
    qsizetype reach() const { return m_reach; }

private:
    void add(qsizetype offset, qsizetype length, CheckMessage message, const QString &a = QString(),
             const QString &b = QString(), QString fix = QString())
    {
        const CheckRule rule = RuleOf(message);
        if (!ReportedAt(rule, m_level))
            return;
        m_out.push_back({offset, length, InfoOf(rule).kind, rule, MessageText(message, a, b), std::move(fix)});
    }

    CssToken token(qsizetype at) const { return CssLexer(m_text, at).next(); }
    QString shown(qsizetype from, qsizetype to) const { return m_text.sliced(from, to - from).toString(); }

    // A token that says something about the sheet's shape whatever it stands in: a
    // string or comment never closed. Answers false for a comment never closed, after
    // which nothing is left to read.
    bool note(const CssToken &t)
    {
        if (t.type == CssTokenType::String && t.unclosed) {
            add(t.offset, t.length, CheckMessage::UnclosedString);
            ++m_openStrings;
        } else if (t.type == CssTokenType::Comment && t.unclosed) {
            add(t.offset, 2, CheckMessage::UnclosedComment);
            return false;
        }
        return true;
    }

    qsizetype statement(qsizetype at);
    qsizetype atRule(const CssToken &keyword);
    // The rule whose selector starts at `at`: answers its end.
    qsizetype rule(qsizetype at);
    // The declarations of a block whose "{" stands at `open`: answers the offset just
    // past its "}", or where the next rule starts when the "}" is missing.
    qsizetype block(qsizetype open);
    void selector(qsizetype from, qsizetype to);
    void pseudo(const CssToken &name, qsizetype colon, bool element);

    struct Declarations
    {
        QStringList seen;
        QList<bool> plain; // for each name seen: whether its value was a plain CSS1 one
        QStringList values;
        int count = 0;
        bool customNoted = false;
    };
    void declaration(qsizetype from, qsizetype to, Declarations &state, bool judge);
    // What a value says about itself beside its property; answers whether it is a plain
    // CSS1 value.
    bool css1Value(const QString &name, QStringView value, qsizetype valueStart);
    ValueMatcher::Verdict currentVerdict(const QString &name, qsizetype from, qsizetype to)
    {
        return m_current ? m_current->matcher().matchProperty(name, m_text, from, to) : ValueMatcher::Verdict::Unknown;
    }
    bool holdsVendorName(qsizetype from, qsizetype to) const;
    void badHexColours(qsizetype from, qsizetype to);

    QStringView m_text;
    std::vector<Problem> &m_out;
    CheckLevel m_level;
    CurrentCss *m_current;
    // How many strings were found never closed: a declaration that holds one is said
    // to be broken once, its value not judged as well.
    int m_openStrings = 0;
    int m_depth = 0;
    qsizetype m_reach = 0;
    BraceIndex m_braces{m_text};
};

} // namespace sheetsmith::checking
