#pragma once

#include <QObject>

#include <filesystem>
#include <functional>
#include <vector>

class QMimeData;
class QWidget;

namespace quillory {

// Takes files dropped from the desktop onto a widget (onto its viewport, for a scroll area) and
// hands their paths to a handler, which may change the drop action reported back to the source.
// Drags that carry no local file are left to the widget.
class FileDropTarget final : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const std::vector<std::filesystem::path>& paths, Qt::DropAction& effect)>;

    // Owned by `target`.
    FileDropTarget(QWidget* target, Handler onDrop);

    // The local files a drag carries, in its order.
    [[nodiscard]] static std::vector<std::filesystem::path> localFiles(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler m_onDrop;
};

} // namespace quillory
