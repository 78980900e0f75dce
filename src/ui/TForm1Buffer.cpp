#include "ui/TForm1.h"

#include "core/StuffUnit.h"
#include "core/store/AtomicFile.h"
#include "core/store/ProjectStore.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"
#include "ui/RichEdit.h"

#include <QListWidget>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextEdit>

namespace quillory {

namespace fs = std::filesystem;

std::error_code TForm1::writePage(const fs::path& file, store::Flush flush)
{
    return richedit::savePage(*RE, file, flush);
}

std::error_code TForm1::loadPage(const fs::path& file)
{
    m_loadingPage = true;
    const std::error_code ec = richedit::loadPage(*RE, file);
    m_loadingPage = false;
    return ec;
}

void TForm1::FixIt(unsigned mode)
{
    store::StampAll(bufferDir(), listEntries());
    if (mode == 0)
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

    if (const std::error_code ec = writePage(bufferFile(CurrentItem), store::Flush::Skip)) {
        selectEntry(CurrentItem);
        reportFileError(bufferFile(CurrentItem), ec);
        return;
    }
    FixIt(1);

    // A page that cannot be loaded leaves the editor untouched: the item shown stays current, so
    // its page can never be written under the other name.
    if (const std::error_code ec = loadPage(bufferFile(next))) {
        selectEntry(CurrentItem);
        reportFileError(bufferFile(next), ec);
        return;
    }
    CurrentItem = next;
    LB->viewport()->update();

    if (RE->isEnabled())
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
    setListEntries(store::LoadProjectIntoBuffer(fs::path(folder), bufferDir()).names);
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
