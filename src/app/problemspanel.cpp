#include "app/problemspanel.h"

#include "editor/richedit.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QDockWidget>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QThread>
#include <QTreeView>

namespace sheetsmith {

// ---- The rows ----

int ProblemsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ProblemsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant ProblemsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    const Problem &problem = (*m_problems)[size_t(index.row())];
    switch (index.column()) {
    case 0:
        return (*m_lines)[size_t(index.row())];
    case 1:
        return ProblemKindName(problem.kind);
    default:
        return problem.message;
    }
}

QVariant ProblemsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    static const char *const names[] = {"Line", "Kind", "Problem"};
    return section >= 0 && section < 3 ? QString::fromLatin1(names[section]) : QVariant();
}

void ProblemsModel::reset(const std::vector<Problem> &problems, const std::vector<int> &lines)
{
    beginResetModel();
    m_problems = &problems;
    m_lines = &lines;
    m_rows = int(problems.size());
    endResetModel();
}

void ProblemsModel::follow(const std::vector<Problem> &problems, const std::vector<int> &lines,
                           const SheetCheck::Splice &splice, bool linesMoved)
{
    m_problems = &problems;
    m_lines = &lines;
    const int first = int(splice.first);
    if (splice.removed > 0) {
        beginRemoveRows(QModelIndex(), first, first + int(splice.removed) - 1);
        m_rows -= int(splice.removed);
        endRemoveRows();
    }
    if (splice.inserted > 0) {
        beginInsertRows(QModelIndex(), first, first + int(splice.inserted) - 1);
        m_rows += int(splice.inserted);
        endInsertRows();
    }
    const int after = first + int(splice.inserted);
    if (linesMoved && after < m_rows)
        emit dataChanged(index(after, 0), index(m_rows - 1, 0));
}

// ---- The panel ----

namespace {

// Enter on a row jumps as a double-click does.
class EnterJumps : public QObject
{
public:
    EnterJumps(QTreeView *list, ProblemsPanel *panel) : QObject(list), m_list(list), m_panel(panel) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_list->currentIndex().isValid()) {
                m_panel->jumpTo(m_list->currentIndex().row());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTreeView *m_list;
    ProblemsPanel *m_panel;
};

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

} // namespace

ProblemsPanel::ProblemsPanel(QMainWindow &window, RichEdit &editor, SettingsStore &settings, QLabel *status)
    : QObject(&window), m_editor(editor), m_settings(settings), m_status(status)
{
    m_dock = new QDockWidget(QStringLiteral("Problems"), &window);
    m_dock->setObjectName(QStringLiteral("DockProblems"));
    m_list = new QTreeView(m_dock);
    m_list->setObjectName(QStringLiteral("LstProblems"));
    m_list->setAccessibleName(QStringLiteral("Problems"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setModel(&m_model);
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 60);
    m_list->setColumnWidth(1, 80);
    m_list->installEventFilter(new EnterJumps(m_list, this));
    connect(m_list, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) { jumpTo(index.row()); });
    m_dock->setWidget(m_list);
    window.addDockWidget(Qt::BottomDockWidgetArea, m_dock);

    // Shown or hidden as it was.
    m_dock->setVisible(m_settings.read(keys::window::Section, keys::window::Problems) == QLatin1String("1"));
    QAction *toggle = m_dock->toggleViewAction();
    toggle->setObjectName(QStringLiteral("mProblems"));
    connect(toggle, &QAction::toggled, this, [this](bool on) {
        m_settings.write(keys::window::Section, keys::window::Problems, on ? QStringLiteral("1") : QStringLiteral("0"));
    });

    connect(&m_editor, &RichEdit::textEdited, this, &ProblemsPanel::onTextEdited);
}

ProblemsPanel::~ProblemsPanel()
{
    if (m_worker) {
        ++m_generation;
        m_worker->wait();
    }
}

namespace {

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
        marks.push_back({start, end - start, markKind(p.kind), p.message});
    }
    lineCount = line + breaksIn(at, text.size()) + 1;
}

} // namespace

// What a whole check gives (off the window's thread for a long text): the problems,
// their lines and their marks, all for the text it was given.
struct ProblemsPanel::Whole
{
    SheetCheck check;
    std::vector<int> lines;
    std::vector<ProblemMarks::Mark> marks;
    int lineCount = 1;
    qsizetype qtLength = 0;

    void run(QStringView text)
    {
        check.checkAll(text);
        placeProblems(text, check.problems(), lines, marks, lineCount);
        qtLength = text.size() - (lineCount - 1);
    }
};

