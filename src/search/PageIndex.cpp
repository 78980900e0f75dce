#include "search/PageIndex.h"

#include "core/Utf.h"
#include "core/rtf/Rtf.h"
#include "core/search/SearchQuery.h"
#include "core/store/PosixIo.h"

#include <sqlite3.h>

#include <array>
#include <cstring>
#include <unordered_set>

#include <fcntl.h>

namespace quillory::search {

namespace {

// Made again from the pages when the file says another version.
constexpr int kSchemaVersion = 2;

// One prepared statement, reset after each use.
class Statement {
public:
    Statement(sqlite3* db, const char* sql)
    {
        if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK)
            m_stmt = nullptr;
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    [[nodiscard]] bool ok() const noexcept { return m_stmt != nullptr; }
    sqlite3_stmt* get() noexcept { return m_stmt; }

    Statement& bind(int at, long long value)
    {
        sqlite3_bind_int64(m_stmt, at, value);
        return *this;
    }
    Statement& bind(int at, std::u16string_view text)
    {
        sqlite3_bind_text16(m_stmt, at, text.data(), static_cast<int>(text.size() * sizeof(char16_t)), SQLITE_STATIC);
        return *this;
    }
    Statement& bind(int at, std::string_view utf8)
    {
        sqlite3_bind_text(m_stmt, at, utf8.data(), static_cast<int>(utf8.size()), SQLITE_STATIC);
        return *this;
    }
    Statement& bindBlob(int at, const void* data, int size)
    {
        if (data == nullptr)
            sqlite3_bind_null(m_stmt, at);
        else
            sqlite3_bind_blob(m_stmt, at, data, size, SQLITE_STATIC);
        return *this;
    }
    // Runs a statement that returns no rows.
    bool run()
    {
        const int rc = sqlite3_step(m_stmt);
        reset();
        return rc == SQLITE_DONE;
    }
    bool row() { return sqlite3_step(m_stmt) == SQLITE_ROW; }
    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

std::u16string column16(sqlite3_stmt* stmt, int at)
{
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt, at));
    const int bytes = sqlite3_column_bytes16(stmt, at);
    return text ? std::u16string(text, static_cast<std::size_t>(bytes) / sizeof(char16_t)) : std::u16string();
}

using KeyFields = std::array<long long, 7>;

KeyFields fieldsOf(const store::PageKey& key)
{
    return {static_cast<long long>(key.device),
            static_cast<long long>(key.inode),
            key.size,
            key.modified.tv_sec,
            key.modified.tv_nsec,
            key.changed.tv_sec,
            key.changed.tv_nsec};
}

std::optional<store::PageKey> keyOf(const void* blob, int size)
{
    KeyFields f{};
    if (blob == nullptr || size != static_cast<int>(sizeof f))
        return std::nullopt;
    std::memcpy(f.data(), blob, sizeof f);
    store::PageKey key{};
    key.device = static_cast<dev_t>(f[0]);
    key.inode = static_cast<ino_t>(f[1]);
    key.size = static_cast<off_t>(f[2]);
    key.modified = {static_cast<time_t>(f[3]), static_cast<long>(f[4])};
    key.changed = {static_cast<time_t>(f[5]), static_cast<long>(f[6])};
    return key;
}

bool exec(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The index's tables, made where they are missing; false where the file is no index of ours.
bool makeSchema(sqlite3* db)
{
    sqlite3_busy_timeout(db, 2000);
    // A cache: losing its last changes to a crash only means reading those pages again.
    if (!exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF; PRAGMA cache_size=-2000;"))
        return false;
    int version = -1;
    {
        Statement read(db, "PRAGMA user_version");
        if (!read.ok() || !read.row())
            return false;
        version = sqlite3_column_int(read.get(), 0);
    }
    if (version != 0 && version != kSchemaVersion)
        return false;
    return exec(db, "BEGIN;"
                    "CREATE TABLE IF NOT EXISTS files(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, key BLOB);"
                    "CREATE VIRTUAL TABLE IF NOT EXISTS pages USING fts5(title, body,"
                    " tokenize = 'unicode61 remove_diacritics 2', prefix = '1 2 3');"
                    // A word in the title counts as much as many in the text.
                    "INSERT INTO pages(pages, rank) VALUES('rank', 'bm25(8.0, 1.0)');"
                    "PRAGMA user_version = 2;"
                    "COMMIT;");
}

sqlite3* openFile(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    if (!makeSchema(db)) {
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

} // namespace

struct PageIndex::Statements {
    explicit Statements(sqlite3* db)
        : insertFile(db, "INSERT INTO files(id, name, key) VALUES(?1, ?2, ?3)"),
          updateKey(db, "UPDATE files SET key = ?2 WHERE id = ?1"), deleteFile(db, "DELETE FROM files WHERE id = ?1"),
          insertPage(db, "INSERT INTO pages(rowid, title, body) VALUES(?1, ?2, ?3)"),
          deletePage(db, "DELETE FROM pages WHERE rowid = ?1"),
          count(db, "SELECT count(*) FROM pages WHERE pages MATCH ?1"),
          // FTS5 hands the rows over in rank order, so the snippets are made for the rows kept only.
          ranked(db, "SELECT rowid, snippet(pages, 1, char(2), char(3), '\xE2\x80\xA6', 14) FROM pages"
                     " WHERE pages MATCH ?1 ORDER BY rank LIMIT ?2"),
          unranked(db, "SELECT rowid, snippet(pages, 1, char(2), char(3), '\xE2\x80\xA6', 14) FROM pages"
                       " WHERE pages MATCH ?1 LIMIT ?2"),
          begin(db, "BEGIN"), commit(db, "COMMIT")
    {
    }
    [[nodiscard]] bool ok() const
    {
        return insertFile.ok() && updateKey.ok() && deleteFile.ok() && insertPage.ok() && deletePage.ok() &&
               count.ok() && ranked.ok() && unranked.ok() && begin.ok() && commit.ok();
    }

    Statement insertFile, updateKey, deleteFile, insertPage, deletePage, count, ranked, unranked, begin, commit;
};

std::unique_ptr<PageIndex> PageIndex::open(const std::filesystem::path& file, std::string& why)
{
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    sqlite3* db = openFile(file);
    if (db == nullptr) {
        // Unreadable, another program's, or another version's: a cache is made again.
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(file.string() + suffix, ec);
        db = openFile(file);
    }
    if (db == nullptr) {
        why = "The search index could not be kept in " + file.string() + ".";
        return nullptr;
    }
    std::unique_ptr<PageIndex> index(new PageIndex(db));
    if (!index->prepare()) {
        why = "The search index in " + file.string() + " could not be used.";
        return nullptr;
    }
    index->load();
    return index;
}

PageIndex::PageIndex(sqlite3* db) : m_db(db)
{
}

PageIndex::~PageIndex()
{
    m_statements.reset();
    sqlite3_close(m_db);
}

bool PageIndex::prepare()
{
    m_statements = std::make_unique<Statements>(m_db);
    return m_statements->ok();
}

void PageIndex::load()
{
    Statement all(m_db, "SELECT id, name, key FROM files");
    while (all.row()) {
        const long long id = sqlite3_column_int64(all.get(), 0);
        std::u16string name = column16(all.get(), 1);
        const auto key = keyOf(sqlite3_column_blob(all.get(), 2), sqlite3_column_bytes(all.get(), 2));
        m_names.emplace(id, name);
        m_pages.emplace(std::move(name), Page{id, key});
        m_nextId = std::max(m_nextId, id + 1);
    }
}

void PageIndex::put(const std::u16string& name, std::optional<store::PageKey> key, std::u16string_view text)
{
    Statements& s = *m_statements;
    KeyFields fields{};
    if (key)
        fields = fieldsOf(*key);
    const void* blob = key ? fields.data() : nullptr;
    const auto found = m_pages.find(name);
    if (found != m_pages.end()) {
        const long long id = found->second.id;
        s.updateKey.bind(1, id).bindBlob(2, blob, sizeof fields).run();
        s.deletePage.bind(1, id).run();
        s.insertPage.bind(1, id).bind(2, std::u16string_view(name)).bind(3, text).run();
        found->second.key = key;
        return;
    }
    const long long id = m_nextId++;
    if (!s.insertFile.bind(1, id).bind(2, std::u16string_view(name)).bindBlob(3, blob, sizeof fields).run())
        return;
    s.insertPage.bind(1, id).bind(2, std::u16string_view(name)).bind(3, text).run();
    m_pages.emplace(name, Page{id, key});
    m_names.emplace(id, name);
}

void PageIndex::remove(long long id)
{
    m_statements->deleteFile.bind(1, id).run();
    m_statements->deletePage.bind(1, id).run();
}

std::size_t PageIndex::sync(const std::filesystem::path& folder, const std::vector<std::u16string>& names,
                            std::u16string_view shownName, std::u16string_view shownText,
                            std::chrono::system_clock::time_point now, const std::atomic<bool>* stop)
{
    std::error_code error;
    const store::UniqueFd dir = store::detail::OpenFolder(folder, error);
    if (!dir)
        return 0;
    const store::PageLook look(dir.get(), now);
    std::size_t read = 0;
    std::unordered_set<std::u16string_view> named(names.begin(), names.end());
    m_statements->begin.run();
    for (const std::u16string& name : names) {
        if (stop != nullptr && stop->load(std::memory_order_relaxed)) {
            m_statements->commit.run();
            return read; // the pages not reached yet stay as they were
        }
        if (name == shownName) {
            put(name, std::nullopt, shownText);
            continue;
        }
        const auto known = m_pages.find(name);
        const std::string file = Utf16ToUtf8(name);
        if (known != m_pages.end() && known->second.key && look.unchanged(file, *known->second.key))
            continue;
        struct stat info {};
        const auto bytes = store::ReadPageAt(dir.get(), file, m_buffer, info);
        if (!bytes) {
            named.erase(name); // gone or no regular file: not found by a search
            continue;
        }
        ++read;
        put(name, look.keyToKeep(info), rtf::PlainTextOf(*bytes));
    }
    for (auto it = m_pages.begin(); it != m_pages.end();) {
        if (named.contains(it->first)) {
            ++it;
            continue;
        }
        remove(it->second.id);
        m_names.erase(it->second.id);
        it = m_pages.erase(it);
    }
    m_statements->commit.run();
    return read;
}

void PageIndex::updateShown(std::u16string_view shownName, std::u16string_view shownText)
{
    const std::u16string name(shownName);
    if (m_pages.contains(name))
        put(name, std::nullopt, shownText);
}

Found PageIndex::search(std::u16string_view typed, std::size_t limit)
{
    Found found;
    const std::string expression = MatchExpression(typed);
    if (expression.empty())
        return found;
    Statements& s = *m_statements;
    s.count.bind(1, std::string_view(expression));
    if (s.count.row())
        found.count = static_cast<std::size_t>(sqlite3_column_int64(s.count.get(), 0));
    s.count.reset();
    // Ranking weighs every page found; past a few thousand the best of them are no better told
    // apart than the first, and the answer would come long after the next letter typed.
    Statement& rows = found.count <= kMostRanked ? s.ranked : s.unranked;
    rows.bind(1, std::string_view(expression)).bind(2, static_cast<long long>(limit));
    while (rows.row()) {
        const auto name = m_names.find(sqlite3_column_int64(rows.get(), 0));
        if (name != m_names.end())
            found.hits.push_back({name->second, column16(rows.get(), 1)});
    }
    rows.reset();
    return found;
}

} // namespace quillory::search
