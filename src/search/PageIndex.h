#pragma once

#include "core/store/PageKey.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;

namespace quillory::search {

// Around the first match of a page's text, as the results list shows it under the item's name:
// the matched words between U+0002 and U+0003, an ellipsis where the text goes on.
inline constexpr char16_t kMatchStart = u'\u0002', kMatchEnd = u'\u0003';

struct Hit {
    std::u16string name; // the item's name, its page's file name
    std::u16string snippet;
};

struct Found {
    std::vector<Hit> hits; // best first, at most the limit asked for
    std::size_t count = 0; // every page found
};

// A full-text index of a project's pages: SQLite's FTS5 over each page's title (its item name)
// and text, folded for case and accents, in a cache file of its own. The file is only a cache:
// deleted or unreadable, it is made again from the pages. Not thread-safe: one thread uses it.
class PageIndex {
public:
    // Opens the index kept in `file`, making it (and its folder) where there is none and making
    // it afresh where it cannot be read as one. Absent, with the reason in `why`, when no index
    // can be kept there at all.
    [[nodiscard]] static std::unique_ptr<PageIndex> open(const std::filesystem::path& file, std::string& why);
    ~PageIndex();
    PageIndex(const PageIndex&) = delete;
    PageIndex& operator=(const PageIndex&) = delete;

    // Brings the index to the pages `names` of `folder`: a page is read again only where its
    // file's key changed; pages no longer named leave it. The page `shownName` is taken from
    // `shownText` (the editor's text, which may be ahead of its file). `now` is the look's start.
    // Returns how many pages were read. Stops early, keeping what it did, once `stop` is set.
    std::size_t sync(const std::filesystem::path& folder, const std::vector<std::u16string>& names,
                     std::u16string_view shownName, std::u16string_view shownText,
                     std::chrono::system_clock::time_point now = std::chrono::system_clock::now(),
                     const std::atomic<bool>* stop = nullptr);
    // Only the shown page, from the editor's text.
    void updateShown(std::u16string_view shownName, std::u16string_view shownText);

    // The pages holding every word of `typed` (see MatchExpression), best first.
    [[nodiscard]] Found search(std::u16string_view typed, std::size_t limit);

    [[nodiscard]] std::size_t size() const noexcept { return m_pages.size(); }

    // Past this many pages found, the first found are shown rather than the best.
    static constexpr std::size_t kMostRanked = 5000;

private:
    struct Page {
        long long id;
        std::optional<store::PageKey> key; // absent: read again at the next sync
    };

    explicit PageIndex(sqlite3* db);
    [[nodiscard]] bool prepare();
    void load();
    void put(const std::u16string& name, std::optional<store::PageKey> key, std::u16string_view text);
    void remove(long long id);

    sqlite3* m_db;
    std::unordered_map<std::u16string, Page> m_pages;
    std::unordered_map<long long, std::u16string> m_names;
    long long m_nextId = 1;
    std::string m_buffer; // grows to the largest page read and stays
    struct Statements;
    std::unique_ptr<Statements> m_statements;
};

} // namespace quillory::search
