#include "support/ui/RListView.h"

#include "support/ui/QorListView.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A list of captions; each item gets a data record with the identifier 10 * (index + 1).
class ListHelpers : public ::testing::Test {
protected:
    void Fill(const QStringList& captions, bool withData = true)
    {
        FView.AddColumn("Поле", 100);
        FView.AddColumn("Ширина", 60);
        for (int i = 0; i < captions.size(); ++i) {
            TRListItem item{captions[i], {QString::number(i)}};
            if (withData) {
                FRecords.push_back(std::make_unique<TRItemData>(10 * (i + 1)));
                item.Data = FRecords.back().get();
            }
            FView.Items()->Add(item);
        }
    }
    QStringList Captions() const
    {
        QStringList result;
        for (int i = 0; i < FView.ItemCount(); ++i)
            result << FView.Items()->Item(i).Caption;
        return result;
    }
    // Every record is attached to exactly one item.
    void ExpectRecordsAttachedOnce() const
    {
        for (const auto& record : FRecords) {
            int attached = 0;
            for (int i = 0; i < FView.ItemCount(); ++i)
                attached += FView.Items()->Item(i).Data == record.get();
            EXPECT_EQ(attached, 1) << record->Index;
        }
    }

    std::vector<std::unique_ptr<TRItemData>> FRecords;
    TRListView FView;
};

} // namespace

TEST_F(ListHelpers, DataIdentifiersFindItems)
{
    Fill({"a", "b", "c"});
    FView.Items()->SetData(1, nullptr);
    EXPECT_EQ(ItemDataIndex(&FView, 0), 10);
    EXPECT_EQ(ItemDataIndex(&FView, 1), -1);
    EXPECT_EQ(ItemDataIndex(&FView, 3), -1);
    EXPECT_EQ(ItemDataIndex(nullptr, 0), -1);
    EXPECT_EQ(FindItemByData(&FView, 30), 2);
    EXPECT_EQ(FindItemByData(&FView, -1), 1);   // the first item without a record
    EXPECT_EQ(FindItemByData(&FView, 99), -1);
}

TEST_F(ListHelpers, MoveCheckedToTopKeepsBothGroupsInOrderAndTheSelectionFollows)
{
    Fill({"1st", "2nd", "3rd", "4th"});
    FView.Items()->SetChecked(1, true);
    FView.Items()->SetChecked(3, true);
    FView.SetSelected(3);
    EXPECT_EQ(LastLeadingChecked(&FView), -1);
    MoveCheckedToTop(&FView);
    EXPECT_EQ(Captions(), (QStringList{"2nd", "4th", "1st", "3rd"}));
    EXPECT_EQ(FView.SelectedRows(), (QList<int>{1}));
    EXPECT_EQ(ItemDataIndex(&FView, 1), 40);
    EXPECT_EQ(FView.Items()->Item(1).SubItems, (QStringList{"3"}));
    EXPECT_EQ(LastLeadingChecked(&FView), 1);
    ExpectRecordsAttachedOnce();

    // Already in place: nothing moves.
    MoveCheckedToTop(&FView);
    EXPECT_EQ(Captions(), (QStringList{"2nd", "4th", "1st", "3rd"}));
}

TEST_F(ListHelpers, MoveCheckedToTopOnLongerRuns)
{
    Fill({"a", "b", "c", "d", "e", "f"});
    for (int i : {0, 2, 3, 5})
        FView.Items()->SetChecked(i, true);
    MoveCheckedToTop(&FView);
    EXPECT_EQ(Captions(), (QStringList{"a", "c", "d", "f", "b", "e"}));
    ExpectRecordsAttachedOnce();
}

TEST_F(ListHelpers, MoveItemToLandsBeforeTheTargetPlace)
{
    Fill({"a", "b", "c", "d", "e"});
    EXPECT_EQ(MoveItemTo(&FView, 1, 3), 2);
    EXPECT_EQ(Captions(), (QStringList{"a", "c", "b", "d", "e"}));
    EXPECT_EQ(MoveItemTo(&FView, 4, 0), 0);
    EXPECT_EQ(Captions(), (QStringList{"e", "a", "c", "b", "d"}));
    EXPECT_EQ(MoveItemTo(&FView, 0, 5), 4);   // to the end
    EXPECT_EQ(Captions(), (QStringList{"a", "c", "b", "d", "e"}));
    EXPECT_EQ(MoveItemTo(&FView, 0, 99), 4);
    EXPECT_EQ(Captions(), (QStringList{"c", "b", "d", "e", "a"}));
    EXPECT_EQ(MoveItemTo(&FView, 7, 1), -1);
    EXPECT_EQ(MoveItemTo(&FView, 1, -1), -1);
    EXPECT_EQ(Captions(), (QStringList{"c", "b", "d", "e", "a"}));
    ExpectRecordsAttachedOnce();
}

TEST_F(ListHelpers, MoveSelectedUpAndDownStopAtTheEnds)
{
    Fill({"a", "b", "c"});
    FView.SetSelected(0);
    MoveSelectedUp(&FView);
    EXPECT_EQ(Captions(), (QStringList{"a", "b", "c"}));
    MoveSelectedDown(&FView);
    EXPECT_EQ(Captions(), (QStringList{"b", "a", "c"}));
    EXPECT_EQ(FView.Selected(), 1);
    MoveSelectedDown(&FView);
    MoveSelectedDown(&FView);
    EXPECT_EQ(Captions(), (QStringList{"b", "c", "a"}));
    EXPECT_EQ(FView.Selected(), 2);
    MoveSelectedUp(&FView);
    EXPECT_EQ(Captions(), (QStringList{"b", "a", "c"}));
    ExpectRecordsAttachedOnce();

    FView.SetSelected(-1);
    MoveSelectedDown(&FView);
    EXPECT_EQ(Captions(), (QStringList{"b", "a", "c"}));
}

TEST_F(ListHelpers, ScrollingBringsAnItemToTheNearEdgeAndLeavesVisibleOnesAlone)
{
    QStringList captions;
    for (int i = 0; i < 100; ++i)
        captions << QString("item %1").arg(i);
    Fill(captions, false);
    FView.resize(200, 160);
    FView.show();
    QApplication::processEvents();
    const int rows = FView.VisibleRowCount();
    ASSERT_GT(rows, 1);
    ASSERT_LT(rows, 50);
    EXPECT_EQ(FView.TopIndex(), 0);

    ScrollItemIntoView(&FView, rows - 1);   // visible already
    EXPECT_EQ(FView.TopIndex(), 0);
    ScrollItemIntoView(&FView, 99);
    EXPECT_EQ(FView.TopIndex(), 100 - rows);   // on the last whole line
    ScrollItemIntoView(&FView, 10);
    EXPECT_EQ(FView.TopIndex(), 10);   // on the first line
    FView.SetSelected(40);
    ScrollSelectedIntoView(&FView);
    EXPECT_EQ(FView.TopIndex(), 40 - rows + 1);
}
