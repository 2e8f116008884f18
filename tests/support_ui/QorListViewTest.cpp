#include "support/ui/QorListView.h"

#include "platform/Exceptions.h"
#include "support/RVclUtils.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

QStringList Captions(const TRListView& view)
{
    QStringList result;
    for (int i = 0; i < view.ItemCount(); ++i)
        result << view.Items()->Item(i).Caption;
    return result;
}

// A list with a caption column and one more column holding `texts`; item i is captioned "r<i>".
void Fill(TRSortListView& view, const QStringList& texts)
{
    view.AddColumn("Имя", 80);
    view.AddColumn("Значение", 80);
    for (int i = 0; i < texts.size(); ++i)
        view.Items()->Add({QString("r%1").arg(i), {texts[i]}});
}

QStringList Column(const TRListView& view)
{
    QStringList result;
    for (int i = 0; i < view.ItemCount(); ++i)
        result << view.Items()->Item(i).SubItems.value(0);
    return result;
}

} // namespace

TEST(ListTextOrder, NumbersAsNumbersFirstCommaAsPointOtherTextsByLocaleWithoutCase)
{
    EXPECT_LT(CompareListTexts("9", "10"), 0);
    EXPECT_GT(CompareListTexts("10", "2,5"), 0);
    EXPECT_LT(CompareListTexts("2,5", "9"), 0);
    EXPECT_EQ(CompareListTexts("1,5", "1.5"), 0);
    EXPECT_EQ(CompareListTexts("-0", "0"), 0);
    EXPECT_LT(CompareListTexts("-3", "-2,5"), 0);
    EXPECT_LT(CompareListTexts("1e2", "101"), 0);
    // Texts: "a10" before "a9", letter case and the locale's alphabet.
    EXPECT_LT(CompareListTexts("a10", "a9"), 0);
    EXPECT_EQ(CompareListTexts("Абв", "абВ"), 0);
    EXPECT_LT(CompareListTexts("ёж", "жук"), 0);
    EXPECT_LT(CompareListTexts("Яма", "ящик"), 0);
    // A number against a text that is none: both as texts, by the locale. A dash comes before
    // every number, so a descending sort puts it last.
    EXPECT_LT(CompareListTexts("100", "a"), 0);
    EXPECT_GT(CompareListTexts("5", ""), 0);
    EXPECT_LT(CompareListTexts("-", "1000"), 0);
    EXPECT_LT(CompareListTexts("1,2,3", "7"), 0);   // only the first comma is a point: a text
}

TEST(ListTextOrder, PlainNumberReaderAcceptsOnlyWholeNumbers)
{
    long double value = 0;
    EXPECT_TRUE(ReadPlainNumber("  -12.5e1", value));
    EXPECT_EQ(value, -125.0L);
    EXPECT_TRUE(ReadPlainNumber("+.5", value));
    EXPECT_EQ(value, 0.5L);
    EXPECT_TRUE(ReadPlainNumber("7.", value));
    EXPECT_EQ(value, 7.0L);
    for (const char* text : {"", ".", "-", "1e", "1 ", "1,5", "0x10", "inf", "nan", "1.2.3", "$10", "1e+"})
        EXPECT_FALSE(ReadPlainNumber(text, value)) << text;
    EXPECT_TRUE(ReadPlainNumber("1e999999", value));   // too large to hold, still a number
    EXPECT_GT(value, 1e300L);
}

TEST(SortListView, ColumnSortIsNumericThenByCaptionAndDescendingReverses)
{
    TRSortListView view;
    Fill(view, {"10", "a9", "9", "2,5", "a10", "1.5", "1,5"});
    view.SetSortColumn(1);
    EXPECT_EQ(Column(view), (QStringList{"1.5", "1,5", "2,5", "9", "10", "a10", "a9"}));
    EXPECT_EQ(Captions(view), (QStringList{"r5", "r6", "r3", "r2", "r0", "r4", "r1"}));

    view.SetSortDirection(sdDescending);
    EXPECT_EQ(Column(view), (QStringList{"a9", "a10", "10", "9", "2,5", "1,5", "1.5"}));
    EXPECT_EQ(Captions(view), (QStringList{"r1", "r4", "r0", "r2", "r3", "r6", "r5"}));

    // Captions are compared by the same rule.
    view.SetSortDirection(sdAscending);
    view.SetSortColumn(0);
    EXPECT_EQ(Captions(view), (QStringList{"r0", "r1", "r2", "r3", "r4", "r5", "r6"}));
}

