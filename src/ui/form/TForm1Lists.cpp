#include "ui/form/TForm1.h"

#include "core/RowText.h"
#include "core/StuffUnit.h"
#include "platform/QtText.h"
#include "ui/lists/OwnerDrawDelegate.h"
#include "ui/editor/RichEdit.h"
#include "ui/access/Contrast.h"

#include <QAction>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace quillory {

namespace {

constexpr rtf::Colour kWindowBackground = 0xFF000005u;
constexpr rtf::Colour kButtonFace = 0xFF00000Fu;
constexpr rtf::Colour kMaroon = 0x000080u;
constexpr rtf::Colour kBlack = 0x000000u;

QFont listFont(const QString& family, int points)
{
    QFont font(family);
    font.setPointSize(points);
    return font;
}

// Fills the row and sets the pen for its text: black on the window colour, maroon on the button
// face when selected. Where the theme makes those unreadable (a dark one), the theme's text
// colour, and for the selected row a maroon light enough to read.
void paintRow(QPainter& canvas, const QListWidget& list, const QRect& rect, bool selected)
{
    const QPalette& palette = list.palette();
    const QColor background = richedit::colourToQ(selected ? kButtonFace : kWindowBackground, palette);
    QColor text = richedit::colourToQ(selected ? kMaroon : kBlack, palette);
    if (contrastRatio(text, background) < kTextContrast)
        text = selected ? readableOn(text, background, kTextContrast) : palette.color(QPalette::Text);
    canvas.fillRect(rect, background);
    canvas.setPen(text);
}

// Text in the painter's font with the top of its line at (x, y), clipped to `clip` unless that is null.
void drawAt(QPainter& canvas, const QString& text, int x, int y, const QRect& clip = {})
{
    canvas.save();
    if (!clip.isNull())
        canvas.setClipRect(clip, Qt::IntersectClip);
    canvas.drawText(QPoint(x, y + canvas.fontMetrics().ascent()), text);
    canvas.restore();
}

// The text shortened to `room` pixels of the painter's font.
QString fitted(const QPainter& canvas, const std::u16string& text, int room)
{
    const QFontMetrics metrics = canvas.fontMetrics();
    return toQ(FitText(text, room, [&metrics](std::u16string_view s) {
        return metrics.horizontalAdvance(
            QString::fromRawData(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size())));
    }));
}

void drawFocus(QPainter& canvas, const QListWidget& list, const QRect& rect, QStyle::State state)
{
    if (!state.testFlag(QStyle::State_HasFocus))
        return;
    QStyleOptionFocusRect focus;
    focus.initFrom(&list);
    focus.rect = rect;
    list.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &canvas, &list);
}

} // namespace

void TForm1::setUpListDrawing()
{
    // The lists were designed in Tahoma; where it is missing, the desktop's own sans-serif.
    m_listFamily = QFontDatabase::hasFamily(QStringLiteral("Tahoma"))
                       ? QStringLiteral("Tahoma")
                       : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    const auto setUp = [](QListWidget* list, int rowHeight, OwnerDrawDelegate::DrawRow draw) {
        list->setItemDelegate(new OwnerDrawDelegate(rowHeight, std::move(draw), list));
        list->setUniformItemSizes(true);
        // Rows shorten their texts instead.
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    };
    setUp(LB, 20, [this](QPainter& p, int row, const QRect& r, QStyle::State s) { LBDrawItem(p, row, r, s); });
    setUp(OpenRecent, 30,
          [this](QPainter& p, int row, const QRect& r, QStyle::State s) { OpenRecentDrawItem(p, row, r, s); });
}

void TForm1::LBDrawItem(QPainter& Canvas, int Index, const QRect& Rect, QStyle::State State)
{
    const QListWidgetItem* item = LB->item(Index);
    if (item == nullptr)
        return;
    paintRow(Canvas, *LB, Rect, Index == LB->currentRow() || item->isSelected());
    const QRect textBox(0, Rect.top(), LB->width() - 5, 20);
    Canvas.setFont(listFont(m_listFamily, 9));
    const std::u16string name = fromQ(item->text());
    if (EnableFunctionKeyCopy->isChecked()) {
        drawAt(Canvas, fitted(Canvas, name, LB->width() - 26), 5, Rect.top() + 2, textBox);
        if (Index < 9) {
            Canvas.setFont(listFont(m_listFamily, 7));
            drawAt(Canvas, toQ(u"F" + IntToText(Index + 1)), Rect.left() + Rect.width() - 15, Rect.top() + 5);
        }
    } else {
        drawAt(Canvas, fitted(Canvas, name, LB->width() - 10), 5, Rect.top() + 2, textBox);
    }
    drawFocus(Canvas, *LB, Rect, State);
}

void TForm1::OpenRecentDrawItem(QPainter& Canvas, int Index, const QRect& Rect, QStyle::State State)
{
    const QListWidgetItem* item = OpenRecent->item(Index);
    if (item == nullptr)
        return;
    paintRow(Canvas, *OpenRecent, Rect, Index == OpenRecent->currentRow());
    const QRect textBox(0, Rect.top(), OpenRecent->width() - 5, 30);
    const std::u16string path = fromQ(item->text());
    // Both lists are as wide as the left column.
    const int room = OpenRecent->width() - 35;
    Canvas.setFont(listFont(m_listFamily, 9));
    drawAt(Canvas, fitted(Canvas, RecentProjectName(path), room), 5, Rect.top() + 2, textBox);
    Canvas.setFont(listFont(m_listFamily, 5));
    drawAt(Canvas, fitted(Canvas, RecentProjectFolder(path), room), 5, Rect.top() + 18);
    drawFocus(Canvas, *OpenRecent, Rect, State);
}

} // namespace quillory
