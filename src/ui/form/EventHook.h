#pragma once

#include <QObject>

#include <functional>

class QEvent;

namespace quillory {

// An event filter made of a function, for a handler's concern to watch a control's events in its
// own file. The function returns true to stop the event there.
class EventHook final : public QObject {
    Q_OBJECT
public:
    using Filter = std::function<bool(QEvent* event)>;

    // Watches `target` for as long as both live; owned by `target`.
    static void install(QObject* target, Filter filter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EventHook(QObject* target, Filter filter);

    Filter m_filter;
};

} // namespace quillory
