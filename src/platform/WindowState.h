#pragma once

#include <memory>

class QWidget;

namespace quillory {

// A top-level window's stay-on-top attribute, switched in place: never through Qt's window flag,
// which makes Qt recreate the native window at its next show (a new id, back on the first
// desktop). Lives as long as the window.
class WindowState {
public:
    WindowState() = default;
    WindowState(const WindowState&) = delete;
    WindowState& operator=(const WindowState&) = delete;
    virtual ~WindowState() = default;

    // Through the window manager on X11; elsewhere only remembered, as Wayland compositors give
    // clients no say over stacking.
    [[nodiscard]] static std::unique_ptr<WindowState> create(QWidget& window);

    virtual void setStayOnTop(bool on) = 0;
    [[nodiscard]] virtual bool stayOnTop() const = 0;
};

} // namespace quillory
