#include "core/text/TextExport.h"

#include "core/StuffUnit.h"
#include "core/Utf.h"

namespace quillory {

std::string PlainTextFile(std::span<const std::u16string> lines)
{
    std::string bytes;
    for (const std::u16string& line : lines) {
        bytes += Utf16ToUtf8(line);
        bytes += "\r\n";
    }
    return bytes;
}

bool ExportsAsRtf(const std::filesystem::path& file)
{
    const std::string name = file.filename().string();
    const auto dot = name.rfind('.');
    return dot != std::string::npos && EqualsNoCase(Utf8ToUtf16(std::string_view(name).substr(dot)), u".rtf");
}

} // namespace quillory
