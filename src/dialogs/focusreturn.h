#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace sheetsmith {

// Gives the keyboard focus back to where it was when a window or panel was shown,
// once it is hidden again while holding the focus, so that closing a dialog, a panel
// or a value editor leaves the author where they were, not wherever Qt's tab order
// happens to lead. A focus that has already moved elsewhere is left alone.
class FocusReturn : public QObject
{
    Q_OBJECT

public:
    // Watches widget for as long as it lives; the watcher is its child.
    static void watch(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FocusReturn(QWidget *widget);

    QPointer<QWidget> m_before;
};

} // namespace sheetsmith
