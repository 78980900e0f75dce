#include "ui/form/EventHook.h"

#include <utility>

namespace quillory {

EventHook::EventHook(QObject* target, Filter filter) : QObject(target), m_filter(std::move(filter))
{
    target->installEventFilter(this);
}

void EventHook::install(QObject* target, Filter filter)
{
    new EventHook(target, std::move(filter));
}

bool EventHook::eventFilter(QObject* watched, QEvent* event)
{
    return m_filter(event) || QObject::eventFilter(watched, event);
}

} // namespace quillory
