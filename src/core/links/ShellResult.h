#pragma once

#include <string_view>

namespace quillory::links {

// What the desktop made of a request to open something, as the shell's result codes: a value
// above 32 is success, the others name the failure.
enum class ShellResult : int {
    OutOfResources = 0,
    FileNotFound = 2,
    PathNotFound = 3,
    AccessDenied = 5,
    OutOfMemory = 8,
    BadProgram = 11,
    SharingViolation = 26,
    AssociationIncomplete = 27,
    DdeTimeout = 28,
    DdeFailed = 29,
    DdeBusy = 30,
    NoAssociation = 31,
    LibraryNotFound = 32,
    Ok = 42,
};

[[nodiscard]] constexpr bool Succeeded(ShellResult result) noexcept
{
    return static_cast<int>(result) > 32;
}

// The message for a failure code; empty for success and for a code without one.
[[nodiscard]] std::u16string_view ShellErrorText(ShellResult result) noexcept;

} // namespace quillory::links
