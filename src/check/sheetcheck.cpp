#include "check/sheetcheck.h"

#include "check/valuegrammar.h"

#include <QHash>

#include <algorithm>
#include <limits>

namespace sheetsmith {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c.unicode() >= 0x80;
}

constexpr qsizetype kLongestName = 30;

// The edit distance of two short names (at most kLongestName), a swap of two neighbours
// counting one.
int editDistance(QStringView a, QStringView b)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    int rows[3][kLongestName + 1];
    int *before2 = rows[0];
    int *before = rows[1];
    int *row = rows[2];
    for (qsizetype j = 0; j <= m; ++j)
        before[j] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        row[0] = int(i);
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            row[j] = std::min({before[j] + 1, row[j - 1] + 1, before[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                row[j] = std::min(row[j], before2[j - 2] + 1);
        }
        int *spare = before2;
        before2 = before;
        before = row;
        row = spare;
    }
    return before[m];
}

// The CSS1 property nearest to a name that is none of them, within two edits; empty
// when none is that near. Sheets use the same few unknown names over and over, so the
// answers are kept (per thread: a check may run off the window's thread).
QString nearestProperty(const QString &name)
{
    if (name.size() > kLongestName)
        return QString();
    thread_local QHash<QString, QString> known;
    const auto it = known.constFind(name);
    if (it != known.constEnd())
        return *it;
    QString best;
    int bestDistance = 3;
    for (const QString &candidate : Css1PropertyNames()) {
        if (std::abs(candidate.size() - name.size()) >= bestDistance)
            continue;
        const int d = editDistance(name, candidate);
        if (d < bestDistance) {
            bestDistance = d;
            best = candidate;
        }
    }
    if (known.size() > 10000)
        known.clear();
    known.insert(name, best);
    return best;
}

// Reads one top-level statement after another and records their problems.
class Checker
{
public:
    Checker(QStringView text, std::vector<Problem> &out) : m_text(text), m_out(out) {}

    // Reads the statement that starts at `at` (blanks before it included) and answers
    // where it ends.
    qsizetype statement(qsizetype at);
    // The same, its problems put in text order (they are found in the order of reading,
    // and an error of a block's brace is found after what the block holds). A statement
    // keeps only the problems inside it: a block that ends where the next rule begins
    // has read into that rule, which finds what stands there for itself.
    qsizetype ordered(qsizetype at)
    {
        const std::size_t start = m_out.size();
        const qsizetype end = statement(at);
        const auto mine = m_out.begin() + qsizetype(start);
        m_out.erase(std::remove_if(mine, m_out.end(), [end](const Problem &p) { return p.offset >= end; }), m_out.end());
        std::stable_sort(mine, m_out.end(), [](const Problem &a, const Problem &b) { return a.offset < b.offset; });
        return end;
    }

private:
    void add(qsizetype offset, qsizetype length, CheckMessage message, const QString &a = QString(),
             const QString &b = QString(), QString fix = QString())
    {
        const CheckRule rule = RuleOf(message);
        m_out.push_back({offset, length, InfoOf(rule).kind, rule, MessageText(message, a, b), std::move(fix)});
    }

    // Past a comment that starts at `at`; at the end of the text when it is never closed
    // (said once, as an error).
    qsizetype comment(qsizetype at);
    // Past a string that starts at `at`. A string ends at its quote; one that meets the
    // end of its line is an error and ends there.
    qsizetype string(qsizetype at);
    // Past the string or comment that starts at i, if one does: answers whether it did.
    bool skipQuoted(qsizetype &i)
    {
        const QChar c = m_text[i];
        if (c == u'"' || c == u'\'') {
            i = string(i);
            return true;
        }
        if (c == u'/' && i + 1 < m_text.size() && m_text[i + 1] == u'*') {
            i = comment(i);
            return true;
        }
        return false;
    }
    qsizetype atRule(qsizetype at);
    // The rule whose selector starts at `at`: answers its end.
    qsizetype rule(qsizetype at);
    // The declarations of a block whose "{" stands at `open`: answers the offset just
    // past its "}", or where the next rule starts when the "}" is missing.
    qsizetype block(qsizetype open);
    void declaration(qsizetype from, qsizetype to, QStringList &seen, int &count, bool judge);
    void selector(qsizetype from, qsizetype to);
    // Past blanks and comments.
    qsizetype skipBlanks(qsizetype at);

