#include "ui/form/TForm1.h"

#include "ui/find/PageSearch.h"

#include "core/store/Project.h"
#include "core/store/ProjectStore.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"

#include <QFileSystemWatcher>
#include <QTimer>

#include <algorithm>
#include <chrono>

// A project folder that other programs change too (a sync engine keeping it in step with another
// machine): Save writes only what changed here and never over a change made elsewhere, and the
// folder is watched so changes from elsewhere appear in the list without a Save.
namespace quillory {

namespace fs = std::filesystem;

namespace {

// Sync engines write a file in steps (a temporary, a rename, the times); one look after the burst.
constexpr int kSettleMs = 1000;

bool Contains(const std::vector<std::u16string>& names, const std::u16string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::u16string Lines(const std::vector<std::u16string>& lines)
{
    std::u16string text;
    for (const std::u16string& line : lines)
        text += u"\n" + line;
    return text;
}

} // namespace

void TForm1::connectProjectSync()
{
    m_project = std::make_unique<store::Project>(bufferDir());
    m_projectWatch = new QFileSystemWatcher(this);
    m_projectSettle = new QTimer(this);
    m_projectSettle->setObjectName(QStringLiteral("ProjectSettleTimer"));
    m_projectSettle->setSingleShot(true);
    m_projectSettle->setInterval(kSettleMs);
    connect(m_projectWatch, &QFileSystemWatcher::directoryChanged, m_projectSettle,
            [this] { m_projectSettle->start(); });
    connect(m_projectSettle, &QTimer::timeout, this, [this] { guarded([this] { absorbProjectChanges(); }); });
}

void TForm1::projectOpened(bool restored)
{
    if (restored)
        m_project->restored(fs::path(ProjectPath));
    else
        m_project->opened(fs::path(ProjectPath));
    const QStringList watched = m_projectWatch->directories();
    if (!watched.isEmpty())
        m_projectWatch->removePaths(watched);
    m_projectWatch->addPath(toQ(ProjectPath));
    indexProject();
}

store::SyncReport TForm1::syncProject()
{
    // Every path that changes the project tells the store; should one not, the pages here win
    // as they always did rather than being compared with another project's record.
    if (m_project->folder() != fs::path(ProjectPath))
        projectOpened(true);
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(m_desktop.now().time_since_epoch()).count();
    store::SyncReport report = m_project->save(now, pageChanged() ? CurrentItem : std::u16string());
    applySyncReport(report);
    return report;
}

void TForm1::absorbProjectChanges()
{
    m_search->markStale();
    if (!ShownOnce || m_project->folder() != fs::path(ProjectPath))
        return;
    // Changes made here wait for the user's Save; so does the page with typing not yet written.
    const store::SyncReport report = m_project->absorb(pageChanged() ? CurrentItem : std::u16string());
    applySyncReport(report);
    if (!report.failures.empty())
        reportFailures(fs::path(ProjectPath), report.failures);
}

void TForm1::applySyncReport(const store::SyncReport& report)
{
    for (const auto& [page, copy] : report.conflicts)
        if (page == CurrentItem)
            // The editor holds this session's page, which now goes by the copy's name.
            CurrentItem = copy;
    if (report.changedTheList()) {
        setListEntries(store::OrderedNames(bufferDir()));
        std::vector<store::FileFailure> unreadable;
        if (Contains(report.removed, CurrentItem)) {
            showFirstLoadable(CurrentItem, bufferDir(), unreadable);
        } else if (Contains(report.taken, CurrentItem) && !pageChanged()) {
            if (const std::error_code ec = showPage(CurrentItem, bufferFile(CurrentItem)))
                unreadable.push_back({CurrentItem, ec});
        }
        selectEntry(CurrentItem);
        reportFailures(bufferDir(), unreadable);
    }
    if (!report.conflicts.empty()) {
        std::vector<std::u16string> lines;
        for (const auto& [page, copy] : report.conflicts)
            lines.emplace_back(page).append(u"  \u2192  ").append(copy);
        ShowInfo(u"These pages were changed here and elsewhere (on another machine, or by another program) since "
                 u"they were last saved. Both versions are kept: the other one keeps the page's name, and this "
                 u"session's is saved beside it.\n" +
                 Lines(lines));
    }
    if (!report.savedAgain.empty())
        ShowInfo(u"These pages were deleted elsewhere but changed here, so they were saved again:\n" +
                 Lines(report.savedAgain));
}

} // namespace quillory
