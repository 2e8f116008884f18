#include "support/RMsExcel.h"

#include "support/RSysUtils.h"

#include "tests/common/TestHelpers.h"
#include "tests/common/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Points the system's temporary folder at a folder of the test, captures what would be opened
// and what is reported, and ends any session the test left open without opening anything.
class RMsExcel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRoot.isValid());
        FOldTmp = qgetenv("TMPDIR");
        FHadTmp = qEnvironmentVariableIsSet("TMPDIR");
        Temp = FRoot.path() + QStringLiteral("/tmp");
        ASSERT_TRUE(QDir().mkpath(Temp));
        qputenv("TMPDIR", QFile::encodeName(Temp));
        FOldOpen = SetOpenHandler([this](const TOpenRequest& request) {
            Opened << request.Target;
            if (FailOpen)
                throw Exception(QStringLiteral("no opener"));
        });
        FOldReport = SetExcelReportHandler(
            [this](const std::exception&, const QString& text, bool suppressed) {
                Reports << text;
                Suppressed << suppressed;
            });
    }

    void TearDown() override
    {
        DisconnectExcel();
        SetExcelReportHandler(FOldReport);
        SetOpenHandler(FOldOpen);
        if (FHadTmp)
            qputenv("TMPDIR", FOldTmp);
        else
            qunsetenv("TMPDIR");
    }

    void SetTmp(const QString& path) { qputenv("TMPDIR", QFile::encodeName(path)); }

    // A fresh session with a workbook; its first sheet.
    TExcelSheet* StartSheet()
    {
        EXPECT_TRUE(ConnectExcel());
        EXPECT_TRUE(CreateWorkbook());
        return ActiveWorkbook() ? ActiveWorkbook()->Sheet(1) : nullptr;
    }

    // Ends the session and reads back the one workbook it opened.
    bool Finish(TXlsxReader& reader)
    {
        Opened.clear();
        if (!DisconnectExcel() || Opened.size() != 1)
            return false;
        return reader.Open(Opened.first());
    }

    QStringList TempFiles() const
    {
        return QDir(Temp).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QString Temp;
    QStringList Opened;
    bool FailOpen = false;
    QStringList Reports;
    QList<bool> Suppressed;

private:
    QTemporaryDir FRoot;
    QByteArray FOldTmp;
    bool FHadTmp = false;
    TOpenHandler FOldOpen;
    TExcelReportHandler FOldReport;
};

const QString kNoWorkbook = U("Рабочая книга Microsoft Excel не создана или не активна");

} // namespace

// ---------------------------------------------------------------------------------------------
// Pure rules.

TEST(RMsExcelRules, ValidSheetName)
{
    struct Case {
        const char* Name;
        const char* Expected;
    };
    const Case cases[] = {
        {"a/b\\c[1]:?*", "a-b-c(1)"},
        {"\"Итоги\" 'за' год", "Итоги за год"},
        // 40 characters: the first 31 end in blanks, which are trimmed after the cut.
        {"  Отчет по комбинациям         хвост ещё", "Отчет по комбинациям"},
        // Deleted characters do not count towards the 31.
        {"'''ABCDEFGHIJKLMNOPQRSTUVWXYZ12345B", "ABCDEFGHIJKLMNOPQRSTUVWXYZ12345"},
        {"?:", ""},
        {"\tИмя\x01", "Имя"},
        {"[Итог]", "(Итог)"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValidSheetName(U(c.Name)), U(c.Expected)) << c.Name;
    EXPECT_EQ(U("  Отчет по комбинациям         хвост ещё").size(), 40);
}

TEST(RMsExcelRules, AlignmentToExcel)
{
    const std::pair<int, int> cases[] = {{0, -4131}, {1, -4152}, {2, -4108},
                                         {3, -4131}, {-1, -4131}, {255, -4131}};
    for (const auto& [code, expected] : cases)
        EXPECT_EQ(AlignmentToExcel(code), expected) << code;
}

TEST(RMsExcelRules, PlainNumbersBecomeNumbersOtherTextsStayTexts)
{
    TExcelWorkbook book(QStringLiteral("unused.xlsx"));
    TExcelSheet* sheet = book.Sheet(1);
    struct Case {
        const char* Text;
        TExcelCell::TKind Kind;
        double Number;
    };
    using K = TExcelCell::TKind;
    const Case cases[] = {
        {"12", K::Number, 12},        {"-3", K::Number, -3},
        {"0,55", K::Number, 0.55},    {"2.5", K::Number, 2.5},
        {"0", K::Number, 0},          {"-0", K::Number, 0},
        {"123456789012345", K::Number, 123456789012345.0},
        {"1234567890123456", K::Text, 0},   // 16 digits would lose the last one
        {"07", K::Text, 0},           {"0012", K::Text, 0},
        {"1 234", K::Text, 0},        {"1.2.3", K::Text, 0},
        {"1e5", K::Text, 0},          {"+5", K::Text, 0},
        {".5", K::Text, 0},           {"5.", K::Text, 0},
        {"=A1", K::Text, 0},          {"=1+1", K::Text, 0},
        {"", K::Empty, 0},
    };
    for (const Case& c : cases) {
        sheet->Cells(1, 1).SetValue(U(c.Text));
        const TExcelCell* cell = sheet->Cell(1, 1);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->Kind, c.Kind) << c.Text;
        if (c.Kind == K::Number) {
            EXPECT_EQ(cell->Number, c.Number) << c.Text;
            if (c.Number == 0) {
                EXPECT_FALSE(std::signbit(cell->Number)) << c.Text;
            }
        }
        if (c.Kind == K::Text) {
            EXPECT_EQ(cell->Text, U(c.Text));
        }
    }
    // The text format keeps every text a text.
    sheet->Cells(2, 1).SetNumberFormat(QStringLiteral("@"));
    sheet->Cells(2, 1).SetValue(QStringLiteral("12"));
    EXPECT_EQ(sheet->Cell(2, 1)->Kind, K::Text);
}

