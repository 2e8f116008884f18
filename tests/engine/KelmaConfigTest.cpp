#include "engine/KelmaStatList.h"

#include "platform/Cp1251.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "tests/fixtures/StatFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

namespace {

void ThreeParams(const TStatList&, int& lo, int& hi)
{
    lo = 1;
    hi = 3;
}

const TStatClass NumsClass{.ClassName = "TstValues", .CodeFormat = "NUMS",
    .CaptionFormat = KELMA_MSG("Числа тиража"), .HelpName = nullptr, .Group = 0, .Flags = sfPlainValue,
    .Available = true, .IsGraph = false, .HasNumericValue = true, .ParamRange = nullptr,
    .Factory = nullptr};
const TStatClass SumsClass{.ClassName = "TstSumValues", .CodeFormat = "SUMS",
    .CaptionFormat = KELMA_MSG("Сумма тиража: все значения"), .HelpName = nullptr, .Group = 1, .Flags = sfPlainValue,
    .Available = true, .IsGraph = true, .HasNumericValue = true, .ParamRange = nullptr,
    .Factory = nullptr};
const TStatClass ShreddingClass{.ClassName = "TstShreddingStat", .CodeFormat = "SHR%d",
    .CaptionFormat = KELMA_MSG("Метод шинковки %0:d: %%s"), .HelpName = "SHRx", .Group = 12,
    .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = true, .HasNumericValue = true,
    .ParamRange = &ThreeParams, .Factory = nullptr};

const std::array<const TStatClass*, 3> Classes{&NumsClass, &SumsClass, &ShreddingClass};

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The file as text: CR LF line ends, cp1251.
void WriteText(const QString& path, const QString& text)
{
    QString crlf = text;
    crlf.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    WriteBytes(path, EncodeCp1251(crlf));
}

QString ReadText(const QString& path)
{
    QString text = DecodeCp1251(ReadBytes(path));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

class ConfigFileTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    TStatList list;   // created empty, as at program start
};

}  // namespace

TEST_F(ConfigFileTest, MissingFileGivesTheDefaultsAndIsNotCreated)
{
    const QString ini = Path("Tavrix2_2r10.ini");
    list.LoadConfig(ini);
    list.LoadShreddingFormulas(ini);
    list.LoadCombsGenerateSettings(ini);
    EXPECT_FALSE(QFile::exists(ini));

    EXPECT_EQ(list.Config(), DefaultStatConfig());
    EXPECT_EQ(list.Config().MatrixCols, 3);
    EXPECT_EQ(list.Config().ChannelSize, 2);
    EXPECT_EQ(list.Config().MaxStake, 2);
    EXPECT_EQ(list.Config().Cost.Raw(), 0);
    EXPECT_TRUE(list.Config().Profits.empty());
    EXPECT_EQ(list.Config().Weights, (TStatWeights{0, -1, 1, false, false}));
    EXPECT_EQ(SegmentsToStr(list.Config().MatrixSegments), QString(20, QLatin1Char('1')));

    EXPECT_EQ(list.Formula1, "n1/n2");
    EXPECT_EQ(list.Formula2, "n2/n1");
    EXPECT_EQ(list.Formula3, "(n1+n2)/(n1-n2)");
    EXPECT_EQ(list.Formula1Digits, 2);
    EXPECT_EQ(list.Formula2Digits, 2);
    EXPECT_EQ(list.Formula3Digits, 2);
    EXPECT_EQ(list.CombsGenerateMode, 0);
    EXPECT_TRUE(list.CombsGenerateParameters.isEmpty());
}

TEST_F(ConfigFileTest, SavedConfigurationIsByteExact)
{
    const QString ini = Path("fresh.ini");
    list.Config() = DefaultStatConfig();
    list.Config().Cost = TCurrency::FromRaw(12500);
    list.Config().Profits = {{2, TCurrency::FromUnits(500)}};
    list.SaveConfig(ini);
    EXPECT_EQ(ReadBytes(ini).toStdString(),
              std::string("[GLOBAL]\r\nMatrixCols=3\r\nMatrixSegments=11111111111111111111\r\n"
                         "ChannelSize=2\r\n\r\n"
                         "[STAKES]\r\nCost=1,25\r\nMaxStake=2\r\nProfits=1\r\n"
                         "Profit_0_Overlap=2\r\nProfit_0_Profit=500\r\n\r\n"
                         "[CDL]\r\nCount=0\r\nDeviation=-1\r\nLevel=1\r\nUsePercents=0\r\n"
                         "UseAbsValues=0\r\n"));
}

