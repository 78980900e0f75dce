#include "ui/form/TForm1.h"

#include "core/store/Project.h"

#include "core/StuffUnit.h"
#include "core/rtf/Rtf.h"
#include "core/store/AtomicFile.h"
#include "core/store/ItemFiles.h"
#include "core/store/WholeFile.h"
#include "core/text/TextExport.h"
#include "platform/Desktop.h"
#include "ui/editor/PageFiles.h"
#include "ui/form/PageSession.h"
#include "ui/editor/RichEdit.h"

#include <QTextEdit>

namespace quillory {

namespace fs = std::filesystem;

namespace {

const std::u16string kItemFileFilter = u"Text File|*.txt|Rich Text File|*.rtf|Anything|*.*";
const std::u16string kItemFileExtension = u"txt";
// Above this a file is read only once the user agrees: it takes long and much memory to show.
constexpr std::uintmax_t kLargeItemFile = 64ULL << 20;

std::u16string Megabytes(std::uintmax_t bytes)
{
    return IntToText(static_cast<std::int64_t>((bytes + (1 << 20) - 1) >> 20)) + u" MB";
}

} // namespace

bool TForm1::acceptItemSource(const fs::path& file)
{
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (fs::is_directory(status)) {
        ShowInfo(file.u16string() + u"\n\nis a folder. Only a file can become an item.");
        return false;
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        ShowInfo(file.u16string() +
                 u"\n\nis not a regular file (a pipe, a device or a socket). Only a file can become an item.");
        return false;
    }
    const std::uintmax_t size = fs::file_size(file, ec);
    return ec || size <= kLargeItemFile ||
           m_desktop.confirm(file.u16string() + u"\n\nholds " + Megabytes(size) +
                                 u". A file this large takes long to read and much memory to show.\n\nMake it an "
                                 u"item anyway?",
                             false) == Answer::Yes;
}

void TForm1::AddItemfromFile1Click(QObject*)
{
    const auto chosen =
        m_desktop.openFileName(u"Add a new item from a file.", itemFileFolder(), kItemFileFilter, kItemFileExtension);
    if (!chosen || !acceptItemSource(*chosen))
        return;
    std::u16string name = PromptForText(u"Add new item.", u"Give this new item a title.", u"");
    if (name == kPromptCancelled || name.empty())
        return;
    while (itemNameTaken()(name))
        name = PromptForText(u"Add new item.", u"Title aldready exists. Try again..", name);
    if (name == kPromptCancelled || name.empty())
        return;
    if (refuseItemName(name))
        return;
    // Everything that can fail comes before anything changes, and the editor is touched only by
    // the switch at the end: a failure leaves it holding the page of the current item.
    std::error_code ec;
    const auto bytes = store::ReadWholeFile(*chosen, ec);
    if (!bytes) {
        reportFileError(*chosen, ec);
        return;
    }
    const std::string page = richedit::importedPage(*bytes);
    if (!keepShownPage())
        return;
    fs::path failed;
    if ((ec = m_project->createItem(name, page, store::Flush::ToDisk, failed))) {
        reportFileError(failed, ec);
        return;
    }
    appendItem(name);
    Edited = true;
    FixIt(kStampAndRebuild);
}

void TForm1::DropFileTargetDrop(const std::vector<fs::path>& paths, Qt::DropAction& effect)
{
    // A move is reported as nothing done, so the source never deletes its file; so is a refusal.
    const Qt::DropAction done = effect == Qt::MoveAction ? Qt::IgnoreAction : effect;
    effect = Qt::IgnoreAction;
    if (paths.empty())
        return;
    const fs::path& dropped = paths.front();
    if (!acceptItemSource(dropped))
        return;
    std::error_code ec;
    const auto bytes = store::ReadWholeFile(dropped, ec);
    if (!bytes) {
        reportFileError(dropped, ec);
        return;
    }
    const std::u16string name = store::FirstFreeName(dropped.filename().u16string(), itemNameTaken());
    if (refuseItemName(name))
        return;
    if (!keepShownPage())
        return;
    if ((ec = store::CreateItemFile(bufferDir(), name, *bytes, store::Flush::Skip))) {
        reportFileError(bufferFile(name), ec);
        return;
    }
    appendItem(name);
    Edited = true;
    FixIt(kStampAndRebuild);
    effect = done;
}

void TForm1::SaveItem1Click(QObject*)
{
    // The item's name is offered as the file's.
    const fs::path folder = itemFileFolder();
    const fs::path offered = CurrentItem.empty() || !m_page->loaded() ? folder : folder / fs::path(CurrentItem);
    const auto chosen =
        m_desktop.saveFileName(u"Save this item as a file.", offered, kItemFileFilter, kItemFileExtension);
    if (!chosen)
        return;
    std::error_code ec;
    if (fs::exists(*chosen, ec) && m_desktop.confirm(u"File already exists.\n\nOverwrite?", false) != Answer::Yes)
        return;
    const QTextDocument& page = *RE->document();
    const std::string bytes =
        ExportsAsRtf(*chosen) ? rtf::WriteRtf(richedit::toModel(page)) : PlainTextFile(richedit::laidOutLines(page));
    if ((ec = store::ReplaceFileAtomically(*chosen, bytes, store::Flush::ToDisk))) {
        reportFileError(*chosen, ec);
        return;
    }
    LastFileDir = PathBeforeSlash(chosen->u16string());
}

} // namespace quillory
