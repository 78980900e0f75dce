#include "ui/form/TForm1.h"

#include "core/search/SearchQuery.h"
#include "ui/access/AccessibleLabels.h"
#include "platform/Desktop.h"
#include "platform/QtText.h"
#include "ui/find/FindBar.h"
#include "ui/find/PageSearch.h"
#include "ui/find/SearchResults.h"
#include "ui/form/ControlKeys.h"
#include "ui/form/HelpTexts.h"
#include "ui/form/PageSession.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace quillory {

namespace fs = std::filesystem;

void TForm1::buildFind()
{
    SearchBox = new QLineEdit(Panel2);
    SearchBox->setObjectName(QStringLiteral("SearchBox"));
    SearchBox->setPlaceholderText(QStringLiteral("Search all pages"));
    SearchBox->setAccessibleName(QStringLiteral("Search all pages"));
    enableNamedClearButton(*SearchBox);
    SearchCount = new QLabel(Panel2);
    SearchCount->setObjectName(QStringLiteral("SearchCount"));
    SearchCount->setContentsMargins(4, 1, 4, 1);
    SearchCount->hide();
    if (auto* left = qobject_cast<QVBoxLayout*>(Panel2->layout())) {
        left->insertWidget(0, SearchBox);
        left->insertWidget(1, SearchCount);
    }
    SearchList = new SearchResults(ListStack);
    ListStack->addWidget(SearchList);

    FindBar1 = new FindBar(*RE, EditorPanel);
    EditorPanel->layout()->addWidget(FindBar1);

    // At the head of the Content menu, so its own entries keep their places from the end.
    Find1 = new QAction(QStringLiteral("&Find"), ContentMenu);
    Find1->setObjectName(QStringLiteral("Find1"));
    Find1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    SearchPages1 = new QAction(QStringLiteral("&Search All Pages"), ContentMenu);
    SearchPages1->setObjectName(QStringLiteral("SearchPages1"));
    SearchPages1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    QAction* first = ContentMenu->actions().value(0);
    ContentMenu->insertAction(first, Find1);
    ContentMenu->insertAction(first, SearchPages1);
    ContentMenu->insertSeparator(first)->setObjectName(QStringLiteral("N13"));
    // The context menu names the command; its key is the menu bar's, so the two never clash.
    Find2 = new QAction(QStringLiteral("&Find"), PopupMenu);
    Find2->setObjectName(QStringLiteral("Find2"));
    PopupMenu->insertAction(PopupMenu->actions().value(PopupMenu->actions().indexOf(SelectAll1) + 1), Find2);

    m_search = std::make_unique<PageSearch>();
    connect(Find1, &QAction::triggered, this, [this] { guarded([this] { Find1Click(Find1); }); });
    connect(Find2, &QAction::triggered, this, [this] { guarded([this] { Find1Click(Find2); }); });
    connect(SearchPages1, &QAction::triggered, this, [this] { guarded([this] { SearchPages1Click(SearchPages1); }); });
    connect(SearchBox, &QLineEdit::textChanged, this, [this] { guarded([this] { SearchBoxChange(); }); });
    // Enter typed before the answer came opens the best item once it comes.
    connect(SearchBox, &QLineEdit::returnPressed, this, [this] {
        if (m_search->pending())
            m_search->openFirstWhenFound();
        else
            guarded([this] { SearchListOpen(0); });
    });
    connect(SearchList, &SearchResults::opened, this,
            [this](int row) { guarded([this, row] { SearchListOpen(row); }); });
    connect(m_search.get(), &PageSearch::found, this, [this](const search::Found& found) { showFound(found); });
    connect(m_search.get(), &PageSearch::syncWanted, this, [this] { guarded([this] { syncSearch(); }); });

    // Escape leaves the search from its field and its list; Down goes from the field to the list.
    for (QWidget* control : std::initializer_list<QWidget*>{SearchBox, SearchList})
        connect(keysOf(*control, {QKeySequence(Qt::Key_Escape)}), &QAction::triggered, this,
                [this] { guarded([this] { endSearch(); }); });
    connect(keysOf(*SearchBox, {QKeySequence(Qt::Key_Down)}), &QAction::triggered, this, [this] {
        if (searchShown())
            SearchList->setFocus(Qt::TabFocusReason);
    });
}