TEST_F(ConfigFileTest, RoundTripKeepsOtherSectionsAndKeys)
{
    const QString ini = Path("Tavrix2_2r10.ini");
    WriteText(ini, QStringLiteral(
        "; настройки\n"
        "[PROXY]\nMode=2\nServer=прокси.local\n"
        "[GLOBAL]\nMatrixCols=4\nChannelSize=3\nMatrixSegments=11112222\nOwnKey=Своё\n"
        "[STAKES]\nCost=1.25\nMaxStake=3\nProfits=2\nProfit_0_Overlap=2\nProfit_0_Profit=500,5\n"
        "Profit_1_Overlap=1\nProfit_1_Profit=20\nProfit_2_Overlap=0\nProfit_2_Profit=1\n"
        "[CDL]\nCount=1,5\nDeviation=0.25\nLevel=2\nUsePercents=1\nUseAbsValues=0\n"
        "[SHREDDING]\nFormula1=n1*p1\nFormula1Digits=3\n"));

    list.LoadConfig(ini);
    const TConfigData& c = list.Config();
    EXPECT_EQ(c.MatrixCols, 4);
    EXPECT_EQ(c.ChannelSize, 3);
    EXPECT_EQ(c.MaxStake, 3);
    EXPECT_EQ(c.Cost.Raw(), 12500);
    ASSERT_EQ(c.Profits.size(), 2u);
    EXPECT_EQ(c.Profits[0], (TProfitRec{2, TCurrency::FromRaw(5005000)}));
    EXPECT_EQ(c.Profits[1], (TProfitRec{1, TCurrency::FromUnits(20)}));
    EXPECT_EQ(c.Weights, (TStatWeights{1.5L, 0.25L, 2, true, false}));
    EXPECT_EQ(SegmentsToStr(c.MatrixSegments), "11112222111111111111");

    list.Config().Profits.pop_back();
    list.Config().Cost = TCurrency::FromRaw(10000);
    list.SaveConfig(ini);

    const TMemIniFile saved(ini);
    EXPECT_EQ(saved.ReadString("PROXY", "Server", ""), "прокси.local");
    EXPECT_EQ(saved.ReadString("GLOBAL", "OwnKey", ""), "Своё");
    EXPECT_EQ(saved.ReadString("SHREDDING", "Formula1", ""), "n1*p1");
    EXPECT_EQ(saved.ReadString("STAKES", "Cost", ""), "1");
    EXPECT_EQ(saved.ReadString("STAKES", "Profits", ""), "1");
    EXPECT_EQ(saved.ReadString("STAKES", "Profit_0_Profit", ""), "500,5");
    // Entries beyond the count stay in the file as they were.
    EXPECT_EQ(saved.ReadString("STAKES", "Profit_1_Profit", ""), "20");
    EXPECT_EQ(saved.ReadString("STAKES", "Profit_2_Overlap", ""), "0");
    EXPECT_EQ(saved.ReadString("GLOBAL", "MatrixSegments", ""), "11112222111111111111");
    EXPECT_EQ(saved.ReadString("CDL", "Count", ""), "1,5");
    EXPECT_EQ(saved.ReadString("CDL", "UsePercents", ""), "1");
    EXPECT_TRUE(ReadText(ini).startsWith("; настройки\n[PROXY]\n"));

    TStatList again;
    again.LoadConfig(ini);
    EXPECT_EQ(again.Config(), list.Config());

    // Only the configuration keys: the formulas are their own call.
    again.LoadShreddingFormulas(ini);
    EXPECT_EQ(again.Formula1, "n1*p1");
    EXPECT_EQ(again.Formula1Digits, 3);
    EXPECT_EQ(again.Formula2, "n2/n1");
}

