#include "tests/app_core/CoreTestEnv.h"

#include "app/core/combs/CombsGen.h"
#include "platform/IniFile.h"
#include "tests/common/TestHelpers.h"

#include <stdexcept>

namespace {

class CombsGenTest : public TCoreTest {
protected:
    CombsGenTest()
    {
        FState.CombCount = CombinationsTotal;
        FState.ReserveCombLists();
    }

    void SetList(std::initializer_list<TCombWord> combs)
    {
        SetCombsCapacity(FState.FCombs, 0, 0);
        for (const TCombWord comb : combs)
            AppendComb(FState.FCombs, comb);
    }
    QStringList List() const { return CombTexts(CombsOf(FState.FCombs)); }

    TCombListOps FCombs{FState};
    TCombsGen FGen{FCombs};
};

} // namespace

TEST(MyNumbersTest, WordsAreNumbersFrom0To255)
{
    const TMyNumbers numbers = ParseMyNumbers(U(" 1 ;;2, 255 ;256;-3;x"));
    EXPECT_EQ(numbers.count(), 4u);
    for (const int n : {0, 1, 2, 255})   // "x" is not a number: 0
        EXPECT_TRUE(numbers.test(static_cast<size_t>(n))) << n;
    EXPECT_TRUE(ParseMyNumbers(QString()).none());
    EXPECT_TRUE(ParseMyNumbers(U(";;,")).none());
}

TEST(GenerateCombsTest, ModesKeepTheirPairs)
{
    struct Case {
        int Mode;
        const char* Text;
        int Count;
    };
    const Case cases[] = {
        {GenFull, "3;7", 100},    // the full list ignores the text
        {GenAnyOf, "3;7", 36},
        {GenOnlyFrom, "3;7", 4},
        {GenNoneOf, "3;7", 64},
        {GenAnyOf, "", 0},
        {GenNoneOf, "", 100},
        {GenOnlyFrom, "", 0},
        {GenAnyOf, "abc", 19},     // a word that is not a number adds 0
        {GenOnlyFrom, "0;x", 1},   // 0 twice: just 0;0
        {GenAnyOf, "3;300;-1", 19},
        {GenNoneOf, "10;11;99", 100},   // numbers no digit can match
        {5, "3", 100},
        {255, "3", 100},
    };
    for (const Case& c : cases) {
        const TCombsArray combs = GenerateCombs(c.Mode, ParseMyNumbers(U(c.Text)));
        EXPECT_EQ(static_cast<int>(combs.size()), c.Count) << c.Mode << " " << c.Text;
    }

    EXPECT_EQ(CombTexts(GenerateCombs(GenOnlyFrom, ParseMyNumbers("7;3"))),
              QStringList({"3;3", "3;7", "7;3", "7;7"}));
    for (const TCombWord comb : GenerateCombs(GenAnyOf, ParseMyNumbers("3;7")))
        EXPECT_TRUE(CombHasDigit(3, comb) || CombHasDigit(7, comb)) << CombToStr(comb).toStdString();
    for (const TCombWord comb : GenerateCombs(GenNoneOf, ParseMyNumbers("3;7")))
        EXPECT_FALSE(CombHasDigit(3, comb) || CombHasDigit(7, comb)) << CombToStr(comb).toStdString();

    // Digit 1 changes slowest: 0;0, 0;1, ... 0;9, 1;0, ... 9;9.
    const TCombsArray full = GenerateCombs(GenFull, {});
    ASSERT_EQ(full.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(full[static_cast<size_t>(i)], C(i / 10, i % 10)) << i;
}

TEST(MyNumbersTest, TheDialogTakesDigitsOnlyAndNamesTheFirstWordThatIsNot)
{
    // The rule of a typed combination: digits 0..9 and nothing else; no word is no number.
    const struct {
        const char* Text;
        const char* Refused;   // nullptr: taken
    } cases[] = {
        {" 3 , 07 ;;0", nullptr}, {"", nullptr}, {";,", nullptr},
        {"|;abc,-1,99999999999", "|"}, {"1;abc", "abc"}, {"1; -1", "-1"}, {"3;12", "12"},
        {"99999999999", "99999999999"}, {"+5", "+5"}, {"$5", "$5"}, {"1 2", "1 2"}, {"٣", "٣"},
    };
    for (const auto& c : cases) {
        const QString refusal = MyNumbersRefusal(U(c.Text));
        EXPECT_EQ(refusal.isEmpty(), c.Refused == nullptr) << c.Text;
        if (c.Refused) {
            EXPECT_TRUE(refusal.startsWith(U("Некорректное значение в списке моих чисел: \"%1\"!").arg(U(c.Refused))))
                << c.Text;
        }
    }
}

TEST(GenerateCombsTest, ModeCaptions)
{
    EXPECT_EQ(CombsGenerateModeCaption(GenFull), U("Полный список (все возможные для данного лото варианты)"));
    EXPECT_EQ(CombsGenerateModeCaption(GenAnyOf), U("Мои числа - должно присутствовать любое из указанных"));
    EXPECT_EQ(CombsGenerateModeCaption(GenOnlyFrom), U("Мои числа - комбинации только из списка указанных"));
    EXPECT_EQ(CombsGenerateModeCaption(GenNoneOf), U("Мои числа - исключить комбинации с любым из указанных"));
    EXPECT_EQ(CombsGenerateModeCaption(GenFromFile), U("Загрузить список из заранее подготовленного CSV-файла"));
    EXPECT_EQ(CombsGenerateModeCaption(5), QString());
}

TEST_F(CombsGenTest, BuildWithStatusStartsAfresh)
{
    SetList({C(1, 1)});
    FCombs.SaveUndo(false);
    FCombs.SaveBuffer(1, 1);
    FCombs.AddFilterHistory(true, "f", "v");

    ASSERT_TRUE(FGen.BuildCombs(true, {GenAnyOf, "3;7"}));
    EXPECT_EQ(FCombs.Count(), 36);
    EXPECT_EQ(FCombs.UndoCount(), 0);
    EXPECT_EQ(FState.FCombsBuffer.Count, 0);
    EXPECT_TRUE(FCombs.FilterHistory().isEmpty());
    EXPECT_TRUE(FStatuses.contains(U("Генерация возможных комбинаций...")));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(CombsGenTest, BuildWithoutStatusTouchesOnlyTheList)
{
    SetList({C(1, 1)});
    FCombs.SaveUndo(false);
    FCombs.SaveBuffer(1, 1);
    FCombs.AddFilterHistory(true, "f", "v");
    FStatuses.clear();

    ASSERT_TRUE(FGen.BuildCombs(false, {GenOnlyFrom, "3;7"}));
    EXPECT_EQ(List(), QStringList({"3;3", "3;7", "7;3", "7;7"}));
    EXPECT_EQ(FCombs.UndoCount(), 1);
    EXPECT_EQ(FState.FCombsBuffer.Count, 1);
    EXPECT_EQ(FCombs.FilterHistory().size(), 1);
    EXPECT_TRUE(FStatuses.isEmpty());
}

TEST_F(CombsGenTest, FromFileReadsTheListFile)
{
    const QString name = DataFile("my.lcv");
    WriteFileBytes(name, "9;9\r\n0,1\r\nbad\r\n42;1\r\n");
    ASSERT_TRUE(FGen.BuildCombs(true, {GenFromFile, name}));
    EXPECT_EQ(List(), QStringList({"9;9", "0;1"}));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);   // the line with 42
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Exclamation);
}