void ProblemsPanel::onTextEdited(qsizetype from, qsizetype removed, qsizetype added)
{
    m_edited.add({from, removed, added});
}

void ProblemsPanel::applySettings()
{
    check();
}

void ProblemsPanel::turnOff()
{
    ++m_generation; // a check running now is not wanted
    m_check.clear();
    m_lines.clear();
    m_model.reset(m_check.problems(), m_lines);
    m_editor.setProblemMarks({});
    m_checked = false;
}

void ProblemsPanel::check()
{
    // Read each time, as the other editor settings are: a change takes effect at once.
    if (m_settings.read(keys::editor::Section, keys::editor::Check) == QLatin1String("0")) {
        if (m_checked)
            turnOff();
        return;
    }
    if (m_worker)
        return; // the edits gather until the check running now has ended
    const TextModel &text = m_editor.model();
    if (m_checked && !m_edited.any)
        return;
    // A new text, or edits over most of it, are checked whole; a long one off the
    // window's thread, so that opening a big sheet shows it without waiting.
    const bool whole = !m_checked || (m_edited.to - m_edited.from) * 2 > text.length();
    if (whole && text.length() >= kBackgroundLength) {
        startWhole(text.text());
        return;
    }
    if (whole) {
        Whole result;
        result.run(text.text());
        m_edited = {};
        install(result);
        return;
    }
    const SheetCheck::Splice splice = m_check.recheck(text.text(), m_edited);
    const int lineDelta = text.lineCount() - m_checkedLineCount;
    m_edited = {};
    m_checked = true;
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
        marks.push_back({start, text.toQtPosition(p.offset + p.length) - start, markKind(p.kind), p.message});
    }
    m_lines.insert(m_lines.begin() + qsizetype(splice.first), lines.begin(), lines.end());
    if (lineDelta != 0) {
        for (std::size_t i = splice.first + splice.inserted; i < m_lines.size(); ++i)
            m_lines[i] += lineDelta;
    }
    m_model.follow(problems, m_lines, splice, lineDelta != 0);
    m_editor.replaceProblemMarks(text.toQtPosition(splice.begin), text.toQtPosition(splice.end), std::move(marks));
    showSummary();
}

void ProblemsPanel::startWhole(const QString &text)
{
    m_edited = {};
    const quint64 generation = ++m_generation;
    auto result = std::make_shared<Whole>();
    // The text is shared, not copied: the editor's next edit makes its own.
    // A child of the panel, so that it goes with it whatever becomes of the event loop;
    // the panel waits for it before it goes.
    m_worker = QThread::create([result, text] { result->run(text); });
    m_worker->setParent(this);
    connect(m_worker, &QThread::finished, this, [this, result, generation] { wholeDone(result, generation); });
    m_worker->start(QThread::LowPriority);
}

void ProblemsPanel::wholeDone(const std::shared_ptr<Whole> &result, quint64 generation)
{
    m_worker->deleteLater();
    m_worker = nullptr;
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
        check();
    }
    emit checkedInBackground();
}

void ProblemsPanel::install(Whole &result)
{
    m_check = std::move(result.check);
    m_lines = std::move(result.lines);
    m_checked = true;
    m_checkedLineCount = result.lineCount;
    m_model.reset(m_check.problems(), m_lines);
    m_editor.setProblemMarks(std::move(result.marks));
    showSummary();
}

void ProblemsPanel::showSummary()
{
    if (m_status)
        m_status->setText(ProblemSummary(m_check.problems()));
}

qsizetype ProblemsPanel::currentOffset(const Problem &problem) const
{
    if (!m_edited.any || problem.offset < m_edited.from)
        return problem.offset;
    if (problem.offset >= m_edited.to - m_edited.delta)
        return problem.offset + m_edited.delta;
    return m_edited.from;
}

const Problem *ProblemsPanel::fixAt(qsizetype offset) const
{
    for (const Problem &p : m_check.problems()) {
        const qsizetype at = currentOffset(p);
        if (at > offset)
            break;
        if (!p.fix.isEmpty() && offset <= at + p.length)
            return &p;
    }
    return nullptr;
}

void ProblemsPanel::jumpTo(int row)
{
    const std::vector<Problem> &problems = m_check.problems();
    if (row < 0 || size_t(row) >= problems.size())
        return;
    m_editor.setSelStart(currentOffset(problems[size_t(row)]));
    m_editor.ensureCursorVisible();
    m_editor.setFocus(Qt::OtherFocusReason);
}

} // namespace sheetsmith
