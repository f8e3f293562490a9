#include "check/checkschedule.h"

#include "editor/problemmarks.h"
#include "editor/richedit.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QLabel>
#include <QThread>

#include <atomic>

namespace sheetsmith {

QString ProblemToolTip(const Problem &problem)
{
    return problem.message + QStringLiteral(" [") + RuleId(problem.rule) + u']';
}

namespace {

ProblemMarks::Kind markKind(ProblemKind kind)
{
    switch (kind) {
    case ProblemKind::Error:
        return ProblemMarks::Error;
    case ProblemKind::Warning:
        return ProblemMarks::Warning;
    case ProblemKind::Note:
        break;
    }
    return ProblemMarks::Note;
}

// The lines and marks of a text's problems, read off the text itself in one pass. The
// text's breaks are CR LF, which Qt's positions count as one character.
void placeProblems(QStringView text, const std::vector<Problem> &problems, std::vector<int> &lines,
                   std::vector<ProblemMarks::Mark> &marks, int &lineCount)
{
    lines.reserve(problems.size());
    marks.reserve(problems.size());
    int line = 0;
    qsizetype at = 0;
    const auto breaksIn = [&text](qsizetype from, qsizetype to) {
        int n = 0;
        for (qsizetype i = from; i < to; ++i)
            n += text[i] == u'\n';
        return n;
    };
    for (const Problem &p : problems) {
        line += breaksIn(at, p.offset);
        at = p.offset;
        lines.push_back(line + 1);
        const qsizetype start = p.offset - line;
        const qsizetype end = p.offset + p.length - line - breaksIn(p.offset, p.offset + p.length);
        marks.push_back({start, end - start, markKind(p.kind), ProblemToolTip(p)});
    }
    lineCount = line + breaksIn(at, text.size()) + 1;
}

} // namespace

// What a whole check gives (off the window's thread for a long text): the problems,
// their lines and their marks, all for the text it was given.
struct CheckSchedule::Whole
{
    explicit Whole(CheckLevel level) : check(level) {}

    SheetCheck check;
    // Set when the result is no longer wanted: the check stops at its next statement.
    std::atomic_bool stop{false};
    std::vector<int> lines;
    std::vector<ProblemMarks::Mark> marks;
    int lineCount = 1;
    qsizetype qtLength = 0;

