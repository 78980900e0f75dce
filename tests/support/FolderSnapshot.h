#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <string>

namespace quillory::test {

// Every file and folder under a folder with its bytes and modification time, to tell whether
// anything under it was written, touched, added or removed.
struct FolderSnapshot {
    struct Entry {
        std::string bytes; // empty for a folder
        std::filesystem::file_time_type modified;
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    std::map<std::filesystem::path, Entry> entries;
    friend bool operator==(const FolderSnapshot&, const FolderSnapshot&) = default;
    // The differences say more than the bytes would.
    friend void PrintTo(const FolderSnapshot& snapshot, std::ostream* os)
    {
        *os << snapshot.entries.size() << " entries";
    }

    static FolderSnapshot of(const std::filesystem::path& folder)
    {
        FolderSnapshot snapshot;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            Entry e{{}, entry.last_write_time()};
            if (entry.is_regular_file()) {
                std::ifstream in(entry.path(), std::ios::binary);
                e.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            }
            snapshot.entries.emplace(entry.path().lexically_relative(folder), std::move(e));
        }
        return snapshot;
    }

    // The entries that differ from `other`, one a line, for a failure message.
    [[nodiscard]] std::string differences(const FolderSnapshot& other) const
    {
        std::string out;
        for (const auto& [path, entry] : entries) {
            const auto it = other.entries.find(path);
            if (it == other.entries.end())
                out += "gone: " + path.string() + "\n";
            else if (!(it->second == entry))
                out += "changed: " + path.string() + "\n";
        }
        for (const auto& [path, entry] : other.entries)
            if (!entries.contains(path))
                out += "new: " + path.string() + "\n";
        return out;
    }
};

} // namespace quillory::test
