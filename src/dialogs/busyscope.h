#pragma once

#include <QPointer>
#include <QString>

class QLabel;

namespace sheetsmith {

// Marks an operation that may take a while on a large sheet (opening, Format Sheet,
// Replace All, a paste of megabytes): while it lives the pointer is the wait cursor
// and the status panel says what is going on ("Formatting..."), painted at once; then
// the cursor and the panel's text are as they were, unless the work put a message of its
// own there. Scopes nest.
class BusyScope
{
public:
    // panel may be null (no status bar to speak in).
    BusyScope(QLabel *panel, const QString &message);
    ~BusyScope();
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    QPointer<QLabel> m_panel;
    QString m_before;
    QString m_message;
};

} // namespace sheetsmith
