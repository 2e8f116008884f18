#include "tests/support_ui/ExpXlsTestData.h"

using namespace expxls_test;

// ---------------------------------------------------------------------------------------------
// The export plan.

TEST(ExpXlsPlan, ColumnsOfAListView)
{
    TDrawsList list;
    const auto source = ListViewSource(list.View);
    EXPECT_EQ(source->FormName(), "FormTest");
    EXPECT_EQ(source->TableName(), "lvDraws");
    const std::vector<TExpXlsColumn> columns = ExpXlsColumnsOf(*source);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0], Col(0, "Номер", kExpAlignRight, "8,00"));
    EXPECT_EQ(columns[1], Col(1, "Дата", kExpAlignLeft, "12,50"));
    EXPECT_EQ(columns[2], Col(2, "Цифры", kExpAlignCenter, "9,00"));
}

TEST(ExpXlsPlan, TitleRowsStandWhereTheHeaderNotesAndCreationLineLeaveThem)
{
    TDrawsList list;
    const auto source = ListViewSource(list.View);
    struct TCase {
        const char* Header;
        const char* Notes;
        bool Created;
        QStringList Titles;   // "row:size:style:text"
        int CaptionRow;
    };
    const TCase cases[] = {
        {"", "Заметка", true,
         {U("1:12:1:Тиражи"), U("2:8:1:Заметка"), U("3:8:2:Отчет построен: 10.08.2016 9:05:03.")}, 5},
        {"", "  ", false, {U("1:12:1:Тиражи")}, 3},
        {"Шапка", "", false, {U("1:6:2:Шапка"), U("3:12:1:Тиражи")}, 5},
        {"Шапка", "Заметка", true,
         {U("1:6:2:Шапка"), U("3:12:1:Тиражи"), U("4:8:1:Заметка"), U("5:8:2:Отчет построен: 10.08.2016 9:05:03.")},
         7},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Header + std::string("/") + c.Notes);
        TExpXlsRequest request;
        request.Header = U(c.Header);
        request.Params.Title = U("Тиражи");
        request.Params.Notes = U(c.Notes);
        request.Params.ShowCreateTime = c.Created;
        request.Params.Columns = ExpXlsColumnsOf(*source);
        const TExpXlsPlan plan = BuildExportPlan(*source, request, kMoment);
        QStringList titles;
        for (const TExpXlsTitleLine& line : plan.Titles)
            titles << QString("%1:%2:%3:%4").arg(line.Row).arg(line.FontSize).arg(line.Style).arg(line.Text);
        EXPECT_EQ(titles, c.Titles);
        EXPECT_EQ(plan.CaptionRow, c.CaptionRow);
    }
}

TEST(ExpXlsPlan, DataFollowsTheCheckedColumnsInTheirOrder)
{
    TDrawsList list;
    const auto source = ListViewSource(list.View);
    TExpXlsRequest request;
    request.Params.Columns = ExpXlsColumnsOf(*source);
    std::swap(request.Params.Columns[0], request.Params.Columns[2]);   // Цифры, Дата, Номер
    request.Params.Columns[1].Checked = false;                          // no date
    request.Params.Columns[0].Caption = U("Пара");
    request.Params.Columns[2].WidthText = U("ширина");
    request.Params.BaseFontSize = 1;

    const TExpXlsPlan plan = BuildExportPlan(*source, request, kMoment);
    EXPECT_EQ(plan.ListCount, 3);
    EXPECT_EQ(plan.Captions, QStringList({U("Пара"), U("Номер")}));
    EXPECT_EQ(Texts(plan.Data), QStringList({U("1 2|3"), U("|2"), U("=5+4|1")}));
    ASSERT_EQ(plan.Formats.size(), 2u);
    EXPECT_EQ(plan.Formats[0].Column, 1);
    EXPECT_EQ(plan.Formats[0].AlignCode, kExpAlignCenter);
    EXPECT_DOUBLE_EQ(plan.Formats[0].Width, 9.0);
    EXPECT_EQ(plan.Formats[1].Column, 2);
    EXPECT_EQ(plan.Formats[1].AlignCode, kExpAlignRight);
    EXPECT_DOUBLE_EQ(plan.Formats[1].Width, 10.0);   // no number: the default width

    // No header line here, but the smallest base size would give one a size of -1.
    request.Header = "H";
    EXPECT_EQ(BuildExportPlan(*source, request, kMoment).Titles.front().FontSize, 1);
}

