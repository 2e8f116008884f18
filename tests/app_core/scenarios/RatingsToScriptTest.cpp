#include "app/core/scenarios/RatingsToScript.h"

#include "app/core/scenarios/ScriptList.h"
#include "tests/app_core/CoreTestEnv.h"
#include "tests/fixtures/StatFixtures.h"

namespace {

TRatingRec Rating(const QString& comment)
{
    TRatingRec r;
    r.Comment = comment;
    r.Stakes = 1;
    return r;
}

class RatingsToScriptTest : public TCoreTest {
protected:
    RatingsToScriptTest() { fx.List.RebuildMethods(); }

    TStatFixture fx;
    TScriptList FScript{FDir.path()};
};

TEST_F(RatingsToScriptTest, RunnableCommentsBecomeLinesAndTheOthersAreToldOneByOne)
{
    const TRatingsArray ratings = {
        Rating(U("03.002: abc @ EXCL:5#FIRST#NEX + TSD#SUMS:10#LMV:5#SF:0")),
        Rating(U("Ставка \"вручную\"")),   // no filter step in it
        Rating(U("FULL:0#RAND + TSD#SUMS:10#LMV:5#SF:0")),
    };
    EXPECT_EQ(AddRatingsToScript(FScript, ratings, {2, 1, 0, 7, -1}, fx.List), 2);

    // In the order of the rows asked for; rows outside the ratings are passed over.
    EXPECT_EQ(FScript.Lines(),
              QStringList({U("FULL:0#RAND|TSD#SUMS:10#LMV:5#SF:0| | | | | | |"),
                           U("EXCL:5#FIRST#NEX|TSD#SUMS:10#LMV:5#SF:0| | | | | | |03.002: abc")}));
    // The scenario was saved with them.
    EXPECT_EQ(ReadFileBytes(FScript.CurrentFileName()), ScriptLinesToBytes(FScript.Lines()));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Строку\n\nСтавка \"вручную\"\n\nневозможно добавить в сценарий!"));
    EXPECT_EQ(WaitCount(), 0);
}

TEST_F(RatingsToScriptTest, ALineRunsOnlyWithOptionsAndAFilterStep)
{
    EXPECT_TRUE(IsRunnableScriptLine(U("FULL:0#RAND|TSD#SUMS:10#LMV:5#SF:0| | | | | | |"), fx.List));
    EXPECT_TRUE(IsRunnableScriptLine(U("FULL:0#RAND| | | | | | |TSD#SUMS:10#LMV:5#SF:0|x"), fx.List));
    EXPECT_FALSE(IsRunnableScriptLine(U("FULL:0#RAND| | | | | | | |x"), fx.List));
    EXPECT_FALSE(IsRunnableScriptLine(QString(), fx.List));
}

} // namespace
