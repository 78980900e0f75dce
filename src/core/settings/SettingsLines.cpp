#include "core/settings/SettingsLines.h"

#include "core/Utf.h"

#include <algorithm>

namespace quillory::settings {

void AppendLine(std::string& out, std::u16string_view text)
{
    const auto isBreak = [](char16_t c) { return c == u'\r' || c == u'\n'; };
    if (std::any_of(text.begin(), text.end(), isBreak)) {
        std::u16string kept(text);
        std::erase_if(kept, isBreak);
        out.append(Utf16ToUtf8(kept));
    } else {
        out.append(Utf16ToUtf8(text));
    }
    out.append("\r\n");
}

} // namespace quillory::settings
