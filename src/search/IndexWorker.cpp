#include "search/IndexWorker.h"

#include <utility>

namespace quillory::search {

IndexWorker::IndexWorker(Answer answer, Failure failed)
    : m_answer(std::move(answer)), m_failed(std::move(failed)), m_thread([this] { run(); })
{
}

IndexWorker::~IndexWorker()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void IndexWorker::setProject(std::filesystem::path cacheFile, std::filesystem::path folder)
{
    {
        const std::lock_guard lock(m_mutex);
        m_project = Project{std::move(cacheFile), std::move(folder)};
        // What was asked of the last project means nothing to the next.
        m_sync.reset();
        m_shown.reset();
    }
    m_wake.notify_one();
}

void IndexWorker::sync(std::vector<std::u16string> names, std::u16string shownName, std::u16string shownText)
{
    {
        const std::lock_guard lock(m_mutex);
        m_sync = Sync{std::move(names), std::move(shownName), std::move(shownText)};
        m_shown.reset(); // the sync carries the shown page's text
    }
    m_wake.notify_one();
}

void IndexWorker::updateShown(std::u16string shownName, std::u16string shownText)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_sync && m_sync->shownName == shownName)
            m_sync->shownText = std::move(shownText);
        else
            m_shown = Shown{std::move(shownName), std::move(shownText)};
    }
    m_wake.notify_one();
}

void IndexWorker::search(std::uint64_t query, std::u16string typed, std::size_t limit)
{
    {
        const std::lock_guard lock(m_mutex);
        m_query = Query{query, std::move(typed), limit};
    }
    m_wake.notify_one();
}

bool IndexWorker::idle() const
{
    return !m_busy && !m_project && !m_sync && !m_shown && !m_query;
}

void IndexWorker::wait()
{
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return idle(); });
}

void IndexWorker::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_project || m_sync || m_shown || m_query; });
        if (m_stop)
            return;
        m_busy = true;
        if (auto project = std::exchange(m_project, std::nullopt)) {
            lock.unlock();
            m_index.reset();
            m_folder = project->folder;
            std::string why;
            if (!m_folder.empty()) {
                m_index = PageIndex::open(project->cacheFile, why);
                if (!m_index) {
                    // Without a cache file the index lives in memory for this run.
                    std::string unused;
                    m_index = PageIndex::open(":memory:", unused);
                    if (m_failed)
                        m_failed(why);
                }
            }
        } else if (auto sync = std::exchange(m_sync, std::nullopt)) {
            lock.unlock();
            if (m_index)
                (void)m_index->sync(m_folder, sync->names, sync->shownName, sync->shownText,
                                    std::chrono::system_clock::now(), &m_stop);
        } else if (auto shown = std::exchange(m_shown, std::nullopt)) {
            lock.unlock();
            if (m_index)
                m_index->updateShown(shown->name, shown->text);
        } else if (auto query = std::exchange(m_query, std::nullopt)) {
            lock.unlock();
            Found found;
            if (m_index)
                found = m_index->search(query->typed, query->limit);
            if (m_answer)
                m_answer(query->id, std::move(found));
        }
        lock.lock();
        m_busy = false;
        if (idle())
            m_done.notify_all();
    }
}

} // namespace quillory::search