TEST(ExpXlsPlan, SelectedRowsOfListViews)
{
    TDrawsList list;
    const auto source = ListViewSource(list.View);
    TExpXlsRequest request;
    request.Params.Columns = {Col(0, "Номер")};
    request.SelectedOnly = true;

    // One row of a single-selection list; none selected: one empty row.
    list.View->SetSelected(1);
    EXPECT_EQ(source->SelectedCount(), 1);
    EXPECT_FALSE(source->SelectionOffered());
    EXPECT_EQ(Texts(BuildExportPlan(*source, request, kMoment).Data), QStringList({"2"}));
    list.View->SetSelected(-1);
    EXPECT_EQ(Texts(BuildExportPlan(*source, request, kMoment).Data), QStringList({""}));

    // Several rows of a multi-selection list, in list order.
    list.View->SetMultiSelect(true);
    list.View->SetItemSelected(2, true);
    list.View->SetItemSelected(0, true);
    EXPECT_EQ(source->ShownCount(), 3);
    EXPECT_EQ(source->SelectedCount(), 2);
    EXPECT_TRUE(source->SelectionOffered());
    EXPECT_EQ(Texts(BuildExportPlan(*source, request, kMoment).Data), QStringList({"3", "1"}));
    request.SelectedOnly = false;
    EXPECT_EQ(Texts(BuildExportPlan(*source, request, kMoment).Data), QStringList({"3", "2", "1"}));
}

TEST(ExpXlsPlan, RowsOfAnOwnerDataGrid)
{
    TStakesGrid grid;
    const auto source = OwnerDrawGridSource(grid.Grid);
    const std::vector<TExpXlsColumn> columns = ExpXlsColumnsOf(*source);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[1], Col(1, "Ставка", kExpAlignLeft, "10,00"));
    EXPECT_EQ(columns[2].WidthText, "262,50");
    EXPECT_EQ(source->ShownCount(), 4);

    TExpXlsRequest request;
    request.Params.Columns = columns;
    EXPECT_EQ(Texts(BuildExportPlan(*source, request, kMoment).Data),
              QStringList({"1.0|1.1|1.2", "2.0|2.1|2.2", "3.0|3.1|3.2", "4.0|4.1|4.2"}));

    grid.SelectRows(2, 3);
    EXPECT_EQ(source->SelectedCount(), 2);
    EXPECT_TRUE(source->SelectionOffered());
    request.SelectedOnly = true;
    EXPECT_EQ(Texts(BuildExportPlan(*source, request, kMoment).Data), QStringList({"2.0|2.1|2.2", "3.0|3.1|3.2"}));
}

TEST(ExpXlsPlan, RowsOfATableWidgetStartUnderItsHeader)
{
    QTableWidget table(2, 2);
    table.setObjectName("sgCard");
    table.setHorizontalHeaderLabels({U("Тираж"), U("Цифры")});
    table.setItem(0, 0, new QTableWidgetItem("10"));
    table.setItem(1, 0, new QTableWidgetItem("11"));
    table.setItem(1, 1, new QTableWidgetItem("4 5"));
    table.setColumnWidth(1, 84);
    const auto source = StringGridSource(&table);
    const std::vector<TExpXlsColumn> columns = ExpXlsColumnsOf(*source);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[1], Col(1, "Цифры", kExpAlignLeft, "10,50"));
    EXPECT_EQ(source->ShownCount(), 2);

    TExpXlsRequest request;
    request.Params.Columns = columns;
    EXPECT_EQ(Texts(BuildExportPlan(*source, request, kMoment).Data), QStringList({"10|", "11|4 5"}));
    table.setCurrentCell(1, 1);
    request.SelectedOnly = true;
    EXPECT_EQ(Texts(BuildExportPlan(*source, request, kMoment).Data), QStringList({"11|4 5"}));
}
