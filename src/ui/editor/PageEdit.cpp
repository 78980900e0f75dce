#include "ui/editor/PageEdit.h"

#include <algorithm>
#include <vector>

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextDocumentFragment>
#include <QTextBlock>
#include <QUrl>
#include <QVariant>

#include "core/rtf/Rtf.h"
#include "core/text/HtmlTables.h"
#include "platform/QtText.h"
#include "ui/editor/RichEdit.h"

namespace quillory {

namespace {

bool OwnResource(const QString& name)
{
    const QString scheme = QUrl(name).scheme();
    return scheme == QLatin1String("data") || scheme == QLatin1String("qrc") || name.startsWith(QLatin1String(":/"));
}

// A paste parsed apart from the page. The parser asks for backgrounds as it reads: an empty
// answer keeps it from the disk.
class PasteDocument final : public QTextDocument {
protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        return OwnResource(name.toString()) ? QTextDocument::loadResource(type, name) : QVariant(QByteArray());
    }
};

// Takes out of a parsed paste every picture and background it would fetch by address. Qt loads
// such a picture straight from the disk when it lays the page out, whatever the document's
// resource loading says, so they must not reach the page.
void DropFetchedResources(QTextDocument& parsed)
{
    // Only formats that name a background are touched: each change of a block is an edit, and a
    // paste of thousands of blocks must not make thousands of them.
    const auto fetches = [](const QTextFormat& format) {
        return format.hasProperty(QTextFormat::BackgroundImageUrl) &&
               !OwnResource(format.stringProperty(QTextFormat::BackgroundImageUrl));
    };
    std::vector<std::pair<int, int>> pictures;
    for (QTextBlock block = parsed.begin(); block.isValid(); block = block.next()) {
        if (fetches(block.blockFormat())) {
            QTextBlockFormat format = block.blockFormat();
            format.clearProperty(QTextFormat::BackgroundImageUrl);
            QTextCursor(block).setBlockFormat(format);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat() && !OwnResource(format.toImageFormat().name()))
                pictures.emplace_back(fragment.position(), fragment.length());
        }
    }
    // From the end, so the positions still to come stay where they were.
    for (std::size_t i = pictures.size(); i-- > 0;) {
        const auto [at, length] = pictures[i];
        QTextCursor cursor(&parsed);
        cursor.setPosition(at);
        cursor.setPosition(at + length, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    // Tables and frames carry backgrounds too.
    std::vector<QTextFrame*> frames{parsed.rootFrame()};
    while (!frames.empty()) {
        QTextFrame* frame = frames.back();
        frames.pop_back();
        QTextFrameFormat format = frame->frameFormat();
        if (fetches(format)) {
            format.clearProperty(QTextFormat::BackgroundImageUrl);
            frame->setFrameFormat(format);
        }
        for (QTextFrame* child : frame->childFrames())
            frames.push_back(child);
    }
}

} // namespace

PageEdit::PageEdit(QWidget* parent) : QTextEdit(parent)
{
}

namespace {

// The character a key types, or a null one for keys that type none (Delete, arrows, Escape,
// control combinations).
QChar typedCharacter(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QLatin1Char('\r');
    case Qt::Key_Tab:
        return QLatin1Char('\t');
    case Qt::Key_Backspace:
        return QLatin1Char('\b');
    default:
        break;
    }
    // Control combinations type nothing; with Alt they are AltGr on some keyboards, which does.
    const Qt::KeyboardModifiers mods = key.modifiers();
    if ((mods & (Qt::ControlModifier | Qt::MetaModifier)) && !(mods & Qt::AltModifier))
        return {};
    const QString text = key.text();
    return !text.isEmpty() && text.front().isPrint() ? text.front() : QChar();
}

} // namespace

bool PageEdit::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        emit shortcutPending();
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* command : actions())
            if (command->isEnabled() && command->shortcuts().contains(pressed))
                return true; // left unaccepted: the shortcut runs
    }
    return QTextEdit::event(event);
}

