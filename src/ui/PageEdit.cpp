#include "ui/PageEdit.h"

#include <algorithm>

#include <QMimeData>
#include <QTextCursor>

#include "core/rtf/Rtf.h"
#include "ui/RichEdit.h"

namespace quillory {

PageEdit::PageEdit(QWidget* parent) : QTextEdit(parent)
{
}

QMimeData* PageEdit::createMimeDataFromSelection() const
{
    return richedit::selectionMimeData(textCursor()).release();
}

bool PageEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return source != nullptr &&
           (!richedit::rtfFromMimeData(*source).isEmpty() || QTextEdit::canInsertFromMimeData(source));
}

void PageEdit::insertFromMimeData(const QMimeData* source)
{
    if (source == nullptr || isReadOnly())
        return;
    // An editor set to plain text takes the plain text, as Qt's own paste does.
    const QByteArray bytes = acceptRichText() ? richedit::rtfFromMimeData(*source) : QByteArray();
    if (!bytes.isEmpty()) {
        const rtf::Document page =
            rtf::ReadRtf(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        const bool hasText = std::any_of(page.paragraphs.begin(), page.paragraphs.end(), [](const rtf::Paragraph& p) {
            return std::any_of(p.runs.begin(), p.runs.end(), [](const rtf::Run& r) { return !r.text.empty(); });
        });
        // RTF that yields no text (blank lines, or only what the reader skips) leaves the paste to
        // the other formats, which carry the same or more.
        if (hasText) {
            QTextCursor cursor = textCursor();
            richedit::insertModel(cursor, page);
            setTextCursor(cursor);
            ensureCursorVisible();
            return;
        }
    }
    QTextEdit::insertFromMimeData(source);
}

} // namespace quillory
