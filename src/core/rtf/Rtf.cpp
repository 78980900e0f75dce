#include "core/rtf/Rtf.h"

#include "core/text/TextDecoder.h"

namespace quillory::rtf {

bool LooksLikeRtf(std::string_view bytes) noexcept
{
    const auto start = bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && bytes.substr(start, 5) == "{\\rtf";
}

Document ReadPage(std::string_view bytes)
{
    if (LooksLikeRtf(bytes))
        return ReadRtf(bytes);
    Document doc;
    for (std::u16string& line : SplitLines(DecodePlainText(bytes))) {
        Paragraph& p = doc.paragraphs.emplace_back();
        if (!line.empty())
            p.runs.push_back(Run{std::move(line), CharFormat{}});
    }
    if (doc.paragraphs.empty())
        doc.paragraphs.emplace_back();
    return doc;
}

std::u16string PlainTextOf(std::string_view bytes)
{
    return PlainText(ReadPage(bytes));
}

} // namespace quillory::rtf
