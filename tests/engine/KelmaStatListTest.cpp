#include "engine/KelmaStatList.h"

#include "platform/Exceptions.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// Classes of a small registry for the engine object's own behaviour; the real registry is
// covered by the registry tests.
class TConstStat : public TCustomValuesStat {
public:
    TConstStat(const TStatClass& cls, const TStatList& list, int param) : TCustomValuesStat(cls, list, param) {}
    bool Test(TCombWord, const TStatDrawArray&, int, bool, bool) override { return false; }
};

template <const TStatClass& Cls>
std::unique_ptr<TCustomStat> MakeConst(const TStatList& list, int param)
{
    return std::make_unique<TConstStat>(Cls, list, param);
}

void SumRangeParams(const TStatList&, int& lo, int& hi)
{
    lo = 1;
    hi = 3;
}

void ChannelParams(const TStatList& list, int& lo, int& hi)
{
    lo = 1;
    hi = DigitGroupIndex(9, list.Config().ChannelSize);
}

void NoParams(const TStatList&, int& lo, int& hi)
{
    lo = 1;
    hi = 0;
}

extern const TStatClass NumsClass;

const TStatClass NumsClass{.ClassName = "TstValues", .CodeFormat = "NUMS",
    .CaptionFormat = KELMA_MSG("Числа тиража"), .HelpName = nullptr, .Group = 0, .Flags = sfPlainValue,
    .Available = true, .IsGraph = false, .HasNumericValue = true, .ParamRange = nullptr,
    .Factory = &MakeConst<NumsClass>};
const TStatClass SumsClass{.ClassName = "TstSumValues", .CodeFormat = "SUMS",
    .CaptionFormat = KELMA_MSG("Сумма тиража: все значения"), .HelpName = nullptr, .Group = 1, .Flags = sfPlainValue,
    .Available = true, .IsGraph = true, .HasNumericValue = true, .ParamRange = nullptr,
    .Factory = nullptr};
const TStatClass HiddenClass{.ClassName = "TstColumns", .CodeFormat = "COLS",
    .CaptionFormat = KELMA_MSG("Числа тиража"), .HelpName = nullptr, .Group = 4, .Flags = sfPlainValue,
    .Available = false, .IsGraph = false, .HasNumericValue = true, .ParamRange = nullptr,
    .Factory = nullptr};
const TStatClass RangesClass{.ClassName = "TstSumRanges", .CodeFormat = "SUM%d",
    .CaptionFormat = KELMA_MSG("Сумма тиража: все значения"), .HelpName = nullptr, .Group = 1, .Flags = sfPlainValue,
    .Available = true, .IsGraph = true, .HasNumericValue = true, .ParamRange = &SumRangeParams,
    .Factory = nullptr};
const TStatClass NoneClass{.ClassName = "TstPosExt", .CodeFormat = "POE%d",
    .CaptionFormat = KELMA_MSG("Числа тиража"), .HelpName = nullptr, .Group = 0, .Flags = 0,
    .Available = true, .IsGraph = false, .HasNumericValue = true, .ParamRange = &NoParams,
    .Factory = nullptr};
const TStatClass ChannelsClass{.ClassName = "TstChnValCnt", .CodeFormat = "CHN%d",
    .CaptionFormat = KELMA_MSG("Числа тиража"), .HelpName = nullptr, .Group = 3, .Flags = sfPlainValue,
    .Available = true, .IsGraph = false, .HasNumericValue = true, .ParamRange = &ChannelParams,
    .Factory = nullptr};
const TStatClass ChainClass{.ClassName = "TstChain2DrawsPos", .CodeFormat = "SDP2",
    .CaptionFormat = KELMA_MSG("Числа тиража"), .HelpName = nullptr, .Group = 10, .Flags = sfShowS | sfTwoDraws,
    .Available = true, .IsGraph = false, .HasNumericValue = true, .ParamRange = nullptr,
    .Factory = nullptr};
const TStatClass PlainClass{.ClassName = "TstCombValSort2", .CodeFormat = "KNO2",
    .CaptionFormat = KELMA_MSG("Числа тиража"), .HelpName = nullptr, .Group = 0, .Flags = 0,
    .Available = true, .IsGraph = false, .HasNumericValue = true, .ParamRange = nullptr,
    .Factory = nullptr};
const TStatClass ShreddingClass{.ClassName = "TstShreddingStat", .CodeFormat = "SHR%d",
    .CaptionFormat = KELMA_MSG("Метод шинковки %0:d: %%s"), .HelpName = "SHRx", .Group = 12,
    .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = true, .HasNumericValue = true,
    .ParamRange = &SumRangeParams, .Factory = nullptr};