TEST_F(CombsGenTest, FromMissingFileShowsTheErrorAndLeavesTheListEmpty)
{
    SetList({C(1, 2), C(3, 4)});
    const QString name = DataFile("missing.lcv");
    EXPECT_FALSE(FGen.Generate({GenFromFile, name}, false));
    EXPECT_EQ(FCombs.Count(), 0);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка чтения файла \"") + name + U("\"!\n\n")));
    // The list before the command can still be brought back.
    EXPECT_EQ(FCombs.UndoCount(), 2);
    FCombs.Undo();
    EXPECT_EQ(List(), QStringList({"1;2", "3;4"}));
}

TEST_F(CombsGenTest, FailedBuildLeavesListUndoBufferAndHistory)
{
    SetList({C(5, 5)});
    FCombs.SaveUndo(false);
    SetList({C(1, 2), C(3, 4)});
    FCombs.SaveBuffer(7, 7);
    FCombs.AddFilterHistory(false, "f", "v");
    const auto history = FCombs.FilterHistory();

    // The first refresh of the new list fails.
    int refreshes = 0;
    FCombs.OnCombsChanged = [&](int) {
        if (refreshes++ == 0)
            throw std::runtime_error("boom");
    };
    EXPECT_FALSE(FGen.Generate({GenFull, ""}, false));
    EXPECT_EQ(List(), QStringList({"1;2", "3;4"}));
    EXPECT_EQ(CombTexts(CombsOf(FState.FUndoCombs)), QStringList({"5;5"}));   // as before the command
    EXPECT_EQ(FState.FCombsBuffer.Count, 2);
    EXPECT_EQ(FCombs.FilterHistory(), history);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка генерации файла комбинаций!\n\nboom"));
    EXPECT_EQ(refreshes, 2);   // the list shown again after the failure
}

TEST_F(CombsGenTest, GenerateSavesTheDefaultWhenAsked)
{
    FState.StatList().CombsGenerateMode = GenFull;
    FState.StatList().CombsGenerateParameters.clear();
    SetList({C(1, 2)});

    ASSERT_TRUE(FGen.Generate({GenNoneOf, "3;7"}, false));
    EXPECT_EQ(FCombs.Count(), 64);
    EXPECT_EQ(FGen.DefaultSettings(), (TCombsGenerateSettings{GenFull, ""}));
    EXPECT_FALSE(QFile::exists(FState.IniFileName()));
    EXPECT_EQ(FCombs.UndoCount(), 0);   // a new list has nothing to undo
    EXPECT_TRUE(FStatuses.contains(U("Создание файла отката...")));

    const QString longText = QString(300, QLatin1Char('1'));
    ASSERT_TRUE(FGen.Generate({GenAnyOf, longText}, true));
    EXPECT_EQ(FCombs.Count(), 19);
    EXPECT_EQ(FGen.DefaultSettings(), (TCombsGenerateSettings{GenAnyOf, QString(255, QLatin1Char('1'))}));
    TStatList reread;
    reread.LoadCombsGenerateSettings(FState.IniFileName());
    EXPECT_EQ(reread.CombsGenerateMode, GenAnyOf);
    EXPECT_EQ(reread.CombsGenerateParameters, QString(255, QLatin1Char('1')));
}
