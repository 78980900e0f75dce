#include "ui/editor/RichEdit.h"

#include "core/rtf/Rtf.h"
#include "platform/QtText.h"

#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

#include <string>

namespace quillory::richedit {

namespace {

const QString kRtf = QStringLiteral("text/rtf");
const QString kRtfAlias = QStringLiteral("application/rtf");
const QString kHtml = QStringLiteral("text/html");
const QString kText = QStringLiteral("text/plain");

// Holds a snapshot of the page and renders each format only when a paste asks for it, once:
// building every format of a large page up front would delay the copy itself.
class PageMimeData final : public QMimeData {
public:
    explicit PageMimeData(rtf::Document page) : m_page(std::move(page)) {}

    QStringList formats() const override { return {kRtf, kRtfAlias, kHtml, kText}; }
    bool hasFormat(const QString& type) const override { return formats().contains(type); }

protected:
    QVariant retrieveData(const QString& type, QMetaType) const override
    {
        if (type == kRtf || type == kRtfAlias) {
            if (m_rtf.isNull()) {
                const std::string bytes = rtf::WriteRtf(m_page);
                m_rtf = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
            }
            return m_rtf;
        }
        if (type == kHtml) {
            if (m_html.isNull()) {
                QTextDocument document;
                document.setUndoRedoEnabled(false);
                fromModel(document, m_page);
                m_html = document.toHtml();
            }
            return m_html;
        }
        if (type == kText) {
            if (m_text.isNull())
                m_text = toQ(rtf::ExportText(m_page));
            return m_text;
        }
        return {};
    }

private:
    rtf::Document m_page;
    mutable QByteArray m_rtf;
    mutable QString m_html;
    mutable QString m_text;
};

} // namespace

std::unique_ptr<QMimeData> mimeDataFor(const rtf::Document& page)
{
    return std::make_unique<PageMimeData>(page);
}

std::unique_ptr<QMimeData> selectionMimeData(const QTextCursor& cursor)
{
    return std::make_unique<PageMimeData>(selectionToModel(cursor));
}

std::unique_ptr<QMimeData> documentMimeData(const QTextDocument& document)
{
    return std::make_unique<PageMimeData>(toModel(document));
}

QByteArray rtfFromMimeData(const QMimeData& data)
{
    for (const QString& type : {kRtf, kRtfAlias})
        if (data.hasFormat(type))
            return data.data(type);
    return {};
}

} // namespace quillory::richedit
