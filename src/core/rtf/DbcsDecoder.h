#pragma once

#include <array>

// Decodes the double-byte Windows code pages (932, 936, 949, 950, 1361) through the C library's iconv.
namespace quillory::rtf {

class DbcsDecoder {
public:
    DbcsDecoder() = default;
    ~DbcsDecoder();
    DbcsDecoder(const DbcsDecoder&) = delete;
    DbcsDecoder& operator=(const DbcsDecoder&) = delete;

    // The code point of a lead byte and its trail byte, or U+FFFD when the pair means nothing in that
    // code page or the C library lacks the code page.
    [[nodiscard]] char32_t decode(int codePage, unsigned char lead, unsigned char trail);

private:
    // iconv_t handles, opened on first use; (void*)-1 marks one that could not be opened.
    std::array<void*, 5> m_handles{};
};

} // namespace quillory::rtf