TEST_F(ConfigFileTest, ShortAndDamagedValues)
{
    const QString ini = Path("damaged.ini");
    WriteText(ini, QStringLiteral(
        "[GLOBAL]\nMatrixCols=0\nChannelSize=0\nMatrixSegments=0x3A9\n"
        "[STAKES]\nCost=дорого\nProfits=2\nProfit_0_Overlap=1\nProfit_0_Profit=7\n"
        "[CDL]\nCount=\nLevel=abc\n"));
    list.LoadConfig(ini);
    const TConfigData& c = list.Config();
    // A channel size or a column count below 1 would divide by zero; a segment outside
    // 1..9 names no segment.
    EXPECT_EQ(c.MatrixCols, 3);
    EXPECT_EQ(c.ChannelSize, 2);
    EXPECT_EQ(SegmentsToStr(c.MatrixSegments), "11319111111111111111");
    EXPECT_EQ(c.Cost.Raw(), 0);
    ASSERT_EQ(c.Profits.size(), 2u);
    EXPECT_EQ(c.Profits[0], (TProfitRec{1, TCurrency::FromUnits(7)}));
    EXPECT_EQ(c.Profits[1], (TProfitRec{0, TCurrency()}));
    EXPECT_EQ(c.Weights, (TStatWeights{0, -1, 1, false, false}));

    WriteText(ini, QStringLiteral("[GLOBAL]\nChannelSize=-4\nMatrixCols=-1\n[STAKES]\nProfits=-3\n"));
    list.LoadConfig(ini);
    EXPECT_EQ(list.Config().ChannelSize, 2);
    EXPECT_EQ(list.Config().MatrixCols, 3);
    EXPECT_TRUE(list.Config().Profits.empty());

    // A damaged count does not make the program read two thousand million entries.
    WriteText(ini, QStringLiteral("[STAKES]\nProfits=2000000000\n"));
    list.LoadConfig(ini);
    EXPECT_EQ(list.Config().Profits.size(), 1024u);
}

TEST_F(ConfigFileTest, ErrorsPassToTheCaller)
{
    // A folder in place of the file cannot be read.
    const QString folder = Path("folder.ini");
    ASSERT_TRUE(QDir().mkpath(folder));
    // The engine starts from zeros: what it keeps then is what a fresh folder gives.
    list.CombsGenerateMode = 3;
    EXPECT_THROW(list.LoadConfig(folder), Exception);
    EXPECT_EQ(list.Config(), DefaultStatConfig());
    EXPECT_THROW(list.LoadShreddingFormulas(folder), Exception);
    EXPECT_EQ(list.Formula3, "(n1+n2)/(n1-n2)");
    EXPECT_EQ(list.Formula3Digits, 2);
    EXPECT_THROW(list.LoadCombsGenerateSettings(folder), Exception);
    EXPECT_EQ(list.CombsGenerateMode, 0);
    try {   // nor rewritten without losing the rest: the write is what failed
        list.SaveConfig(folder);
        ADD_FAILURE() << "saved";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().startsWith(QString::fromUtf8("Не удалось записать файл \"") + folder)) << e.what();
    }

    // A file that cannot be written: the error reaches the caller.
    const QString nowhere = Path("no/such/folder/Tavrix2_2r10.ini");
    EXPECT_THROW(list.SaveConfig(nowhere), Exception);
    EXPECT_THROW(list.SaveShreddingFormulas(nowhere), Exception);
    EXPECT_THROW(list.SaveCombsGenerateSettings(nowhere), Exception);
}

TEST_F(ConfigFileTest, GenerationSettingsAndFormulas)
{
    const QString ini = Path("gen.ini");
    list.CombsGenerateMode = 3;
    list.CombsGenerateParameters = QString(300, QLatin1Char('x'));
    list.SaveCombsGenerateSettings(ini);
    list.Formula1 = QStringLiteral("n1+p1");
    list.Formula2 = QStringLiteral("t2");
    list.Formula3 = QString();
    list.Formula1Digits = 1;
    list.Formula2Digits = 4;
    list.Formula3Digits = 0;
    list.SaveShreddingFormulas(ini);

    TStatList loaded;
    loaded.LoadCombsGenerateSettings(ini);
    loaded.LoadShreddingFormulas(ini);
    EXPECT_EQ(loaded.CombsGenerateMode, 3);
    EXPECT_EQ(loaded.CombsGenerateParameters, QString(255, QLatin1Char('x')));
    EXPECT_EQ(loaded.Formula1, "n1+p1");
    EXPECT_EQ(loaded.Formula2, "t2");
    EXPECT_EQ(loaded.Formula3, "");   // an empty formula stays empty
    EXPECT_EQ(loaded.Formula1Digits, 1);
    EXPECT_EQ(loaded.Formula2Digits, 4);
    EXPECT_EQ(loaded.Formula3Digits, 0);
    EXPECT_FALSE(TMemIniFile(ini).SectionExists("STAKES"));

    // Byte fields keep the low byte of what the file holds.
    WriteText(ini, QStringLiteral("[GLOBAL]\nCombsGenerateMode=258\n"));
    loaded.LoadCombsGenerateSettings(ini);
    EXPECT_EQ(loaded.CombsGenerateMode, 2);
}

// ---------------------------------------------------------------------------------------

class FavoritesFileTest : public ConfigFileTest {
protected:
    void SetUp() override
    {
        ApplyDefaultStatSettings(list);
        list.RebuildMethods(Classes);
    }
};

