#include "ui/editor/FileDropTarget.h"

#include "platform/QtText.h"

#include <QAbstractScrollArea>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace quillory {

FileDropTarget::FileDropTarget(QWidget* target, Handler onDrop) : QObject(target), m_onDrop(std::move(onDrop))
{
    auto* area = qobject_cast<QAbstractScrollArea*>(target);
    QWidget* receiver = area != nullptr ? area->viewport() : target;
    receiver->setAcceptDrops(true);
    receiver->installEventFilter(this);
}

std::vector<std::filesystem::path> FileDropTarget::localFiles(const QMimeData* data)
{
    std::vector<std::filesystem::path> files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files.push_back(pathFromQ(url.toLocalFile()));
    return files;
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (localFiles(drag->mimeData()).empty())
            break;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::vector<std::filesystem::path> files = localFiles(drop->mimeData());
        if (files.empty())
            break;
        Qt::DropAction effect = drop->dropAction();
        m_onDrop(files, effect);
        drop->setDropAction(effect);
        drop->accept();
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quillory
