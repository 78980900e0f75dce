#include "ui/form/TForm1.h"

#include "core/StuffUnit.h"
#include "core/Utf.h"
#include "core/store/AtomicFile.h"
#include "core/store/BufferDifference.h"
#include "core/store/FolderListing.h"
#include "core/store/ProjectStore.h"
#include "core/store/WholeFile.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"

#include <QTimer>

// What a run that did not end in order (a crash, a kill, a power cut) leaves for the next one:
// the page shown reaches its buffer file soon after the last change, and the buffer is offered
// back instead of being emptied.
namespace quillory {

namespace fs = std::filesystem;

namespace {

// Present while a run works on a project, holding that project's path; removed when the run ends
// in order.
constexpr char kSessionMarker[] = ".session";
constexpr int kPageWriteDelayMs = 2000;

} // namespace

void TForm1::connectRecovery()
{
    m_pageWriteTimer = new QTimer(this);
    m_pageWriteTimer->setObjectName(QStringLiteral("PageWriteTimer"));
    m_pageWriteTimer->setSingleShot(true);
    m_pageWriteTimer->setInterval(kPageWriteDelayMs);
    connect(m_pageWriteTimer, &QTimer::timeout, this, [this] { guarded([this] { writeShownPageAfterPause(); }); });
}

void TForm1::pageChangedForRecovery()
{
    // Restarted by every change: one write once the typing pauses.
    m_pageWriteTimer->start();
}

void TForm1::writeShownPageAfterPause()
{
    const std::error_code ec = writeShownPage(store::Flush::ToDisk);
    if (!ec) {
        m_said.pageWriteFailed = false;
        // The write gave the file the time of day; its time is its place in the list.
        FixIt(kStampOnly);
        return;
    }
    // Said once until a write succeeds again; the switch and Save still report their own.
    if (!std::exchange(m_said.pageWriteFailed, true))
        reportFileError(bufferFile(CurrentItem), ec);
}

void TForm1::markSession()
{
    if (m_sessionMarked == ProjectPath)
        return;
    m_sessionMarked = ProjectPath;
    // Without the marker a crash would only lose the offer to restore, never a page.
    (void)store::ReplaceFileAtomically(dataFile(kSessionMarker), Utf16ToUtf8(ProjectPath), store::Flush::ToDisk);
}

void TForm1::endSession()
{
    if (m_sessionMarked.empty())
        return;
    std::error_code ec;
    fs::remove(dataFile(kSessionMarker), ec);
}

bool TForm1::restoreLastSession()
{
    std::error_code ec;
    const auto marker = store::ReadWholeFile(dataFile(kSessionMarker), ec);
    if (!marker)
        return false;
    const std::u16string project = Utf8ToUtf16(*marker);
    if (project.empty() || !fs::is_directory(fs::path(project), ec))
        return false;
    const std::size_t unsaved = store::CompareBufferWithProject(bufferDir(), fs::path(project)).total();
    if (unsaved == 0)
        return false;
    const std::u16string count = IntToText(static_cast<long long>(unsaved));
    if (m_desktop.confirm(u"Quillory did not end properly last time. Its working copy of the project\n\n" + project +
                              u"\n\nholds " + count + (unsaved == 1 ? u" page" : u" pages") +
                              u" added, changed or deleted since the last save.\n\nRestore the unsaved pages of "
                              u"the last session?",
                          false) != Answer::Yes)
        return false;

    // The buffer is the working copy, in its stamped order; the next Save stores it. What the
    // interrupted run was writing when it ended is not a page.
    store::RemoveOurTemporaries(bufferDir());
    store::RemoveOurTemporaries(fs::path(project));
    ProjectPath = project;
    projectOpened(true);
    setListEntries(store::OrderedNames(bufferDir()));
    std::vector<store::FileFailure> unreadable;
    showFirstLoadable(CurrentItem, bufferDir(), unreadable);
    reportFailures(bufferDir(), unreadable);
    return true;
}

} // namespace quillory
