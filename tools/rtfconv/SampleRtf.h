#pragma once

#include <cstddef>
#include <string>

namespace quillory::tools {

// A page as the Windows rich-text control writes it, about `bytes` long: paragraphs of words with
// bold, italic, underlined and coloured stretches, a few bullets, centred lines and non-ASCII
// letters. The same size and seed give the same bytes.
[[nodiscard]] std::string SampleRtf(std::size_t bytes, unsigned seed = 1);

} // namespace quillory::tools