TEST_F(FavoritesFileTest, RoundTripOfCaptionsAndOptions)
{
    const QString flt = Path("Tavrix2_2r10.flt");
    WriteText(flt, QStringLiteral("[OTHER]\nA=1\n[STRINGS_ENU]\nNUMS=Numbers\n"));

    list.SetFavoritesText(QStringLiteral("SUMS,SHR2"));
    list.ShowGroupName = false;
    list.Ordered = true;
    list.Items(0).UserCaption = QStringLiteral("Мои числа");
    QString error;
    ASSERT_TRUE(list.SaveFilterSettings(flt, true, false, QStringLiteral("RUS"), &error)) << error.toStdString();
    EXPECT_EQ(ReadText(flt).toStdString(),
              "[OTHER]\nA=1\n[STRINGS_ENU]\nNUMS=Numbers\n"
              "\n[FILTERS]\nFavorites=SUMS,SHR2\nOrdered=1\nShowGroupName=0\nShowMethodFlags=1\n"
              "\n[STRINGS_RUS]\nNUMS=Мои числа\n");

    TStatList loaded;
    ApplyDefaultStatSettings(loaded);
    loaded.RebuildMethods(Classes);
    ASSERT_TRUE(loaded.LoadFilterSettings(flt, true, QStringLiteral("RUS")));
    EXPECT_EQ(loaded.FavoritesText(), "SUMS,SHR2");
    EXPECT_TRUE(loaded.Ordered);
    EXPECT_FALSE(loaded.ShowGroupName);
    EXPECT_TRUE(loaded.ShowMethodFlags);
    EXPECT_EQ(loaded.Items(0).UserCaption, "Мои числа");
    EXPECT_EQ(loaded.Items(0).DisplayCaption(), "Мои числа");
    EXPECT_TRUE(loaded.Items(1).UserCaption.isEmpty());

    // Without options only the captions are read.
    TStatList captionsOnly;
    captionsOnly.RebuildMethods(Classes);
    ASSERT_TRUE(captionsOnly.LoadFilterSettings(flt, false, QStringLiteral("RUS")));
    EXPECT_TRUE(captionsOnly.AllFavorites);
    EXPECT_FALSE(captionsOnly.Ordered);
    EXPECT_EQ(captionsOnly.Items(0).UserCaption, "Мои числа");

    // A file of another interface language leaves every user caption empty.
    TStatList english;
    english.RebuildMethods(Classes);
    english.Items(1).UserCaption = QStringLiteral("было");
    ASSERT_TRUE(english.LoadFilterSettings(flt, false, QStringLiteral("DEU")));
    for (int i = 0; i < english.Count(); ++i)
        EXPECT_TRUE(english.Items(i).UserCaption.isEmpty()) << i;
    ASSERT_TRUE(english.LoadFilterSettings(flt, false, QStringLiteral("ENU")));
    EXPECT_EQ(english.Items(0).UserCaption, "Numbers");
}

TEST_F(FavoritesFileTest, CaptionsAreTrimmedAndMissingOptionsKeepTheirValues)
{
    const QString flt = Path("list.flt");
    WriteText(flt, QStringLiteral("[FILTERS]\nFavorites=nums\n[STRINGS_RUS]\nnums=  Числа  \nSHR1= \n"));
    list.ShowMethodFlags = false;
    ASSERT_TRUE(list.LoadFilterSettings(flt, true, QStringLiteral("RUS")));
    EXPECT_EQ(list.FavoritesText(), "NUMS");
    EXPECT_FALSE(list.ShowMethodFlags);
    EXPECT_EQ(list.Items(0).UserCaption, "Числа");
    EXPECT_TRUE(list.Items(list.IndexOfCode("SHR1")).UserCaption.isEmpty());

    // A file without the Favorites key keeps the current favourites.
    WriteText(flt, QStringLiteral("[FILTERS]\nOrdered=1\n"));
    ASSERT_TRUE(list.LoadFilterSettings(flt, true, QStringLiteral("RUS")));
    EXPECT_EQ(list.FavoritesText(), "NUMS");
    EXPECT_TRUE(list.Ordered);
    EXPECT_TRUE(list.Items(0).UserCaption.isEmpty());
}