// ---------------------------------------------------------------------------------------------
// Ranges and formats of the model.

TEST(RMsExcelModel, RangesWriteWithinTheSheetOnly)
{
    TExcelWorkbook book(QStringLiteral("unused.xlsx"));
    TExcelSheet* sheet = book.Sheet(1);
    EXPECT_EQ(sheet->Name(), U("Лист1"));

    // A scalar fills the range; an array is laid from the top-left cell, the rest emptied.
    WriteRangeValues(sheet, 1, 2, 1, 3, QStringLiteral("x"), 0);
    WriteRangeValues(sheet, 1, 2, 1, 3, TExcelArray{{"a", "b"}}, 2);
    EXPECT_EQ(sheet->Cell(1, 1)->Text, "a");
    EXPECT_EQ(sheet->Cell(1, 2)->Text, "b");
    EXPECT_EQ(sheet->Cell(1, 3)->Kind, TExcelCell::TKind::Empty);
    EXPECT_EQ(sheet->Cell(2, 1)->Kind, TExcelCell::TKind::Empty);
    EXPECT_EQ(sheet->Cell(2, 3)->Format.BorderWeight, std::optional<int>(2));

    // No data rows or no columns: nothing is written, the rows above keep their cells.
    const auto before = sheet->CellMap().size();
    EXPECT_NO_THROW(WriteRangeValues(sheet, 3, 2, 1, 3, TExcelArray{}, 2));
    EXPECT_NO_THROW(WriteRange(sheet, 1, 1, 1, 0, TExcelArray{}, 8, 0, 3, xlCenter, xlCenter, true));
    EXPECT_EQ(sheet->CellMap().size(), before);
    EXPECT_EQ(sheet->Cell(1, 1)->Text, "a");

    EXPECT_THROW(sheet->Cells(0, 1), EExcelError);
    EXPECT_THROW(sheet->Cells(1, 0), EExcelError);
    EXPECT_THROW(sheet->Cells(kExcelMaxRows + 1, 1), EExcelError);
    EXPECT_THROW(WriteRangeValues(sheet, 1, 1, 1, kExcelMaxColumns + 1, QString(), 0), EExcelError);
    EXPECT_THROW(WriteRangeValues(nullptr, 1, 1, 1, 1, QString(), 0), EExcelError);
    EXPECT_THROW(WriteRange(nullptr, 1, 1, 1, 1, QString(), 8, 0, 0, xlLeft, xlCenter, false),
                 EExcelError);

    // Refused values.
    EXPECT_THROW(sheet->Cells(1, 1).SetFontSize(0), EExcelError);
    EXPECT_THROW(sheet->Cells(1, 1).SetFontSize(410), EExcelError);
    EXPECT_THROW(sheet->Cells(1, 1).SetHorizontalAlignment(2), EExcelError);
    EXPECT_THROW(sheet->Cells(1, 1).SetVerticalAlignment(xlRight), EExcelError);
    EXPECT_THROW(SetRangeBorders(sheet->Cells(1, 1), 5), EExcelError);
    EXPECT_THROW(sheet->Columns(1).SetValue(QStringLiteral("x")), EExcelError);

    // The medium weight of the object model is the weight 3.
    SetRangeBorders(sheet->Cells(4, 4), xlMedium);
    EXPECT_EQ(sheet->Cell(4, 4)->Format.BorderWeight, std::optional<int>(3));

    // A text longer than a cell holds is cut.
    sheet->Cells(5, 1).SetValue(QString(kExcelMaxTextLength + 10, QLatin1Char('z')));
    EXPECT_EQ(sheet->Cell(5, 1)->Text.size(), kExcelMaxTextLength);
}