TEST(SortListView, MixedColumnSortIsTheSameWhateverTheStartingOrder)
{
    const QStringList texts{"b", "10", "", "B", "2,5", "x", "2.5", "-1", "a10", "A9", "0", "b"};
    std::mt19937 random(7);
    QStringList first;
    for (int round = 0; round < 20; ++round) {
        QStringList shuffled = texts;
        std::shuffle(shuffled.begin(), shuffled.end(), random);
        TRSortListView view;
        view.AddColumn("Имя", 80);
        view.AddColumn("Значение", 80);
        // The caption is the text's position in `texts`, so equal texts are told apart.
        for (const QString& text : shuffled) {
            const int original = static_cast<int>(texts.indexOf(text));
            view.Items()->Add({QString::number(original), {text}});
        }
        view.SetSortColumn(1);
        QStringList order = Column(view);
        if (round == 0)
            first = order;
        EXPECT_EQ(order, first);
    }
    EXPECT_EQ(first.mid(0, 6), (QStringList{"", "-1", "0", "2,5", "2.5", "10"}));
}

TEST(SortListView, ItemsWithoutTheSortColumnFollowByCaption)
{
    TRSortListView view;
    view.AddColumn("Имя", 80);
    view.AddColumn("Значение", 80);
    view.AddColumn("Ещё", 80);
    view.Items()->Add({"d", {"1", "5"}});
    view.Items()->Add({"c", {"1"}});
    view.Items()->Add({"a", {"2", "3"}});
    view.Items()->Add({"b", {}});
    view.SetSortColumn(2);
    EXPECT_EQ(Captions(view), (QStringList{"a", "d", "b", "c"}));
}

TEST(SortListView, HeaderClicksSortAndFlipAndSortColumnIsChecked)
{
    TRSortListView view;
    Fill(view, {"3", "1", "2"});
    QList<int> clicked;
    view.OnColumnClick = [&clicked](TRListView*, int column) { clicked.append(column); };

    emit view.header()->sectionClicked(1);
    EXPECT_EQ(view.SortColumn(), 1);
    EXPECT_EQ(view.SortDirection(), sdAscending);
    EXPECT_EQ(Column(view), (QStringList{"1", "2", "3"}));
    emit view.header()->sectionClicked(1);
    EXPECT_EQ(view.SortDirection(), sdDescending);
    EXPECT_EQ(Column(view), (QStringList{"3", "2", "1"}));
    emit view.header()->sectionClicked(1);
    EXPECT_EQ(view.SortDirection(), sdAscending);
    emit view.header()->sectionClicked(1);
    emit view.header()->sectionClicked(0);   // another column: ascending again
    EXPECT_EQ(view.SortColumn(), 0);
    EXPECT_EQ(view.SortDirection(), sdAscending);
    EXPECT_EQ(Captions(view), (QStringList{"r0", "r1", "r2"}));
    EXPECT_EQ(clicked, (QList<int>{1, 1, 1, 1, 0}));

    try {
        view.SetSortColumn(2);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Некорректное занчение номера столбца сортировки (2)");
    }
    EXPECT_THROW(view.SetSortColumn(-2), Exception);
    EXPECT_NO_THROW(view.SetSortColumn(-1));
    EXPECT_EQ(view.SortColumn(), -1);
    // The current value is taken without a check, even when it is no longer valid.
    TRSortListView empty;
    EXPECT_NO_THROW(empty.SetSortColumn(0));
}

TEST(SortListView, SortRunsBusyAndCompareHandlerHasTheLastWord)
{
    TRSortListView view;
    Fill(view, {"1", "2", "3"});
    int busySeen = 0;
    view.OnCompare = [&busySeen](TRSortListView* sender, const TRListItem&, const TRListItem&, int data, int& compare) {
        if (!IsNotWaiting())
            ++busySeen;
        EXPECT_EQ(data, sender->SortColumn());
        compare = -compare;
    };
    view.SetSortColumn(1);
    EXPECT_GT(busySeen, 0);
    EXPECT_TRUE(IsNotWaiting());
    EXPECT_EQ(Column(view), (QStringList{"3", "2", "1"}));
}

TEST(SortListView, SelectionFollowsItsItemThroughASort)
{
    TRSortListView view;
    Fill(view, {"3", "1", "2"});
    view.SetSelected(0);
    view.SetSortColumn(1);
    EXPECT_EQ(view.Selected(), 2);
    EXPECT_EQ(view.Items()->Item(2).Caption, "r0");
}

TEST(SortListView, OwnerDataListIsSortedByItsOwner)
{
    TRSortListView view;
    view.AddColumn("Имя", 80);
    view.AddColumn("Значение", 80);
    view.SetOwnerData(true);
    QStringList rows{"c", "a", "b"};
    view.SetOnData([&rows](int row, int column) { return column == 0 ? rows.at(row) : QString(); });
    view.SetItemCount(3);
    EXPECT_FALSE(view.SortItems());   // nobody to sort

    QList<int> calls;
    view.OnOwnerSort = [&](TRSortListView*, int column, TSortDirection direction) {
        calls << column << direction;
        std::sort(rows.begin(), rows.end());
    };
    EXPECT_TRUE(view.SortItems());
    EXPECT_EQ(calls, (QList<int>{0, 0}));
    EXPECT_EQ(view.model()->index(0, 0).data().toString(), "a");
    emit view.header()->sectionClicked(1);
    EXPECT_EQ(calls, (QList<int>{0, 0, 1, 0}));
}

