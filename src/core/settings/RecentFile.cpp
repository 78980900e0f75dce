#include "core/settings/RecentFile.h"

#include "core/settings/SettingsLines.h"
#include "core/text/TextDecoder.h"

namespace quillory::settings {

std::vector<std::u16string> ReadRecent(std::string_view bytes)
{
    return SplitLines(DecodePlainText(bytes));
}

std::string WriteRecent(const std::vector<std::u16string>& entries)
{
    std::string out;
    for (const auto& entry : entries)
        AppendLine(out, entry);
    return out;
}

} // namespace quillory::settings
