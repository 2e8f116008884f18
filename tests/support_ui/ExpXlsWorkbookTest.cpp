#include "tests/support_ui/ExpXlsTestData.h"

using namespace expxls_test;

// ---------------------------------------------------------------------------------------------
// Exports into workbooks, whole, failed half-way and refused.

TEST_F(ExpXlsWorkbook, AListGoesToTheSheetWithItsTitleCaptionsWidthsAndBorders)
{
    TDrawsList list;
    const auto source = ListViewSource(list.View);
    TExpXlsRequest request;
    request.Params.Title = U("Архив тиражей");
    request.Params.Notes = U("за август");
    request.Params.SheetName = U("Тиражи: 2016/08");
    request.Params.PageOrientation = 2;
    request.Params.Columns = ExpXlsColumnsOf(*source);
    std::swap(request.Params.Columns[0], request.Params.Columns[2]);
    request.Params.Columns[2].WidthText = "300";

    ASSERT_TRUE(ExportTableToExcel(*source, request));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    TXlsxReader xlsx;
    ReadOpened(xlsx);
    ASSERT_EQ(xlsx.SheetCount(), 1);
    EXPECT_EQ(xlsx.SheetNames(), QStringList({U("Тиражи 2016-08")}));
    EXPECT_EQ(xlsx.Sheet(1).Orientation, "landscape");

    // Title lines: title bold at 12, notes bold at 8, creation line italic, row 4 empty.
    EXPECT_EQ(xlsx.Text(1, "A1"), U("Архив тиражей"));
    EXPECT_TRUE(xlsx.CellStyle(1, "A1").Bold);
    EXPECT_DOUBLE_EQ(xlsx.CellStyle(1, "A1").FontSize, 12);
    EXPECT_EQ(xlsx.Text(1, "A2"), U("за август"));
    EXPECT_TRUE(xlsx.CellStyle(1, "A2").Bold);
    EXPECT_EQ(xlsx.Text(1, "A3"), U("Отчет построен: 10.08.2016 9:05:03."));
    EXPECT_TRUE(xlsx.CellStyle(1, "A3").Italic);
    EXPECT_EQ(xlsx.CellStyle(1, "A3").Horizontal, "left");
    EXPECT_EQ(xlsx.Text(1, "A4"), "");

    // Caption row 5, medium borders, centred and wrapped; data from row 6 with thin borders.
    const QStringList captions = {xlsx.Text(1, "A5"), xlsx.Text(1, "B5"), xlsx.Text(1, "C5")};
    EXPECT_EQ(captions, QStringList({U("Цифры"), U("Дата"), U("Номер")}));
    EXPECT_EQ(xlsx.CellStyle(1, "B5").BorderTop, "medium");
    EXPECT_EQ(xlsx.CellStyle(1, "B5").Horizontal, "center");
    EXPECT_TRUE(xlsx.CellStyle(1, "B5").Wrap);
    EXPECT_EQ(xlsx.Text(1, "A6"), U("1 2"));
    EXPECT_EQ(xlsx.Text(1, "B6"), U("03.01.2016"));
    EXPECT_EQ(xlsx.Text(1, "C6"), U("3"));
    EXPECT_EQ(xlsx.Text(1, "A7"), "");
    EXPECT_EQ(xlsx.CellStyle(1, "A7").BorderBottom, "thin");
    EXPECT_EQ(xlsx.Text(1, "A8"), U("=5+4"));
    EXPECT_TRUE(xlsx.IsString(1, "A8"));
    EXPECT_FALSE(xlsx.IsFormula(1, "A8"));
    EXPECT_EQ(xlsx.Text(1, "C8"), U("1"));
    EXPECT_EQ(xlsx.Text(1, "A9"), "");

    // Widths in characters (the file adds the writer's padding), 255 at most; alignment by column.
    EXPECT_NEAR(xlsx.ColumnWidth(1, 1), 9.0, 1.0);
    EXPECT_NEAR(xlsx.ColumnWidth(1, 2), 12.5, 1.0);
    EXPECT_NEAR(xlsx.ColumnWidth(1, 3), 255.0, 1.0);
    EXPECT_EQ(xlsx.ColumnStyle(1, 1).Horizontal, "center");
    EXPECT_EQ(xlsx.ColumnStyle(1, 3).Horizontal, "right");
}

TEST_F(ExpXlsWorkbook, SelectedGridRowsWithoutTitleExtras)
{
    TStakesGrid grid;
    const auto source = OwnerDrawGridSource(grid.Grid);
    grid.SelectRows(3, 3);
    TExpXlsRequest request;
    request.Params.Title = U("Ставки");
    request.Params.ShowCreateTime = false;
    request.Params.Columns = ExpXlsColumnsOf(*source);
    request.Params.Columns[0].Checked = false;
    request.SelectedOnly = true;

    ASSERT_TRUE(ExportTableToExcel(*source, request));
    TXlsxReader xlsx;
    ReadOpened(xlsx);
    EXPECT_EQ(xlsx.Sheet(1).Orientation, "");
    EXPECT_EQ(xlsx.Text(1, "A1"), U("Ставки"));
    EXPECT_EQ(xlsx.Text(1, "A2"), "");
    EXPECT_EQ(xlsx.Text(1, "A3"), U("Ставка"));
    EXPECT_EQ(xlsx.Text(1, "B3"), U("Комментарий"));
    EXPECT_EQ(xlsx.Text(1, "C3"), "");
    EXPECT_EQ(xlsx.Text(1, "A4"), U("3.1"));
    EXPECT_EQ(xlsx.Text(1, "B4"), U("3.2"));
    EXPECT_EQ(xlsx.Text(1, "A5"), "");
}