    QStringView m_text;
    std::vector<Problem> &m_out;
    // How many strings were found never closed: a declaration that holds one is said
    // to be broken once, its value not judged as well.
    int m_openStrings = 0;
};

qsizetype Checker::skipBlanks(qsizetype at)
{
    const qsizetype n = m_text.size();
    while (at < n) {
        if (isBlank(m_text[at]))
            ++at;
        else if (m_text[at] == u'/' && at + 1 < n && m_text[at + 1] == u'*')
            at = comment(at);
        else
            break;
    }
    return at;
}

qsizetype Checker::comment(qsizetype at)
{
    const qsizetype end = m_text.indexOf(u"*/", at + 2);
    if (end < 0) {
        add(at, 2, CheckMessage::UnclosedComment);
        return m_text.size();
    }
    return end + 2;
}

qsizetype Checker::string(qsizetype at)
{
    const QChar quote = m_text[at];
    const qsizetype n = m_text.size();
    qsizetype i = at + 1;
    while (i < n) {
        const QChar c = m_text[i];
        if (c == quote)
            return i + 1;
        if (c == u'\\' && i + 1 < n) {
            i += 2;
            continue;
        }
        if (c == u'\n' || c == u'\r')
            break;
        ++i;
    }
    add(at, i - at, CheckMessage::UnclosedString);
    ++m_openStrings;
    return i;
}

qsizetype Checker::statement(qsizetype at)
{
    const qsizetype n = m_text.size();
    while (at < n && isBlank(m_text[at]))
        ++at;
    if (at >= n)
        return n;
    const QChar c = m_text[at];
    if (c == u'/' && at + 1 < n && m_text[at + 1] == u'*')
        return comment(at);
    // The markers that hide a style element's text from old browsers stand for nothing.
    if (m_text.mid(at).startsWith(u"<!--"))
        return at + 4;
    if (m_text.mid(at).startsWith(u"-->"))
        return at + 3;
    if (c == u'}') {
        add(at, 1, CheckMessage::StrayBrace);
        return at + 1;
    }
    if (c == u'@')
        return atRule(at);
    return rule(at);
}

qsizetype Checker::atRule(qsizetype at)
{
    const qsizetype n = m_text.size();
    qsizetype i = at + 1;
    while (i < n && isNameChar(m_text[i]))
        ++i;
    const QString name = m_text.mid(at, i - at).toString().toLower();
    const bool import = name == QLatin1String("@import");
    if (!import)
        add(at, i - at, CheckMessage::AtRuleNotCss1, m_text.mid(at, i - at).toString());
    // Up to its ";" or its block.
    while (i < n) {
        if (skipQuoted(i))
            continue;
        const QChar c = m_text[i];
        if (c == u';')
            return i + 1;
        if (c == u'}')
            return i; // the "}" of an enclosing block, or a stray one said by itself
        if (c == u'{')
            break;
        ++i;
    }
    if (i >= n)
        return n;
    const qsizetype open = i;
    // A block of rules (@media and the like) is read rule by rule; any other block is
    // passed over as a unit, its braces kept in balance.
    if (name == QLatin1String("@media") || name == QLatin1String("@supports") || name == QLatin1String("@document")) {
        qsizetype j = open + 1;
        while (true) {
            j = skipBlanks(j);
            if (j >= n) {
                add(open, 1, CheckMessage::UnclosedBlock);
                return n;
            }
            if (m_text[j] == u'}')
                return j + 1;
            j = statement(j);
        }
    }
    int depth = 0;
    for (i = open; i < n;) {
        if (skipQuoted(i))
            continue;
        const QChar c = m_text[i++];
        if (c == u'{')
            ++depth;
        else if (c == u'}' && --depth == 0)
            return i;
    }
    add(open, 1, CheckMessage::UnclosedBlock);
    return n;
}

