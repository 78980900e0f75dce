#include "core/rtf/DbcsTable.h"

#include "core/rtf/CodePages.h"

#include <cstddef>
#include <iconv.h>

namespace quillory::rtf {

namespace {
constexpr std::size_t kSize = 128 * 256;

const char* iconvName(int codePage) noexcept
{
    switch (codePage) {
    case 932:
        return "CP932";
    case 936:
        return "CP936";
    case 949:
        return "CP949";
    case 950:
        return "CP950";
    default:
        return "CP1361";
    }
}

// One lead and trail byte; the code points these pages hold all lie in the basic plane.
char16_t convert(iconv_t cd, unsigned char lead, unsigned char trail)
{
    char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    unsigned char out[8] = {};
    char* inPtr = in;
    std::size_t inLeft = sizeof in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 4)
        return u'\uFFFD';
    const char32_t cp = static_cast<char32_t>(out[0]) | static_cast<char32_t>(out[1]) << 8 |
                        static_cast<char32_t>(out[2]) << 16 | static_cast<char32_t>(out[3]) << 24;
    return cp <= 0xFFFF && (cp < 0xD800 || cp > 0xDFFF) ? static_cast<char16_t>(cp) : u'\uFFFD';
}
} // namespace

DbcsTable::DbcsTable(int codePage) : m_units(new char16_t[kSize])
{
    for (std::size_t i = 0; i < kSize; ++i)
        m_units[i] = u'\uFFFD';
    const iconv_t cd = iconv_open("UTF-32LE", iconvName(codePage));
    if (cd == reinterpret_cast<iconv_t>(-1)) // NOLINT(performance-no-int-to-ptr): iconv_open's failure
        return;
    for (int lead = 0x80; lead < 0x100; ++lead) {
        if (!IsLeadByte(codePage, static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0; trail < 0x100; ++trail)
            m_units[static_cast<std::size_t>((lead - 0x80) * 256 + trail)] =
                convert(cd, static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
    }
    iconv_close(cd);
}

const DbcsTable* DbcsTable::forCodePage(int codePage)
{
    switch (DoubleByteBase(codePage)) {
    case 932: {
        static const DbcsTable table(932);
        return &table;
    }
    case 936: {
        static const DbcsTable table(936);
        return &table;
    }
    case 949: {
        static const DbcsTable table(949);
        return &table;
    }
    case 950: {
        static const DbcsTable table(950);
        return &table;
    }
    case 1361: {
        static const DbcsTable table(1361);
        return &table;
    }
    default:
        return nullptr;
    }
}

char16_t DbcsTable::decode(unsigned char lead, unsigned char trail) const noexcept
{
    return lead < 0x80 ? u'\uFFFD' : m_units[static_cast<std::size_t>((lead - 0x80) * 256 + trail)];
}

} // namespace quillory::rtf
