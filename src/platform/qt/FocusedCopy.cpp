#include "platform/qt/FocusedCopy.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QWindow>

namespace quillory {

namespace {
constexpr int kFocusWaitMs = 1000;
}

FocusedCopy::FocusedCopy(std::unique_ptr<QMimeData> data, const QString& activationToken,
                         std::function<void(bool)> done)
    : m_data(std::move(data)), m_done(std::move(done))
{
    auto* window = new QLabel(QStringLiteral("Copying to the clipboard\u2026"));
    window->setObjectName(QStringLiteral("FocusedCopy"));
    window->setWindowTitle(QStringLiteral("Quillory"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setMargin(12);
    m_window = window;

    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focus) {
        if (focus && m_window && focus == m_window->windowHandle()) {
            QGuiApplication::clipboard()->setMimeData(m_data.release());
            finish(true);
        }
    });
    QTimer::singleShot(kFocusWaitMs, this, [this] { finish(false); });

    // Qt's xdg-shell integration activates with this token at the next activation request.
    qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
    window->show();
    if (QWindow* handle = window->windowHandle())
        handle->requestActivate();
}

FocusedCopy::~FocusedCopy()
{
    if (m_window)
        m_window->close();
}

void FocusedCopy::finish(bool copied)
{
    if (!m_done)
        return;
    const auto done = std::exchange(m_done, {});
    if (m_window)
        m_window->close();
    deleteLater();
    done(copied);
}

} // namespace quillory
