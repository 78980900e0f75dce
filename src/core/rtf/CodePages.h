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

// The Macintosh pages 10004 (Arabic), 10005 (Hebrew), 10006 (Greek), 10007 (Cyrillic) and 10029
// (Central European) as SingleByteHigh gives them; nullptr for others.
[[nodiscard]] const char16_t* MacSingleByteHigh(int codePage) noexcept;

// True for 932, 936, 949, 950 and 1361 and the Macintosh pages 10001 (Japanese), 10002 (Traditional
// Chinese), 10003 (Korean) and 10008 (Simplified Chinese), whose lead bytes join the following byte.
[[nodiscard]] bool IsDoubleByte(int codePage) noexcept;
[[nodiscard]] bool IsLeadByte(int codePage, unsigned char byte) noexcept;
// The Windows page whose double-byte characters a Macintosh page shares (10001: 932, 10002: 950,
// 10003: 949, 10008: 936); the page itself otherwise.
[[nodiscard]] int DoubleByteBase(int codePage) noexcept;

} // namespace quillory::rtf
