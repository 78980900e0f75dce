#include "rtfconv/SampleRtf.h"

#include "core/Utf.h"
#include "core/rtf/Rtf.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

// rtfconv text FILE      the page's text (UTF-8) on standard output
// rtfconv rtf FILE       the page read and written again as RTF
// rtfconv sample BYTES   a generated rich-text control page of about BYTES bytes
namespace {

bool readFile(const char* path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

int usage()
{
    std::cerr << "usage: rtfconv text FILE | rtf FILE | sample BYTES\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return usage();
    const std::string_view command = argv[1];
    if (command == "sample") {
        const std::string rtf = quillory::tools::SampleRtf(std::strtoull(argv[2], nullptr, 10));
        std::cout.write(rtf.data(), static_cast<std::streamsize>(rtf.size()));
        return 0;
    }
    std::string bytes;
    if (!readFile(argv[2], bytes)) {
        std::perror(argv[2]);
        return 1;
    }
    if (command == "text") {
        std::cout << quillory::Utf16ToUtf8(quillory::rtf::PlainTextOf(bytes)) << '\n';
        return 0;
    }
    if (command == "rtf") {
        std::cout << quillory::rtf::WriteRtf(quillory::rtf::ReadPage(bytes));
        return 0;
    }
    return usage();
}
