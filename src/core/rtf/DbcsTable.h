#pragma once

#include <memory>

// The double-byte Windows code pages (932, 936, 949, 950, 1361), decoded through the C library's
// iconv once per code page and process, then by table. The Macintosh double-byte pages use the table
// of the Windows page they share their characters with.
namespace quillory::rtf {

class DbcsTable {
public:
    // The table of a double-byte code page, built on first use (thread-safe); nullptr for other
    // pages. Lives until the program ends.
    [[nodiscard]] static const DbcsTable* forCodePage(int codePage);

    // The character of a lead byte (0x80..0xFF) and its trail byte; U+FFFD when the pair means
    // nothing in the code page or the C library lacks it.
    [[nodiscard]] char16_t decode(unsigned char lead, unsigned char trail) const noexcept;

    explicit DbcsTable(int codePage);

private:
    std::unique_ptr<char16_t[]> m_units; // 128 lead bytes by 256 trail bytes
};

} // namespace quillory::rtf
