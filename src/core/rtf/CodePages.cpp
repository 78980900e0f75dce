#include "core/rtf/CodePages.h"

namespace quillory::rtf {

int CodePageOfCharset(int charset) noexcept
{
    switch (charset) {
    case 0:
        return kCodePageAnsi;
    case 2:
        return kCodePageSymbol;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

bool IsDoubleByte(int codePage) noexcept
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

bool IsLeadByte(int codePage, unsigned char byte) noexcept
{
    switch (codePage) {
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
        return byte >= 0x81 && byte <= 0xFE;
    case 1361:
        return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xDE) || (byte >= 0xE0 && byte <= 0xF9);
    default:
        return false;
    }
}

} // namespace quillory::rtf