qsizetype Checker::rule(qsizetype at)
{
    const qsizetype n = m_text.size();
    qsizetype i = at;
    while (i < n) {
        if (skipQuoted(i))
            continue;
        const QChar c = m_text[i];
        if (c == u'{')
            break;
        if (c == u'}') {
            // A selector that meets a "}" first: the "}" closes nothing.
            add(at, i - at, CheckMessage::SelectorWithoutBlock);
            return i;
        }
        ++i;
    }
    qsizetype selectorEnd = i;
    while (selectorEnd > at && isBlank(m_text[selectorEnd - 1]))
        --selectorEnd;
    if (i >= n) {
        add(at, selectorEnd - at, CheckMessage::SelectorWithoutBlock);
        return n;
    }
    if (selectorEnd == at)
        add(i, 1, CheckMessage::BlockWithoutSelector);
    else
        selector(at, selectorEnd);
    return block(i);
}

void Checker::selector(qsizetype from, qsizetype to)
{
    static const QStringList pseudo{QStringLiteral("link"), QStringLiteral("visited"), QStringLiteral("active"),
                                    QStringLiteral("first-line"), QStringLiteral("first-letter")};
    const auto note = [this](qsizetype at, qsizetype length) {
        add(at, length, CheckMessage::SelectorNotCss1, m_text.mid(at, length).toString());
    };
    for (qsizetype i = from; i < to; ++i) {
        const QChar c = m_text[i];
        if (c == u'/' && i + 1 < to && m_text[i + 1] == u'*') {
            i = comment(i) - 1;
        } else if (c == u'"' || c == u'\'') {
            i = string(i) - 1;
        } else if (c == u'\\') {
            ++i;
        } else if (c == u'>' || c == u'+' || c == u'~' || c == u'*') {
            note(i, 1);
        } else if (c == u'[') {
            const qsizetype close = m_text.indexOf(u']', i);
            const qsizetype end = close < 0 || close >= to ? to : close + 1;
            note(i, end - i);
            i = end - 1;
        } else if (c == u':') {
            if (i + 1 < to && m_text[i + 1] == u':') {
                note(i, 2);
                ++i;
                continue;
            }
            qsizetype j = i + 1;
            while (j < to && isNameChar(m_text[j]))
                ++j;
            if (!pseudo.contains(m_text.mid(i + 1, j - i - 1).toString().toLower()))
                note(i, j - i);
            i = j - 1;
        }
    }
}

qsizetype Checker::block(qsizetype open)
{
    const qsizetype n = m_text.size();
    QStringList seen;
    int count = 0;
    qsizetype start = open + 1;
    qsizetype i = start;
    int parens = 0;
    int openStrings = m_openStrings;
    // Each declaration is judged unless it holds a string never closed.
    const auto judged = [&](qsizetype to) {
        declaration(start, to, seen, count, openStrings == m_openStrings);
        openStrings = m_openStrings;
    };
    while (i < n) {
        const QChar c = m_text[i];
        if (c == u'"' || c == u'\'') {
            i = string(i);
            continue;
        }
        if (c == u'/' && i + 1 < n && m_text[i + 1] == u'*') {
            const qsizetype end = comment(i);
            if (end >= n && !m_text.mid(i + 2).contains(u"*/"))
                return n; // said once: for the comment, not for the block as well
            i = end;
            continue;
        }
        if (c == u'(') {
            ++parens;
        } else if (c == u')') {
            parens = qMax(0, parens - 1);
        } else if (c == u';' && parens == 0) {
            judged(i);
            start = i + 1;
        } else if (c == u'}') {
            judged(i);
            if (count == 0)
                add(open, 1, CheckMessage::EmptyRule);
            return i + 1;
        } else if (c == u'{') {
            // A block inside a block: the "}" before the next rule is missing. That rule
            // starts after the last ";" (or the "{" of this block) and the blanks and
            // comments after it, which stay with this block: so what made this block end
            // here lies in the next statement alone, and a recheck that starts one
            // statement before an edit reads it again.
            add(open, 1, CheckMessage::UnclosedBlock);
            return skipBlanks(start);
        }
        ++i;
    }
    judged(n);
    add(open, 1, CheckMessage::UnclosedBlock);
    return n;
}

