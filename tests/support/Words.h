#pragma once

#include <string>
#include <string_view>

// Comparing the text that different readers make of one file: word order matters, spacing does not.
namespace quillory::test {

[[nodiscard]] inline bool IsWordSpace(char16_t ch)
{
    return ch == u' ' || ch == u'\t' || ch == 0x00A0 || ch == 0x2028 || ch == 0x000B || ch == u'\r';
}

// `line` from `start` on, each run of spaces folded into one blank, none at either end.
[[nodiscard]] inline std::u16string CollapsedLine(std::u16string_view line, std::size_t start = 0)
{
    std::u16string cleaned;
    bool space = false;
    for (std::size_t i = start; i < line.size(); ++i) {
        if (IsWordSpace(line[i])) {
            space = true;
            continue;
        }
        if (space && !cleaned.empty())
            cleaned += u' ';
        space = false;
        cleaned += line[i];
    }
    return cleaned;
}

} // namespace quillory::test
