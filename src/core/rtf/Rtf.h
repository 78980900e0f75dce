#pragma once

#include "core/rtf/Document.h"

#include <string>
#include <string_view>

namespace quillory::rtf {

// True when the bytes begin with "{\rtf" (after optional white space).
[[nodiscard]] bool LooksLikeRtf(std::string_view bytes) noexcept;

// Reads RTF. Never fails: whatever could be read is returned, in time linear in the input,
// with bounded memory and nesting. Each \par ends a paragraph; an empty paragraph after the last
// one is not kept. Where no \f applies a run has the \deff font ("" when the table lacks it), where
// no \fs applies the size 0.
[[nodiscard]] Document ReadRtf(std::string_view bytes);

// Reads a page file: RTF when it looks like RTF, otherwise plain text (see DecodePlainText),
// one paragraph per line.
[[nodiscard]] Document ReadPage(std::string_view bytes);

// The text of a page file (see ReadPage and PlainText).
[[nodiscard]] std::u16string PlainTextOf(std::string_view bytes);

// Writes RTF as the Windows rich-text control does; deterministic. Each paragraph is one line ending
// in \par and CR LF; a run's text is never split. An empty font name is written as a font table entry
// without a name; a size of 0 as no size (\plain); system colours as automatic (\cf0). Empty runs are
// left out; a document without paragraphs is written as one empty paragraph.
[[nodiscard]] std::string WriteRtf(const Document& doc);

} // namespace quillory::rtf
