#include "support/ui/UnitExpExcel.h"
#include "support/ui/rExpXls.h"
#include "support/ui/rExpXlsParam.h"

#include "platform/IniFile.h"
#include "support/RDateUtils.h"
#include "support/RDialogsScripted.h"
#include "support/RMsExcel.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"
#include "support/ui/QorFloatEdit.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "support/ui/RListItems.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/common/XlsxReader.h"
#include "tests/support_ui/KeyInput.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A column of the list as the dialog first builds it.
TExpXlsColumn Col(int index, const char* caption, int align = kExpAlignLeft, const char* width = "10,00")
{
    TExpXlsColumn column;
    column.Caption = U(caption);
    column.SourceCaption = U(caption);
    column.SourceIndex = index;
    column.AlignCode = align;
    column.WidthText = U(width);
    return column;
}

} // namespace

// Failures show a column's fields.
void PrintTo(const TExpXlsColumn& c, std::ostream* os)
{
    *os << QString("%1;%2;%3;%4;%5;%6")
               .arg(c.SourceIndex)
               .arg(c.SourceCaption, c.Caption, c.Checked ? "1" : "0")
               .arg(c.AlignCode)
               .arg(c.WidthText)
               .toStdString();
}

namespace {

std::vector<TExpXlsColumn> ThreeColumns()
{
    return {Col(0, "Номер", kExpAlignRight), Col(1, "Дата"), Col(2, "Цифры", kExpAlignCenter)};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Saved settings.

TEST(ExpXlsParams, SectionWidthAndItemTexts)
{
    EXPECT_EQ(ExpXlsSection("FormMain", "lvCombs"), "EXPORT_EXCEL_FORMMAIN.LVCOMBS");
    EXPECT_EQ(ExpXlsWidthText(100), "12,50");
    EXPECT_EQ(ExpXlsWidthText(0), "0,00");
    EXPECT_EQ(ExpXlsWidthText(5), "0,63");   // 0.625 rounded half up
    EXPECT_DOUBLE_EQ(ExpXlsWidth("12,50"), 12.5);
    EXPECT_DOUBLE_EQ(ExpXlsWidth("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(ExpXlsWidth("ширина"), 10.0);
    EXPECT_EQ(ExpAlignmentName(kExpAlignRight), U("по правому краю"));
    EXPECT_EQ(ExpAlignmentName(7), U("по левому краю"));

    TExpXlsColumn column = Col(3, " Сумма ", kExpAlignRight, "12,50");
    column.Caption = U("Итог %1");
    column.Checked = false;
    EXPECT_EQ(FormatExpXlsItem(column), U("3;Сумма;Итог %1;0;1;12,50"));
    column.Checked = true;
    EXPECT_EQ(FormatExpXlsItem(column), U("3;Сумма;Итог %1;-1;1;12,50"));
}

TEST(ExpXlsParams, AWidthNoWorkbookTakesReadsAsTheDefault)
{
    const struct {
        const char* Text;
        double Width;
        bool Taken;   // a width the column dialog lets through
    } cases[] = {
        {"-5,00", 10.0, false}, {"-0,01", 10.0, false}, {"0", 0.0, true},     {"12,5", 12.5, true},
        {"255", 255.0, true},   {"300", 300.0, false},  {"nan", 10.0, false}, {"", 10.0, false},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(ExpXlsWidth(QString::fromLatin1(c.Text)), c.Width) << c.Text;
        EXPECT_EQ(IsExpXlsWidth(StrToFloatAnyDef(QString::fromLatin1(c.Text), -1)), c.Taken) << c.Text;
    }

    // A saved entry with such a width is taken, and the list shows the width the column gets.
    std::vector<TExpXlsColumn> columns = {Col(0, "Номер", kExpAlignRight, "8,00"), Col(1, "Дата", 0, "12,50")};
    ASSERT_TRUE(ApplyExpXlsItem(columns, 0, U("1;Дата;Когда;-1;0;-5,00")));
    TExpXlsColumn expected = Col(1, "Дата", 0, "10,00");
    expected.Caption = U("Когда");
    EXPECT_EQ(columns[0], expected);
    ASSERT_TRUE(ApplyExpXlsItem(columns, 1, U("0;Номер;Номер;-1;1;300,00")));
    EXPECT_EQ(columns[1].WidthText, "300,00");   // written as the widest column, 255
}

TEST(ExpXlsParams, AnItemCountsOnlyForItsColumnUnderItsCaption)
{
    struct TCase {
        const char* Item;
        int Position;
        bool Applied;
        QStringList Order;        // source captions after the entry
        const char* Caption;      // of the column the entry names (when applied)
        bool Checked;
        int Align;
        const char* Width;
    };
    const TCase cases[] = {
        {"2;Цифры;Две цифры;0;1;7,00", 0, true, {U("Цифры"), U("Номер"), U("Дата")}, "Две цифры", false, 1, "7,00"},
        {"2; цифры ;Д; True ;2; 7 ", 1, true, {U("Номер"), U("Цифры"), U("Дата")}, "Д", true, 2, "7"},
        {"0;НОМЕР;№;false;x;5", 0, true, {U("Номер"), U("Дата"), U("Цифры")}, "№", false, 1, "5"},
        {"0;Номер;№;да;9;5", 2, true, {U("Дата"), U("Цифры"), U("Номер")}, "№", true, 0, "5"},
        {";;1;Дата;Д;0;0;5;;", 0, true, {U("Дата"), U("Номер"), U("Цифры")}, "Д", false, 0, "5"},
        {"2;Другое;Д;0;1;7", 0, false, {}, "", false, 0, ""},      // the table changed
        {"5;Номер;Д;0;1;7", 0, false, {}, "", false, 0, ""},       // no such column
        {"x;Номер;Д;0;1;7", 0, false, {}, "", false, 0, ""},       // no number
        {"1;Дата;;0;1;7", 0, false, {}, "", false, 0, ""},         // empty caption: five words
        {"1;Дата;а;б;0;1;7", 0, false, {}, "", false, 0, ""},      // a ';' in the caption: seven
        {"1;Дата;Д;0;1;7", 3, false, {}, "", false, 0, ""},        // no such position
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Item);
        std::vector<TExpXlsColumn> columns = ThreeColumns();
        const std::vector<TExpXlsColumn> before = columns;
        ASSERT_EQ(ApplyExpXlsItem(columns, c.Position, U(c.Item)), c.Applied);
        if (!c.Applied) {
            EXPECT_EQ(columns, before);
            continue;
        }
        QStringList order;
        for (const TExpXlsColumn& column : columns)
            order << column.SourceCaption;
        EXPECT_EQ(order, c.Order);
        const TExpXlsColumn& named = columns[static_cast<size_t>(c.Position)];
        EXPECT_EQ(named.Caption, U(c.Caption));
        EXPECT_EQ(named.Checked, c.Checked);
        EXPECT_EQ(named.AlignCode, c.Align);
        EXPECT_EQ(named.WidthText, U(c.Width));
    }
}

TEST(ExpXlsParams, TwoColumnsWithOneCaptionNeverTakeEachOthersSettings)
{
    std::vector<TExpXlsColumn> columns = {Col(0, "Цифра"), Col(1, "Цифра")};
    ASSERT_TRUE(ApplyExpXlsItem(columns, 0, U("1;Цифра;Вторая;0;2;3,00")));
    EXPECT_EQ(columns[0].SourceIndex, 1);
    EXPECT_EQ(columns[0].Caption, U("Вторая"));
    EXPECT_EQ(columns[1].SourceIndex, 0);
    EXPECT_EQ(columns[1].Caption, U("Цифра"));
    EXPECT_TRUE(columns[1].Checked);
}

TEST(ExpXlsParams, TheSectionIsWrittenKeyByKeyAndReadBack)
{
    TExpXlsParams saved;
    saved.RestoreParameters = true;
    saved.Title = U("Архив тиражей");
    saved.Notes = U("за год");
    saved.ShowCreateTime = false;
    saved.SheetName = U("Тиражи");
    saved.PageOrientation = 2;
    saved.BaseFontSize = 10;
    saved.Columns = ThreeColumns();
    // The date column renamed, unchecked and moved to the end.
    saved.Columns[1].Caption = U("Когда");
    saved.Columns[1].Checked = false;
    saved.Columns[1].AlignCode = kExpAlignCenter;
    saved.Columns[1].WidthText = U("20,00");
    std::swap(saved.Columns[1], saved.Columns[2]);

    TMemIniFile ini(QString{});
    ini.WriteString("OTHER", "Key", "1");
    WriteExpXlsParams(ini, "EXPORT_EXCEL_FORMMAIN.LVDRAWS", saved, true);
    EXPECT_EQ(ini.ToBytes(), Cp("[OTHER]\r\nKey=1\r\n\r\n"
                                "[EXPORT_EXCEL_FORMMAIN.LVDRAWS]\r\n"
                                "RestoreParameters=1\r\n"
                                "Title=Архив тиражей\r\n"
                                "Notes=за год\r\n"
                                "ShowCreateTime=0\r\n"
                                "SheetName=Тиражи\r\n"
                                "PageOrientation=2\r\n"
                                "BaseFontSize=10\r\n"
                                "Item_0=0;Номер;Номер;-1;1;10,00\r\n"
                                "Item_1=2;Цифры;Цифры;-1;2;10,00\r\n"
                                "Item_2=1;Дата;Когда;0;2;20,00\r\n"));

    // Read into the list as a new dialog builds it: order, captions and marks come back.
    TExpXlsParams loaded;
    loaded.Columns = ThreeColumns();
    ReadExpXlsParams(ini, "export_excel_formmain.lvdraws", loaded, true, false);
    EXPECT_EQ(loaded, saved);

    // Written again without the restore flag (a parameter file): the section is replaced whole.
    saved.Title = U("Другой");
    WriteExpXlsParams(ini, "EXPORT_EXCEL_FORMMAIN.LVDRAWS", saved, false);
    EXPECT_FALSE(ini.ValueExists("EXPORT_EXCEL_FORMMAIN.LVDRAWS", "RestoreParameters"));
    EXPECT_EQ(ini.ReadString("EXPORT_EXCEL_FORMMAIN.LVDRAWS", "Title", ""), U("Другой"));
    EXPECT_EQ(ini.ReadSections(), QStringList({"OTHER", "EXPORT_EXCEL_FORMMAIN.LVDRAWS"}));
}

TEST(ExpXlsParams, ReadingKeepsWhatTheCallerGaveWhereTheRulesSaySo)
{
    TMemIniFile ini(QString{});
    const QString section = "EXPORT_EXCEL_F.T";
    ini.WriteString(section, "Title", U("Сохранённый"));
    ini.WriteString(section, "Notes", U("Заметки"));
    ini.WriteString(section, "SheetName", U("Лист"));
    ini.WriteString(section, "PageOrientation", "7");
    ini.WriteString(section, "Item_0", U("1;Дата;Когда;0;0;5,00"));

    TExpXlsParams given;
    given.Title = U("Из окна");
    given.Notes = U("Свои");
    given.Columns = ThreeColumns();

    // Restore flag, RestoreParameters missing: it keeps the given state and the rest is read;
    // the non-blank title and notes stay, an orientation outside 0..2 is not set.
    TExpXlsParams params = given;
    ReadExpXlsParams(ini, section, params, true, false);
    EXPECT_TRUE(params.RestoreParameters);
    EXPECT_EQ(params.Title, U("Из окна"));
    EXPECT_EQ(params.Notes, U("Свои"));
    EXPECT_EQ(params.SheetName, U("Лист"));
    EXPECT_EQ(params.PageOrientation, 0);
    EXPECT_EQ(params.BaseFontSize, 8);
    EXPECT_EQ(params.Columns[0].Caption, U("Когда"));

    // A parameter file overwrites the title; blank notes take the saved ones.
    params = given;
    params.Notes = "  ";
    ReadExpXlsParams(ini, section, params, false, true);
    EXPECT_EQ(params.Title, U("Сохранённый"));
    EXPECT_EQ(params.Notes, U("Заметки"));

    // RestoreParameters "0": nothing else is taken.
    ini.WriteString(section, "RestoreParameters", "0");
    params = given;
    ReadExpXlsParams(ini, section, params, true, true);
    TExpXlsParams expected = given;
    expected.RestoreParameters = false;
    EXPECT_EQ(params, expected);

    // A missing section changes nothing.
    params = given;
    ReadExpXlsParams(ini, "EXPORT_EXCEL_F.OTHER", params, true, true);
    EXPECT_EQ(params, given);
}

// ---------------------------------------------------------------------------------------------
// The export plan.

namespace {

// A list of draws in a window named like a form.
struct TDrawsList {
    QWidget Form;
    TRListView* View;

    TDrawsList()
    {
        Form.setObjectName("FormTest");
        View = new TRListView(&Form);
        View->setObjectName("lvDraws");
        View->AddColumn(U("Номер"), 64, Qt::AlignRight);
        View->AddColumn(U("Дата"), 100);
        // Every width holds its header's caption: a narrower one would be widened to it.
        View->AddColumn(U("Цифры"), 72, Qt::AlignHCenter);
        View->Items()->Add({U("3"), {U("03.01.2016"), U("1 2")}});
        View->Items()->Add({U("2"), {U("02.01.2016")}});   // fewer sub-items than columns
        View->Items()->Add({U("1"), {U("01.01.2016"), U("=5+4")}});
    }
};

QStringList Texts(const std::vector<QStringList>& rows)
{
    QStringList texts;
    for (const QStringList& row : rows)
        texts << row.join('|');
    return texts;
}

const QDateTime kMoment(QDate(2016, 8, 10), QTime(9, 5, 3));

} // namespace

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

namespace {

// An owner-data grid of five rows (the header and four data rows) and three columns, the first
// of them fixed.
struct TStakesGrid {
    QWidget Form;
    TROwnerDrawGrid* Grid;

    TStakesGrid()
    {
        Form.setObjectName("FormMain");
        Grid = new TROwnerDrawGrid(&Form);
        Grid->setObjectName("sgStakes");
        Grid->SetColCount(3);
        Grid->SetRowCount(5);
        Grid->SetColWidth(0, 24);
        Grid->SetColWidth(1, 80);
        Grid->SetColWidth(2, 2100);
        Grid->SetRowSelect(true);
        Grid->SetRangeSelect(true);
        Grid->OnGetCellText = [](TROwnerDrawGrid*, int col, int row, QString& value) {
            if (row == 0)
                value = QStringList({U("№"), U("Ставка"), U("Комментарий")}).value(col);
            else
                value = QString("%1.%2").arg(row).arg(col);
        };
    }

    // Selects the grid rows first..last (the header is row 0).
    void SelectRows(int first, int last)
    {
        Grid->SetCurrentCell(1, first);
        Grid->selectionModel()->clearSelection();
        for (int row = first; row <= last; ++row)
            Grid->selectionModel()->select(Grid->model()->index(row - 1, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

} // namespace

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

// ---------------------------------------------------------------------------------------------
// Workbooks and the dialog.

namespace {

class ExpXlsWorkbook : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        OverrideAppFileName(FDir.filePath("Tavrix2_2r10"));
        FPreviousClock = SetClock([] { return kMoment; });
        FPreviousOpen = SetOpenHandler([this](const TOpenRequest& request) { FOpened << request.Target; });
    }
    void TearDown() override
    {
        SetExpFilePrompt({});
        SetOpenHandler(FPreviousOpen);
        SetClock(FPreviousClock);
        OverrideAppFileName(QString());
    }

    // The one workbook opened since the last call, read back.
    void ReadOpened(TXlsxReader& reader)
    {
        ASSERT_EQ(FOpened.size(), 1);
        ASSERT_TRUE(reader.Open(FOpened.takeFirst())) << reader.Error().toStdString();
    }

    // Runs the dialog that the call shows: the step gets the dialog, then OK is pressed unless
    // the step closed it.
    bool WithDialog(const std::function<bool()>& call, const std::function<void(TFormExpExcel*)>& step)
    {
        QTimer::singleShot(0, [step] {
            auto* form = qobject_cast<TFormExpExcel*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            step(form);
            if (form->isVisible())
                form->accept();
        });
        return call();
    }

    QString IniFile() const { return FDir.filePath("Tavrix2_2r10.ini"); }

    QTemporaryDir FDir;
    TScriptedBoxes FBoxes;
    QStringList FOpened;
    TClock FPreviousClock;
    TOpenHandler FPreviousOpen;
};

} // namespace

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
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка подключения к Microsoft Excel!")));
    EXPECT_TRUE(FOpened.isEmpty());
    EXPECT_EQ(WaitCount(), 0);
}

TEST_F(ExpXlsWorkbook, TheDialogSavesTheChoicesAndTheNextExportRestoresThem)
{
    TDrawsList list;
    // First export: the date column unchecked (it goes last), the figures renamed.
    ASSERT_TRUE(WithDialog(
        [&] { return ExportListViewToExcel(list.View, U("Тиражи"), U("Тиражи"), "", "", 0, true); },
        [](TFormExpExcel* form) {
            EXPECT_EQ(form->edTitle->text(), U("Тиражи"));
            EXPECT_EQ(form->edRecNum->text(), "3");
            form->lvFields->Items()->setData(form->lvFields->Items()->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
            QApplication::processEvents();
            TRListItem item = form->lvFields->Items()->Item(1);
            EXPECT_EQ(item.SubItems.value(2), U("Цифры"));
            item.Caption = U("Пара");
            form->lvFields->Items()->SetItem(1, item);
            form->DateCreateCheckBox->setChecked(false);
        }));
    TXlsxReader xlsx;
    ReadOpened(xlsx);
    EXPECT_EQ(xlsx.Text(1, "A3"), U("Номер"));
    EXPECT_EQ(xlsx.Text(1, "B3"), U("Пара"));
    EXPECT_EQ(xlsx.Text(1, "C3"), "");

    TMemIniFile ini(IniFile());
    const QString section = "EXPORT_EXCEL_FORMTEST.LVDRAWS";
    EXPECT_EQ(ini.ReadString(section, "RestoreParameters", ""), "1");
    EXPECT_EQ(ini.ReadString(section, "ShowCreateTime", ""), "0");
    EXPECT_EQ(ini.ReadString(section, "Item_1", ""), U("2;Цифры;Пара;-1;2;9,00"));
    EXPECT_EQ(ini.ReadString(section, "Item_2", ""), U("1;Дата;Дата;0;0;12,50"));

    // The next dialog opens with them; the given title is kept.
    ASSERT_TRUE(WithDialog(
        [&] { return ExportListViewToExcel(list.View, U("Новый"), U("Тиражи"), "", "", 0, true); },
        [](TFormExpExcel* form) {
            EXPECT_EQ(form->edTitle->text(), U("Новый"));
            EXPECT_FALSE(form->DateCreateCheckBox->isChecked());
            const TExpXlsParams params = form->Params();
            ASSERT_EQ(params.Columns.size(), 3u);
            EXPECT_EQ(params.Columns[1].Caption, U("Пара"));
            EXPECT_FALSE(params.Columns[2].Checked);
            form->reject();
        }) == false);
    EXPECT_TRUE(FOpened.isEmpty());
}

TEST_F(ExpXlsWorkbook, DialogControlsCommandsAndParameterFiles)
{
    TDrawsList list;
    list.View->SetMultiSelect(true);
    list.View->SetItemSelected(0, true);
    list.View->SetItemSelected(1, true);
    const auto source = ListViewSource(list.View);
    TFormExpExcel form;
    form.Prepare(*source, U("Тиражи"), U("Лист"), "", U("Заметки"), 1, true);
    EXPECT_EQ(form.windowTitle(), U("Экспорт в Microsoft Excel"));
    EXPECT_EQ(form.edSendMode->currentIndex(), 1);
    EXPECT_EQ(form.edRecNum->text(), "2");
    form.edSendMode->setCurrentIndex(0);
    EXPECT_EQ(form.edRecNum->text(), "3");
    EXPECT_EQ(form.edOrientation->currentIndex(), 1);
    EXPECT_EQ(form.edFontSize->value(), 8);
    EXPECT_TRUE(form.SaveCheckBox->isChecked());
    EXPECT_EQ(form.lvFields->Selected(), 0);

    TActionRegistry* actions = form.Actions();
    actions->UpdateAll();
    EXPECT_FALSE(actions->Action("MoveUp")->isEnabled());
    EXPECT_TRUE(actions->Action("MoveDown")->isEnabled());
    EXPECT_EQ(form.MoveDownBtn->text(), U("Вниз"));
    EXPECT_TRUE(form.MoveDownBtn->isEnabled());
    EXPECT_TRUE(actions->Execute("MoveDown"));
    actions->UpdateAll();
    EXPECT_EQ(form.lvFields->Items()->Item(0).Caption, U("Дата"));
    EXPECT_EQ(form.lvFields->Selected(), 1);
    form.lvFields->SetSelected(2);
    actions->UpdateAll();
    EXPECT_FALSE(actions->Action("MoveDown")->isEnabled());

    // Unchecking a column puts it under the checked ones and selects it.
    form.lvFields->Items()->setData(form.lvFields->Items()->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    QApplication::processEvents();
    EXPECT_EQ(form.lvFields->Items()->Item(2).Caption, U("Дата"));
    EXPECT_EQ(form.lvFields->Selected(), 2);

    // Parameter files: saved without RestoreParameters; loading overwrites the title only.
    const QString expFile = FDir.filePath("draws.exp");
    QList<bool> saves;
    SetExpFilePrompt([&](QWidget*, const QString& filter, const QString& ext, bool save, QString& fileName) {
        EXPECT_EQ(filter, U("Файлы параметров экспорта (*.exp)|*.exp|Все файлы (*.*)|*.*"));
        EXPECT_EQ(ext, "exp");
        EXPECT_EQ(fileName, FDir.path());
        saves << save;
        fileName = expFile;
        return true;
    });
    ASSERT_TRUE(actions->Execute("SaveFile"));
    TMemIniFile saved(expFile);
    EXPECT_FALSE(saved.ValueExists("EXPORT_EXCEL_FORMTEST.LVDRAWS", "RestoreParameters"));
    EXPECT_EQ(saved.ReadString("EXPORT_EXCEL_FORMTEST.LVDRAWS", "Item_2", ""), U("1;Дата;Дата;0;0;12,50"));

    form.edTitle->setText(U("Другой"));
    form.edNotes->setText(U("Свои"));
    form.SaveCheckBox->setChecked(false);
    form.lvFields->Items()->setData(form.lvFields->Items()->index(2, 0), Qt::Checked, Qt::CheckStateRole);
    QApplication::processEvents();
    ASSERT_TRUE(actions->Execute("OpenFile"));
    EXPECT_EQ(saves, QList<bool>({true, false}));
    EXPECT_EQ(form.edTitle->text(), U("Тиражи"));
    EXPECT_EQ(form.edNotes->text(), U("Свои"));
    EXPECT_FALSE(form.SaveCheckBox->isChecked());
    EXPECT_FALSE(form.Params().Columns[2].Checked);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    // A file that cannot be read or written is reported, not taken for an empty one.
    const QString folder = FDir.filePath("folder.exp");
    ASSERT_TRUE(QDir().mkdir(folder));
    LoadExportParams(&form, folder, false, true);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка загрузки параметров экспорта из файла \"%1\"!").arg(folder));
    const QString missing = FDir.filePath("missing/draws.exp");
    EXPECT_FALSE(SaveExportParams(&form, missing, false));
    ASSERT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка сохранения параметров экспорта в файле \"%1\"!").arg(missing));
    EXPECT_EQ(WaitCount(), 0);
}

TEST_F(ExpXlsWorkbook, TheColumnDialogRenamesAlignsAndSizes)
{
    TDrawsList list;
    const auto source = ListViewSource(list.View);
    TFormExpExcel form;
    form.Prepare(*source, U("Тиражи"), U("Лист"), "", "", 0, false);
    EXPECT_FALSE(form.SaveCheckBox->isEnabled());
    EXPECT_FALSE(form.SaveCheckBox->isChecked());
    form.Actions()->UpdateAll();
    EXPECT_FALSE(form.Actions()->Action("SaveFile")->isEnabled());
    form.lvFields->SetSelected(1);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TFormExpExcelParam*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), U("Параметры поля"));
        EXPECT_EQ(dialog->edCaption->text(), U("Дата"));
        EXPECT_EQ(dialog->edAlign->currentIndex(), 0);
        EXPECT_EQ(dialog->edWidth->Value(), 12.5L);
        dialog->edCaption->setText(U("Когда"));
        dialog->edAlign->setCurrentIndex(2);
        dialog->edWidth->SetValue(7.126L);
        dialog->accept();
    });
    ASSERT_TRUE(form.Actions()->Execute("Rename"));
    const TRListItem& item = form.lvFields->Items()->Item(1);
    EXPECT_EQ(item.Caption, U("Когда"));
    EXPECT_EQ(item.SubItems, QStringList({U("по центру"), U("7,13"), U("Дата")}));
    EXPECT_EQ(form.Params().Columns[1].AlignCode, kExpAlignCenter);
}