void Checker::declaration(qsizetype from, qsizetype to, QStringList &seen, int &count, bool judge)
{
    // The declaration with its comments made blanks, so that offsets stay.
    QString text = m_text.mid(from, to - from).toString();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype close = text.indexOf(c, i + 1);
            i = close < 0 ? text.size() : close;
        } else if (c == u'/' && i + 1 < text.size() && text[i + 1] == u'*') {
            const qsizetype close = text.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype end = close < 0 ? text.size() : close + 2;
            for (qsizetype j = i; j < end; ++j)
                text[j] = u' ';
            i = end - 1;
        }
    }
    qsizetype first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    qsizetype last = text.size();
    while (last > first && isBlank(text[last - 1]))
        --last;
    if (first == last)
        return;
    ++count;
    const qsizetype colon = text.indexOf(u':', first);
    if (colon < 0 || colon >= last) {
        add(from + first, last - first, CheckMessage::NoColon);
        return;
    }
    qsizetype nameEnd = colon;
    while (nameEnd > first && isBlank(text[nameEnd - 1]))
        --nameEnd;
    const QString shown = text.mid(first, nameEnd - first);
    const QString name = shown.toLower();
    qsizetype valueStart = colon + 1;
    while (valueStart < last && isBlank(text[valueStart]))
        ++valueStart;
    // "!important" may follow any value.
    qsizetype valueEnd = last;
    const qsizetype bang = text.lastIndexOf(u'!', last - 1);
    if (bang >= valueStart) {
        qsizetype k = bang + 1;
        while (k < last && isBlank(text[k]))
            ++k;
        if (QStringView(text).mid(k, last - k).compare(QLatin1String("important"), Qt::CaseInsensitive) == 0) {
            valueEnd = bang;
            while (valueEnd > valueStart && isBlank(text[valueEnd - 1]))
                --valueEnd;
        }
    }
    if (!IsCss1Property(name)) {
        const QString near = nearestProperty(name);
        add(from + first, nameEnd - first, near.isEmpty() ? CheckMessage::UnknownProperty : CheckMessage::UnknownPropertyNear,
            shown, near, near);
        return;
    }
    // (A property CSS1 does not know may be one that takes an empty value.)
    if (valueEnd <= valueStart) {
        add(from + first, last - first, CheckMessage::NoValue, shown);
        return;
    }
    if (seen.contains(name))
        add(from + first, nameEnd - first, CheckMessage::SetTwice, name);
    else
        seen << name;
    if (!judge)
        return;
    const QStringView value = QStringView(text).mid(valueStart, valueEnd - valueStart);
    const ValueJudgement judgement = JudgeCss1Value(name, value);
    for (const ValueFault &fault : judgement.faults) {
        const QStringView faulty = value.mid(fault.offset, fault.length);
        add(from + valueStart + fault.offset, fault.length,
            fault.kind == ValueFault::BadHexColour ? CheckMessage::BadHexColour : CheckMessage::BadRgb,
            faulty.toString());
    }
    if (judgement.faults.isEmpty() && !judgement.allowed) {
        add(from + valueStart, valueEnd - valueStart, CheckMessage::Css1Disallows, value.toString().simplified(), name);
    }
}

} // namespace