    void run(QStringView text)
    {
        check.checkAll(text, &stop);
        if (stop)
            return;
        placeProblems(text, check.problems(), lines, marks, lineCount);
        qtLength = text.size() - (lineCount - 1);
    }
};

CheckSchedule::CheckSchedule(RichEdit &editor, SettingsStore &settings, QLabel *status, QObject *parent)
    : QObject(parent), m_editor(editor), m_settings(settings), m_status(status)
{
    connect(&m_editor, &RichEdit::textEdited, this, &CheckSchedule::onTextEdited);
}

CheckSchedule::~CheckSchedule()
{
    if (m_worker) {
        ++m_generation;
        // Closing the window need not wait for a check of a long sheet to end.
        m_running->stop = true;
        m_worker->wait();
    }
}

void CheckSchedule::onTextEdited(qsizetype from, qsizetype removed, qsizetype added)
{
    m_edited.add({from, removed, added});
}

// Both read each time, as the other editor settings are: a change takes effect at the
// next check.
bool CheckSchedule::enabled() const
{
    return m_settings.read(keys::editor::Section, keys::editor::Check) != QLatin1String("0");
}

CheckLevel CheckSchedule::storedLevel() const
{
    return CheckLevelFromKey(m_settings.read(keys::editor::Section, keys::editor::CheckLevel));
}

void CheckSchedule::turnOff()
{
    ++m_generation; // a check running now is not wanted
    m_check.clear();
    m_lines.clear();
    m_checked = false;
    emit problemsReplaced();
    m_editor.setProblemMarks({});
}

void CheckSchedule::check()
{
    if (!enabled()) {
        if (m_checked || m_worker)
            turnOff();
        return;
    }
    if (m_worker)
        return; // the edits gather until the check running now has ended
    const TextModel &text = m_editor.model();
    const CheckLevel level = storedLevel();
    if (level != m_check.level())
        m_checked = false; // every problem may change: the sheet is checked whole
    if (m_checked && !m_edited.any)
        return;
    // A new text, or edits over most of it, are checked whole; a long one off the
    // window's thread, so that opening a big sheet shows it without waiting.
    const bool whole = !m_checked || (m_edited.to - m_edited.from) * 2 > text.length();
    if (whole && text.length() >= kBackgroundLength) {
        startWhole(text.text(), level);
        return;
    }
    if (whole) {
        Whole result(level);
        result.run(text.text());
        m_edited = {};
        install(result);
        return;
    }
    const SheetCheck::Splice splice = m_check.recheck(text.text(), m_edited);
    const int lineDelta = text.lineCount() - m_checkedLineCount;
    m_edited = {};
    m_checkedLineCount = text.lineCount();

    // The lines of the new problems; those after them move by the lines the edits added.
    const std::vector<Problem> &problems = m_check.problems();
    m_lines.erase(m_lines.begin() + qsizetype(splice.first), m_lines.begin() + qsizetype(splice.first + splice.removed));
    std::vector<int> lines;
    std::vector<ProblemMarks::Mark> marks;
    lines.reserve(splice.inserted);
    marks.reserve(splice.inserted);
    for (std::size_t i = splice.first; i < splice.first + splice.inserted; ++i) {
        const Problem &p = problems[i];
        lines.push_back(text.lineOfOffset(p.offset) + 1);
        const qsizetype start = text.toQtPosition(p.offset);
        marks.push_back({start, text.toQtPosition(p.offset + p.length) - start, markKind(p.kind), ProblemToolTip(p)});
    }
    m_lines.insert(m_lines.begin() + qsizetype(splice.first), lines.begin(), lines.end());
    if (lineDelta != 0) {
        for (std::size_t i = splice.first + splice.inserted; i < m_lines.size(); ++i)
            m_lines[i] += lineDelta;
    }
    emit problemsSpliced(splice, lineDelta != 0);
    m_editor.replaceProblemMarks(text.toQtPosition(splice.begin), text.toQtPosition(splice.end), std::move(marks));
    showSummary();
}

void CheckSchedule::startWhole(const QString &text, CheckLevel level)
{
    m_edited = {};
    const quint64 generation = ++m_generation;
    auto result = std::make_shared<Whole>(level);
    m_running = result;
    // The text is shared, not copied: the editor's next edit makes its own.
    // A child of the schedule, so that it goes with it whatever becomes of the event
    // loop; the schedule waits for it before it goes.
    m_worker = QThread::create([result, text] { result->run(text); });
    m_worker->setParent(this);
    connect(m_worker, &QThread::finished, this, [this, result, generation] { wholeDone(result, generation); });
    m_worker->start(QThread::LowPriority);
}

void CheckSchedule::wholeDone(const std::shared_ptr<Whole> &result, quint64 generation)
{
    m_worker->deleteLater();
    m_worker = nullptr;
    m_running.reset();
    if (generation != m_generation)
        return;
    install(*result);
    if (m_edited.any) {
        // The text changed meanwhile: the marks, made for the text as it was, move as the
        // editor would have moved them, and what the edits touched is checked again.
        const TextModel &text = m_editor.model();
        const qsizetype from = text.toQtPosition(m_edited.from);
        const qsizetype to = text.toQtPosition(m_edited.to);
        const qsizetype delta = text.qtLength() - result->qtLength;
        m_editor.followProblemMarks(from, to - delta - from, to - from);
    }
    // Also when the level was changed while it ran: then the sheet is checked again whole.
    if (m_edited.any || storedLevel() != m_check.level())
        check();
    emit checkedInBackground();
}

void CheckSchedule::install(Whole &result)
{
    m_check = std::move(result.check);
    m_lines = std::move(result.lines);
    m_checked = true;
    m_checkedLineCount = result.lineCount;
    emit problemsReplaced();
    m_editor.setProblemMarks(std::move(result.marks));
    showSummary();
}

void CheckSchedule::showSummary()
{
    if (!m_status)
        return;
    QString summary = ProblemSummary(m_check.problems());
    // Definitions of current CSS that cannot be read are said once, with the first
    // summary: the check goes on against CSS level 1 alone.
    if (!m_dataProblemSaid) {
        m_dataProblemSaid = true;
        const QString problem = CheckDataProblem();
        if (!problem.isEmpty())
            summary += QStringLiteral(" \u2014 ") + problem;
    }
    m_status->setText(summary);
}

qsizetype CheckSchedule::currentOffset(const Problem &problem) const
{
    if (!m_edited.any || problem.offset < m_edited.from)
        return problem.offset;
    if (problem.offset >= m_edited.to - m_edited.delta)
        return problem.offset + m_edited.delta;
    return m_edited.from;
}

std::optional<CheckSchedule::Fix> CheckSchedule::fixAt(qsizetype offset) const
{
    for (const Problem &p : m_check.problems()) {
        const qsizetype at = currentOffset(p);
        if (at > offset)
            break;
        if (!p.fix.isEmpty() && offset <= at + p.length)
            return Fix{QStringLiteral("Change to '%1'").arg(p.fix), at, p.length, p.fix};
    }
    return std::nullopt;
}

void CheckSchedule::applyFix(const Fix &fix)
{
    m_editor.setSelStart(fix.offset);
    m_editor.setSelLength(fix.length);
    m_editor.setSelText(fix.text);
}

void CheckSchedule::jumpTo(std::size_t index)
{
    const std::vector<Problem> &problems = m_check.problems();
    if (index >= problems.size())
        return;
    m_editor.setSelStart(currentOffset(problems[index]));
    m_editor.ensureCursorVisible();
    m_editor.setFocus(Qt::OtherFocusReason);
}

} // namespace sheetsmith
