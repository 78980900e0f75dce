#include "ui/find/SearchResults.h"

#include "platform/QtText.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace quillory {

namespace {

// Two lines a row: the name, then the snippet in the theme's quieter text colour, its matches bold.
class ResultDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        const int line = option.fontMetrics.height();
        return {option.rect.width(), 2 * line + 6};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem base = option;
        initStyleOption(&base, index);
        base.text.clear();
        const QWidget* view = option.widget;
        QStyle* style = view ? view->style() : nullptr;
        if (style)
            style->drawControl(QStyle::CE_ItemViewItem, &base, painter, view);
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QPalette& palette = option.palette;
        const QColor text = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        QColor quiet = text;
        quiet.setAlphaF(selected ? 0.85F : 0.7F);

        const int line = option.fontMetrics.height();
        QRect area = option.rect.adjusted(4, 3, -4, -3);
        painter->save();
        painter->setClipRect(option.rect);
        painter->setPen(text);
        const QString name =
            option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, area.width());
        painter->drawText(QRect(area.left(), area.top(), area.width(), line), Qt::AlignLeft | Qt::AlignVCenter, name);

        // The snippet, its marked runs bold, cut at the row's end.
        const QString snippet = index.data(SearchResults::kSnippetRole).toString();
        QFont plain = option.font;
        QFont bold = option.font;
        bold.setBold(true);
        int x = area.left();
        const int y = area.top() + line + painter->fontMetrics().ascent();
        bool inMatch = false;
        QString run;
        const auto flush = [&] {
            if (run.isEmpty() || x >= area.right())
                return;
            painter->setFont(inMatch ? bold : plain);
            painter->setPen(inMatch ? text : quiet);
            const QFontMetrics metrics(painter->font());
            const QString shown = metrics.elidedText(run, Qt::ElideRight, area.right() - x);
            painter->drawText(QPoint(x, y), shown);
            x += metrics.horizontalAdvance(shown);
            run.clear();
        };
        for (const QChar c : snippet) {
            if (c == QChar(search::kMatchStart) || c == QChar(search::kMatchEnd)) {
                flush();
                inMatch = c == QChar(search::kMatchStart);
            } else {
                run += c.isSpace() ? QChar(u' ') : c; // line breaks of the page read as blanks
            }
        }
        flush();
        painter->restore();
    }
};

} // namespace

SearchResults::SearchResults(QWidget* parent) : QListWidget(parent)
{
    setObjectName(QStringLiteral("SearchResults"));
    setAccessibleName(QStringLiteral("Items found"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setItemDelegate(new ResultDelegate(this));
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { emit opened(row(item)); });
}

void SearchResults::showHits(const std::vector<search::Hit>& hits)
{
    clear();
    for (const search::Hit& hit : hits) {
        auto* item = new QListWidgetItem(toQ(hit.name), this);
        item->setData(kSnippetRole, toQ(hit.snippet));
    }
    if (count() > 0)
        setCurrentRow(0);
}

std::u16string SearchResults::name(int row) const
{
    const QListWidgetItem* found = item(row);
    return found ? fromQ(found->text()) : std::u16string();
}

void SearchResults::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        emit opened(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace quillory
