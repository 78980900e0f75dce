#pragma once

#include "support/FormFixture.h"

#include "core/store/OrderStamp.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace quillory::test {

// A project of the items A, B and C (in that order) with A shown, a trash for deleted files, and
// drops onto the editor as the desktop delivers them.
class ItemsFixture : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        desktop.trash = home / "Trash";
        project = makeProject("P.qlyp.dir", {"A", "B", "C"});
        writeConfig({.projectPath = project.u16string(), .currentItem = u"A"});
        start();
    }

    // Drops the files onto the editor with `action`; returns the action reported back to the source
    // (IgnoreAction when the drop was not taken at all).
    Qt::DropAction drop(const std::vector<fs::path>& files, Qt::DropAction action = Qt::CopyAction)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const auto& f : files)
            urls.append(QUrl::fromLocalFile(QString::fromStdString(f.string())));
        data.setUrls(urls);
        QWidget* target = form->RE->viewport();
        const QPointF at(10, 10);
        const Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(at.toPoint(), possible, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setDropAction(action);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return Qt::IgnoreAction;
        QDropEvent dropped(at, possible, &data, Qt::LeftButton, Qt::NoModifier);
        dropped.setDropAction(action);
        QApplication::sendEvent(target, &dropped);
        return dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction;
    }

    // Buffer files in the order their stamps give.
    [[nodiscard]] std::vector<std::string> stampedOrder() const
    {
        std::vector<std::pair<fs::file_time_type, std::string>> files;
        for (const auto& entry : fs::directory_iterator(bufferDir()))
            files.emplace_back(fs::last_write_time(entry.path()), entry.path().filename().string());
        std::sort(files.begin(), files.end());
        std::vector<std::string> names;
        for (const auto& f : files)
            names.push_back(f.second);
        return names;
    }

    fs::path project;
};

} // namespace quillory::test
