// The information about a draw or a combination: the number and date rows, the value of every
// graph method, the indexes a combination from the list stands for, and the digit grid cells.

#include "tests/app_core/CoreTestEnv.h"

#include "app/core/archive/DrawInfo.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <algorithm>

namespace {

class DrawInfoTest : public TCoreTest {
protected:
    DrawInfoTest()
    {
        FState.StatList().SetDraws(&FState.FDraws);
        // The default shredding formulas, as a missing settings file gives them.
        FState.StatList().LoadShreddingFormulas(DataFile(QStringLiteral("none.ini")));
        FState.StatList().RebuildMethods();
    }

    // The value of the row with this caption; "<none>" when there is no such row.
    static QString ValueOf(const std::vector<TDrawInfoRow>& rows, const char* caption)
    {
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [&](const TDrawInfoRow& r) { return r.Property == U(caption); });
        return row == rows.end() ? QStringLiteral("<none>") : row->Value;
    }

    int GraphMethodCount() const
    {
        int count = 0;
        const TStatList& list = FState.StatList();
        for (int i = 0; i < list.Count(); ++i)
            count += list.IsGraph(i) ? 1 : 0;
        return count;
    }
};

TEST_F(DrawInfoTest, CombinationFromTheListHasOnlyMethodRows)
{
    // Draws 3-5, 1-2, 3-7, 4-4, 4-5, 3-4. With the offset 2 the newest analysed draw is 4-4
    // (index 3, sum 8): the combination 6-8 stands for the draw after it.
    FState.FDraws = SixDrawArchive();
    FState.SetDrawsOffset(2);
    const TDrawInfoRequest request = CombInfoRequest(FState, C(6, 8));
    EXPECT_EQ(request.DrawNumber, -1);
    EXPECT_TRUE(request.DateText.isEmpty());
    EXPECT_EQ(request.DrawIndex, 4);

    const std::vector<TDrawInfoRow> rows = DrawInfoRows(FState.StatList(), request);
    ASSERT_EQ(static_cast<int>(rows.size()), GraphMethodCount());
    EXPECT_EQ(rows.front().Property, U("Количество четных чисел в тираже (Ч:Н)"));
    EXPECT_EQ(rows.front().Value, QStringLiteral("2"));
    EXPECT_EQ(ValueOf(rows, "Номер тиража:"), QStringLiteral("<none>"));
    EXPECT_EQ(ValueOf(rows, "Дата тиража:"), QStringLiteral("<none>"));
    EXPECT_EQ(ValueOf(rows, "Сумма тиража: все значения"), QStringLiteral("14"));
    EXPECT_EQ(ValueOf(rows, "Число в 1 позиции тиража"), QStringLiteral("6"));
    EXPECT_EQ(ValueOf(rows, "Число в 2 позиции тиража"), QStringLiteral("8"));
    EXPECT_EQ(ValueOf(rows, "Разность между минимальным и максимальным числом"), QStringLiteral("2"));
    // 14 - 8 against the newest analysed draw, and its direction.
    EXPECT_EQ(ValueOf(rows, "Сумма тиража: изменения (точно)"), QStringLiteral("6"));
    EXPECT_EQ(ValueOf(rows, "Сумма тиража: направление изменения"), QStringLiteral("1"));
    // Shredding captions carry their formula, never the bare placeholder.
    for (const TDrawInfoRow& row : rows)
        EXPECT_FALSE(row.Property.contains(QLatin1String("%s"))) << row.Property.toStdString();
    EXPECT_NE(ValueOf(rows, "Метод шинковки 1: n1/n2"), QStringLiteral("<none>"));
}

TEST_F(DrawInfoTest, DrawFromTheArchiveStartsWithNumberAndDate)
{
    FState.FDraws = SixDrawArchive();
    FState.FDraws[4].Number = 12345;
    const TDrawInfoRequest request = DrawInfoRequest(FState, 4);   // 4-5 after 4-4
    EXPECT_EQ(request.DrawIndex, 4);
    EXPECT_EQ(request.LastIndex, 4);
    const std::vector<TDrawInfoRow> rows = DrawInfoRows(FState.StatList(), request);
    ASSERT_EQ(static_cast<int>(rows.size()), GraphMethodCount() + 2);
    EXPECT_EQ(rows[0], (TDrawInfoRow{U("Номер тиража:"), QStringLiteral("12345")}));
    EXPECT_EQ(rows[1], (TDrawInfoRow{U("Дата тиража:"), FixtureDrawKey(4)}));
    EXPECT_EQ(ValueOf(rows, "Сумма тиража: все значения"), QStringLiteral("9"));
    // 9 against 4-4 before it.
    EXPECT_EQ(ValueOf(rows, "Сумма тиража: изменения (точно)"), QStringLiteral("1"));
    // An index outside the archive asks for nothing: no number, no date.
    EXPECT_EQ(DrawInfoRequest(FState, 6).DrawNumber, -1);
    EXPECT_EQ(DrawInfoRequest(FState, -1).DateText, QString());
}

TEST_F(DrawInfoTest, CombinationOfAnEmptyArchiveStandsForTheFirstDraw)
{
    const TDrawInfoRequest request = CombInfoRequest(FState, C(1, 2));
    EXPECT_EQ(request.DrawIndex, 0);
    const std::vector<TDrawInfoRow> rows = DrawInfoRows(FState.StatList(), request);
    EXPECT_EQ(ValueOf(rows, "Сумма тиража: все значения"), QStringLiteral("3"));
    // No earlier draw: the change is against the empty draw.
    EXPECT_EQ(ValueOf(rows, "Сумма тиража: изменения (точно)"), QStringLiteral("3"));
}

TEST_F(DrawInfoTest, GridCellsStayInsideTheGrid)
{
    struct TCase {
        TCombWord Comb;
        int Cols;
        std::vector<TDrawInfoCell> Cells;
    };
    const TCase cases[] = {
        {C(3, 7), 2, {{3, 0, QStringLiteral("3")}, {7, 1, QStringLiteral("7")}}},
        {C(3, 7), 1, {{3, 0, QStringLiteral("3")}}},   // one column: the first digit only
        {C(3, 7), 9, {{3, 0, QStringLiteral("3")}, {7, 1, QStringLiteral("7")}}},
        {C(5, 5), 2, {{5, 0, QStringLiteral("5")}, {5, 1, QStringLiteral("5")}}},   // a pair: one row
        {C(5, 5), 1, {{5, 0, QStringLiteral("5")}}},
        {C(0, 9), 3, {{0, 0, QStringLiteral("0")}, {9, 1, QStringLiteral("9")}}},
        {C(12, 4), 2, {{4, 1, QStringLiteral("4")}}},   // a digit past 9 has no row
        {C(1, 2), 0, {}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(DrawInfoCells(c.Comb, c.Cols), c.Cells) << CombToStr(c.Comb).toStdString() << " " << c.Cols;
}

TEST_F(DrawInfoTest, GridStartsAtTheMatrixColumnsWithinOneToNine)
{
    TStatList& list = FState.StatList();
    for (const auto& [cols, expected] : {std::pair{3, 3}, {1, 1}, {9, 9}, {0, 1}, {-4, 1}, {10, 9}, {500, 9}}) {
        list.Config().MatrixCols = cols;
        EXPECT_EQ(InfoGridStartCols(list), expected) << cols;
    }
}

}  // namespace
