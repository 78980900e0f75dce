#pragma once

#include <optional>
#include <string>
#include <string_view>

// Project folders are named "<name>.qlyp.dir". ASCII letters compare without regard to case.
namespace quillory::store {

// The folder name for a name the user typed: `name` + ".qlyp.dir", unless the name already
// holds "qlyp.dir" anywhere.
[[nodiscard]] std::u16string CompleteProjectName(std::u16string_view name);

// Whether Open Project accepts a folder: its path holds ".qlyp.dir" anywhere.
[[nodiscard]] bool IsProjectPath(std::u16string_view path);

// Why a typed project name cannot become a folder (after CompleteProjectName), as a message for
// the user; absent when it can.
[[nodiscard]] std::optional<std::u16string> ProjectNameProblem(std::u16string_view name);

// Why a project folder cannot be used, as a message for the user: `Recent` and `config` keep one
// path per line, so a path holding a line break would not be found again. Absent when it can.
[[nodiscard]] std::optional<std::u16string> ProjectPathProblem(std::u16string_view path);

} // namespace quillory::store
