#include "app/core/scenarios/ScriptDialogs.h"

#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

const char* const kBadRange = "Введен некорректный диапазон значений!";
const char* const kNoListMode = "Для данного вида статистики не доступен режим выделения по списку значений!";
const char* const kMultiStop =
    "В режиме мультивыделения остановка сценария по количеству комбинаций или чисел не может быть "
    "выполнена!\nВыберите другой способ останова.";

class FilterCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fx.List.RebuildMethods();
        for (int i = 0; i < fx.List.Count(); ++i) {
            const TStatMethod& method = fx.List.Items(i);
            if (method.HasNumericValue() && Numeric == nullptr)
                Numeric = &method;
            if (!method.HasNumericValue() && Textual == nullptr)
                Textual = &method;
        }
        ASSERT_NE(Numeric, nullptr);
        ASSERT_NE(Textual, nullptr);
    }

    // A step the dialog would accept: SUMS-like over 10 draws, whole list, all rows.
    TFilterItem Good() const
    {
        TFilterItem item;
        item.Used = 1;
        item.Method = Numeric;
        item.DrawsLen = Q("10");
        item.SortOrder = 1;
        item.StopValue = 1;
        return item;
    }

    TStatFixture fx;
    const TStatMethod* Numeric = nullptr;
    const TStatMethod* Textual = nullptr;
};

TEST_F(FilterCheckTest, DrawsLengthsMustBeAListOtherThanASingleWindowOverNoDraws)
{
    // 0 and a negative length are both a window over no draws: refused alone, taken beside
    // other lengths, as the run takes them.
    const struct {
        const char* text;
        bool accepted;
    } cases[] = {
        {"10", true},       {" 10 ", true},    {"0,1", true},      {"0;0", true},
        {"1-10;3", true},   {"10,20;30", true}, {"0", false},      {"", false},
        {"  ", false},      {"abc", false},    {"10,x", false},    {"10-1;1", false},
        {"0-0;1", false},   {"1-10;0", false}, {"-5", false},     {"-3--3;1", false},
        {"5,-1", true},     {"-1;5", true},    {"-1-1;1", true},
    };
    for (const auto& c : cases) {
        TFilterItem item = Good();
        item.DrawsLen = Q(c.text);
        const TFilterCheck check = CheckFilterItem(item);
        EXPECT_EQ(check.Ok(), c.accepted) << c.text;
        if (!c.accepted) {
            EXPECT_EQ(check.Field, TFilterCheckField::DrawsLen) << c.text;
            EXPECT_EQ(check.Message, Q(kBadRange));
        }
    }
}

TEST_F(FilterCheckTest, LevelValuesAreNeededForEveryModeButTheWholeList)
{
    TFilterItem item = Good();
    item.LevelValue.clear();
    EXPECT_TRUE(CheckFilterItem(item).Ok());   // LNO takes no values
    item.LevelValue = Q("garbage");
    EXPECT_TRUE(CheckFilterItem(item).Ok());

    for (const int mode : {int(LevelLMV), int(LevelLDP), int(LevelWDV), int(LevelPXR)}) {
        item.LevelMode = std::uint8_t(mode);
        for (const char* bad : {"", "x", "5-1;1"}) {
            item.LevelValue = Q(bad);
            const TFilterCheck check = CheckFilterItem(item);
            EXPECT_EQ(check.Field, TFilterCheckField::LevelValue) << mode << " " << bad;
            EXPECT_EQ(check.Message, Q(kBadRange));
        }
        for (const char* good : {"0", "5", "1,2,3", "1-9;2"}) {
            item.LevelValue = Q(good);
            EXPECT_TRUE(CheckFilterItem(item).Ok()) << mode << " " << good;
        }
    }
}

TEST_F(FilterCheckTest, ValueListModeNeedsAMethodWithNumericValues)
{
    TFilterItem item = Good();
    item.LevelMode = LevelLVA;
    item.LevelValue = Q("1,5");
    EXPECT_TRUE(CheckFilterItem(item).Ok());

    for (const TStatMethod* method : {Textual, static_cast<const TStatMethod*>(nullptr)}) {
        item.Method = method;
        // The method is refused before the values are looked at.
        for (const char* values : {"1,5", ""}) {
            item.LevelValue = Q(values);
            const TFilterCheck check = CheckFilterItem(item);
            EXPECT_EQ(check.Field, TFilterCheckField::LevelMode) << values;
            EXPECT_EQ(check.Message, Q(kNoListMode));
        }
    }
    // Other list modes do not ask for numeric values.
    item.LevelMode = LevelLDV;
    item.LevelValue = Q("1,5");
    EXPECT_TRUE(CheckFilterItem(item).Ok());
}

TEST_F(FilterCheckTest, SeveralRowsAtOnceCannotStopAtACombinationCount)
{
    TFilterItem item = Good();
    for (std::uint32_t stop = 0; stop < std::uint32_t(StopModeCount); ++stop) {
        item.StopMode = stop;
        item.MultiSelect = false;
        EXPECT_TRUE(CheckFilterItem(item).Ok()) << stop;
        item.MultiSelect = true;
        const TFilterCheck check = CheckFilterItem(item);
        EXPECT_EQ(check.Ok(), stop != StopSC) << stop;
        if (stop == StopSC) {
            EXPECT_EQ(check.Field, TFilterCheckField::StopMode);
            EXPECT_EQ(check.Message, Q(kMultiStop));
        }
    }
}

