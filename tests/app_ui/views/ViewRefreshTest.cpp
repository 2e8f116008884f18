// The refresh rule the view pages share, through real widgets: a page computes only while it is
// in sight and catches up when it comes into sight; and the one filler of the method lists.

#include "app/ui/stats/MethodBox.h"
#include "app/ui/views/CardPage.h"
#include "app/ui/views/ViewRefresh.h"
#include "support/ui/QorGrid.h"
#include "tests/app_ui/views/ViewPageTestEnv.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QTabWidget>

#include <gtest/gtest.h>

// In sight: the current page of its tab control (also before the window is shown) while its
// tab is on; a page that is a window of its own until it is hidden.
TEST(ViewRefresh, PageInSight)
{
    QTabWidget tabs;
    auto* first = new QWidget;
    auto* second = new QWidget;
    tabs.addTab(first, QStringLiteral("1"));
    tabs.addTab(second, QStringLiteral("2"));
    for (const bool shown : {false, true}) {
        if (shown) {
            tabs.show();
            QCoreApplication::processEvents();
        }
        tabs.setCurrentWidget(first);
        EXPECT_TRUE(PageInSight(*first, true)) << shown;
        EXPECT_FALSE(PageInSight(*second, true)) << shown;
        EXPECT_FALSE(PageInSight(*first, false)) << shown;
        tabs.setCurrentWidget(second);
        EXPECT_FALSE(PageInSight(*first, true)) << shown;
        EXPECT_TRUE(PageInSight(*second, true)) << shown;
    }

    QWidget alone;
    EXPECT_TRUE(PageInSight(alone, true));
    EXPECT_FALSE(PageInSight(alone, false));
    alone.show();
    EXPECT_TRUE(PageInSight(alone, true));
    alone.hide();
    EXPECT_FALSE(PageInSight(alone, true));
}

namespace {

class CardInTabsTest : public TViewPageTest {
protected:
    CardInTabsTest()
    {
        FCard = new TCardPage(FState, FCombs, FFilter);
        FOther = new QWidget;
        FTabs.addTab(FOther, QStringLiteral("other"));
        FTabs.addTab(FCard, QStringLiteral("card"));
        FTabs.setCurrentWidget(FOther);
    }

    int Refreshes() const { return static_cast<int>(FStatuses.count(U("Обновление карты тиражей..."))); }

    QTabWidget FTabs;
    QWidget* FOther = nullptr;
    TCardPage* FCard = nullptr;
};

} // namespace

// The card behind another page computes nothing, forced or not; it catches up with the
// archive as it is when it comes into sight, and then only when the archive changed.
TEST_F(CardInTabsTest, CardComputesWhenItComesIntoSight)
{
    FState.FDraws = MakeDraws({{1, 2}, {3, 4}});
    FCard->RefreshView(false);
    FCard->RefreshView(true);
    EXPECT_EQ(Refreshes(), 0);
    EXPECT_EQ(FCard->Grid()->RowCount(), 2);
    EXPECT_EQ(FCard->Grid()->GetCellText(0, 1), QString());

    FState.FDraws = MakeDraws({{1, 2}, {3, 4}, {5, 6}});
    FTabs.setCurrentWidget(FCard);
    FCard->RefreshView(false);
    EXPECT_EQ(Refreshes(), 1);
    EXPECT_EQ(FCard->Grid()->RowCount(), 4);
    EXPECT_EQ(FCard->Grid()->GetCellText(0, 1), QStringLiteral("3"));
    FCard->RefreshView(false);
    EXPECT_EQ(Refreshes(), 1);

    // A forced refresh missed behind another page runs when the card is back, though the
    // archive did not change.
    FTabs.setCurrentWidget(FOther);
    FCard->RefreshView(true);
    FTabs.setCurrentWidget(FCard);
    FCard->RefreshView(false);
    EXPECT_EQ(Refreshes(), 2);
}

// The method lists: the entries with their engine indexes, the remembered entry chosen again
// when the list is long enough, nothing chosen for a remembered -1, and no signal on the way.
TEST(MethodBox, FillsAndChoosesTheRememberedEntry)
{
    const std::vector<TMethodEntry> three{{QStringLiteral("a"), 4}, {QStringLiteral("b"), 7}, {QStringLiteral("c"), 9}};
    struct TCase {
        std::vector<TMethodEntry> Entries;
        int Index;
        int Current;
    };
    const TCase cases[] = {
        {three, 0, 0}, {three, 2, 2}, {three, 3, 0}, {three, -1, -1}, {{}, 0, -1}, {{}, -1, -1},
    };
    for (const TCase& c : cases) {
        QComboBox box;
        box.addItem(QStringLiteral("old"), 1);
        box.addItem(QStringLiteral("older"), 2);
        box.setCurrentIndex(1);
        int changed = 0;
        QObject::connect(&box, &QComboBox::currentIndexChanged, [&changed] { ++changed; });
        FillMethodBox(box, c.Entries, c.Index);
        EXPECT_EQ(box.currentIndex(), c.Current) << c.Index;
        EXPECT_EQ(changed, 0) << c.Index;
        ASSERT_EQ(box.count(), static_cast<int>(c.Entries.size()));
        for (int i = 0; i < box.count(); ++i) {
            EXPECT_EQ(box.itemText(i), c.Entries[static_cast<std::size_t>(i)].Caption);
            EXPECT_EQ(box.itemData(i).toInt(), c.Entries[static_cast<std::size_t>(i)].Index);
        }
    }
}
