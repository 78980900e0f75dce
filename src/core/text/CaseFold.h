#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Unicode simple case folding, as file systems that ignore case compare names (exFAT, NTFS,
// SMB shares, ext4 with casefold): "Übersicht" and "übersicht" are one file there.
namespace quillory {

[[nodiscard]] char32_t FoldCase(char32_t c) noexcept;

// Each code point of `text` folded; a lone surrogate is kept as it is.
[[nodiscard]] std::u16string FoldedName(std::u16string_view text);

// Equal once folded: the names would take one file where case is ignored.
[[nodiscard]] bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b);

namespace detail {
// Code points first..last (every `step`-th) fold to themselves plus `delta`.
struct CaseFoldRange {
    std::uint32_t first, last;
    std::int32_t step, delta;
};
extern const CaseFoldRange kCaseFoldRanges[];
extern const std::size_t kCaseFoldRangeCount;
} // namespace detail

} // namespace quillory
