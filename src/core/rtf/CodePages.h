#pragma once

// The Windows code pages that RTF's \ansicpg, \cpg and \fcharset name.
namespace quillory::rtf {

inline constexpr int kCodePageAnsi = 1252;
// The Symbol font's charset; its bytes are glyph numbers, not text of a code page.
inline constexpr int kCodePageSymbol = 42;

// The code page a font's \fcharset stands for, or 0 when the charset means "the document's".
[[nodiscard]] int CodePageOfCharset(int charset) noexcept;

// Bytes 0x80..0xFF of a single-byte code page (128 units), or nullptr when it is not one of those
// known here. Windows-1252 is not among them (see Cp1252ToUnicode).
[[nodiscard]] const char16_t* SingleByteHigh(int codePage) noexcept;

// True for 932, 936, 949, 950 and 1361, whose lead bytes join the following byte.
[[nodiscard]] bool IsDoubleByte(int codePage) noexcept;
[[nodiscard]] bool IsLeadByte(int codePage, unsigned char byte) noexcept;

} // namespace quillory::rtf
