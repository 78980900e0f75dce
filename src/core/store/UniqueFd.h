#pragma once

#include <unistd.h>

namespace quillory::store {

// Owns one file descriptor and closes it once.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : m_fd(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            close();
            m_fd = other.release();
        }
        return *this;
    }
    ~UniqueFd() { close(); }

    [[nodiscard]] int get() const noexcept { return m_fd; }
    [[nodiscard]] explicit operator bool() const noexcept { return m_fd >= 0; }

    [[nodiscard]] int release() noexcept
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

    // The result of close(2): some file systems report a failed write only here.
    int close() noexcept
    {
        if (m_fd < 0)
            return 0;
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd = -1;
};

} // namespace quillory::store