TEST(RMsExcelModel, ColumnWidthRuleAndColumnFormatsReachWrittenCells)
{
    TExcelWorkbook book(QStringLiteral("unused.xlsx"));
    TExcelSheet* sheet = book.Sheet(1);
    sheet->Cells(3, 2).SetValue(QStringLiteral("before"));
    struct Case {
        double Width;
        double Expected;
    };
    const Case cases[] = {{255.0, 255}, {300.0, 255}, {254.5, 254.5}, {0.0, 0},
                          {std::numeric_limits<double>::quiet_NaN(), 255}};
    for (const Case& c : cases) {
        FormatColumn(sheet->Columns(2), xlRight, xlCenter, c.Width, 9, QStringLiteral("0.00"));
        ASSERT_NE(sheet->Column(2), nullptr);
        EXPECT_EQ(sheet->Column(2)->Width, std::optional<double>(c.Expected)) << c.Width;
    }
    EXPECT_THROW(FormatColumn(sheet->Columns(2), xlRight, xlCenter, -1.0, 9, QString()),
                 EExcelError);
    // The format of a column also goes to the cells already in it, as it does in a spreadsheet.
    const TExcelCell* cell = sheet->Cell(3, 2);
    EXPECT_EQ(cell->Format.FontSize, std::optional<int>(9));
    EXPECT_EQ(cell->Format.HorizontalAlignment, std::optional<int>(xlRight));
    EXPECT_EQ(cell->Format.NumberFormat, std::optional<QString>(QStringLiteral("0.00")));
    // An empty number format is put too: back to the general format.
    FormatColumn(sheet->Columns(2), xlLeft, xlCenter, 10, 9, QString());
    EXPECT_EQ(sheet->Column(2)->Format.NumberFormat, std::optional<QString>(QString()));
    EXPECT_EQ(sheet->Cell(3, 2)->Format.NumberFormat, std::optional<QString>(QString()));
}

TEST(RMsExcelModel, SheetNamesTheWorkbookRefuses)
{
    TExcelWorkbook book(QStringLiteral("unused.xlsx"));
    TExcelSheet* first = book.Sheet(1);
    TExcelSheet* second = book.AddSheet(first);
    EXPECT_EQ(book.Sheet(2), second);
    EXPECT_EQ(second->Name(), U("Лист2"));
    book.RenameSheet(second, U("Итоги"));
    const char* refused[] = {"", "a:b", "a/b", "a\\b", "a?b", "a*b", "a[b", "a]b", "'ab", "ab'",
                             "history", "итоги", "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456"};
    for (const char* name : refused)
        EXPECT_THROW(book.RenameSheet(first, U(name)), EExcelError) << name;
    EXPECT_EQ(first->Name(), U("Лист1"));
    // A sheet may change the letter case of its own name; 31 characters are allowed.
    EXPECT_NO_THROW(book.RenameSheet(second, U("ИТОГИ")));
    EXPECT_NO_THROW(book.RenameSheet(first, U("ABCDEFGHIJKLMNOPQRSTUVWXYZ12345")));
    EXPECT_THROW(book.Sheet(0), EExcelError);
    EXPECT_THROW(book.Sheet(3), EExcelError);
    // A new sheet without a place goes first and takes a free default name.
    TExcelSheet* third = book.AddSheet();
    EXPECT_EQ(book.Sheet(1), third);
    EXPECT_EQ(third->Name(), U("Лист3"));
}

// ---------------------------------------------------------------------------------------------
// Sheet reuse.

