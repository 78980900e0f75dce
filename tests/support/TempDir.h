#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace quillory::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            m_path = base / ("quillory-test-" + std::to_string(rd()));
            if (std::filesystem::create_directory(m_path))
                break;
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(m_path, ec);
    }

    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }
    [[nodiscard]] std::filesystem::path operator/(const std::filesystem::path& p) const { return m_path / p; }

private:
    std::filesystem::path m_path;
};

} // namespace quillory::test
