#pragma once

#include <QObject>

class QWidget;

namespace quillory {

// What the application's event stream says to one window, seen before any control acts: a key
// pressed in the window (once, at the control with the focus, or at the window itself when no
// control can have it), and the quit that is about to close every window.
class WindowEvents final : public QObject {
    Q_OBJECT
public:
    explicit WindowEvents(QWidget& window);
    ~WindowEvents() override;
    WindowEvents(const WindowEvents&) = delete;
    WindowEvents& operator=(const WindowEvents&) = delete;

signals:
    // `at` is the control with the focus, or the window. Repeats of a held key are reported too.
    void keyPressed(QObject* at, int key, Qt::KeyboardModifiers modifiers, bool autoRepeat);
    void quitting();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
};

} // namespace quillory