TEST_F(RMsExcel, EmptySheetsAreReusedAndFullOnesKept)
{
    TExcelSheet* sheet = StartSheet();
    ASSERT_NE(sheet, nullptr);
    TExcelWorkbook* book = ActiveWorkbook();
    EXPECT_TRUE(IsSheetEmpty(nullptr));
    EXPECT_TRUE(IsSheetEmpty(sheet));

    // One empty cell with a format of its own: still empty, and reused.
    WriteCell(sheet->Cells(1, 1), QString(), 10, fsBold, 2, xlLeft, xlCenter, false, QString());
    EXPECT_TRUE(IsSheetEmpty(sheet));
    EXPECT_EQ(GetEmptyOrNewSheet(book, U("Отчет")), sheet);
    EXPECT_EQ(book->SheetCount(), 1);
    EXPECT_EQ(sheet->Name(), U("Отчет"));

    // Two formatted cells, or one value anywhere: not empty.
    WriteCell(sheet->Cells(1, 2), QString(), 10, 0, 0, xlLeft, xlCenter, false, QString());
    EXPECT_FALSE(IsSheetEmpty(sheet));
    TExcelSheet* other = book->AddSheet(sheet);
    sheet->Cells(2, 2).SetValue(QStringLiteral("x"));
    other->Cells(2, 2).SetValue(QStringLiteral("y"));
    EXPECT_FALSE(IsSheetEmpty(other));

    // No empty sheet: a new one after the last, named; without a name it keeps its own.
    TExcelSheet* added = GetEmptyOrNewSheet(book, U("Данные"));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(book->SheetCount(), 3);
    EXPECT_EQ(book->Sheet(3), added);
    EXPECT_EQ(added->Name(), U("Данные"));
    EXPECT_EQ(GetEmptyOrNewSheet(book, QString()), added);
    EXPECT_EQ(added->Name(), U("Данные"));
    EXPECT_TRUE(Reports.isEmpty());
}

