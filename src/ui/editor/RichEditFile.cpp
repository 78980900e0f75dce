#include "ui/editor/RichEdit.h"

#include <optional>
#include <string>

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "core/rtf/Rtf.h"
#include "core/store/WholeFile.h"
#include "ui/editor/RichEditParts.h"

namespace quillory::richedit {

std::error_code loadPage(QTextEdit& editor, const std::filesystem::path& file)
{
    std::error_code error;
    const std::optional<std::string> bytes = store::ReadWholeFile(file, error);
    if (!bytes)
        return error;
    const rtf::Document page = rtf::ReadPage(*bytes);
    QTextDocument& document = *editor.document();
    fromModel(document, page);
    document.setModified(false);
    editor.setTextCursor(QTextCursor(&document));
    return {};
}

std::error_code savePage(const QTextEdit& editor, const std::filesystem::path& file, store::Flush flush)
{
    // An unchanged page is not rewritten: item switches write the page shown every time.
    return store::ReplaceFileIfChanged(file, rtf::WriteRtf(toModel(*editor.document())), flush);
}

std::unique_ptr<QTextDocument> printCopy(const QTextDocument& document)
{
    std::unique_ptr<QTextDocument> copy(document.clone());
    detail::registerObjects(*copy);
    return copy;
}

} // namespace quillory::richedit
