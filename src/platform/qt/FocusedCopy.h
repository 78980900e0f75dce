#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QMimeData;
class QWidget;

namespace quillory {

// A copy on a Wayland desktop that gives the clipboard only to the focused client and offers no
// data control (GNOME): a small window of ours takes the focus with the activation token the
// desktop passed with the hotkey, sets the clipboard and closes. `done` learns whether the copy
// happened; it did not when the desktop refuses the focus within a second. Deletes itself.
class FocusedCopy final : public QObject {
public:
    FocusedCopy(std::unique_ptr<QMimeData> data, const QString& activationToken, std::function<void(bool)> done);
    ~FocusedCopy() override;

private:
    void finish(bool copied);

    std::unique_ptr<QMimeData> m_data;
    std::function<void(bool)> m_done;
    QPointer<QWidget> m_window;
};

} // namespace quillory
