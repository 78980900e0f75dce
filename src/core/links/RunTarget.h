#pragma once

#include <string>
#include <string_view>

namespace quillory::links {

// A target the program hands to the desktop: a file or program, what to pass it, where to run it.
struct RunTarget {
    std::u16string file;
    std::u16string parameters; // empty: none
    std::u16string folder;     // the file's folder, with its trailing slash; empty when it has none
    friend bool operator==(const RunTarget&, const RunTarget&) = default;
};

// Splits "FILE{ARGS}PARAMETERS": the marker is found without regard to case; the parameters are at
// most the 255 characters after it, without leading and trailing blanks and control characters;
// the file is everything before the marker, untrimmed. Without the marker the whole text is the
// file. Only for the program's own targets: a page's words never carry arguments.
[[nodiscard]] RunTarget SplitRunTarget(std::u16string_view target);

} // namespace quillory::links
