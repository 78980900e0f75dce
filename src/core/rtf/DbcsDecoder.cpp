#include "core/rtf/DbcsDecoder.h"

#include <cstddef>
#include <iconv.h>

namespace quillory::rtf {

namespace {
// iconv_open's value for failure.
const iconv_t kFailed = reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)

int slotOf(int codePage) noexcept
{
    switch (codePage) {
    case 932:
        return 0;
    case 936:
        return 1;
    case 949:
        return 2;
    case 950:
        return 3;
    case 1361:
        return 4;
    default:
        return -1;
    }
}

const char* iconvName(int slot) noexcept
{
    static constexpr const char* kNames[] = {"CP932", "CP936", "CP949", "CP950", "CP1361"};
    return kNames[slot];
}
} // namespace

DbcsDecoder::~DbcsDecoder()
{
    for (void* handle : m_handles)
        if (handle != nullptr && handle != kFailed)
            iconv_close(static_cast<iconv_t>(handle));
}

char32_t DbcsDecoder::decode(int codePage, unsigned char lead, unsigned char trail)
{
    const int slot = slotOf(codePage);
    if (slot < 0)
        return U'\uFFFD';
    void*& handle = m_handles[static_cast<std::size_t>(slot)];
    if (handle == nullptr)
        handle = iconv_open("UTF-32LE", iconvName(slot));
    if (handle == kFailed)
        return U'\uFFFD';
    char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    unsigned char out[8] = {};
    char* inPtr = in;
    std::size_t inLeft = sizeof in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    const auto cd = static_cast<iconv_t>(handle);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 4)
        return U'\uFFFD';
    const char32_t cp = static_cast<char32_t>(out[0]) | static_cast<char32_t>(out[1]) << 8 |
                        static_cast<char32_t>(out[2]) << 16 | static_cast<char32_t>(out[3]) << 24;
    return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF) ? cp : U'\uFFFD';
}

} // namespace quillory::rtf
