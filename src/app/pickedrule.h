#pragma once

#include "text/selectorrules.h"

#include <QList>
#include <QObject>

class QLabel;

namespace sheetsmith {

class CaretTracker;
class FrmPreview;
class RichEdit;

// The preview's pick, brought back to the sheet. When picking starts the preview is
// given the selectors of the sheet's rules as they stand then; the element picked
// answers with the ones it matches, at rest (the states the click put it in, hovered,
// pressed, focused, do not count). The caret then goes into the rule that wins, the
// editor's window comes forward with the focus in the sheet, and status says how many
// rules matched.
class PickedRule : public QObject
{
    Q_OBJECT

public:
    // A child of preview, so that it asks and answers for that preview only.
    PickedRule(RichEdit &editor, const CaretTracker &tracker, QLabel *status, FrmPreview &preview);
    ~PickedRule() override;

private:
    QStringList selectors();
    void elementPicked(const QList<int> &matched);

    RichEdit &m_editor;
    const CaretTracker &m_tracker;
    QLabel *m_status;
    // What the pick was asked about; the answer counts in the same list.
    PickCandidates m_candidates;
};

} // namespace sheetsmith
