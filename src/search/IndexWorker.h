#pragma once

#include "search/PageIndex.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace quillory::search {

// The page index on a thread of its own, so that reading pages and answering searches never
// holds the window. Requests wait in one slot each, the latest replacing one not yet taken up: a
// search typed letter by letter runs only for the letters the thread gets to. They are taken up
// in this order: the project, the pages' sync, the shown page's text, the search.
class IndexWorker {
public:
    // Both run on the worker's thread.
    using Answer = std::function<void(std::uint64_t query, Found found)>;
    using Failure = std::function<void(std::string why)>;

    IndexWorker(Answer answer, Failure failed);
    ~IndexWorker();
    IndexWorker(const IndexWorker&) = delete;
    IndexWorker& operator=(const IndexWorker&) = delete;

    // The index kept in `cacheFile` for the pages of `folder`; an empty folder closes the index.
    void setProject(std::filesystem::path cacheFile, std::filesystem::path folder);
    void sync(std::vector<std::u16string> names, std::u16string shownName, std::u16string shownText);
    void updateShown(std::u16string shownName, std::u16string shownText);
    // `query` comes back with the answer, so that a late answer can be told from the latest.
    void search(std::uint64_t query, std::u16string typed, std::size_t limit);

    // Blocks until every request made so far was taken up (tests and benchmarks).
    void wait();

private:
    struct Project {
        std::filesystem::path cacheFile, folder;
    };
    struct Sync {
        std::vector<std::u16string> names;
        std::u16string shownName, shownText;
    };
    struct Shown {
        std::u16string name, text;
    };
    struct Query {
        std::uint64_t id;
        std::u16string typed;
        std::size_t limit;
    };

    void run();
    [[nodiscard]] bool idle() const;

    Answer m_answer;
    Failure m_failed;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    std::atomic<bool> m_stop{false}; // also read by a sync under way, without the lock
    bool m_busy = false;
    std::optional<Project> m_project;
    std::optional<Sync> m_sync;
    std::optional<Shown> m_shown;
    std::optional<Query> m_query;
    // Used by the worker's thread alone.
    std::unique_ptr<PageIndex> m_index;
    std::filesystem::path m_folder;
    std::thread m_thread; // last: starts once everything it uses exists
};

} // namespace quillory::search
