#include "dialogs/focusreturn.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace sheetsmith {

FocusReturn::FocusReturn(QWidget *widget)
    : QObject(widget)
{
}

void FocusReturn::watch(QWidget *widget)
{
    widget->installEventFilter(new FocusReturn(widget)); // owned by widget
}

bool FocusReturn::eventFilter(QObject *watched, QEvent *event)
{
    // Spontaneous shows and hides come from the window system (a window minimised or
    // restored), not from the program opening or closing something.
    if (event->spontaneous() || (event->type() != QEvent::Show && event->type() != QEvent::Hide))
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    QWidget *focus = QApplication::focusWidget();
    const bool focusInside = focus && (focus == widget || widget->isAncestorOf(focus));
    if (event->type() == QEvent::Show) {
        if (!focusInside)
            m_before = focus;
        return false;
    }
    // A window hidden while active has taken the application's activation with it by
    // now, so nothing has the focus; Qt moves the focus out of a hidden panel only
    // after this event, and then to the next widget in the tab order. Either way,
    // where the focus was before is set first.
    const bool focusLost = focusInside || (widget->isWindow() && !QApplication::activeWindow());
    if (focusLost && m_before && m_before->isVisible()) {
        if (m_before->window() != widget->window())
            m_before->activateWindow();
        m_before->setFocus(Qt::OtherFocusReason);
    }
    return false;
}

} // namespace sheetsmith
