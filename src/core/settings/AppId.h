#pragma once

#include <string_view>

namespace quillory::settings {

// The application's one id: the launcher's and the metainfo's file names, the icon's name, the
// Wayland app id. packaging/CMakeLists.txt names the installed files after it.
inline constexpr std::string_view kAppId = "org.quillory.Quillory";

} // namespace quillory::settings