TEST_F(FavoritesFileTest, SavingCaptions)
{
    const QString flt = Path("captions.flt");
    WriteText(flt, QStringLiteral("[STRINGS_RUS]\nOLD=Старое\n[FILTERS]\nFavorites=NUMS\n"));

    // No user captions and not all captions: the section is left without keys.
    ASSERT_TRUE(list.SaveFilterSettings(flt, false, false, QStringLiteral("RUS")));
    EXPECT_TRUE(TMemIniFile(flt).ReadSection("STRINGS_RUS").isEmpty());
    EXPECT_EQ(TMemIniFile(flt).ReadString("FILTERS", "Favorites", ""), "NUMS");

    // All captions: every method with the caption it shows (shredding before its formula).
    list.Items(1).UserCaption = QStringLiteral("Суммы");
    ASSERT_TRUE(list.SaveFilterSettings(flt, false, true, QStringLiteral("RUS")));
    const TMemIniFile saved(flt);
    EXPECT_EQ(saved.ReadSection("STRINGS_RUS").join(','), "NUMS,SUMS,SHR1,SHR2,SHR3");
    EXPECT_EQ(saved.ReadString("STRINGS_RUS", "NUMS", ""), "Числа тиража");
    EXPECT_EQ(saved.ReadString("STRINGS_RUS", "SUMS", ""), "Суммы");
    EXPECT_EQ(saved.ReadString("STRINGS_RUS", "SHR2", ""), "Метод шинковки 2: %s");

    // Read back, the stored shredding caption still takes the formula.
    TStatList loaded;
    ApplyDefaultStatSettings(loaded);
    loaded.RebuildMethods(Classes);
    ASSERT_TRUE(loaded.LoadFilterSettings(flt, false, QStringLiteral("RUS")));
    EXPECT_EQ(loaded.Items(loaded.IndexOfCode("SHR2")).FullCaption(), "Метод шинковки 2: n2/n1");
}

TEST_F(FavoritesFileTest, ErrorsAreReportedNotRaised)
{
    const QString folder = Path("folder.flt");
    ASSERT_TRUE(QDir().mkpath(folder));
    list.Items(0).UserCaption = QStringLiteral("прежнее");

    QString error;
    EXPECT_FALSE(list.LoadFilterSettings(folder, true, QStringLiteral("RUS"), &error));
    EXPECT_TRUE(error.startsWith("Ошибка загрузки списка фильтров!\n\n")) << error.toStdString();
    EXPECT_GT(error.size(), QStringLiteral("Ошибка загрузки списка фильтров!\n\n").size());
    EXPECT_EQ(list.Items(0).UserCaption, "прежнее");
    EXPECT_FALSE(list.LoadFilterSettings(folder, true, QStringLiteral("RUS")));   // no text asked

    error.clear();
    EXPECT_FALSE(list.SaveFilterSettings(Path("no/such/folder/x.flt"), true, true,
                                         QStringLiteral("RUS"), &error));
    EXPECT_TRUE(error.startsWith("Ошибка сохранения списка фильтров!\n\n")) << error.toStdString();
}

// A cost or payout beyond what the balances of a stakes file can sum, or below zero, is a
// damaged value and reads as a missing one; the largest allowed amounts still give a balance.
TEST_F(ConfigFileTest, StakeAmountsOutsideTheirRangeReadAsMissing)
{
    const QString ini = Path("amounts.ini");
    struct {
        const char* cost;
        std::int64_t raw;
    } const cases[] = {
        {"500000000000000", 0},                // times 65 025 combinations passes 64 bits
        {"-922337203685477,5808", 0},          // the most negative amount cannot be negated
        {"1E30", 0},                           // no money counterpart at all
        {"-0,5", 0},
        {"10000000", 10000000LL * 10000},      // the largest cost taken
        {"10000000,0001", 0},
        {"2,5", 25000},
    };
    for (const auto& c : cases) {
        WriteText(ini, QStringLiteral("[STAKES]\nCost=%1\nProfits=1\nProfit_0_Overlap=2\nProfit_0_Profit=%1\n")
                           .arg(QLatin1String(c.cost)));
        list.LoadConfig(ini);
        EXPECT_EQ(list.Config().Cost.Raw(), c.raw) << c.cost;
        ASSERT_EQ(list.Config().Profits.size(), 1u);
        EXPECT_EQ(list.Config().Profits[0].Amount.Raw(), c.raw) << c.cost;
    }

    // The largest cost over a stake of every digit, and the largest payout on top.
    WriteText(ini, QStringLiteral("[STAKES]\nCost=10000000\nProfits=1\nProfit_0_Overlap=2\nProfit_0_Profit=10000000\n"));
    list.LoadConfig(ini);
    EXPECT_EQ(list.StakeBalance(255, -1), TCurrency::FromUnits(-650250000000LL));
    EXPECT_EQ(list.StakeBalance(255, 2), TCurrency::FromUnits(-650250000000LL + 10000000));
}
