#include "dialogs/busyscope.h"

#include <QApplication>
#include <QLabel>

namespace sheetsmith {

BusyScope::BusyScope(QLabel *panel, const QString &message) : m_panel(panel), m_message(message)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_panel) {
        m_before = m_panel->text();
        m_panel->setText(message);
        // Painted now: the event loop does not run again until the work is done.
        m_panel->repaint();
    }
}

BusyScope::~BusyScope()
{
    // What the work itself said in the panel (a check's summary) stays.
    if (m_panel && m_panel->text() == m_message)
        m_panel->setText(m_before);
    QApplication::restoreOverrideCursor();
}

} // namespace sheetsmith