TEST_F(RMsExcel, OpenSheetFallsBackToAnEmptyOrNewSheet)
{
    TExcelSheet* first = StartSheet();
    ASSERT_NE(first, nullptr);
    TExcelWorkbook* book = ActiveWorkbook();

    // An index beyond the sheets, the only sheet empty: that sheet, renamed.
    EXPECT_EQ(OpenActiveWorkbookSheet(3, U("Итоги/2026")), first);
    EXPECT_EQ(first->Name(), U("Итоги-2026"));
    EXPECT_EQ(book->SheetCount(), 1);

    // The only sheet in use: a new sheet after the last.
    first->Cells(1, 1).SetValue(QStringLiteral("data"));
    TExcelSheet* second = OpenSheet(book, 5, U("Второй"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(book->SheetCount(), 2);
    EXPECT_EQ(book->Sheet(2), second);

    // A name that sheet 1 cannot take (sheet 2 has it): the empty sheet 2 takes it instead.
    EXPECT_EQ(OpenSheet(book, 1, U("второй")), second);
    EXPECT_EQ(second->Name(), U("второй"));
    EXPECT_EQ(first->Name(), U("Итоги-2026"));
    EXPECT_TRUE(Reports.isEmpty());

    // A name that is nothing once cleaned: no sheet, reported with a message.
    EXPECT_EQ(OpenSheet(book, 1, U("?*:")), nullptr);
    EXPECT_EQ(Reports, QStringList{U("Ошибка создания листа Microsoft Excel!")});
    EXPECT_TRUE(ExcelLastError().startsWith(U("Ошибка создания листа Microsoft Excel!\n")));
}

TEST_F(RMsExcel, NoWorkbookIsReportedWithAMessage)
{
    Reports.clear();
    EXPECT_EQ(OpenSheet(nullptr, 2, U("x")), nullptr);
    EXPECT_EQ(ExcelLastError(), U("Ошибка открытия (создания) листа #2!\n") + kNoWorkbook);
    EXPECT_EQ(GetEmptyOrNewSheet(nullptr, U("x")), nullptr);
    EXPECT_EQ(ExcelLastError(), U("Ошибка создания листа Microsoft Excel!\n") + kNoWorkbook);
    EXPECT_EQ(OpenActiveWorkbookSheet(1, U("x")), nullptr);   // nothing connected
    EXPECT_EQ(Reports.size(), 3);
}

TEST_F(RMsExcel, OrientationFailuresAreSwallowedAndReported)
{
    TExcelSheet* sheet = StartSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->Orientation(), 0);
    SetPageOrientation(sheet, xlLandscape, false);
    EXPECT_EQ(sheet->Orientation(), xlLandscape);
    SetPageOrientation(sheet, 3, true);
    EXPECT_EQ(sheet->Orientation(), xlLandscape);
    SetPageOrientation(nullptr, xlPortrait, false);
    const QString text = U("Ошибка установки ориентации страницы Microsoft Excel!");
    EXPECT_EQ(Reports, (QStringList{text, text}));
    EXPECT_EQ(Suppressed, (QList<bool>{true, false}));
}

// ---------------------------------------------------------------------------------------------
// Session, files and the written workbook.

TEST_F(RMsExcel, StartingFailsWhenTheWorkbookCannotBeWritten)
{
    const QString connectFailed = U("Ошибка подключения к Microsoft Excel!");
    // A temporary folder that does not exist, and one that is a file.
    const QString file = Temp + QStringLiteral("/plain-file");
    WriteFileBytes(file, "x");
    for (const QString& folder : {Temp + QStringLiteral("/missing"), file}) {
        SetTmp(folder);
        Reports.clear();
        EXPECT_FALSE(ConnectExcel()) << qPrintable(folder);
        EXPECT_EQ(ExcelApplication(), nullptr);
        EXPECT_EQ(Reports, QStringList{connectFailed});
        EXPECT_TRUE(ExcelLastError().startsWith(connectFailed + QLatin1Char('\n')));
        // A workbook asked for without a session tries to connect, and fails the same way.
        EXPECT_FALSE(CreateWorkbook());
        EXPECT_EQ(ActiveWorkbook(), nullptr);
    }
    SetTmp(Temp);
    EXPECT_EQ(TempFiles(), QStringList{QStringLiteral("plain-file")});
    EXPECT_TRUE(Opened.isEmpty());

    // A working folder: the failure text is gone, events are off until the end of the session.
    EXPECT_TRUE(ConnectExcel());
    EXPECT_TRUE(ExcelLastError().isEmpty());
    ASSERT_NE(ExcelApplication(), nullptr);
    EXPECT_FALSE(ExcelApplication()->EnableEvents);
    RestoreExcelEvents();
    EXPECT_TRUE(ExcelApplication()->EnableEvents);
    EXPECT_TRUE(ExcelApplication()->Visible);
    // Nothing held: nothing written or opened.
    EXPECT_TRUE(DisconnectExcel());
    EXPECT_TRUE(Opened.isEmpty());
    EXPECT_EQ(TempFiles(), QStringList{QStringLiteral("plain-file")});
}

TEST_F(RMsExcel, WrittenWorkbookReadsBack)
{
    TExcelSheet* sheet = StartSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(OpenActiveWorkbookSheet(1, U("Итоги: 2026/12")), sheet);
    SetPageOrientation(sheet, xlLandscape, false);
    FormatColumn(sheet->Columns(1), AlignmentToExcel(0), xlCenter, 12.5, 8, QString());
    FormatColumn(sheet->Columns(2), AlignmentToExcel(1), xlCenter, 255.0, 8, QStringLiteral("0.00"));
    FormatColumn(sheet->Columns(3), AlignmentToExcel(2), xlCenter, 10, 8, QStringLiteral("@"));
    WriteCell(sheet->Cells(1, 1), U("Отчет"), 12, fsBold, 0, xlLeft, xlCenter, false, QString());
    WriteCell(sheet->Cells(2, 1), U("=СУММ(A1:A3)"), 8, fsItalic | fsUnderline | fsStrikeOut, 0,
              xlLeft, xlCenter, false, QString());
    WriteRange(sheet, 4, 4, 1, 3, TExcelArray{{U("Ключ"), U("Сумма"), U("Код")}}, 8, 0, 3,
               xlCenter, xlCenter, true);
    WriteRangeValues(sheet, 5, 6, 1, 3,
                     TExcelArray{{"=1+1", "12,5", "07"}, {"0012", "-3", "5"}}, 2);
    const QString fileName = ActiveWorkbook()->FileName();

    TXlsxReader x;
    ASSERT_TRUE(Finish(x)) << qPrintable(x.Error()) << qPrintable(ExcelLastError());
    EXPECT_EQ(Opened.first(), fileName);
    EXPECT_EQ(QFileInfo(fileName).absolutePath(), QFileInfo(Temp).canonicalFilePath());
    EXPECT_TRUE(QFileInfo(fileName).fileName().startsWith(QStringLiteral("Tavrix2_2r10-")));
    EXPECT_TRUE(fileName.endsWith(QStringLiteral(".xlsx")));
    EXPECT_EQ(ExcelApplication(), nullptr);
    EXPECT_EQ(ActiveWorkbook(), nullptr);

    EXPECT_EQ(x.SheetNames(), QStringList{U("Итоги 2026-12")});
    EXPECT_EQ(x.Sheet(1).Orientation, "landscape");
    // Widths in characters as the file stores them: (int(w * 7 + 0.5) + 5) / 7, in 1/256.
    EXPECT_EQ(x.ColumnWidth(1, 1), 13.28515625);    // 12.5: 93 / 7 = 13.2857 → 3401 / 256
    EXPECT_EQ(x.ColumnWidth(1, 2), 255.7109375);    // 255: 1790 / 7 = 255.714 → 65462 / 256
    EXPECT_EQ(x.ColumnWidth(1, 3), 10.7109375);     // 10: 75 / 7 = 10.714 → 2742 / 256
    EXPECT_EQ(x.ColumnWidth(1, 4), -1);
    EXPECT_EQ(x.ColumnStyle(1, 2).Horizontal, "right");
    EXPECT_EQ(x.ColumnStyle(1, 2).NumberFormat, "0.00");
    EXPECT_EQ(x.ColumnStyle(1, 3).Horizontal, "center");
    EXPECT_EQ(x.ColumnStyle(1, 1).FontSize, 8);

    // Title: bold 12, left, no border.
    EXPECT_EQ(x.Text(1, "A1"), U("Отчет"));
    const TXlsxStyle title = x.CellStyle(1, "A1");
    EXPECT_TRUE(title.Bold);
    EXPECT_FALSE(title.Italic);
    EXPECT_EQ(title.FontSize, 12);
    EXPECT_EQ(title.Horizontal, "left");
    EXPECT_EQ(title.Vertical, "center");
    EXPECT_EQ(title.Border(), "");
    EXPECT_FALSE(title.Wrap);

    // A text starting with "=" is a string, never a formula.
    EXPECT_EQ(x.Text(1, "A2"), U("=СУММ(A1:A3)"));
    EXPECT_TRUE(x.IsString(1, "A2"));
    EXPECT_FALSE(x.IsFormula(1, "A2"));
    const TXlsxStyle note = x.CellStyle(1, "A2");
    EXPECT_FALSE(note.Bold);
    EXPECT_TRUE(note.Italic);
    EXPECT_TRUE(note.Underline);
    EXPECT_TRUE(note.StrikeOut);
    EXPECT_EQ(x.Text(1, "A3"), "");

    // Caption row: medium borders, centred, wrapped, not bold.
    for (const char* ref : {"A4", "B4", "C4"}) {
        const TXlsxStyle caption = x.CellStyle(1, ref);
        EXPECT_EQ(caption.Border(), "medium") << ref;
        EXPECT_EQ(caption.Horizontal, "center") << ref;
        EXPECT_EQ(caption.Vertical, "center") << ref;
        EXPECT_TRUE(caption.Wrap) << ref;
        EXPECT_FALSE(caption.Bold) << ref;
        EXPECT_EQ(caption.FontSize, 8) << ref;
    }
    EXPECT_EQ(x.Text(1, "B4"), U("Сумма"));

    // Data: thin borders with the column's format; numbers, texts and text-format cells.
    EXPECT_EQ(x.Text(1, "A5"), "=1+1");
    EXPECT_TRUE(x.IsString(1, "A5"));
    EXPECT_FALSE(x.IsFormula(1, "A5"));
    EXPECT_EQ(x.Text(1, "B5"), "12.5");
    EXPECT_FALSE(x.IsString(1, "B5"));
    EXPECT_EQ(x.Text(1, "C5"), "07");
    EXPECT_EQ(x.Text(1, "A6"), "0012");
    EXPECT_TRUE(x.IsString(1, "A6"));
    EXPECT_EQ(x.Text(1, "B6"), "-3");
    EXPECT_FALSE(x.IsString(1, "B6"));
    EXPECT_EQ(x.Text(1, "C6"), "5");
    EXPECT_TRUE(x.IsString(1, "C6"));
    for (const char* ref : {"A5", "B5", "C5", "A6", "B6", "C6"}) {
        const TXlsxStyle data = x.CellStyle(1, ref);
        EXPECT_EQ(data.Border(), "thin") << ref;
        EXPECT_EQ(data.FontSize, 8) << ref;
        EXPECT_EQ(data.Vertical, "center") << ref;
        EXPECT_FALSE(data.Wrap) << ref;
    }
    EXPECT_EQ(x.CellStyle(1, "A5").Horizontal, "left");
    EXPECT_EQ(x.CellStyle(1, "B6").Horizontal, "right");
    EXPECT_EQ(x.CellStyle(1, "B6").NumberFormat, "0.00");
    EXPECT_EQ(x.CellStyle(1, "C6").NumberFormat, "@");
    EXPECT_EQ(x.CellStyle(1, "C6").Horizontal, "center");
    EXPECT_EQ(x.Cell(1, "D5"), nullptr);
    EXPECT_TRUE(Reports.isEmpty());
}

TEST_F(RMsExcel, EveryWorkbookGetsAFileOfItsOwn)
{
    // A file the user keeps under a name the workbooks could take.
    const QString kept = Temp + QStringLiteral("/Tavrix2_2r10-AAAAAA.xlsx");
    WriteFileBytes(kept, "user's own");

    QStringList written;
    for (int i = 0; i < 3; ++i) {
        TExcelSheet* sheet = StartSheet();
        ASSERT_NE(sheet, nullptr);
        sheet->Cells(1, 1).SetValue(QStringLiteral("book %1").arg(i));
        Opened.clear();
        ASSERT_TRUE(DisconnectExcel()) << qPrintable(ExcelLastError());
        ASSERT_EQ(Opened.size(), 1);
        written << Opened.first();
    }
    EXPECT_EQ(written.size(), 3);
    EXPECT_NE(written[0], written[1]);
    EXPECT_NE(written[1], written[2]);
    EXPECT_NE(written[0], written[2]);
    for (int i = 0; i < 3; ++i) {
        TXlsxReader x;
        ASSERT_TRUE(x.Open(written[i])) << qPrintable(x.Error());
        EXPECT_EQ(x.Text(1, "A1"), QStringLiteral("book %1").arg(i));
    }
    EXPECT_EQ(ReadFileBytes(kept), "user's own");
    // Nothing but the kept file and the three workbooks: no probe or scratch file is left.
    EXPECT_EQ(TempFiles().size(), 4);
}

TEST_F(RMsExcel, ConnectingAgainEndsTheHeldSessionFirst)
{
    TExcelSheet* sheet = StartSheet();
    ASSERT_NE(sheet, nullptr);
    sheet->Cells(1, 1).SetValue(QStringLiteral("first"));
    const QString first = ActiveWorkbook()->FileName();
    Opened.clear();
    EXPECT_TRUE(ConnectExcel());
    EXPECT_EQ(Opened, QStringList{first});
    EXPECT_EQ(ActiveWorkbook(), nullptr);
    ASSERT_NE(ExcelApplication(), nullptr);
    EXPECT_TRUE(ExcelApplication()->Workbooks().empty());
    // NewWorkbook adds to the session without making it the held one.
    TExcelWorkbook* extra = NewWorkbook();
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(ActiveWorkbook(), nullptr);
    EXPECT_EQ(ExcelApplication()->Workbooks().size(), 1u);
}

TEST_F(RMsExcel, WriteAndOpenFailuresAreReported)
{
    // The temporary folder vanishes before the workbook is written.
    ASSERT_NE(StartSheet(), nullptr);
    const QString fileName = ActiveWorkbook()->FileName();
    ASSERT_TRUE(QDir(Temp).removeRecursively());
    Opened.clear();
    EXPECT_FALSE(DisconnectExcel());
    EXPECT_TRUE(Opened.isEmpty());
    EXPECT_TRUE(ExcelLastError().startsWith(
        U("Ошибка сохранения книги Microsoft Excel в файле \"") + fileName + U("\"!\n")))
        << qPrintable(ExcelLastError());
    EXPECT_EQ(ExcelApplication(), nullptr);

    // The desktop cannot open the file: reported, the file stays for the user.
    ASSERT_TRUE(QDir().mkpath(Temp));
    ASSERT_NE(StartSheet(), nullptr);
    const QString second = ActiveWorkbook()->FileName();
    FailOpen = true;
    Reports.clear();
    EXPECT_FALSE(DisconnectExcel());
    // Said once, as what it is: the workbook is whole where it was written, nothing opened it.
    const QString notOpened = U("Файл \"") + second + U("\" сохранён, но ни одна программа его не открыла: no opener.");
    EXPECT_EQ(Reports, QStringList{notOpened});
    EXPECT_EQ(ExcelLastError(), notOpened);
    TXlsxReader x;
    EXPECT_TRUE(x.Open(second)) << qPrintable(x.Error());

    // A desktop without its opener: the same one sentence, the reason in Russian.
    FailOpen = false;
    ASSERT_NE(StartSheet(), nullptr);
    const QString third = ActiveWorkbook()->FileName();
    QTemporaryDir noPrograms;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(noPrograms.path()));
    const TOpenHandler captured = SetOpenHandler(nullptr);
    EXPECT_FALSE(DisconnectExcel());
    SetOpenHandler(captured);
    qputenv("PATH", path);
    EXPECT_EQ(ExcelLastError(), U("Файл \"") + third
                                    + U("\" сохранён, но ни одна программа его не открыла: не найдена программа "
                                        "xdg-open, через которую рабочий стол открывает файлы."));
    TXlsxReader y;
    EXPECT_TRUE(y.Open(third)) << qPrintable(y.Error());
}

