#pragma once

#include <string_view>

// What a link of a page leads to, so that a page written elsewhere cannot start programs here.
namespace quillory::links {

enum class LinkKind {
    Web,   // http, https, ftp, mailto, or "www.": for the browser or mail program
    File,  // a path, or a file: URL: a file or folder of this computer
    Other, // any other scheme: handed to nobody
};

// By the target's beginning: a scheme (letters, digits, "+", "-", "." then ":", compared without
// regard to case), "www.", else a path.
[[nodiscard]] LinkKind ClassifyLink(std::u16string_view target) noexcept;

// Whether the desktop's opener would run the file rather than show it: executable (`executable`
// is the file's own permission), a script, a launcher, an installer or a runnable archive, known by
// its name's extension without regard to case.
[[nodiscard]] bool WouldRun(std::u16string_view fileName, bool executable) noexcept;

} // namespace quillory::links
