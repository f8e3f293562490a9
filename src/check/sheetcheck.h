#pragma once

#include "check/checkrules.h"
#include "text/editedrange.h"

#include <QString>
#include <QStringView>

#include <atomic>
#include <vector>

namespace sheetsmith {

// One thing wrong with a sheet: the span of the text it is about (offsets into the text
// checked), how bad it is, its rule, and what to tell the author. `fix` is what the span
// should read instead when there is one sure fix (a misspelt property's name), else
// empty.
struct Problem
{
    qsizetype offset = 0;
    qsizetype length = 0;
    ProblemKind kind = ProblemKind::Error;
    CheckRule rule = CheckRule::Syntax;
    QString message;
    QString fix;

    bool operator==(const Problem &other) const = default;
};

class CssDefinitions;

// The problems of a whole sheet at a level, in text order, judged against the
// program's own definitions of current CSS.
std::vector<Problem> CheckSheet(QStringView text, CheckLevel level = CheckLevel::Css1);
// The same against other definitions; empty ones make a check against CSS level 1
// alone, as when the program's own cannot be read.
std::vector<Problem> CheckSheet(QStringView text, CheckLevel level, const CssDefinitions &definitions);

// Empty when the program's definitions of current CSS could be read; else what to tell
// the author, once: that sheets are checked against CSS level 1 alone, and why.
QString CheckDataProblem();

// The problems of a sheet, kept up to date as it is edited.
//
// A sheet is checked as a row of top-level statements (a rule, an at-rule, a comment, a
// stray "}"), each judged on its own text: a rule's problems never depend on another
// rule. So after an edit only the statements it touched are checked again: from the
// statement holding the first changed character, on until a statement ends where one
// ended before the edit and past the edit; the problems of the statements after it only
// move with the text.
class SheetCheck
{
public:
    explicit SheetCheck(CheckLevel level = CheckLevel::Css1);
    // Checks against these definitions, which must outlive the check.
    SheetCheck(CheckLevel level, const CssDefinitions &definitions);

    CheckLevel level() const { return m_level; }

    // What a check changed: the stretch of the text checked again (offsets into the new
    // text), and the problems that gave way there to new ones (those after them moved
    // with the text).
    struct Splice
    {
        qsizetype begin = 0;
        qsizetype end = 0;
        std::size_t first = 0;
        std::size_t removed = 0;
        std::size_t inserted = 0;
    };

    // With `stop`, the check ends at the first statement it finds set, its problems
    // then only those found so far.
    Splice checkAll(QStringView text, const std::atomic_bool *stop = nullptr);
    // Follows the edits gathered in `edited` since the last check; `text` is the new text.
    Splice recheck(QStringView text, const EditedRange &edited);
    void clear();

    const std::vector<Problem> &problems() const { return m_problems; }

private:
    CheckLevel m_level;
    const CssDefinitions *m_definitions;
    // Where each statement ends, in order; the last one ends at the end of the text.
    std::vector<qsizetype> m_ends;
    // How far each statement's reading looked, at least to its end.
    std::vector<qsizetype> m_reaches;
    std::vector<Problem> m_problems;
};

// How many errors, warnings and notes: "No problems", or e.g. "2 errors, 5 warnings".
QString ProblemSummary(const std::vector<Problem> &problems);

} // namespace sheetsmith
