#include "ui/form/ItemsFixture.h"

#include "core/store/ProjectStore.h"
#include "ui/lists/ItemList.h"

#include <QDrag>
#include <QTest>

using namespace quillory;
using namespace quillory::test;

namespace {

class ItemDrag : public ItemsFixture {
protected:
    [[nodiscard]] QPoint rowCentre(int row) const { return form->LB->visualItemRect(form->LB->item(row)).center(); }
    [[nodiscard]] QPoint belowTheLast() const
    {
        const QRect last = form->LB->visualItemRect(form->LB->item(form->LB->count() - 1));
        return {last.center().x(), last.bottom() + 20};
    }
    // The list's drag ending at `to`, begun by a press at `from`: what arrives at the list when
    // the user drags one of its entries there.
    bool dragWithin(QPoint from, QPoint to, std::unique_ptr<QMimeData> data = {})
    {
        QTest::mousePress(form->LB->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseRelease(form->LB->viewport(), Qt::LeftButton, {}, from);
        if (!data)
            data = static_cast<ItemList*>(form->LB)->dragMimeData();
        QDragEnterEvent enter(to, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form->LB->viewport(), &enter);
        QDropEvent drop(QPointF(to), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form->LB->viewport(), &drop);
        return enter.isAccepted() && drop.isAccepted();
    }
};

} // namespace

TEST_F(ItemDrag, AnEntryLandsAtTheIndexOfTheEntryItIsDroppedOn)
{
    struct Case {
        int from;
        int onto; // -1: below the last entry
        std::vector<std::string> order;
    };
    const std::vector<Case> cases{{0, 2, {"B", "C", "A"}},
                                  {0, -1, {"B", "C", "A"}},
                                  {2, 0, {"C", "A", "B"}},
                                  {1, 1, {"A", "B", "C"}},
                                  {1, 0, {"B", "A", "C"}}};
    for (const auto& c : cases) {
        store::StampAll(bufferDir(), std::vector<std::u16string>{u"A", u"B", u"C"});
        form->Reload1Click();
        form->Edited = false;
        ASSERT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
        const std::string dragged = entries()[static_cast<std::size_t>(c.from)];
        ASSERT_TRUE(dragWithin(rowCentre(c.from), c.onto < 0 ? belowTheLast() : rowCentre(c.onto)));
        EXPECT_EQ(entries(), c.order) << c.from << " onto " << c.onto;
        EXPECT_EQ(stampedOrder(), c.order);
        EXPECT_EQ(selected(), dragged); // pressing it showed it
        EXPECT_EQ(form->CurrentItem, std::u16string(dragged.begin(), dragged.end()));
        EXPECT_TRUE(form->Edited); // also when it stayed where it was
        // The new order reaches the project folder with the next save.
        form->SaveProject1Click(form.get());
        for (std::size_t i = 0; i < c.order.size(); ++i)
            EXPECT_EQ(fs::last_write_time(project / c.order[i]), store::OrderStamp(i));
    }
}

TEST_F(ItemDrag, ADragBegunBelowTheLastEntryMovesNothing)
{
    form->DragStart = belowTheLast();
    form->LBDragDrop(rowCentre(0).x(), rowCentre(0).y());
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_FALSE(form->Edited);
}

TEST_F(ItemDrag, DragsFromElsewhereAreRefused)
{
    auto text = std::make_unique<QMimeData>();
    text->setText(QStringLiteral("B"));
    EXPECT_FALSE(dragWithin(rowCentre(0), rowCentre(2), std::move(text)));
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_FALSE(form->Edited);
    EXPECT_FALSE(form->LBDragOver(form->RE));
    EXPECT_TRUE(form->LBDragOver(form->LB));
}

TEST_F(ItemDrag, PressingAndMovingPastTheThresholdStartsTheListsOwnDrag)
{
    const QPoint from = rowCentre(0);
    QTest::mousePress(form->LB->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(form->LB->viewport(), from + QPoint(0, 2));
    QTest::mouseMove(form->LB->viewport(), from + QPoint(0, QApplication::startDragDistance() + 10));
    // The offscreen platform ends every drag at once; the drag object waits for its deletion.
    const auto drags = form->LB->findChildren<QDrag*>();
    ASSERT_EQ(drags.size(), 1);
    EXPECT_EQ(drags.front()->mimeData()->formats(), static_cast<ItemList*>(form->LB)->dragMimeData()->formats());
    EXPECT_EQ(form->DragStart, from);
    QTest::mouseRelease(form->LB->viewport(), Qt::LeftButton, {}, from);
}

TEST_F(ItemDrag, TheLeftButtonShowsThePressedEntryAndEveryButtonMarksTheDragStart)
{
    QTest::mouseClick(form->LB->viewport(), Qt::RightButton, {}, rowCentre(2));
    EXPECT_EQ(form->DragStart, rowCentre(2));
    EXPECT_EQ(selected(), "A");
    QTest::mouseClick(form->LB->viewport(), Qt::LeftButton, {}, rowCentre(1));
    EXPECT_EQ(selected(), "B");
    EXPECT_EQ(form->CurrentItem, u"B");
    EXPECT_EQ(page(), "page B");
}

TEST_F(ItemDrag, TheListIsRebuiltWhenTheBufferAndTheEntriesDiffer)
{
    writeFile(bufferDir() / "Stray", "put there by hand");
    form->FixIt(0);
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B", "C", "Stray"}));
    fs::remove(bufferDir() / "B");
    form->FixIt(0);
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "C", "Stray"}));
    EXPECT_EQ(selected(), "A");
}