const std::array<const TStatClass*, 9> SmallRegistry{&NumsClass, &SumsClass, &HiddenClass,
    &RangesClass, &NoneClass, &ChannelsClass, &ChainClass, &PlainClass, &ShreddingClass};

QStringList Codes(const TStatList& list)
{
    QStringList codes;
    for (int i = 0; i < list.Count(); ++i)
        codes.append(list.Items(i).Code());
    return codes;
}

QStringList EnabledCodes(const TStatList& list)
{
    QStringList codes;
    for (int i = 0; i < list.Count(); ++i)
        if (list.Items(i).Enabled)
            codes.append(list.Items(i).Code());
    return codes;
}

class StatListTest : public ::testing::Test {
protected:
    void SetUp() override { fx.List.RebuildMethods(SmallRegistry); }
    int Index(const char* code) const { return fx.List.IndexOfCode(QLatin1String(code)); }

    TStatFixture fx;
};

}  // namespace

TEST(StatGroupTest, Captions)
{
    EXPECT_EQ(StatGroupCaption(0), "{ num } Числа тиража");
    EXPECT_EQ(StatGroupCaption(10), "{ mov } Переходы (изменения) значений между тиражами");
    EXPECT_EQ(StatGroupCaption(12), "{ shr } Методы шинковки");
    EXPECT_EQ(StatGroupCaption(13), "#ERROR#");
    EXPECT_EQ(StatGroupCaption(-1), "#ERROR#");
    EXPECT_EQ(StatGroupCode(5), "sgm");
    EXPECT_TRUE(StatGroupCode(13).isEmpty());
}

TEST_F(StatListTest, RebuildListsOfferedClassesWithTheirParameters)
{
    EXPECT_EQ(Codes(fx.List).join(','),
              "NUMS,SUMS,SUM1,SUM2,SUM3,CHN1,CHN2,CHN3,CHN4,CHN5,SDP2,KNO2,SHR1,SHR2,SHR3");
    EXPECT_EQ(fx.List.Items(0).Param(), 0);
    EXPECT_EQ(fx.List.Items(Index("CHN4")).Param(), 4);

    fx.List.Config().ChannelSize = 3;
    fx.List.Ordered = true;
    fx.List.ShowGroupName = false;
    fx.List.SetFavoritesText(QStringLiteral("NUMS"));
    fx.List.RebuildMethods(SmallRegistry);
    EXPECT_EQ(Codes(fx.List).join(','), "NUMS,SUMS,SUM1,SUM2,SUM3,CHN1,CHN2,CHN3,CHN4,SDP2,KNO2,SHR1,SHR2,SHR3");
    EXPECT_FALSE(fx.List.Ordered);
    EXPECT_TRUE(fx.List.ShowGroupName);
    EXPECT_TRUE(fx.List.ShowMethodFlags);
    EXPECT_TRUE(fx.List.AllFavorites);
    EXPECT_TRUE(fx.List.FavoritesText().isEmpty());
    for (int i = 0; i < fx.List.Count(); ++i) {
        EXPECT_TRUE(fx.List.IsFavorite(i));
        EXPECT_TRUE(fx.List.Items(i).Enabled);
    }

    // Shredding methods carry their formula.
    EXPECT_EQ(fx.List.Items(Index("SHR2")).ExtraText, "n2/n1");
    EXPECT_TRUE(fx.List.Items(Index("NUMS")).ExtraText.isEmpty());

    EXPECT_TRUE(fx.List.IsGraph(Index("SUMS")));
    EXPECT_FALSE(fx.List.IsGraph(Index("NUMS")));
    EXPECT_TRUE(fx.List.IsPlainValue(Index("NUMS")));
    EXPECT_FALSE(fx.List.IsPlainValue(Index("SDP2")));
    EXPECT_TRUE(fx.List.IsAvailable(0));
    EXPECT_TRUE(fx.List.HasStatTable(0));
}

TEST_F(StatListTest, IndexOfCodeIgnoresLetterCase)
{
    EXPECT_EQ(Index("SUM2"), 3);
    EXPECT_EQ(Index("sum2"), 3);
    EXPECT_EQ(Index("COLS"), -1);   // not offered
    EXPECT_EQ(Index("POE1"), -1);   // a range without parameters
    EXPECT_EQ(Index(""), -1);
    EXPECT_EQ(Index(" NUMS"), -1);
}