TEST_F(FilterCheckTest, TheFirstFailingCheckIsTheOneReported)
{
    TFilterItem item = Good();
    item.DrawsLen = Q("0");
    item.LevelMode = LevelLVA;
    item.Method = Textual;
    item.MultiSelect = true;
    item.StopMode = StopSC;
    EXPECT_EQ(CheckFilterItem(item).Field, TFilterCheckField::DrawsLen);
    item.DrawsLen = Q("5");
    EXPECT_EQ(CheckFilterItem(item).Field, TFilterCheckField::LevelMode);
    item.Method = Numeric;
    item.LevelValue.clear();
    EXPECT_EQ(CheckFilterItem(item).Field, TFilterCheckField::LevelValue);
    item.LevelValue = Q("3");
    EXPECT_EQ(CheckFilterItem(item).Field, TFilterCheckField::StopMode);
    item.StopMode = StopST;
    EXPECT_TRUE(CheckFilterItem(item).Ok());
}

TEST_F(FilterCheckTest, MethodEntryIsTheOneHoldingTheMethodElseTheFirst)
{
    EXPECT_EQ(FindFilterMethodItem({}, Numeric), -1);
    const std::vector<TFilterMethodItem> items = {{Q("a"), Textual}, {Q("b"), nullptr}, {Q("c"), Numeric}};
    EXPECT_EQ(FindFilterMethodItem(items, Numeric), 2);
    EXPECT_EQ(FindFilterMethodItem(items, Textual), 0);
    EXPECT_EQ(FindFilterMethodItem(items, nullptr), 0);
    EXPECT_EQ(FindFilterMethodItem(items, &fx.List.Items(fx.List.Count() - 1)), 0);
}

TEST(ScriptDialogs, OnlyTheWeightRulesTakeOwnWeights)
{
    for (int mode = -1; mode <= LevelModeCount; ++mode)
        EXPECT_EQ(LevelModeUsesWeights(mode), mode == LevelWMV || mode == LevelWLV || mode == LevelWDV) << mode;
    EXPECT_EQ(int(LevelWMV), 19);
    EXPECT_EQ(int(LevelWDV), 21);
}

TEST(ScriptDialogs, ListEditsTakeDigitsAndListSignsOnly)
{
    for (const char c : QByteArray("0123456789,-;"))
        EXPECT_TRUE(IsFilterListChar(QLatin1Char(c))) << c;
    for (const char c : QByteArray(" .:#|aZ+"))
        EXPECT_FALSE(IsFilterListChar(QLatin1Char(c))) << c;
    // Backspace, Delete and the like pass through.
    EXPECT_TRUE(IsFilterListChar(QChar(8)));
    EXPECT_TRUE(IsFilterListChar(QChar(127)));
    EXPECT_FALSE(IsFilterListChar(QChar(0x0661)));   // a digit of another script

    EXPECT_EQ(KeepFilterListChars(Q("1-10; 2")), Q("1-10;2"));
    EXPECT_EQ(KeepFilterListChars(Q("10|20#LMV:5")), Q("10205"));
    EXPECT_EQ(KeepFilterListChars(Q("\t1,2\n")), Q("1,2"));
    EXPECT_EQ(KeepFilterListChars(Q("глубина")), QString());
}

TEST(ScriptDialogs, BarInACommentOrAFilterIsFound)
{
    std::array<QString, ScriptFilterCount> filters;
    filters[0] = Q("TSD1#SUMS:10#LNO:#SF:1");
    EXPECT_EQ(FindFieldBreak(Q("my line: a # b"), filters), -1);
    EXPECT_EQ(FindFieldBreak(Q("a|b"), filters), 0);
    filters[3] = Q("TSD1#SUMS:10|20#LNO:#SF:1");
    EXPECT_EQ(FindFieldBreak(Q("plain"), filters), 4);
    EXPECT_EQ(FindFieldBreak(Q("|"), filters), 0);
    filters[3].clear();
    filters[6] = Q("|");
    EXPECT_EQ(FindFieldBreak(QString(), filters), 7);
    EXPECT_EQ(FieldBreakMessage(), Q("Символ \"|\" не допускается в комментариях и фильтрах!"));
}

TEST(ScriptDialogs, TestCountRunsFromOneToTheLargestStartingAtTen)
{
    const struct {
        int largest;
        bool valid;
        int maximum;
        int initial;
    } cases[] = {
        {-5, false, -5, 0}, {0, false, 0, 0}, {1, true, 1, 1}, {9, true, 9, 9},
        {10, true, 10, 10}, {11, true, 11, 10}, {4999, true, 4999, 10},
    };
    for (const auto& c : cases) {
        const TTestCountRange range = TestCountRange(c.largest);
        EXPECT_EQ(range.Valid(), c.valid) << c.largest;
        EXPECT_EQ(range.Minimum, 1);
        EXPECT_EQ(range.Maximum, c.maximum) << c.largest;
        EXPECT_EQ(range.Initial, c.initial) << c.largest;
    }
}

} // namespace
