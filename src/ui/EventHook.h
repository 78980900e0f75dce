#pragma once

#include <QObject>

#include <functional>

class QEvent;

namespace quillory {

// Watches one object's events with a function, so a handler can look at a control's events
// without a subclass of the control. Owned by the watched object; the function returns true to
// keep the event from the object.
class EventHook final : public QObject {
public:
    EventHook(QObject* watched, std::function<bool(QEvent*)> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(QEvent*)> m_handler;
};

} // namespace quillory
