#include "core/settings/Config.h"
#include "core/settings/RecentFile.h"
#include "core/text/TextDecoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

// What start-up does with each text of `config` and `Recent`: it becomes a path, which throws on
// text that is not valid UTF-16.
void mustBeAPath(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            ++i;
        else if (c >= 0xD800 && c <= 0xDFFF)
            std::abort();
    }
    try {
        (void)std::filesystem::path(text).native();
    } catch (...) {
        std::abort();
    }
}

} // namespace

// Any bytes in `config` or `Recent`: decoded into valid text, read without failing, written back
// as files that read the same again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    mustBeAPath(quillory::DecodePlainText(bytes));

    const quillory::settings::Config config = quillory::settings::ReadConfig(bytes);
    for (const auto* text : {&config.projectPath, &config.currentItem, &config.lastFileDir})
        mustBeAPath(*text);
    const std::string written = quillory::settings::WriteConfig(config);
    if (quillory::settings::WriteConfig(quillory::settings::ReadConfig(written)) != written)
        std::abort();

    for (const std::u16string& entry : quillory::settings::ReadRecent(bytes))
        mustBeAPath(entry);
    return 0;
}
