#pragma once

#include <functional>
#include <string>
#include <string_view>

// The texts the owner-drawn list rows show. Widths are in pixels, measured by the caller's font,
// so these stay free of any drawing library.
namespace quillory {

// Width in pixels of a text in the font the row is drawn with.
using TextWidth = std::function<int(std::u16string_view)>;

// `text` when it is narrower than `room`; otherwise its longest beginning that fits together with
// ".." (so a text exactly as wide as `room` is shortened). A surrogate pair is never split. When not
// even ".." fits (a room that is negative or too small) the result is empty.
[[nodiscard]] std::u16string FitText(std::u16string_view text, int room, const TextWidth& width);

// The recent list's first line for a project folder: its name with every ".qlyp.dir" removed,
// whatever its case.
[[nodiscard]] std::u16string RecentProjectName(std::u16string_view path);

// The recent list's second line: the folder holding the project, with its closing slash.
[[nodiscard]] std::u16string RecentProjectFolder(std::u16string_view path);

} // namespace quillory