std::vector<Problem> CheckSheet(QStringView text, CheckLevel)
{
    std::vector<Problem> problems;
    Checker checker(text, problems);
    for (qsizetype at = 0; at < text.size();)
        at = checker.ordered(at);
    return problems;
}

void SheetCheck::clear()
{
    m_ends.clear();
    m_problems.clear();
}

SheetCheck::Splice SheetCheck::checkAll(QStringView text)
{
    const std::size_t before = m_problems.size();
    clear();
    Checker checker(text, m_problems);
    for (qsizetype at = 0; at < text.size();) {
        at = checker.ordered(at);
        m_ends.push_back(at);
    }
    return {0, text.size(), 0, before, m_problems.size()};
}

SheetCheck::Splice SheetCheck::recheck(QStringView text, const EditedRange &edited)
{
    if (!edited.any)
        return {};
    if (m_ends.empty())
        return checkAll(text);
    // The statement before the first that holds a changed character: where a statement
    // ends may depend on what follows it (a "}" or the next rule's "{").
    const auto firstIt = std::upper_bound(m_ends.begin(), m_ends.end(), edited.from);
    const std::size_t first = firstIt == m_ends.begin() ? 0 : std::size_t(firstIt - m_ends.begin()) - 1;
    const qsizetype begin = first == 0 ? 0 : m_ends[first - 1];

    std::vector<qsizetype> ends;
    std::vector<Problem> found;
    Checker checker(text, found);
    qsizetype at = begin;
    std::size_t last = m_ends.size(); // the old statement the new ones end with; size: none
    while (at < text.size()) {
        at = checker.ordered(at);
        ends.push_back(at);
        if (at >= edited.to) {
            const qsizetype old = at - edited.delta;
            const auto same = std::lower_bound(m_ends.begin() + qsizetype(first), m_ends.end(), old);
            if (same != m_ends.end() && *same == old && at < text.size()) {
                last = std::size_t(same - m_ends.begin());
                break;
            }
        }
    }
    const qsizetype oldEnd = last < m_ends.size() ? m_ends[last] : std::numeric_limits<qsizetype>::max();

    // The problems of the statements checked again give way to the new ones; those after
    // them move with the text.
    const auto from = std::lower_bound(m_problems.begin(), m_problems.end(), begin,
                                       [](const Problem &p, qsizetype offset) { return p.offset < offset; });
    const auto to = std::lower_bound(from, m_problems.end(), oldEnd,
                                     [](const Problem &p, qsizetype offset) { return p.offset < offset; });
    for (auto it = to; it != m_problems.end(); ++it)
        it->offset += edited.delta;
    const Splice splice{begin, at, std::size_t(from - m_problems.begin()), std::size_t(to - from), found.size()};
    const auto inserted = m_problems.erase(from, to);
    m_problems.insert(inserted, std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));

    const std::size_t tail = last < m_ends.size() ? last + 1 : m_ends.size();
    for (std::size_t i = tail; i < m_ends.size(); ++i)
        m_ends[i] += edited.delta;
    m_ends.erase(m_ends.begin() + qsizetype(first), m_ends.begin() + qsizetype(tail));
    m_ends.insert(m_ends.begin() + qsizetype(first), ends.begin(), ends.end());
    if (text.isEmpty())
        m_ends.clear();
    return splice;
}

QString ProblemSummary(const std::vector<Problem> &problems)
{
    int counts[3] = {0, 0, 0};
    for (const Problem &p : problems)
        ++counts[int(p.kind)];
    QStringList parts;
    const char *names[3][2] = {{"error", "errors"}, {"warning", "warnings"}, {"note", "notes"}};
    for (int k = 0; k < 3; ++k) {
        if (counts[k] > 0)
            parts << QStringLiteral("%1 %2").arg(counts[k]).arg(QLatin1String(names[k][counts[k] == 1 ? 0 : 1]));
    }
    return parts.isEmpty() ? QStringLiteral("No problems") : parts.join(QStringLiteral(", "));
}

} // namespace sheetsmith
