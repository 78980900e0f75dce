#include "ui/find/PageSearch.h"

#include <QMetaObject>
#include <QTimer>

#include <cstdio>
#include <string>

namespace quillory {

PageSearch::PageSearch(QObject* parent) : QObject(parent), m_settle(new QTimer(this))
{
    // A look at every page costs a stat of each (a third of a second at 100,000 pages); made
    // while the user does something else, it is not waited for at the next search.
    m_settle->setSingleShot(true);
    m_settle->setInterval(1500);
    connect(m_settle, &QTimer::timeout, this, [this] {
        if (m_stale)
            emit syncWanted();
    });
    // Both run on the index's thread; the window hears of them through its own event loop. The
    // worker stops before this object goes, so `this` outlives every call made here.
    m_worker = std::make_unique<search::IndexWorker>(
        [this](std::uint64_t query, search::Found answer) {
            QMetaObject::invokeMethod(
                this,
                [this, query, answer = std::move(answer)] {
                    if (query != m_latest)
                        return;
                    m_answered = query;
                    emit found(answer);
                },
                Qt::QueuedConnection);
        },
        [this](const std::string& why) {
            QMetaObject::invokeMethod(
                this, [this, why = QString::fromStdString(why)] { emit failed(why); }, Qt::QueuedConnection);
        });
}

PageSearch::~PageSearch() = default;

std::filesystem::path PageSearch::cacheFileFor(const std::filesystem::path& cacheFolder,
                                               const std::filesystem::path& projectFolder)
{
    // One index per project, named by its folder's path (FNV-1a), readable enough to tell apart.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : projectFolder.lexically_normal().string()) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return cacheFolder / (projectFolder.filename().string() + "-" + hex + ".sqlite");
}

void PageSearch::markStale()
{
    m_stale = true;
    m_settle->start();
}

void PageSearch::setProject(const std::filesystem::path& cacheFile, const std::filesystem::path& folder)
{
    m_shownName.clear();
    m_shownRevision = -1;
    m_worker->setProject(cacheFile, folder);
}

void PageSearch::sync(std::vector<std::u16string> names, std::u16string shownName, std::u16string shownText)
{
    m_shownName = shownName;
    m_worker->sync(std::move(names), std::move(shownName), std::move(shownText));
}

void PageSearch::updateShown(const std::u16string& shownName, int revision, const std::function<std::u16string()>& text)
{
    if (shownName == m_shownName && revision == m_shownRevision)
        return;
    m_shownName = shownName;
    m_shownRevision = revision;
    m_worker->updateShown(shownName, text());
}

void PageSearch::search(std::u16string typed)
{
    m_openFirst = false; // an Enter was for the words before
    m_worker->search(++m_latest, std::move(typed), kMostRows);
}

} // namespace quillory
