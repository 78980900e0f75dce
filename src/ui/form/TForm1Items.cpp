#include "ui/form/TForm1.h"

#include "ui/form/PageSession.h"

#include "core/store/Project.h"

#include "core/StuffUnit.h"
#include "core/store/FolderNames.h"
#include "core/store/ItemFiles.h"
#include "core/store/ProjectStore.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"
#include "ui/editor/FileDropTarget.h"
#include "ui/form/HelpTexts.h"
#include "ui/lists/ItemList.h"

#include <QAction>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QToolButton>

#include <memory>

namespace quillory {

namespace fs = std::filesystem;

void TForm1::connectItemHandlers()
{
    const auto on = [this](QObject* control, auto handler) {
        const auto run = [this, control, handler] { guarded([&] { (this->*handler)(control); }); };
        if (auto* action = qobject_cast<QAction*>(control))
            connect(action, &QAction::triggered, this, run);
        else if (auto* button = qobject_cast<QToolButton*>(control))
            connect(button, &QToolButton::clicked, this, run);
    };
    on(AddItem2, &TForm1::AddItem1Click);
    on(SpeedButton3, &TForm1::AddItem1Click);
    on(DeleteItem2, &TForm1::DeleteItem1Click);
    on(SpeedButton4, &TForm1::DeleteItem1Click);
    on(RenameItem1, &TForm1::RenameItem1Click);
    on(SpeedButton5, &TForm1::RenameItem1Click);
    on(SaveItem1, &TForm1::SaveItem1Click);
    on(AddItemfromFile1, &TForm1::AddItemfromFile1Click);

    if (auto* list = qobject_cast<ItemList*>(LB))
        list->setDragHandlers([this](QObject* source) { return LBDragOver(source); },
                              [this](QPoint at) { guarded([&] { LBDragDrop(at.x(), at.y()); }); });
    DropFileTarget = new FileDropTarget(RE, [this](const std::vector<fs::path>& paths, Qt::DropAction& effect) {
        guarded([&] { DropFileTargetDrop(paths, effect); });
    });
}

bool TForm1::refuseItemName(const std::u16string& name)
{
    const std::size_t nameMax = std::min(store::NameMaxOf(bufferDir()), store::NameMaxOf(fs::path(ProjectPath)));
    if (const auto problem = store::ItemNameProblem(name, nameMax)) {
        ShowInfo(*problem);
        return true;
    }
    return false;
}

std::function<bool(std::u16string_view)> TForm1::itemNameTaken() const
{
    auto buffer = std::make_shared<const store::FolderNames>(bufferDir());
    auto project = std::make_shared<const store::FolderNames>(fs::path(ProjectPath));
    return [entries = listEntries(), buffer, project](std::u16string_view name) {
        return store::FindItem(entries, name).has_value() || buffer->contains(name) || project->contains(name);
    };
}

bool TForm1::keepShownPage()
{
    if (const std::error_code ec = writeShownPage()) {
        reportFileError(bufferFile(CurrentItem), ec);
        return false;
    }
    return true;
}

void TForm1::appendItem(const std::u16string& name)
{
    {
        const QSignalBlocker block(LB);
        LB->addItem(toQ(name));
    }
    selectRow(LB->count() - 1);
    LBClick();
}

fs::path TForm1::itemFileFolder()
{
    if (LastFileDir.empty())
        LastFileDir = PathBeforeSlash(ProjectPath);
    return fs::path(LastFileDir);
}

void TForm1::AddItem1Click(QObject* Sender)
{
    if (helpBranch(Sender, {SpeedButton3, AddItem2}, help::kAddItem))
        return;
    const std::u16string name = PromptForText(u"Add new item.", u"Item name.", u"");
    if (name == kPromptCancelled || name.empty())
        return;
    if (refuseItemName(name))
        return;
    if (itemNameTaken()(name)) {
        ShowInfo(u"Item already exists..");
        return;
    }
    // The page shown is written first, so a failure there leaves everything as it was.
    if (!keepShownPage())
        return;
    // Empty, the new file holds nothing a power cut could lose: it is not synced.
    fs::path failed;
    if (const std::error_code ec = m_project->createItem(name, {}, store::Flush::Skip, failed)) {
        reportFileError(failed, ec);
        return;
    }
    appendItem(name);
    Edited = true;
    FixIt(kStampAndRebuild);
}

bool TForm1::removeItemFiles(const std::u16string& name)
{
    // Into the trash goes the project file; an item that was never saved has only its buffer
    // file, which goes there instead. Where there is no trash, the file is deleted.
    const fs::path saved = fs::path(ProjectPath) / fs::path(name);
    const fs::path buffered = bufferFile(name);
    std::error_code ec;
    const bool wasSaved = fs::is_regular_file(fs::symlink_status(saved, ec));
    const fs::path& keep = wasSaved ? saved : buffered;
    if (!m_desktop.moveToTrash(keep) && !fs::remove(keep, ec) && ec) {
        reportFileError(keep, ec);
        return false;
    }
    if (wasSaved && !fs::remove(buffered, ec) && ec) {
        reportFileError(buffered, ec);
        return false;
    }
    m_project->forget(name);
    return true;
}

void TForm1::DeleteItem1Click(QObject* Sender)
{
    if (helpBranch(Sender, {SpeedButton4, DeleteItem2}, help::kDeleteItem))
        return;
    if (LB->count() < 2) {
        ShowInfo(u"Cannot delete the last item.");
        return;
    }
    // With no page shown there is no current item to delete.
    const std::u16string named = CurrentItem;
    if (!m_page->loaded())
        return;
    if (m_desktop.confirm(u"Delete this Item?\n\n" + named, false) != Answer::Yes)
        return;
    // A reminder or a hotkey may have switched items while the question was open: what goes is
    // the item the question named, never the one shown since.
    const auto entries = listEntries();
    const auto it = std::find(entries.begin(), entries.end(), named);
    if (it == entries.end() || entries.size() < 2)
        return;
    if (!removeItemFiles(named))
        return;
    {
        const QSignalBlocker block(LB);
        delete LB->takeItem(static_cast<int>(it - entries.begin()));
    }
    if (named == CurrentItem) {
        // The page shown belonged to the deleted item and is dropped with it: the first entry's
        // page is shown, or the next that loads.
        std::vector<store::FileFailure> unreadable;
        showFirstLoadable(fromQ(LB->item(0)->text()), bufferDir(), unreadable);
        reportFailures(bufferDir(), unreadable);
    } else {
        selectEntry(CurrentItem);
    }
    FixIt(kStampAndRebuild);
    Edited = true;
}

void TForm1::RenameItem1Click(QObject* Sender)
{
    if (helpBranch(Sender, {}, help::kRenameItem))
        return;
    const QListWidgetItem* selected = LB->currentItem();
    if (selected == nullptr || !selected->isSelected() || !m_page->loaded())
        return;
    const std::u16string named = CurrentItem;
    const std::u16string name = PromptForText(u"Rename Item..", u"Give this item a new name.", named);
    if (name == kPromptCancelled || name.empty())
        return;
    if (store::FindItem(listEntries(), name)) {
        ShowInfo(u"Item name is already in use.");
        return;
    }
    if (refuseItemName(name))
        return;
    if (itemNameTaken()(name)) {
        ShowInfo(u"Item name is already in use.");
        return;
    }
    // As with Delete Item, the prompt named the item that is renamed.
    const auto entries = listEntries();
    const auto it = std::find(entries.begin(), entries.end(), named);
    if (it == entries.end())
        return;
    fs::path failed;
    if (const std::error_code ec = m_project->renameItem(named, name, failed)) {
        reportFileError(failed, ec);
        return;
    }
    LB->item(static_cast<int>(it - entries.begin()))->setText(toQ(name));
    if (named == CurrentItem)
        CurrentItem = name;
}

} // namespace quillory
