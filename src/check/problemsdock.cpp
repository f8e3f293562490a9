#include "check/problemsdock.h"

#include "check/checkschedule.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QDockWidget>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMainWindow>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace sheetsmith {

namespace {

// Enter on a row jumps as a double-click does.
class EnterJumps : public QObject
{
public:
    EnterJumps(QTreeView *list, ProblemsDock *dock) : QObject(list), m_list(list), m_dock(dock) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_list->currentIndex().isValid()) {
                m_dock->jumpTo(m_list->currentIndex());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTreeView *m_list;
    ProblemsDock *m_dock;
};

// In the order of ProblemKind.
struct Toggle
{
    const char *name;
    const char *caption;
    QLatin1String key;
    bool shownByDefault;
};
constexpr Toggle Toggles[] = {
    {"ChkErrors", "Errors", keys::window::ProblemsErrors, true},
    {"ChkWarnings", "Warnings", keys::window::ProblemsWarnings, true},
    {"ChkNotes", "Notes", keys::window::ProblemsNotes, false},
};

} // namespace

ProblemsDock::ProblemsDock(QMainWindow &window, CheckSchedule &schedule, SettingsStore &settings)
    : QObject(&window), m_schedule(schedule), m_settings(settings)
{
    m_dock = new QDockWidget(QStringLiteral("Problems"), &window);
    m_dock->setObjectName(QStringLiteral("DockProblems"));
    auto *body = new QWidget(m_dock);
    auto *header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    for (std::size_t k = 0; k < m_toggles.size(); ++k) {
        const Toggle &t = Toggles[k];
        auto *button = new QToolButton(body);
        button->setObjectName(QLatin1String(t.name));
        button->setCheckable(true);
        button->setAutoRaise(true);
        const QString kind = QString::fromLatin1(t.caption).toLower();
        button->setAccessibleName(QStringLiteral("Show ") + kind);
        button->setToolTip(QStringLiteral("Show or hide the %1 in the list").arg(kind));
        const QString stored = m_settings.read(keys::window::Section, t.key);
        const bool shown = stored == QLatin1String("1") || (stored != QLatin1String("0") && t.shownByDefault);
        button->setChecked(shown);
        m_filter.setShown(ProblemKind(k), shown);
        connect(button, &QToolButton::toggled, this, [this, k](bool on) { setShown(ProblemKind(k), on); });
        header->addWidget(button);
        m_toggles[k] = button;
    }
    header->addStretch(1);

    m_list = new QTreeView(body);
    m_list->setObjectName(QStringLiteral("LstProblems"));
    m_list->setAccessibleName(QStringLiteral("Problems"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setModel(&m_filter);
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 60);
    m_list->setColumnWidth(1, 80);
    m_list->installEventFilter(new EnterJumps(m_list, this));
    connect(m_list, &QTreeView::doubleClicked, this, &ProblemsDock::jumpTo);

    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(header);
    layout->addWidget(m_list, 1);
    m_dock->setWidget(body);
    window.addDockWidget(Qt::BottomDockWidgetArea, m_dock);

    // Shown or hidden as it was.
    m_dock->setVisible(m_settings.read(keys::window::Section, keys::window::Problems) == QLatin1String("1"));
    QAction *toggle = m_dock->toggleViewAction();
    toggle->setObjectName(QStringLiteral("mProblems"));
    connect(toggle, &QAction::toggled, this, [this](bool on) {
        m_settings.write(keys::window::Section, keys::window::Problems, on ? QStringLiteral("1") : QStringLiteral("0"));
    });

    connect(&m_model, &ProblemsModel::countsChanged, this, &ProblemsDock::showCounts);
    connect(&m_schedule, &CheckSchedule::problemsReplaced, this,
            [this] { m_model.reset(m_schedule.problems(), m_schedule.lines()); });
    connect(&m_schedule, &CheckSchedule::problemsSpliced, this,
            [this](const SheetCheck::Splice &splice, bool linesMoved) {
                m_model.follow(m_schedule.problems(), m_schedule.lines(), splice, linesMoved);
            });
    m_model.reset(m_schedule.problems(), m_schedule.lines());
}

void ProblemsDock::jumpTo(const QModelIndex &row)
{
    const int problem = m_filter.problemOf(row);
    if (problem >= 0)
        m_schedule.jumpTo(std::size_t(problem));
}

void ProblemsDock::showCounts()
{
    for (std::size_t k = 0; k < m_toggles.size(); ++k)
        m_toggles[k]->setText(QStringLiteral("%1 %2").arg(QLatin1String(Toggles[k].caption)).arg(m_model.count(ProblemKind(k))));
}

void ProblemsDock::setShown(ProblemKind kind, bool shown)
{
    m_filter.setShown(kind, shown);
    m_settings.write(keys::window::Section, Toggles[std::size_t(kind)].key,
                     shown ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace sheetsmith
