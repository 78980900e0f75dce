#pragma once

#include <cstdint>
#include <string_view>

// The control words the reader acts on; every other word is ignored (or, after \*, skips its group).
namespace quillory::rtf {

enum class Keyword : std::uint8_t {
    Unknown,
    // Destinations whose text is not part of the page.
    SkipDestination,
    Fonttbl,
    Colortbl,
    Listtable,
    Listoverridetable,
    Pn,
    Pntext,
    Listtext,
    Fldinst,
    Fldrslt,
    Upr,
    Ud,
    Nesttableprops,
    // Document.
    Ansi,
    Mac,
    Pc,
    Pca,
    Ansicpg,
    Deff,
    Uc,
    U,
    Bin,
    // Font, colour and list tables.
    F,
    Fcharset,
    Cpg,
    Red,
    Green,
    Blue,
    List,
    Listlevel,
    Levelnfc,
    Listid,
    Listoverride,
    Ls,
    Ilvl,
    // Paragraphs.
    Par,
    Pard,
    Sect,
    Page,
    Line,
    Tab,
    Cell,
    Row,
    Ql,
    Qc,
    Qr,
    Qj,
    Qother,
    Pnlvlblt,
    Pnlvlbody,
    Pnlvl,
    Pnlvlcont,
    // Characters.
    Plain,
    B,
    I,
    Ul,
    Ulnone,
    Strike,
    V,
    Fs,
    Cf,
    // Special characters.
    Emdash,
    Endash,
    Emspace,
    Enspace,
    Qmspace,
    Bullet,
    Lquote,
    Rquote,
    Ldblquote,
    Rdblquote,
    Zwj,
    Zwnj,
    Ltrmark,
    Rtlmark,
};

// Case-sensitive, as RTF control words are. Never fails: unknown words give Keyword::Unknown.
[[nodiscard]] Keyword LookupKeyword(std::string_view word) noexcept;

} // namespace quillory::rtf
