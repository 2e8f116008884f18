#include "support/RMsExcel.h"

#include "tests/common/TestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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
        {" history ", ""},
        {"History 2", "History 2"},
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
