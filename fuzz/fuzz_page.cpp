#include "core/rtf/Rtf.h"
#include "ui/editor/RichEdit.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include <QApplication>
#include <QTextDocument>
#include <QTextEdit>

// The whole way a page takes: read, built into an editor's document and laid out, read back
// from it and written. Run under libFuzzer's time and memory limits, a page that hangs the build or
// takes memory far beyond its size is a finding.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const quillory::rtf::Document page = quillory::rtf::ReadRtf(bytes);
    // An editor's document, laid out as the editor lays it: one page as wide as its viewport.
    QTextEdit editor;
    editor.resize(640, 480);
    QTextDocument& document = *editor.document();
    quillory::richedit::fromModel(document, page);
    (void)document.size(); // lays the whole page out
    const quillory::rtf::Document back = quillory::richedit::toModel(document);
    if (back.paragraphs.empty())
        std::abort();
    const std::string written = quillory::rtf::WriteRtf(back);
    if (!quillory::rtf::LooksLikeRtf(written))
        std::abort();
    (void)quillory::rtf::ReadRtf(written);
    return 0;
}
