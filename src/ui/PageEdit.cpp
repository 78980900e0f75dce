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
    const QByteArray bytes = richedit::rtfFromMimeData(*source);
    if (!bytes.isEmpty()) {
        const rtf::Document page =
            rtf::ReadRtf(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        const bool hasText = std::any_of(page.paragraphs.begin(), page.paragraphs.end(), [](const rtf::Paragraph& p) {
            return std::any_of(p.runs.begin(), p.runs.end(), [](const rtf::Run& r) { return !r.text.empty(); });
        });
        // RTF that yields nothing readable must not swallow a paste the other formats can make.
        if (hasText || !source->hasText() || source->text().isEmpty()) {
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
