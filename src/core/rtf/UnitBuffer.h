#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

namespace quillory::rtf::detail {

// A growing buffer of UTF-16 units that, unlike std::u16string, does not clear what it is about
// to overwrite.
class UnitBuffer {
public:
    [[nodiscard]] std::size_t size() const noexcept { return m_size; }
    [[nodiscard]] bool empty() const noexcept { return m_size == 0; }
    [[nodiscard]] const char16_t* data() const noexcept { return m_data.get(); }
    void clear() noexcept { m_size = 0; }

    void push_back(char16_t u)
    {
        if (m_size == m_capacity)
            grow(m_size + 1);
        m_data[m_size++] = u;
    }

    // Room for `count` more units, to be written by the caller.
    [[nodiscard]] char16_t* extend(std::size_t count)
    {
        if (m_capacity - m_size < count)
            grow(m_size + count);
        char16_t* out = m_data.get() + m_size;
        m_size += count;
        return out;
    }

private:
    void grow(std::size_t need)
    {
        const std::size_t capacity = std::max(need, m_capacity * 2 + 16);
        std::unique_ptr<char16_t[]> next(new char16_t[capacity]);
        if (m_size > 0)
            std::memcpy(next.get(), m_data.get(), m_size * sizeof(char16_t));
        m_data = std::move(next);
        m_capacity = capacity;
    }

    std::unique_ptr<char16_t[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace quillory::rtf::detail
