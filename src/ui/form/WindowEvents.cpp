#include "ui/form/WindowEvents.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace quillory {

WindowEvents::WindowEvents(QWidget& window) : m_window(window)
{
    qApp->installEventFilter(this);
}

WindowEvents::~WindowEvents()
{
    qApp->removeEventFilter(this);
}

bool WindowEvents::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Quit && watched == qApp) {
        emit quitting();
    } else if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // Each key reaches the filter once per widget up the chain; take it at the focus widget,
        // or at the window itself when no control can have the focus (help mode disables them).
        const QWidget* focus = QApplication::focusWidget();
        if (widget && widget->window() == &m_window && (widget == focus || (focus == nullptr && widget == &m_window))) {
            const auto* key = static_cast<QKeyEvent*>(event);
            emit keyPressed(watched, key->key(), key->modifiers(), key->isAutoRepeat());
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quillory
