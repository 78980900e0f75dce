#pragma once

#include <string>
#include <string_view>

namespace quillory::settings {

// Appends `text` as one line of a settings file: UTF-8, ended by CR LF. CR and LF inside the
// text are left out, since they would split it into lines of their own.
void AppendLine(std::string& out, std::u16string_view text);

} // namespace quillory::settings
