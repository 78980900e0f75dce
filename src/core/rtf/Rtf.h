#pragma once

#include "core/rtf/Document.h"

#include <string>
#include <string_view>

namespace quillory::rtf {

// True when the bytes begin with "{\rtf" (after optional white space).
[[nodiscard]] bool LooksLikeRtf(std::string_view bytes) noexcept;

// Reads RTF. Never fails: whatever could be read is returned, in time linear in the input,
// with bounded memory and nesting.
[[nodiscard]] Document ReadRtf(std::string_view bytes);

// Reads a page file: RTF when it looks like RTF, otherwise plain text (see DecodePlainText),
// one paragraph per line.
[[nodiscard]] Document ReadPage(std::string_view bytes);

// Writes RTF as the Windows rich-text control does; deterministic.
[[nodiscard]] std::string WriteRtf(const Document& doc);

} // namespace quillory::rtf
