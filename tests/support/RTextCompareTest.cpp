#include "support/RTextCompare.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct TOrderCase {
    const char* A;
    const char* B;
    int Expected;   // sign of the comparison
};

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

class CellTextOrder : public ::testing::Test {
protected:
    CellTextOrder() : FPrevious(QLocale()) { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    ~CellTextOrder() override { QLocale::setDefault(FPrevious); }

    QLocale FPrevious;
};

} // namespace

TEST_F(CellTextOrder, NumbersCompareAsNumbersEveryOtherPairByTheLocale)
{
    const TOrderCase cases[] = {
        // Two numbers: by value, the first "," read as ".".
        {"9", "10", -1},
        {"2,5", "2,75", -1},
        {"3,00", "3", 0},
        {"1,5", "1.5", 0},
        {"-1", "0", -1},
        {"-3", "-2,5", -1},
        {"1e2", "101", -1},
        // A dash (a value not seen) against a number: as texts, so it comes first.
        {"-", "1000", -1},
        {"1000", "-", 1},
        {"-", "0", -1},
        {"-", "-1", -1},
        {"-", "0,00000", -1},
        {"-", "-0,00001", -1},
        {"-", "12,5", -1},
        {"-", "+3", -1},
        {"-", "-2147483648", -1},
        {"-", "-", 0},
        // A number against a text that is none.
        {"100", "a", -1},
        {"", "5", -1},
        {"1,2,3", "7", -1},   // only the first comma is a point: "1.2,3" is a text
        {"12-33", "9", -1},
        // Two texts: by the locale, letter case ignored.
        {"a10", "a9", -1},
        {"b", "A", 1},
        {"Абв", "абВ", 0},
        {"ёж", "жук", -1},
        {"Яма", "ящик", -1},
        {"Остальные", "12-33", 1},
    };
    const TCellTextOrder plain;
    const TCellTextOrder keyed(true);
    for (const TOrderCase& c : cases) {
        const QString a = QString::fromUtf8(c.A);
        const QString b = QString::fromUtf8(c.B);
        EXPECT_EQ(Sign(CompareCellTexts(a, b)), c.Expected) << c.A << " : " << c.B;
        // Sort keys give the same order as comparing the texts.
        EXPECT_EQ(keyed.Compare(keyed.Key(a), keyed.Key(b)), plain.Compare(a, b)) << c.A << " : " << c.B;
    }
}

TEST_F(CellTextOrder, DescendingColumnOfCountsAndDashesPutsTheDashesLast)
{
    // A depth column: values seen at some depth, and values the window has not seen.
    std::vector<QString> column{"3", "-", "1", "7", "-", "5", "2"};
    const TCellTextOrder order;
    std::stable_sort(column.begin(), column.end(),
                     [&](const QString& a, const QString& b) { return order.Compare(a, b) > 0; });
    EXPECT_EQ(column, (std::vector<QString>{"7", "5", "3", "2", "1", "-", "-"}));
}

TEST(PlainNumber, WholeTextsOnly)
{
    struct TCase {
        const char* Text;
        bool IsNumber;
        long double Value;
    } cases[] = {
        {"  -12.5e1", true, -125.0L},
        {"+.5", true, 0.5L},
        {"7.", true, 7.0L},
        {"0", true, 0.0L},
        {"", false, 0},
        {".", false, 0},
        {"-", false, 0},
        {"1e", false, 0},
        {"1 ", false, 0},
        {"1,5", false, 0},
        {"0x10", false, 0},
        {"inf", false, 0},
        {"nan", false, 0},
        {"1.2.3", false, 0},
        {"$10", false, 0},
        {"1e+", false, 0},
        {"1e-999999", true, 0.0L},   // too small to hold, still a number
    };
    for (const TCase& c : cases) {
        long double value = -1;
        EXPECT_EQ(ReadPlainNumber(QString::fromLatin1(c.Text), value), c.IsNumber) << c.Text;
        if (c.IsNumber) {
            EXPECT_EQ(value, c.Value) << c.Text;
        }
    }
}
