#include "ui/RichEdit.h"

#include <string>

#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include "core/rtf/Rtf.h"

namespace quillory::richedit {

namespace {

const QString kRtf = QStringLiteral("text/rtf");
const QString kRtfAlias = QStringLiteral("application/rtf");

std::unique_ptr<QMimeData> mimeData(const rtf::Document& page, const QTextDocumentFragment& fragment)
{
    auto data = std::make_unique<QMimeData>();
    const std::string rtf = rtf::WriteRtf(page);
    const QByteArray bytes(rtf.data(), static_cast<qsizetype>(rtf.size()));
    data->setData(kRtf, bytes);
    data->setData(kRtfAlias, bytes);
    data->setHtml(fragment.toHtml());
    data->setText(fragment.toPlainText());
    return data;
}

} // namespace

std::unique_ptr<QMimeData> mimeDataFor(const rtf::Document& page)
{
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    fromModel(document, page);
    return mimeData(page, QTextDocumentFragment(&document));
}

std::unique_ptr<QMimeData> selectionMimeData(const QTextCursor& cursor)
{
    return mimeData(selectionToModel(cursor), cursor.selection());
}

std::unique_ptr<QMimeData> documentMimeData(const QTextDocument& document)
{
    return mimeData(toModel(document), QTextDocumentFragment(&document));
}

QByteArray rtfFromMimeData(const QMimeData& data)
{
    for (const QString& type : {kRtf, kRtfAlias})
        if (data.hasFormat(type))
            return data.data(type);
    return {};
}

} // namespace quillory::richedit