TEST_F(ExpXlsWorkbook, AFailedStartIsShownAndNotTakenForSuccess)
{
    TDrawsList list;
    const auto source = ListViewSource(list.View);
    TExpXlsRequest request;
    request.Params.Columns = ExpXlsColumnsOf(*source);
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", FDir.filePath("missing").toUtf8());
    const bool result = ExportTableToExcel(*source, request);
    if (previous.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", previous);
    EXPECT_FALSE(result);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка подключения к Microsoft Excel!\nВременная папка \"%1\" недоступна "
                                    "для записи: нет такого файла или папки").arg(FDir.filePath("missing")));
    EXPECT_TRUE(FOpened.isEmpty());
    EXPECT_EQ(WaitCount(), 0);
}

TEST_F(ExpXlsWorkbook, AWidthSavedOutsideTheWorkbooksRangeExportsAtTheDefault)
{
    TDrawsList list;
    {
        TMemIniFile ini(IniFile());
        ini.WriteString("EXPORT_EXCEL_FORMTEST.LVDRAWS", "Item_0", U("2;Цифры;Цифры;-1;2;-5,00"));
        ini.UpdateFile();
    }
    ASSERT_TRUE(WithDialog(
        [&] { return ExportListViewToExcel(list.View, U("Тиражи"), U("Тиражи"), "", "", 0, true); },
        [](TFormExpExcel* form) {
            const TRListItem& first = form->lvFields->Items()->Item(0);
            EXPECT_EQ(first.Caption, U("Цифры"));
            EXPECT_EQ(first.SubItems.value(1), "10,00");
        }));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty()) << FBoxes.Last().Text.toStdString();
    TXlsxReader xlsx;
    ReadOpened(xlsx);
    EXPECT_EQ(xlsx.Text(1, "A4"), U("Цифры"));
    EXPECT_NEAR(xlsx.ColumnWidth(1, 1), 10.0, 1.0);
    TMemIniFile ini(IniFile());
    EXPECT_EQ(ini.ReadString("EXPORT_EXCEL_FORMTEST.LVDRAWS", "Item_0", ""), U("2;Цифры;Цифры;-1;2;10,00"));
}

TEST_F(ExpXlsWorkbook, AFailedExportIsShownAndLeavesNoWorkbookBehind)
{
    TDrawsList list;
    const auto source = ListViewSource(list.View);
    const QString temp = FDir.filePath("temp");
    ASSERT_TRUE(QDir().mkpath(temp));
    // The system's temporary folder is this one for the test.
    struct TTempFolder {
        explicit TTempFolder(const QString& path) : Previous(qgetenv("TMPDIR")) { qputenv("TMPDIR", path.toUtf8()); }
        ~TTempFolder()
        {
            if (Previous.isNull())
                qunsetenv("TMPDIR");
            else
                qputenv("TMPDIR", Previous);
        }
        QByteArray Previous;
    } tempFolder(temp);

    const struct {
        const char* Name;
        std::function<void(TExpXlsPlan&)> Spoil;
        const char* Reason;
    } cases[] = {
        {"width", [](TExpXlsPlan& plan) { plan.Formats[1].Width = -5; }, "Недопустимая ширина столбца -5"},
        {"font", [](TExpXlsPlan& plan) { plan.BaseFontSize = 500; }, "Недопустимый размер шрифта"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        FBoxes.Clear();
        TExpXlsRequest request;
        request.Params.Columns = ExpXlsColumnsOf(*source);
        TExpXlsPlan plan = BuildExportPlan(*source, request, kMoment);
        c.Spoil(plan);
        EXPECT_FALSE(WriteExportPlan(plan));
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка экспорта данных в Microsoft Excel!\n")))
            << FBoxes.Last().Text.toStdString();
        EXPECT_TRUE(FBoxes.Last().Text.contains(U(c.Reason))) << FBoxes.Last().Text.toStdString();
        EXPECT_TRUE(FOpened.isEmpty());
        EXPECT_EQ(QDir(temp).entryList(QDir::Files), QStringList());
        EXPECT_EQ(ExcelApplication(), nullptr);
    }

    // The same folder takes a whole export, which is kept and opened.
    TExpXlsRequest request;
    request.Params.Columns = ExpXlsColumnsOf(*source);
    EXPECT_TRUE(WriteExportPlan(BuildExportPlan(*source, request, kMoment)));
    EXPECT_EQ(QDir(temp).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(FOpened.size(), 1);
}