// ---------------------------------------------------------------------------------------------
// The reader itself: stored entries, damaged and truncated archives.

namespace {

void Put16(QByteArray& b, quint32 v)
{
    b.append(char(v & 0xff)).append(char(v >> 8 & 0xff));
}
void Put32(QByteArray& b, quint32 v)
{
    Put16(b, v & 0xffff);
    Put16(b, v >> 16);
}

// A zip archive of one stored entry.
QByteArray StoredZip(const QByteArray& name, const QByteArray& data, quint32 crc)
{
    QByteArray zip;
    Put32(zip, 0x04034b50);
    Put16(zip, 20); Put16(zip, 0); Put16(zip, 0); Put16(zip, 0); Put16(zip, 0);
    Put32(zip, crc); Put32(zip, data.size()); Put32(zip, data.size());
    Put16(zip, name.size()); Put16(zip, 0);
    zip += name;
    zip += data;
    const quint32 dir = zip.size();
    Put32(zip, 0x02014b50);
    Put16(zip, 20); Put16(zip, 20); Put16(zip, 0); Put16(zip, 0); Put16(zip, 0); Put16(zip, 0);
    Put32(zip, crc); Put32(zip, data.size()); Put32(zip, data.size());
    Put16(zip, name.size()); Put16(zip, 0); Put16(zip, 0); Put16(zip, 0); Put16(zip, 0);
    Put32(zip, 0); Put32(zip, 0);
    zip += name;
    const quint32 dirSize = zip.size() - dir;
    Put32(zip, 0x06054b50);
    Put16(zip, 0); Put16(zip, 0); Put16(zip, 1); Put16(zip, 1);
    Put32(zip, dirSize); Put32(zip, dir); Put16(zip, 0);
    return zip;
}

} // namespace

