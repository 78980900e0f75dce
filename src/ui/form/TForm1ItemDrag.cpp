#include "ui/form/TForm1.h"

#include <QListWidget>
#include <QSignalBlocker>

namespace quillory {

void TForm1::LBMouseDown(Qt::MouseButton, int X, int Y)
{
    DragStart = QPoint(X, Y);
}

bool TForm1::LBDragOver(QObject* Source) const
{
    return Source == LB;
}

void TForm1::LBDragDrop(int X, int Y)
{
    const int source = LB->indexAt(DragStart).row();
    if (source < 0)
        return;
    const int target = LB->indexAt(QPoint(X, Y)).row();
    // Put in at the target's index: dragged down it lands after the entry it was dropped on,
    // dragged up before it, dropped below the last entry at the end.
    placeEntry(source, target < 0 ? LB->count() : target);
}

void TForm1::placeEntry(int from, int to)
{
    {
        const QSignalBlocker block(LB);
        QListWidgetItem* entry = LB->takeItem(from);
        LB->insertItem(to, entry);
    }
    selectEntry(CurrentItem);
    FixIt(kStampAndRebuild);
    Edited = true;
}

} // namespace quillory
