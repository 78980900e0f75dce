#include "core/rtf/Rtf.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

// Reads arbitrary bytes as RTF, then checks that what was read survives our writer: the written page
// reads back as the same document, and writing it again gives the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const quillory::rtf::Document doc = quillory::rtf::ReadRtf(bytes);
    if (doc.paragraphs.empty())
        std::abort();
    const std::string written = quillory::rtf::WriteRtf(doc);
    if (!quillory::rtf::LooksLikeRtf(written))
        std::abort();
    const quillory::rtf::Document again = quillory::rtf::ReadRtf(written);
    if (!(again == doc))
        std::abort();
    if (quillory::rtf::WriteRtf(again) != written)
        std::abort();
    (void)quillory::rtf::ReadPage(bytes);
    return 0;
}