TEST_F(StatListTest, MethodCaptions)
{
    const int sums = Index("SUMS");
    EXPECT_EQ(fx.List.MethodCaption(sums, true), "{ sum } Сумма тиража: все значения [ NG ]");
    EXPECT_EQ(fx.List.MethodCaption(sums, false), "{ sum } Сумма тиража: все значения");
    EXPECT_EQ(fx.List.MethodCaption(Index("SDP2"), true), "{ mov } Числа тиража [ SD ]");
    EXPECT_EQ(fx.List.MethodCaption(Index("KNO2"), true), "{ num } Числа тиража");

    fx.List.ShowMethodFlags = false;
    EXPECT_EQ(fx.List.MethodCaption(sums, true), "{ sum } Сумма тиража: все значения");
    fx.List.ShowGroupName = false;
    fx.List.ShowMethodFlags = true;
    EXPECT_EQ(fx.List.MethodCaption(sums, true), "Сумма тиража: все значения [ NG ]");

    // A user caption replaces the built-in one; it is shown as written, '%' included.
    TStatMethod& nums = fx.List.Items(Index("NUMS"));
    nums.UserCaption = QStringLiteral("Мои 100% числа %d %s");
    EXPECT_EQ(nums.DisplayCaption(), "Мои 100% числа %d %s");
    EXPECT_EQ(fx.List.MethodCaption(Index("NUMS"), true), "Мои 100% числа %d %s [ N ]");
    EXPECT_EQ(nums.Caption(), "Числа тиража");
}

TEST_F(StatListTest, ShreddingCaptionsTakeTheirFormula)
{
    TStatMethod& shr1 = fx.List.Items(Index("SHR1"));
    EXPECT_EQ(shr1.Caption(), "Метод шинковки 1: %s");
    EXPECT_EQ(shr1.FullCaption(), "Метод шинковки 1: n1/n2");
    EXPECT_EQ(fx.List.MethodCaption(Index("SHR3"), true),
              "{ shr } Метод шинковки 3: (n1+n2)/(n1-n2) [ SNG ]");

    // The user's caption is never a format: stray '%' signs stay, "%%" is one '%', the
    // first "%s" takes the formula.
    shr1.UserCaption = QStringLiteral("Шинковка 50% (%d): %s / %s %%");
    EXPECT_EQ(shr1.FullCaption(), "Шинковка 50% (%d): n1/n2 / %s %");
    shr1.UserCaption = QStringLiteral("Без формулы %");
    EXPECT_EQ(shr1.FullCaption(), "Без формулы %");
}

TEST_F(StatListTest, FavoritesText)
{
    fx.List.SetFavoritesText(QStringLiteral("SUMS, nums"));
    EXPECT_FALSE(fx.List.AllFavorites);
    EXPECT_EQ(EnabledCodes(fx.List).join(','), "SUMS");
    EXPECT_EQ(fx.List.FavoritesText(), "SUMS");
    EXPECT_FALSE(fx.List.IsFavorite(Index("NUMS")));
    EXPECT_TRUE(fx.List.IsFavorite(Index("SUMS")));

    fx.List.SetFavoritesText(QStringLiteral("SUMS,nums,shr2,unknown"));
    EXPECT_EQ(fx.List.FavoritesText(), "NUMS,SUMS,SHR2");

    fx.List.SetFavoritesText(QStringLiteral("  "));
    EXPECT_TRUE(fx.List.AllFavorites);
    EXPECT_EQ(EnabledCodes(fx.List).size(), fx.List.Count());
    EXPECT_TRUE(fx.List.FavoritesText().isEmpty());

    // Only ASCII letters fold: the Kelvin sign is not a K.
    fx.List.SetFavoritesText(QString::fromUtf8("\u212ANO2"));
    EXPECT_TRUE(EnabledCodes(fx.List).isEmpty());
    EXPECT_TRUE(fx.List.FavoritesText().isEmpty());   // no favourite at all, yet not "all"
    EXPECT_FALSE(fx.List.AllFavorites);
}

