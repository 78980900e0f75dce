#include "ui/EventHook.h"

namespace quillory {

EventHook::EventHook(QObject* watched, std::function<bool(QEvent*)> handler)
    : QObject(watched), m_handler(std::move(handler))
{
    watched->installEventFilter(this);
}

bool EventHook::eventFilter(QObject* watched, QEvent* event)
{
    return watched == parent() && m_handler(event);
}

} // namespace quillory
