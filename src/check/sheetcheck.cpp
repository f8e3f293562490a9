#include "check/sheetcheck.h"

#include "check/checker.h"
#include "check/cssdefinitions.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace sheetsmith {

using checking::Checker;
using checking::CurrentCss;

namespace {

// The current CSS a check judges against: the program's own, kept by each thread, or
// other definitions for the length of one check.
struct CurrentFor
{
    explicit CurrentFor(const CssDefinitions *definitions)
    {
        if (!definitions || definitions == &CssDefinitions::builtIn()) {
            use = CurrentCss::builtIn();
        } else if (!definitions->isEmpty()) {
            own = std::make_unique<CurrentCss>(*definitions);
            use = own.get();
        }
    }

    std::unique_ptr<CurrentCss> own;
    CurrentCss *use = nullptr;
};

std::vector<Problem> checkWhole(QStringView text, CheckLevel level, const CssDefinitions *definitions)
{
    std::vector<Problem> problems;
    CurrentFor current(definitions);
    Checker checker(text, problems, level, current.use);
    for (qsizetype at = 0; at < text.size();)
        at = checker.ordered(at);
    return problems;
}

} // namespace

std::vector<Problem> CheckSheet(QStringView text, CheckLevel level)
{
    return checkWhole(text, level, nullptr);
}

std::vector<Problem> CheckSheet(QStringView text, CheckLevel level, const CssDefinitions &definitions)
{
    return checkWhole(text, level, &definitions);
}

QString CheckDataProblem()
{
    const CssDefinitions &definitions = CssDefinitions::builtIn();
    if (!definitions.isEmpty())
        return QString();
    return QStringLiteral("The definitions of current CSS could not be read (%1): sheets are checked against CSS "
                          "level 1 alone")
        .arg(definitions.error());
}

SheetCheck::SheetCheck(CheckLevel level) : m_level(level), m_definitions(nullptr) {}

SheetCheck::SheetCheck(CheckLevel level, const CssDefinitions &definitions)
    : m_level(level), m_definitions(&definitions)
{
}

void SheetCheck::clear()
{
    m_ends.clear();
    m_reaches.clear();
    m_problems.clear();
}

SheetCheck::Splice SheetCheck::checkAll(QStringView text, const std::atomic_bool *stop)
{
    const std::size_t before = m_problems.size();
    clear();
    CurrentFor current(m_definitions);
    Checker checker(text, m_problems, m_level, current.use);
    for (qsizetype at = 0; at < text.size() && !(stop && *stop);) {
        at = checker.ordered(at);
        m_ends.push_back(at);
        m_reaches.push_back(checker.reach());
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
    std::size_t first = firstIt == m_ends.begin() ? 0 : std::size_t(firstIt - m_ends.begin()) - 1;
    // And any earlier one whose reading looked ahead past where the edits begin. Such
    // statements are few (blocks with a "}" missing), but may stand anywhere before.
    for (std::size_t i = 0; i < first; ++i) {
        if (m_reaches[i] > edited.from) {
            first = i;
            break;
        }
    }
    const qsizetype begin = first == 0 ? 0 : m_ends[first - 1];

    std::vector<qsizetype> ends;
    std::vector<qsizetype> reaches;
    std::vector<Problem> found;
    CurrentFor current(m_definitions);
    Checker checker(text, found, m_level, current.use);
    qsizetype at = begin;
    std::size_t last = m_ends.size(); // the old statement the new ones end with; size: none
    while (at < text.size()) {
        at = checker.ordered(at);
        ends.push_back(at);
        reaches.push_back(checker.reach());
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
    for (std::size_t i = tail; i < m_ends.size(); ++i) {
        m_ends[i] += edited.delta;
        m_reaches[i] += edited.delta;
    }
    m_ends.erase(m_ends.begin() + qsizetype(first), m_ends.begin() + qsizetype(tail));
    m_ends.insert(m_ends.begin() + qsizetype(first), ends.begin(), ends.end());
    m_reaches.erase(m_reaches.begin() + qsizetype(first), m_reaches.begin() + qsizetype(tail));
    m_reaches.insert(m_reaches.begin() + qsizetype(first), reaches.begin(), reaches.end());
    if (text.isEmpty()) {
        m_ends.clear();
        m_reaches.clear();
    }
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