TEST_F(StatListTest, CheckAndSelectAllFavorites)
{
    fx.List.SetFavoritesText(QStringLiteral("NUMS"));
    fx.List.CheckAllFavorites();
    EXPECT_FALSE(fx.List.AllFavorites);

    for (int i = 0; i < fx.List.Count(); ++i)
        fx.List.Items(i).Enabled = false;
    fx.List.CheckAllFavorites();
    EXPECT_TRUE(fx.List.AllFavorites);
    EXPECT_EQ(EnabledCodes(fx.List).size(), fx.List.Count());

    fx.List.SetFavoritesText(QStringLiteral("NUMS"));
    for (int i = 0; i < fx.List.Count(); ++i)
        fx.List.Items(i).Enabled = true;
    fx.List.AllFavorites = false;
    fx.List.CheckAllFavorites();
    EXPECT_TRUE(fx.List.AllFavorites);

    fx.List.SetFavoritesText(QStringLiteral("NUMS"));
    fx.List.SelectAllFavorites();
    EXPECT_TRUE(fx.List.AllFavorites);
    EXPECT_EQ(EnabledCodes(fx.List).size(), fx.List.Count());
}

TEST_F(StatListTest, StakeBalance)
{
    fx.List.Config().Cost = TCurrency::FromUnits(10);
    EXPECT_EQ(fx.List.StakeBalance(2, -1), TCurrency::FromUnits(-10));
    EXPECT_EQ(fx.List.StakeBalance(2, 1), TCurrency::FromUnits(-10));
    fx.List.Config().Profits = {{1, TCurrency::FromUnits(20)}, {2, TCurrency::FromUnits(500)},
                                {2, TCurrency::FromUnits(7)}};
    EXPECT_EQ(fx.List.StakeBalance(3, 2), TCurrency::FromUnits(410));   // 500 - 9 x 10
    EXPECT_EQ(fx.List.StakeBalance(2, 1), TCurrency::FromUnits(10));
    EXPECT_EQ(fx.List.StakeBalance(2, 0), TCurrency::FromUnits(-10));
    EXPECT_EQ(fx.List.StakeBalance(3, -1), TCurrency::FromUnits(-90));
    EXPECT_EQ(fx.List.StakeBalance(4, 2), TCurrency::FromUnits(500 - 160));

    fx.List.Config().Cost = TCurrency::FromRaw(12500);   // 1.25
    EXPECT_EQ(fx.List.StakeBalance(3, -1).Raw(), -112500);
    fx.List.ClearProfits();
    EXPECT_TRUE(fx.List.Config().Profits.empty());
}

TEST_F(StatListTest, WeightsBackupRestoreAndApply)
{
    const TStatWeights before = fx.List.Config().Weights;
    const TStatWeights own{5, 2, 0.5L, true, true};

    fx.List.BackupWeights();
    fx.List.ApplyWeights(true, own);
    EXPECT_EQ(fx.List.Config().Weights, own);
    // The next step has no weights of its own: the weights of before the run come back.
    fx.List.ApplyWeights(false, TStatWeights{9, 9, 9, false, true});
    EXPECT_EQ(fx.List.Config().Weights, before);

    fx.List.ApplyWeights(true, own);
    fx.List.RestoreWeights();
    EXPECT_EQ(fx.List.Config().Weights, before);
}

TEST_F(StatListTest, CreatingStatistics)
{
    const int nums = Index("NUMS");
    const std::unique_ptr<TCustomStat> stat = fx.List.CreateStat(nums);
    ASSERT_NE(stat, nullptr);
    EXPECT_EQ(&stat->Class(), &NumsClass);

    const auto selected = fx.List.CreateSelectedStat(&fx.List.Items(nums), QStringLiteral("cbMethod"));
    EXPECT_EQ(&selected->Class(), &NumsClass);

    try {
        fx.List.CreateSelectedStat(nullptr, QStringLiteral("cbFilterMethod"));
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Не выбран метод расчета статистики (cb: cbFilterMethod)!");
    }
    // A class without an implementation is never created.
    EXPECT_THROW(fx.List.CreateStat(Index("SUMS")), Exception);
}

TEST(StatListFormulaTest, FormulasByNumber)
{
    TStatFixture fx;
    EXPECT_EQ(fx.List.Formula(1), "n1/n2");
    EXPECT_EQ(fx.List.Formula(3), "(n1+n2)/(n1-n2)");
    EXPECT_TRUE(fx.List.Formula(0).isEmpty());
    EXPECT_TRUE(fx.List.Formula(4).isEmpty());
    EXPECT_EQ(fx.List.FormulaDigits(2), 2);
    EXPECT_EQ(fx.List.FormulaDigits(4), 0);

    TStatList fresh;   // created empty
    EXPECT_EQ(fresh.Count(), 0);
    EXPECT_EQ(fresh.Draws(), nullptr);
    EXPECT_EQ(fresh.Config(), TConfigData{});
}