TEST(XlsxReader, StoredEntriesAndBadArchives)
{
    // CRC-32 of "hello" is 0x3610a686.
    TZipReader zip;
    ASSERT_TRUE(zip.Load(StoredZip("a.txt", "hello", 0x3610a686u))) << qPrintable(zip.Error());
    EXPECT_EQ(zip.Names(), QStringList{"a.txt"});
    EXPECT_EQ(zip.Entry("a.txt").value_or("<none>"), "hello");
    EXPECT_FALSE(zip.Entry("b.txt").has_value());

    // A wrong CRC, a cut archive, and bytes that are no archive at all.
    ASSERT_TRUE(zip.Load(StoredZip("a.txt", "hello", 0x3610a687u)));
    EXPECT_FALSE(zip.Entry("a.txt").has_value());
    const QByteArray good = StoredZip("a.txt", "hello", 0x3610a686u);
    EXPECT_FALSE(zip.Load(good.left(good.size() - 5)));
    EXPECT_FALSE(zip.Load("PK not really a zip"));
    EXPECT_FALSE(zip.Load(QByteArray()));
}

TEST_F(RMsExcel, ReaderRefusesADamagedWorkbook)
{
    TExcelSheet* sheet = StartSheet();
    ASSERT_NE(sheet, nullptr);
    // A text that does not pack into a handful of bytes.
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QString::number(i * 7919 % 10007) + QLatin1Char(' ');
    sheet->Cells(1, 1).SetValue(text);
    Opened.clear();
    ASSERT_TRUE(DisconnectExcel());
    ASSERT_EQ(Opened.size(), 1);
    const QByteArray bytes = ReadFileBytes(Opened.first());
    TXlsxReader x;
    ASSERT_TRUE(x.Open(Opened.first())) << qPrintable(x.Error());
    EXPECT_EQ(x.Text(1, "A1"), text);

    // Truncated: the end record is gone.
    const QString cut = Temp + QStringLiteral("/cut.xlsx");
    WriteFileBytes(cut, bytes.left(bytes.size() / 2));
    EXPECT_FALSE(x.Open(cut));
    // One byte of the shared strings' packed data changed: inflation or the CRC catches it.
    TZipReader zip;
    ASSERT_TRUE(zip.Load(bytes));
    // The local header's name is followed by the packed data (no extra field).
    const qsizetype at = bytes.indexOf("xl/sharedStrings.xml") + 20 + 10;
    QByteArray damaged = bytes;
    damaged[at] = char(damaged[at] ^ 0x55);
    const QString bad = Temp + QStringLiteral("/bad.xlsx");
    WriteFileBytes(bad, damaged);
    EXPECT_FALSE(x.Open(bad));
}