void TForm1::Find1Click(QObject* Sender)
{
    if (helpBranch(Sender, {Find1, Find2}, help::kFind))
        return;
    // The selection, when it is a few words, is what the user wants to find.
    const QString selected = RE->textCursor().selectedText();
    FindBar1->open(selected.size() <= 100 && !selected.contains(QChar::ParagraphSeparator) ? selected : QString());
}

void TForm1::SearchPages1Click(QObject* Sender)
{
    if (helpBranch(Sender, {SearchPages1}, help::kSearchPages))
        return;
    SearchBox->setFocus(Qt::ShortcutFocusReason);
    SearchBox->selectAll();
}

bool TForm1::searchShown() const
{
    return ListStack->currentWidget() == SearchList;
}

void TForm1::indexProject()
{
    if (ProjectPath.empty())
        return;
    // Without a cache folder the index lives in memory for the run.
    const fs::path cache = m_desktop.cacheFolder();
    m_search->setProject(cache.empty() ? fs::path(":memory:") : PageSearch::cacheFileFor(cache, fs::path(ProjectPath)),
                         bufferDir());
    m_search->markStale();
    syncSearch();
}

void TForm1::syncSearch()
{
    if (!m_search->takeStale())
        return;
    const bool shown = m_page->loaded();
    m_search->sync(listEntries(), shown ? CurrentItem : std::u16string(),
                   shown ? fromQ(RE->toPlainText()) : std::u16string());
}

void TForm1::SearchBoxChange()
{
    const std::u16string typed = fromQ(SearchBox->text());
    if (search::QueryWords(typed).empty()) {
        if (searchShown() || typed.empty())
            endSearch(typed.empty());
        return;
    }
    syncSearch();
    if (m_page->loaded())
        m_search->updateShown(CurrentItem, RE->document()->revision(), [this] { return fromQ(RE->toPlainText()); });
    m_search->search(typed);
}

void TForm1::showFound(const search::Found& found)
{
    if (search::QueryWords(fromQ(SearchBox->text())).empty())
        return;
    SearchList->showHits(found.hits);
    SearchCount->setText(found.count == 1 ? QStringLiteral("1 item found")
                                          : QStringLiteral("%1 items found").arg(found.count));
    SearchCount->show();
    // A view of the list: the list's own rows, order and drags wait underneath.
    LB->setDragDropMode(QAbstractItemView::NoDragDrop);
    ListStack->setCurrentWidget(SearchList);
    if (m_search->takeOpenFirst())
        guarded([this] { SearchListOpen(0); });
}

void TForm1::endSearch(bool keepField)
{
    m_search->cancel();
    if (!keepField) {
        const QSignalBlocker quiet(SearchBox);
        SearchBox->clear();
    }
    SearchCount->hide();
    SearchList->clear();
    LB->setDragDropMode(QAbstractItemView::DragDrop);
    ListStack->setCurrentWidget(LB);
    // The list comes back with the item shown selected: the one from before the search, or the
    // one a search opened.
    selectEntry(CurrentItem);
    if (!keepField && RE->isEnabled())
        RE->setFocus(Qt::OtherFocusReason);
}

void TForm1::SearchListOpen(int row)
{
    if (!searchShown())
        return;
    const std::u16string name = SearchList->name(row);
    if (name.empty())
        return;
    SearchList->setCurrentRow(row);
    if (!selectEntry(name))
        return;
    LBClick();
    if (CurrentItem != name)
        return;
    // The words searched for, found in the page: the whole of what was typed where the page has
    // it, else its first word.
    const QString typed = SearchBox->text().simplified();
    const std::vector<std::u16string> words = search::QueryWords(fromQ(typed));
    const QString text = RE->toPlainText();
    FindBar1->open(text.contains(typed, Qt::CaseInsensitive) || words.empty() ? typed : toQ(words.front()), false);
}

void TForm1::stepSearch(int by)
{
    const int row = SearchList->currentRow() + by;
    if (row >= 0 && row < SearchList->count())
        SearchListOpen(row);
    else
        SearchListOpen(SearchList->currentRow());
}

} // namespace quillory
