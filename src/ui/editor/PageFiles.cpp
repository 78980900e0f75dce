#include "ui/editor/PageFiles.h"

#include "core/rtf/Rtf.h"
#include "platform/QtText.h"
#include "ui/editor/RichEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace quillory::richedit {

std::string importedPage(std::string_view bytes)
{
    QTextDocument scratch;
    fromModel(scratch, rtf::ReadPage(bytes));
    return rtf::WriteRtf(toModel(scratch));
}

std::vector<std::u16string> laidOutLines(const QTextDocument& document)
{
    std::vector<std::u16string> lines;
    if (document.isEmpty())
        return lines;
    // Lays out what has not been yet: the editor lays out lazily, as far as it has been shown.
    (void)document.documentLayout()->documentSize();
    const auto add = [&lines](const QString& text) {
        QString line = text;
        line.remove(QChar::LineSeparator);
        lines.push_back(fromQ(line));
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QTextLayout* layout = block.layout();
        if (layout == nullptr || layout->lineCount() == 0) {
            add(text);
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            add(text.mid(line.textStart(), line.textLength()));
        }
    }
    return lines;
}

} // namespace quillory::richedit
