#include "platform/WindowState.h"

#ifdef QUILLORY_HAVE_XCB
#include "platform/x11/X11WindowState.h"
#endif

#include <QGuiApplication>
#include <QWidget>

namespace quillory {

namespace {

class RememberedWindowState final : public WindowState {
public:
    void setStayOnTop(bool on) override { m_on = on; }
    [[nodiscard]] bool stayOnTop() const override { return m_on; }

private:
    bool m_on = false;
};

} // namespace

std::unique_ptr<WindowState> WindowState::create(QWidget& window)
{
#ifdef QUILLORY_HAVE_XCB
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            if (xcb_connection_t* connection = x11->connection())
                return std::make_unique<X11WindowState>(window, connection);
#endif
    (void)window;
    return std::make_unique<RememberedWindowState>();
}

} // namespace quillory
