#include "app/pickedrule.h"

#include "app/carettracker.h"
#include "editor/richedit.h"
#include "preview/frmpreview.h"

#include <QLabel>

namespace sheetsmith {

PickedRule::PickedRule(RichEdit &editor, const CaretTracker &tracker, QLabel *status, FrmPreview &preview)
    : QObject(&preview)
    , m_editor(editor)
    , m_tracker(tracker)
    , m_status(status)
{
    preview.setPickSelectors([this] { return selectors(); });
    connect(&preview, &FrmPreview::elementPicked, this, &PickedRule::elementPicked);
}

PickedRule::~PickedRule() = default;

QStringList PickedRule::selectors()
{
    QStringList rules;
    for (const ItmClass &block : m_tracker.blocks())
        rules << block.ID();
    m_candidates = PickCandidatesFor(rules);
    return m_candidates.selectors;
}

void PickedRule::elementPicked(const QList<int> &matched)
{
    const PickOutcome outcome = WinningRule(m_candidates, matched);
    if (outcome.rule < 0 || outcome.rule >= m_tracker.blocks().Count()) {
        m_status->setText(QStringLiteral("No rule of this sheet matches this element at rest"));
        return;
    }
    // An ordinary caret move: caret tracking follows with the tree and the values.
    // The caret goes just inside the block, after its "{", since a caret before the
    // selector counts as outside every block and would show no values.
    const ItmClass &block = m_tracker.blocks().Item(outcome.rule + 1);
    const QString &text = m_editor.model().text();
    const qsizetype brace = text.indexOf(u'{', block.Begins());
    m_editor.setSelStart(brace >= 0 && brace < block.Ends() ? brace + 1 : block.Begins() + 1);
    m_editor.ensureCursorVisible();
    m_editor.window()->activateWindow();
    m_editor.setFocus(Qt::OtherFocusReason);
    m_status->setText(outcome.matchedRules == 1
                          ? QStringLiteral("1 rule matches this element at rest")
                          : QStringLiteral("%1 rules match this element at rest; the caret is in the one that wins")
                                .arg(outcome.matchedRules));
}

} // namespace sheetsmith
