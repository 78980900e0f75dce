#include "ui/form/TForm1.h"

#include "ui/find/FindBar.h"
#include "ui/form/ControlKeys.h"
#include "ui/form/HelpTexts.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

namespace quillory {

void TForm1::connectKeyboard()
{
    // F10 opens the menu bar at its first menu, as the desktops' own programs do.
    auto* menuKey = new QAction(this);
    menuKey->setObjectName(QStringLiteral("MenuBarKey"));
    menuKey->setShortcut(QKeySequence(Qt::Key_F10));
    addAction(menuKey);
    connect(menuKey, &QAction::triggered, this, [this] { menuBar()->setActiveAction(FileMenu->menuAction()); });

    // Enter or Ctrl+Tab in the item list goes on to the page.
    connect(LB, &ItemList::entered, this, [this] {
        if (RE->isEnabled())
            RE->setFocus(Qt::TabFocusReason);
    });
    // Enter on a recent project opens it, as a double-click does.
    connect(keysOf(*OpenRecent, {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}), &QAction::triggered, this,
            [this] {
                if (OpenRecent->currentItem() != nullptr)
                    guarded([this] { OpenRecentDblClick(); });
            });

    // The List menu names the keys; they act in the list only, where Alt+Up and Alt+Down mean
    // nothing else (a box's Alt+Down opens it).
    for (QAction* move : {MoveItemUp1, MoveItemDown1})
        keysActIn(*LB, *move);
    connect(MoveItemUp1, &QAction::triggered, this, [this] { guarded([this] { MoveItemUp1Click(MoveItemUp1); }); });
    connect(MoveItemDown1, &QAction::triggered, this,
            [this] { guarded([this] { MoveItemDown1Click(MoveItemDown1); }); });

    // Tab goes round in reading order: the toolbar left to right, the search field, the lists,
    // the page (which Ctrl+Tab leaves), the find bar.
    const std::initializer_list<QWidget*> order = {SpeedButton1,  SpeedButton2,
                                                   SpeedButton3,  SpeedButton4,
                                                   SpeedButton5,  SpeedButton7,
                                                   SpeedButton8,  FontBox,
                                                   SizeBox,       SpeedButton10,
                                                   SpeedButton11, SpeedButton12,
                                                   SpeedButton13, Colour,
                                                   SpeedButton14, SpeedButton15,
                                                   SpeedButton16, SpeedButton17,
                                                   SpeedButton9,  SpeedButton6,
                                                   SearchBox,     LB,
                                                   OpenRecent,    RE,
                                                   FindBar1};
    QWidget* previous = nullptr;
    for (QWidget* control : order) {
        if (previous != nullptr)
            setTabOrder(previous, control);
        previous = control;
    }
}

void TForm1::MoveItemUp1Click(QObject* Sender)
{
    if (helpBranch(Sender, {MoveItemUp1}, help::kMoveItem))
        return;
    const int from = LB->currentRow();
    // The rows a search shows are not the list's order.
    if (from > 0 && !searchShown())
        placeEntry(from, from - 1);
}

void TForm1::MoveItemDown1Click(QObject* Sender)
{
    if (helpBranch(Sender, {MoveItemDown1}, help::kMoveItem))
        return;
    const int from = LB->currentRow();
    if (from >= 0 && from + 1 < LB->count() && !searchShown())
        placeEntry(from, from + 1);
}

} // namespace quillory
