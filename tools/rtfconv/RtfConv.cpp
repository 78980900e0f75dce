#include "rtfconv/SampleRtf.h"

#include "core/Utf.h"
#include "core/rtf/Rtf.h"

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

// rtfconv text FILE      the page's text (UTF-8) on standard output
// rtfconv rtf FILE       the page read and written again as RTF
// rtfconv sample BYTES   a generated rich-text control page of about BYTES bytes
// rtfconv time FILE      the best of five reads of FILE into the model, in MB/s of processor time
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};

bool readFile(const char* path, std::string& out)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file)
        return false;
    char buffer[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        out.append(buffer, got);
    return std::ferror(file.get()) == 0;
}

void writeOut(std::string_view bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

int usage()
{
    std::fputs("usage: rtfconv text FILE | rtf FILE | sample BYTES | time FILE\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return usage();
    const std::string_view command = argv[1];
    if (command == "sample") {
        writeOut(quillory::tools::SampleRtf(std::strtoull(argv[2], nullptr, 10)));
        return 0;
    }
    std::string bytes;
    if (!readFile(argv[2], bytes)) {
        std::perror(argv[2]);
        return 1;
    }
    if (command == "text") {
        writeOut(quillory::Utf16ToUtf8(quillory::rtf::PlainTextOf(bytes)));
        writeOut("\n");
        return 0;
    }
    if (command == "rtf") {
        writeOut(quillory::rtf::WriteRtf(quillory::rtf::ReadPage(bytes)));
        return 0;
    }
    if (command == "time") {
        // Processor time, which other programs on a busy machine disturb less than the wall clock.
        double best = 1e9;
        for (int i = 0; i < 5; ++i) {
            const std::clock_t start = std::clock();
            auto doc = std::make_unique<quillory::rtf::Document>(quillory::rtf::ReadRtf(bytes));
            const double took = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
            best = std::min(best, took);
            if (doc->paragraphs.empty())
                return 1;
        }
        std::printf("%.1f\n", static_cast<double>(bytes.size()) / (1 << 20) / std::max(best, 1e-6));
        return 0;
    }
    return usage();
}
