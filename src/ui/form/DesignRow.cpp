#include "ui/form/DesignRow.h"

#include <QFontMetricsF>
#include <QWidget>
#include <QWidgetItem>

#include <algorithm>
#include <cmath>
#include <utility>

namespace quillory {

DesignRow::DesignRow(QWidget* parent, QSize design) : QLayout(parent), m_design(design)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

DesignRow::~DesignRow()
{
    for (const Entry& entry : m_entries)
        delete entry.item;
}

void DesignRow::add(QWidget* widget, QRect design, Anchor anchor, QString sample)
{
    addChildWidget(widget);
    // Kept in the order of designed x: what a control gains moves everything to its right.
    const auto after = std::upper_bound(m_entries.begin(), m_entries.end(), design.x(),
                                        [](int x, const Entry& entry) { return x < entry.design.x(); });
    m_entries.insert(after, {new QWidgetItem(widget), design, anchor, std::move(sample)});
    invalidate();
}

void DesignRow::addItem(QLayoutItem* item)
{
    m_entries.push_back({item, QRect(QPoint(0, 0), item->sizeHint()), Anchor::Left, QString()});
    invalidate();
}

QLayoutItem* DesignRow::itemAt(int index) const
{
    return index >= 0 && index < count() ? m_entries[static_cast<std::size_t>(index)].item : nullptr;
}

QLayoutItem* DesignRow::takeAt(int index)
{
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem* item = m_entries[static_cast<std::size_t>(index)].item;
    m_entries.erase(m_entries.begin() + index);
    invalidate();
    return item;
}

int DesignRow::count() const
{
    return static_cast<int>(m_entries.size());
}

QSize DesignRow::sizeOf(const Entry& entry)
{
    const QWidget* widget = entry.item->widget();
    if (entry.sample.isEmpty() || widget == nullptr)
        return entry.design.size();
    // What the sample takes beyond the room the design gave it; never less than the design.
    QFont designed = widget->font();
    designed.setPointSizeF(kDesignPointSize);
    const QFontMetricsF now(widget->font());
    const QFontMetricsF then(designed);
    const auto growth = [](qreal more) { return std::max(0, static_cast<int>(std::ceil(more))); };
    return entry.design.size() +
           QSize(growth(now.horizontalAdvance(entry.sample) - then.horizontalAdvance(entry.sample)),
                 growth(now.height() - then.height()));
}

int DesignRow::height() const
{
    int tallest = m_design.height();
    for (const Entry& entry : m_entries)
        if (!entry.item->isEmpty())
            tallest = std::max(tallest, sizeOf(entry).height() + 2); // a pixel above and below
    return tallest;
}

int DesignRow::leftGrowth() const
{
    int growth = 0;
    for (const Entry& entry : m_entries)
        if (entry.anchor == Anchor::Left && !entry.item->isEmpty())
            growth += sizeOf(entry).width() - entry.design.width();
    return growth;
}

QSize DesignRow::sizeHint() const
{
    return {m_design.width() + leftGrowth(), height()};
}

QSize DesignRow::minimumSize() const
{
    // The left group's end and the right group beside it.
    int leftEnd = 0;
    int rightStart = m_design.width();
    for (const Entry& entry : m_entries) {
        if (entry.anchor == Anchor::Left)
            leftEnd = std::max(leftEnd, entry.design.right() + 1);
        else
            rightStart = std::min(rightStart, entry.design.left());
    }
    return {leftEnd + leftGrowth() + (m_design.width() - rightStart), height()};
}

void DesignRow::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    keepWindowWideEnough();
    // The row's extra height goes half above its controls, half below.
    const int above = (rect.height() - m_design.height()) / 2;
    int shift = 0;
    for (const Entry& entry : m_entries) {
        if (entry.item->isEmpty())
            continue;
        const QSize size = sizeOf(entry);
        const int x = entry.anchor == Anchor::Left ? rect.left() + entry.design.x() + shift
                                                   : rect.right() + 1 - (m_design.width() - entry.design.x());
        const int y = size.height() > entry.design.height() ? rect.top() + (rect.height() - size.height()) / 2
                                                            : rect.top() + entry.design.y() + std::max(0, above);
        entry.item->setGeometry(QRect(QPoint(x, y), size));
        if (entry.anchor == Anchor::Left)
            shift += size.width() - entry.design.width();
    }
}

void DesignRow::keepWindowWideEnough()
{
    // The window's own minimum is explicit, so it would not follow the row's: a larger font would
    // let the right-hand controls slide over the left-hand ones.
    QWidget* row = parentWidget();
    if (row == nullptr)
        return;
    QWidget* window = row->window();
    if (m_windowMinimum < 0)
        m_windowMinimum = window->minimumWidth();
    const int wanted = std::max(m_windowMinimum, minimumSize().width() + (window->width() - row->width()));
    if (window->minimumWidth() != wanted)
        window->setMinimumWidth(wanted);
}

} // namespace quillory