void PageEdit::keyPressEvent(QKeyEvent* event)
{
    // Tab types a tab here; with Ctrl it leaves the page, forwards or (with Shift) back.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        event->modifiers().testFlag(Qt::ControlModifier)) {
        event->accept();
        const bool back = event->key() == Qt::Key_Backtab || event->modifiers().testFlag(Qt::ShiftModifier);
        // QTextEdit's own keeps an editable page focused, which is what Ctrl+Tab must get past.
        QWidget::focusNextPrevChild(!back); // NOLINT(bugprone-parent-virtual-call)
        return;
    }
    if (const QChar typed = typedCharacter(*event); !typed.isNull())
        emit characterTyped(typed);
    QTextEdit::keyPressEvent(event);
}

bool PageEdit::takeHyperlinkClick(QMouseEvent* event)
{
    if (!event->modifiers().testFlag(Qt::ControlModifier) || event->button() != Qt::LeftButton)
        return false;
    const QString target = anchorAt(event->position().toPoint());
    if (target.isEmpty())
        return false;
    event->accept();
    emit hyperlinkClicked(target);
    return true;
}

void PageEdit::mousePressEvent(QMouseEvent* event)
{
    if (takeHyperlinkClick(event))
        return;
    QTextEdit::mousePressEvent(event);
    if (event->modifiers().testFlag(Qt::ControlModifier))
        emit ctrlPressed(event->modifiers());
}

void PageEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!takeHyperlinkClick(event))
        QTextEdit::mouseDoubleClickEvent(event);
}

void PageEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit leftReleased();
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
    // Rich text of other programs, as HTML: parsed apart from the page, cleared of what it would
    // fetch, then inserted.
    const QString html = source->hasFormat(QStringLiteral("application/x-qrichtext"))
                             ? QString::fromUtf8(source->data(QStringLiteral("application/x-qrichtext")))
                             : source->html();
    if (acceptRichText() && !html.isEmpty()) {
        // Qt lays every table out as a full grid: a row of thousands of cells over thousands of
        // rows of one would take minutes and gigabytes. Such a paste keeps its text alone.
        if (!text::AffordableTables(text::MeasureHtmlTables(viewOfQ(html)))) {
            textCursor().insertText(source->text());
            ensureCursorVisible();
            return;
        }
        PasteDocument parsed;
        parsed.setUndoRedoEnabled(false);
        parsed.setHtml(html);
        DropFetchedResources(parsed);
        QTextCursor cursor = textCursor();
        cursor.insertFragment(QTextDocumentFragment(&parsed));
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    QTextEdit::insertFromMimeData(source);
}

void PageEdit::paintEvent(QPaintEvent* event)
{
    QTextEdit::paintEvent(event);
    const QPointF scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRectF visible = QRectF(viewport()->rect()).translated(scroll);
    QPainter painter(viewport());
    // Only the blocks on screen: from the one at the top down to the first below the bottom.
    for (QTextBlock block = cursorForPosition(QPoint(0, 0)).block(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        if (layout == nullptr || layout->lineCount() == 0)
            continue;
        const QTextLine line = layout->lineAt(0);
        const QPointF at = layout->position() + QPointF(line.x(), line.y());
        if (at.y() > visible.bottom())
            break;
        const QString bullet = richedit::listBullet(block);
        if (bullet.isEmpty())
            continue;
        const QFont font = block.charFormat().font();
        const QFontMetricsF metrics(font);
        painter.setFont(font);
        painter.setPen(palette().color(QPalette::Text));
        const double x = at.x() - metrics.horizontalAdvance(bullet) - metrics.horizontalAdvance(QLatin1Char(' '));
        painter.drawText(QPointF(x, at.y() + line.ascent()) - scroll, bullet);
    }
}

} // namespace quillory