TEST_F(ExpXlsWorkbook, TheColumnDialogRefusesAWidthTheWorkbookCannotTake)
{
    const struct {
        const char* Typed;
        const char* Refusal;   // nullptr: accepted
        long double Width;
    } cases[] = {
        {"-5", "Недопустимая ширина столбца: -5!\n\nУкажите число от 0 до 255", 0},
        {"255,5", "Недопустимая ширина столбца: 255,5!\n\nУкажите число от 0 до 255", 0},
        {"1000", "Недопустимая ширина столбца: 1000!\n\nУкажите число от 0 до 255", 0},
        {"0", nullptr, 0},
        {"255", nullptr, 255},
        {"12,5", nullptr, 12.5L},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed);
        FBoxes.Clear();
        TFormExpExcelParam dialog;
        dialog.edWidth->SetValue(12.5L);
        ASSERT_TRUE(ActivateWindow(&dialog));
        dialog.edWidth->setFocus();
        dialog.edWidth->selectAll();
        for (const QChar ch : U(c.Typed))
            TypeKey(dialog.edWidth, ch.unicode(), Qt::NoModifier, QString(ch));
        dialog.setResult(QDialog::Rejected);
        dialog.OkBtn()->click();
        if (c.Refusal == nullptr) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_TRUE(FBoxes.Boxes().isEmpty());
            EXPECT_EQ(dialog.edWidth->Value(), c.Width);
            continue;
        }
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Text, U(c.Refusal));
        EXPECT_EQ(QApplication::focusWidget(), dialog.edWidth);
    }
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

TEST_F(ExpXlsWorkbook, ScreenshotsOfBothPages)
{
    TDrawsList list;
    const auto source = ListViewSource(list.View);
    TFormExpExcel form;
    form.Prepare(*source, U("Архив тиражей"), U("Тиражи"), "", "", 0, true);
    form.PageControl->setCurrentIndex(0);
    EXPECT_FALSE(SaveScreenshot(&form, "ExportDialogSheet", form.size()).isEmpty());
    form.PageControl->setCurrentIndex(1);
    EXPECT_FALSE(SaveScreenshot(&form, "ExportDialogColumns", form.size()).isEmpty());
    // At least the designed size; wider where a text wants it.
    EXPECT_GE(form.width(), 492);
    EXPECT_GE(form.height(), 435);

    TFormExpExcelParam column(&form);
    column.edCaption->setText(U("Дата"));
    column.edAlign->setCurrentIndex(1);
    column.edWidth->SetValue(12.5L);
    EXPECT_FALSE(SaveScreenshot(&column, "ExportColumnDialog", column.size()).isEmpty());
    EXPECT_GE(column.width(), 347);
}
