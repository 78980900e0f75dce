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
    {
        // Taken out and put in at the target's index: dragged down it lands after the entry it was
        // dropped on, dragged up before it, dropped below the last entry at the end.
        const QSignalBlocker block(LB);
        QListWidgetItem* entry = LB->takeItem(source);
        LB->insertItem(target < 0 ? LB->count() : target, entry);
    }
    selectEntry(CurrentItem);
    FixIt(kStampAndRebuild);
    Edited = true;
}

} // namespace quillory
