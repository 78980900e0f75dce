#pragma once

#include "search/IndexWorker.h"

#include <QObject>

class QTimer;

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>

namespace quillory {

// The window's side of the search index: requests go to the index's own thread, answers come
// back to the window's thread as `found`, only for the latest search asked (an answer to letters
// since typed over is dropped).
class PageSearch final : public QObject {
    Q_OBJECT
public:
    explicit PageSearch(QObject* parent = nullptr);
    ~PageSearch() override;
    PageSearch(const PageSearch&) = delete;
    PageSearch& operator=(const PageSearch&) = delete;

    // The cache file of the project whose pages are in `folder`, under `cacheFolder`.
    [[nodiscard]] static std::filesystem::path cacheFileFor(const std::filesystem::path& cacheFolder,
                                                            const std::filesystem::path& projectFolder);

    void setProject(const std::filesystem::path& cacheFile, const std::filesystem::path& folder);
    void sync(std::vector<std::u16string> names, std::u16string shownName, std::u16string shownText);
    // The shown page's text, taken from `text` and sent only when `revision` differs from the
    // last one sent for it: a keystroke in the search field copies no page that did not change.
    void updateShown(const std::u16string& shownName, int revision, const std::function<std::u16string()>& text);
    void search(std::u16string typed);
    // Answers to searches asked before now are dropped.
    void cancel() noexcept
    {
        m_answered = ++m_latest;
        m_openFirst = false;
    }
    // The latest search asked is still waiting for its answer.
    [[nodiscard]] bool pending() const noexcept { return m_answered != m_latest; }
    // Enter came before the answer: the best item opens once it comes (unless more is typed).
    void openFirstWhenFound() noexcept { m_openFirst = true; }
    [[nodiscard]] bool takeOpenFirst() noexcept { return std::exchange(m_openFirst, false); }
    // Pages may have changed since the index last looked at them: `syncWanted` once the changes
    // pause, and the next search looks first if that sync has not been made by then.
    void markStale();
    [[nodiscard]] bool takeStale() noexcept { return std::exchange(m_stale, false); }

    // The most rows a search shows; the count is of every page found.
    static constexpr std::size_t kMostRows = 200;

    // Blocks until the index took up every request (tests).
    void wait() { m_worker->wait(); }

signals:
    void found(const search::Found& found);
    void syncWanted();
    void failed(const QString& why);

private:
    std::uint64_t m_latest = 0;
    std::uint64_t m_answered = 0;
    bool m_stale = true;
    QTimer* m_settle;
    bool m_openFirst = false;
    std::u16string m_shownName;
    int m_shownRevision = -1;
    std::unique_ptr<search::IndexWorker> m_worker; // last: stopped before the rest goes
};

} // namespace quillory
