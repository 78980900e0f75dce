#include "ui/form/TForm1.h"

#include "ui/find/PageSearch.h"

#include "ui/form/PageSession.h"

#include "core/StuffUnit.h"
#include "core/store/AtomicFile.h"
#include "core/store/ListMatch.h"
#include "core/store/OrderStamp.h"
#include "core/store/ProjectStore.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"
#include "ui/editor/RichEdit.h"
#include "ui/form/ScopedFlag.h"
#include "ui/lists/ItemList.h"

#include <QListWidget>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace quillory {

namespace fs = std::filesystem;

std::error_code TForm1::writePage(const fs::path& file, store::Flush flush)
{
    return richedit::savePage(*RE, file, flush);
}

std::error_code TForm1::showPage(const std::u16string& name, const fs::path& file)
{
    if (const std::error_code ec = m_page->show(file))
        return ec;
    CurrentItem = name;
    return {};
}

void TForm1::showNoPage()
{
    m_page->showNone();
    CurrentItem.clear();
}

bool TForm1::pageChanged() const
{
    return m_page->changed();
}

std::error_code TForm1::writeShownPage(store::Flush flush)
{
    if (!m_page->loaded())
        return {};
    if (const std::error_code ec = m_page->writeIfChanged(bufferFile(CurrentItem), flush))
        return ec;
    // Written now: the pause's write would find nothing to do.
    m_pageWriteTimer->stop();
    return {};
}

bool TForm1::showFirstLoadable(const std::u16string& preferred, const fs::path& folder,
                               std::vector<store::FileFailure>& failures)
{
    std::vector<std::u16string> candidates = listEntries();
    if (const auto row = store::FindItem(candidates, preferred))
        std::rotate(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(*row),
                    candidates.begin() + static_cast<std::ptrdiff_t>(*row) + 1);
    for (const std::u16string& name : candidates) {
        if (const std::error_code ec = showPage(name, folder / fs::path(name))) {
            failures.push_back({name, ec});
            continue;
        }
        selectEntry(name);
        return true;
    }
    showNoPage();
    selectRow(-1);
    return false;
}

void TForm1::FixIt(unsigned mode)
{
    m_search->markStale(); // the list or the files' stamps may have changed
    const std::vector<std::u16string> entries = listEntries();
    const bool stamped = store::StampAll(bufferDir(), entries);
    if (mode != kStampAndRebuild)
        return;
    // Every entry a file with its stamp and no other file: the rebuild would give the list as it
    // stands, so only the selection is renewed. With thousands of items that is most of the cost.
    if (stamped && entries.size() <= store::kLastDayPosition + 1 && store::ListsExactly(bufferDir(), entries))
        selectEntry(CurrentItem);
    else
        Reload1Click();
}

void TForm1::Reload1Click()
{
    setListEntries(store::OrderedNames(bufferDir()));
    selectEntry(CurrentItem);
}

void TForm1::LBClick()
{
    const QListWidgetItem* selected = LB->currentItem();
    if (!selected || !selected->isSelected())
        return;
    const std::u16string next = fromQ(selected->text());

    if (const std::error_code ec = writeShownPage()) {
        selectEntry(CurrentItem);
        reportFileError(bufferFile(CurrentItem), ec);
        return;
    }
    FixIt(kStampOnly);

    // A page that cannot be loaded leaves the editor untouched: the item shown stays current, so
    // its page can never be written under the other name.
    if (const std::error_code ec = showPage(next, bufferFile(next))) {
        selectEntry(CurrentItem);
        reportFileError(bufferFile(next), ec);
        return;
    }
    LB->viewport()->update();

    // Stepping through the list with its keys leaves the focus there, for the next step.
    if (RE->isEnabled() && !LB->steppingByKeys())
        RE->setFocus();
    QTextCursor caret(RE->document());
    caret.movePosition(QTextCursor::End);
    RE->setTextCursor(caret);
    SetAttr();
}

void TForm1::ClearBuffer()
{
    store::ClearBuffer(bufferDir());
}

void TForm1::LoadProjectIntoBuffer(const std::u16string& folder)
{
    const store::LoadResult loaded = store::LoadProjectIntoBuffer(fs::path(folder), bufferDir());
    setListEntries(loaded.names);
    reportFailures(fs::path(folder), loaded.failures);
}

void TForm1::CreateDefaultProject()
{
    std::error_code ec;
    const fs::path folder = fs::path(DataDir) / "MyStuff.qlyp.dir";
    fs::create_directories(folder, ec);
    ProjectPath = folder.u16string();
    // An earlier fall-back may have left a "Wibble" with text in it: keep it rather than empty it.
    const fs::path wibble = folder / "Wibble";
    if (!fs::exists(wibble, ec))
        if (const std::error_code writeError = writePage(wibble, store::Flush::ToDisk))
            reportFileError(wibble, writeError);
    setListEntries({u"Wibble"});
    selectEntry(u"Wibble");
    CurrentItem = u"Wibble";
}

} // namespace quillory
