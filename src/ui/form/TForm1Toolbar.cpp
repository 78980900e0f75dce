#include "ui/form/TForm1.h"

#include "core/StuffUnit.h"
#include "platform/QtText.h"
#include "ui/form/EventHook.h"
#include "ui/form/FormatToolbar.h"
#include "ui/lists/OwnerDrawDelegate.h"
#include "ui/editor/RichEdit.h"
#include "ui/form/ScopedFlag.h"
#include "ui/form/ControlKeys.h"
#include "ui/editor/SelectionFormat.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPixmap>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <cmath>

namespace quillory {

namespace {

// The formatting buttons' state is their look: framed (raised) is on, flat is off.
bool isFramed(const QToolButton* button)
{
    return !button->autoRaise();
}

void setFramed(QToolButton* button, bool on)
{
    if (button->autoRaise() == on)
        button->setAutoRaise(!on);
}

QIcon swatch(rtf::Colour colour)
{
    QPixmap pixmap(22, 12);
    pixmap.fill(richedit::colourToQ(colour));
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

} // namespace

void TForm1::connectToolbarHandlers()
{
    for (std::size_t i = 0; i < FormatToolbar::kSwatches.size(); ++i) {
        Colour->addItem(swatch(FormatToolbar::kSwatches[i]), QString(),
                        QVariant::fromValue(FormatToolbar::kSwatches[i]));
        const QString name = toQ(FormatToolbar::kSwatchNames[i]);
        Colour->setItemData(Colour->count() - 1, name, Qt::AccessibleTextRole);
        Colour->setItemData(Colour->count() - 1, name, Qt::ToolTipRole);
    }
    Colour->setIconSize(QSize(22, 12));
    Colour->setCurrentIndex(-1);

    for (QToolButton* button : {SpeedButton10, SpeedButton11, SpeedButton12, SpeedButton13, SpeedButton17})
        connect(button, &QToolButton::clicked, this, [this, button] { guarded([&] { SpeedButton10Click(button); }); });
    connect(SpeedButton14, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton14Click(SpeedButton14); }); });
    connect(SpeedButton15, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton15Click(SpeedButton15); }); });
    connect(SpeedButton16, &QToolButton::clicked, this,
            [this] { guarded([this] { SpeedButton16Click(SpeedButton16); }); });
    for (QToolButton* button : {SpeedButton10, SpeedButton11, SpeedButton12, SpeedButton13, SpeedButton14,
                                SpeedButton15, SpeedButton16, SpeedButton17})
        setFramed(button, false);

    // Ctrl+B, Ctrl+I and Ctrl+U in the editor do what the B, I and U buttons do.
    for (const auto& [button, key] : {std::pair{SpeedButton10, Qt::Key_B}, std::pair{SpeedButton11, Qt::Key_I},
                                      std::pair{SpeedButton12, Qt::Key_U}}) {
        QToolButton* pressed = button;
        connect(keysOf(*RE, {QKeySequence(Qt::CTRL | key)}), &QAction::triggered, this,
                [this, pressed] { guarded([&] { SpeedButton10Click(pressed); }); });
    }

    // `activated` comes from the user only, so SetAttr's own choices run no handler.
    connect(FontBox, &QComboBox::activated, this, [this] { guarded([this] { FontBoxChange(FontBox); }); });
    connect(SizeBox, &QComboBox::activated, this, [this] { guarded([this] { SizeBoxSelect(SizeBox); }); });
    connect(Colour, &QComboBox::activated, this, [this] { guarded([this] { ColourChange(Colour); }); });

    FontBox->setItemDelegate(new OwnerDrawDelegate(
        20, [this](QPainter& p, int row, const QRect& r, QStyle::State s) { FontBoxDrawItem(p, row, r, s); }, FontBox));
    // Every row is as high as the first, so opening the list lays out no font but the visible ones.
    if (auto* list = qobject_cast<QListView*>(FontBox->view()))
        list->setUniformItemSizes(true);

    SizeBox->setInsertPolicy(QComboBox::NoInsert);
    const auto enterFilter = [this](QEvent* event) {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        bool taken = false;
        guarded([&] { taken = SizeBoxKeyDown(SizeBox, key->key(), key->modifiers()); });
        return taken;
    };
    EventHook::install(SizeBox, enterFilter);
    if (QLineEdit* edit = SizeBox->lineEdit())
        EventHook::install(edit, enterFilter);
}

void TForm1::fillFontBox()
{
    if (FontBox->count() != 0)
        return;
    std::vector<std::u16string> families;
    for (const QString& family : QFontDatabase::families())
        families.push_back(fromQ(family));
    m_toolbar.setFamilies(families);
    QStringList entries;
    for (const std::u16string& name : m_toolbar.fontNames())
        entries.append(toQ(name));
    FontBox->addItems(entries);
    FontBox->setCurrentIndex(-1);
}