TEST(SortListView, DeleteSelectedSelectsTheItemThatTookItsPlace)
{
    TRSortListView view;
    Fill(view, {"0", "1", "2", "3"});
    view.SetSelected(1);
    view.DeleteSelected();
    EXPECT_EQ(Captions(view), (QStringList{"r0", "r2", "r3"}));
    EXPECT_EQ(view.SelectedRows(), (QList<int>{1}));

    view.SetSelected(2);   // the last row
    view.DeleteSelected();
    EXPECT_EQ(Captions(view), (QStringList{"r0", "r2"}));
    EXPECT_EQ(view.SelectedRows(), (QList<int>{1}));

    view.SetMultiSelect(true);
    view.SetItemSelected(0, true);
    view.DeleteSelected();   // both rows
    EXPECT_EQ(view.ItemCount(), 0);
    EXPECT_EQ(view.Selected(), -1);

    view.Items()->Add({"only", {}});
    view.SetSelected(0);
    view.DeleteSelected();
    EXPECT_EQ(view.ItemCount(), 0);
    EXPECT_EQ(view.Selected(), -1);
}

TEST(ListView, HiddenColumnsReadAsZeroAndChecksGoThroughTheModel)
{
    TRListView view;
    view.AddColumn("A", 50);
    view.AddColumn("B", 0, Qt::AlignHCenter);
    EXPECT_EQ(view.ColumnWidth(1), 0);
    EXPECT_TRUE(view.isColumnHidden(1));
    view.SetColumnWidth(1, 40);
    EXPECT_EQ(view.ColumnWidth(1), 40);
    EXPECT_EQ(view.ColumnWidth(7), 0);

    view.Items()->Add({"x", {"y"}});
    EXPECT_FALSE(view.model()->index(0, 0).data(Qt::CheckStateRole).isValid());
    view.SetCheckboxes(true);
    EXPECT_EQ(view.model()->index(0, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_TRUE(view.model()->setData(view.model()->index(0, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(view.Items()->Item(0).Checked);
    EXPECT_EQ(view.model()->index(0, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHCenter, Qt::AlignHCenter);
}

namespace {

// What a header needs for a caption, measured apart from the list: the caption in bold (the
// header shows its current column so) and the style's margin on either side.
int CaptionNeed(const QHeaderView* header, const QString& caption)
{
    QFont bold = header->font();
    bold.setBold(true);
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    return QFontMetrics(bold).horizontalAdvance(caption) + 2 * margin;
}

} // namespace

TEST(ListView, GivenWidthsWidenToTheirCaptionsAndStoredWidthsStayExact)
{
    TRListView view;
    const struct {
        const char* Caption;
        int Given;
    } columns[] = {{"A", 50}, {"Результаты тиража", 30}, {"", 40}, {"Глубина в %", 0}};
    for (const auto& column : columns)
        view.AddColumn(QString::fromUtf8(column.Caption), column.Given);
    const QHeaderView* header = view.header();
    const int resultsNeed = CaptionNeed(header, QString::fromUtf8("Результаты тиража"));
    ASSERT_GT(resultsNeed, 30);

    EXPECT_EQ(view.ColumnWidth(0), 50);                  // the caption fits: the given width
    EXPECT_GE(view.ColumnWidth(1), resultsNeed);         // too narrow: as wide as its caption
    EXPECT_EQ(view.ColumnWidth(2), 40);                  // nothing to show
    EXPECT_EQ(view.ColumnWidth(3), 0);                   // hidden stays hidden
    EXPECT_EQ(view.Items()->Column(1).Width, 30);        // the given width is remembered
    EXPECT_EQ(view.ColumnWidth(1), view.HeaderTextWidth(1));

    // A stored layout (or the user) may make a column narrower than its caption.
    view.SetColumnWidth(1, 35);
    EXPECT_EQ(view.ColumnWidth(1), 35);
    // Shown again with the program's width, a hidden column takes its caption's width too.
    view.SetFittedColumnWidth(3, 20);
    EXPECT_GE(view.ColumnWidth(3), CaptionNeed(header, QString::fromUtf8("Глубина в %")));

    // A larger font widens the columns the program sized and nobody has resized since.
    view.header()->resizeSection(0, 45);
    QFont larger = view.font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    view.setFont(larger);
    EXPECT_GE(view.ColumnWidth(3), CaptionNeed(view.header(), QString::fromUtf8("Глубина в %")));
    EXPECT_EQ(view.ColumnWidth(0), 45);   // resized by hand
    EXPECT_EQ(view.ColumnWidth(1), 35);   // set exactly
    EXPECT_EQ(view.ColumnWidth(2), 40);
}
