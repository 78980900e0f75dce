#pragma once

#include <string>
#include <string_view>
#include <vector>

// The `Recent` file: one project path per line, in list order.
namespace quillory::settings {

// Every line is an entry, in file order (any byte-order mark; CR LF, LF or CR). Empty bytes, as
// for an absent file, give an empty list.
[[nodiscard]] std::vector<std::u16string> ReadRecent(std::string_view bytes);

// Each entry as a line ended by CR LF, the last one included; UTF-8 without a byte-order mark.
// A line break inside an entry is left out.
[[nodiscard]] std::string WriteRecent(const std::vector<std::u16string>& entries);

} // namespace quillory::settings