void TForm1::SetAttr()
{
    const richedit::SelectionAttributes shown = richedit::selectionAttributes(*RE);

    selectFont(shown.format.font);

    const QString size = toQ(IntToText(std::lround(shown.format.pointSize)));
    if (SizeBox->currentText() != size)
        SizeBox->setEditText(size);

    const int colourRow = FormatToolbar::swatchRow(shown.format.colour);
    if (Colour->currentIndex() != colourRow)
        Colour->setCurrentIndex(colourRow);

    setFramed(SpeedButton10, shown.format.bold);
    setFramed(SpeedButton11, shown.format.italic);
    setFramed(SpeedButton12, shown.format.underline);
    setFramed(SpeedButton13, shown.format.strikeout);

    setFramed(SpeedButton14, shown.alignment == rtf::Alignment::Left);
    setFramed(SpeedButton15, shown.alignment == rtf::Alignment::Centre);
    setFramed(SpeedButton16, shown.alignment == rtf::Alignment::Right);

    setFramed(SpeedButton17, shown.numbering != rtf::Numbering::None);
}

void TForm1::selectFont(const std::u16string& name)
{
    if (FontBox->currentIndex() >= 0 && EqualsNoCase(fromQ(FontBox->currentText()), name))
        return;
    const int row = m_toolbar.fontRow(name);
    if (FontBox->currentIndex() != row)
        FontBox->setCurrentIndex(row);
}

void TForm1::formatSelection(const std::function<void()>& change)
{
    // Without a page shown there is nothing to format.
    if (RE->isReadOnly())
        return;
    {
        // Its own changes do not refresh the toolbar: the buttons show what a command applied only
        // after the next click or change, and ApplyStyle reads looks its first change left alone.
        const ScopedFlag formatting(m_toolbar.applyingFlag());
        change();
    }
    RE->setFocus();
    Edited = true;
}

void TForm1::SpeedButton10Click(QObject* Sender)
{
    auto* button = qobject_cast<QToolButton*>(Sender);
    if (button == nullptr)
        return;
    setFramed(button, !isFramed(button));
    ApplyStyle();
}

void TForm1::ApplyStyle()
{
    const richedit::StyleSet style{isFramed(SpeedButton10), isFramed(SpeedButton11), isFramed(SpeedButton12),
                                   isFramed(SpeedButton13)};
    const bool bullet = isFramed(SpeedButton17);
    formatSelection([&] {
        richedit::setSelectionStyle(*RE, style);
        richedit::setSelectionNumbering(*RE, bullet ? rtf::Numbering::Bullet : rtf::Numbering::None);
    });
}

void TForm1::SpeedButton14Click(QObject*)
{
    formatSelection([&] { richedit::setSelectionAlignment(*RE, rtf::Alignment::Left); });
}

void TForm1::SpeedButton15Click(QObject*)
{
    formatSelection([&] { richedit::setSelectionAlignment(*RE, rtf::Alignment::Centre); });
}

void TForm1::SpeedButton16Click(QObject*)
{
    formatSelection([&] { richedit::setSelectionAlignment(*RE, rtf::Alignment::Right); });
}

void TForm1::FontBoxChange(QObject*)
{
    formatSelection([&] { richedit::setSelectionFont(*RE, FontBox->currentText()); });
}

void TForm1::FontBoxDrawItem(QPainter& Canvas, int Index, const QRect& Rect, QStyle::State State)
{
    const QPalette& palette = FontBox->view()->palette();
    const bool selected = State.testFlag(QStyle::State_Selected);
    Canvas.fillRect(Rect, palette.brush(selected ? QPalette::Highlight : QPalette::Base));

    QFont font(FontBox->itemText(Index));
    font.setPointSize(10);
    Canvas.setFont(font);
    Canvas.setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    Canvas.save();
    Canvas.setClipRect(QRect(0, Rect.top(), FontBox->width() - 5, 20), Qt::IntersectClip);
    Canvas.drawText(QPoint(5, Rect.top() + Canvas.fontMetrics().ascent()), FontBox->itemText(Index));
    Canvas.restore();

    if (State.testFlag(QStyle::State_HasFocus)) {
        QStyleOptionFocusRect focus;
        focus.initFrom(FontBox->view());
        focus.rect = Rect;
        FontBox->view()->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &Canvas, FontBox->view());
    }
}

bool TForm1::SizeBoxKeyDown(QObject*, int Key, Qt::KeyboardModifiers)
{
    if (Key != Qt::Key_Return && Key != Qt::Key_Enter)
        return false;
    const std::u16string typed = fromQ(SizeBox->currentText());
    const int size = FormatToolbar::enteredSize(typed);
    if (size != LeadingInt(typed))
        SizeBox->setEditText(QString::number(size));
    formatSelection([&] { richedit::setSelectionSize(*RE, size); });
    return true;
}

void TForm1::SizeBoxSelect(QObject*)
{
    formatSelection([&] { richedit::setSelectionSize(*RE, LeadingInt(fromQ(SizeBox->currentText()))); });
}

void TForm1::ColourChange(QObject*)
{
    if (Colour->currentIndex() < 0)
        return;
    formatSelection([&] { richedit::setSelectionColour(*RE, Colour->currentData().value<rtf::Colour>()); });
}

} // namespace quillory
