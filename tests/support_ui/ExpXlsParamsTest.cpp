#include "tests/support_ui/ExpXlsTestData.h"

using namespace expxls_test;

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
        {"1;Дата;;0;1;7", 0, false, {}, "", false, 0, ""},         // no caption for a captioned column
        {"1;Дата; ;0;1;7", 0, false, {}, "", false, 0, ""},        // nor a blank one
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

// A column the table gives no caption (the card's draw number): its line keeps the empty field.
TEST(ExpXlsParams, AColumnWithoutCaptionKeepsItsSavedSettings)
{
    std::vector<TExpXlsColumn> columns = {Col(0, ""), Col(1, "x")};
    ASSERT_TRUE(ApplyExpXlsItem(columns, 1, U("0;;Тираж;0;0;6,75")));
    EXPECT_EQ(FormatExpXlsItem(columns[1]), U("0;;Тираж;0;0;6,75"));
    ASSERT_TRUE(ApplyExpXlsItem(columns, 0, U("0;;;-1;0;6,75")));   // not renamed
    EXPECT_EQ(FormatExpXlsItem(columns[0]), U("0;;;-1;0;6,75"));
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
