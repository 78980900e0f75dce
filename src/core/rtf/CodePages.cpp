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
    case 78:
        return 10001;
    case 79:
        return 10003;
    case 80:
        return 10008;
    case 81:
        return 10002;
    case 83:
        return 10005;
    case 84:
        return 10004;
    case 85:
        return 10006;
    case 88:
        return 10029;
    case 89:
        return 10007;
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
    switch (codePage) {
    case 932:
    case 936:
    case 949:
    case 950:
    case 1361:
    case 10001:
    case 10002:
    case 10003:
    case 10008:
        return true;
    default:
        return false;
    }
}

int DoubleByteBase(int codePage) noexcept
{
    switch (codePage) {
    case 10001:
        return 932;
    case 10002:
        return 950;
    case 10003:
        return 949;
    case 10008:
        return 936;
    default:
        return codePage;
    }
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
    case 10001: // Shift-JIS, as 932
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 10002: // Big5
        return byte >= 0xA1 && byte <= 0xFC;
    case 10003: // EUC-KR
        return byte >= 0xA1 && byte <= 0xFE;
    case 10008: // GB 2312
        return byte >= 0xA1 && byte <= 0xF7;
    default:
        return false;
    }
}

} // namespace quillory::rtf
