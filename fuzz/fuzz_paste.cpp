#include "core/rtf/Rtf.h"
#include "ui/editor/PageEdit.h"
#include "ui/editor/RichEdit.h"

#include <cstddef>
#include <cstdint>
#include <memory>

#include <QApplication>
#include <QMimeData>
#include <QTextDocument>

// Rich text of other programs pasted into the editor as HTML, then laid out, read back and written
// as the page would be. A paste that reads the disk, hangs, or takes memory beyond its size is a
// finding (libFuzzer's -timeout and -rss_limit_mb).
namespace {

class Editor final : public quillory::PageEdit {
public:
    using PageEdit::insertFromMimeData;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Editor editor;
    editor.resize(600, 400);
    QMimeData pasted;
    pasted.setHtml(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    pasted.setText(QStringLiteral("plain"));
    editor.insertFromMimeData(&pasted);
    (void)editor.document()->size();
    const quillory::rtf::Document page = quillory::richedit::toModel(*editor.document());
    (void)quillory::rtf::WriteRtf(page);
    return 0;
}
