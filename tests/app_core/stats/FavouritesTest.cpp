// Favourite methods without windows: the tree and its edits, what OK, the names import and
// export do to the method list, the two main-window commands, and the help page look-up.

#include "tests/app_core/CoreTestEnv.h"

#include "app/core/stats/Favourites.h"
#include "engine/KelmaStatList.h"
#include "platform/IniFile.h"
#include "support/RLngDLL.h"
#include "support/RLngUtils.h"

#include <QDir>

namespace {

// The captions of the interface language in use.
QString StringsSection()
{
    return QStringLiteral("STRINGS_") + GetLanguageAbbrev(GetCurrentLanguage());
}

class FavouritesTest : public TCoreTest {
protected:
    FavouritesTest()
    {
        List().SetDraws(&FState.FDraws);
        List().RebuildMethods();
    }

    TStatList& List() { return FState.StatList(); }
    int IndexOf(const char* code) { return List().IndexOfCode(QString::fromLatin1(code)); }
    TStatMethod& Method(const char* code) { return List().Items(IndexOf(code)); }

    // Group and node of a method in the tree; {-1, -1} when it is not there.
    static std::pair<int, int> Find(const TFavoritesTree& tree, int methodIndex)
    {
        for (int g = 0; g < static_cast<int>(tree.Groups().size()); ++g) {
            const auto& methods = tree.Groups()[static_cast<std::size_t>(g)].Methods;
            for (int m = 0; m < static_cast<int>(methods.size()); ++m)
                if (methods[static_cast<std::size_t>(m)].MethodIndex == methodIndex)
                    return {g, m};
        }
        return {-1, -1};
    }
};

TEST_F(FavouritesTest, TreeHoldsEveryMethodUnderItsGroupInRegistryOrder)
{
    List().SetFavoritesText(QStringLiteral("SUMS,pos2"));
    Method("SUM1").UserCaption = U("Моя треть");
    TFavoritesTree tree;
    tree.Fill(List());
    EXPECT_EQ(tree.MethodCount(), List().Count());
    EXPECT_EQ(FavoritesCountText(List()), U("всего %1 методов").arg(List().Count()));

    // Groups follow their first methods; each group holds its methods in registry order.
    std::vector<int> groupsSeen;
    int firstOfPrevious = -1;
    for (const TFavoriteGroupNode& group : tree.Groups()) {
        int previous = -1;
        ASSERT_FALSE(group.Methods.empty());
        const int code = List().Items(group.Methods.front().MethodIndex).StatClass().Group;
        EXPECT_EQ(group.Text, StatGroupCaption(code));
        EXPECT_EQ(std::count(groupsSeen.begin(), groupsSeen.end(), code), 0) << "group twice";
        groupsSeen.push_back(code);
        EXPECT_GT(group.Methods.front().MethodIndex, firstOfPrevious);
        firstOfPrevious = group.Methods.front().MethodIndex;
        for (const TFavoriteMethodNode& node : group.Methods) {
            EXPECT_GT(node.MethodIndex, previous);
            previous = node.MethodIndex;
            EXPECT_EQ(List().Items(node.MethodIndex).StatClass().Group, code);
        }
    }
    EXPECT_EQ(tree.Groups().front().Text, U("{ num } Числа тиража"));

    const auto [g, m] = Find(tree, IndexOf("SUM1"));
    ASSERT_GE(g, 0);
    EXPECT_EQ(tree.Method(g, m)->Text, U("Моя треть"));
    EXPECT_FALSE(tree.Method(g, m)->Ticked);
    const auto [gs, ms] = Find(tree, IndexOf("SUMS"));
    EXPECT_TRUE(tree.Method(gs, ms)->Ticked);
    EXPECT_EQ(tree.Method(gs, ms)->Text, U("Сумма тиража: все значения"));
    EXPECT_EQ(tree.Method(99, 0), nullptr);
    EXPECT_EQ(tree.Method(0, -1), nullptr);
}

TEST_F(FavouritesTest, TicksByGroupAndByNode)
{
    TFavoritesTree tree;
    tree.Fill(List());
    const auto [g, m] = Find(tree, IndexOf("SUMS"));
    tree.CheckAll(false);
    tree.CheckGroup(g, true);
    tree.Toggle(g, m);
    tree.CheckGroup(99, true);   // no such group: nothing
    ApplyFavoritesDialog(List(), tree, {true, false, false});
    EXPECT_FALSE(List().AllFavorites);
    for (int i = 0; i < List().Count(); ++i) {
        const bool sumsGroup = List().Items(i).StatClass().Group == List().Items(IndexOf("SUMS")).StatClass().Group;
        EXPECT_EQ(List().IsFavorite(i), sumsGroup && i != IndexOf("SUMS")) << i;
    }
    EXPECT_TRUE(List().Ordered);
    EXPECT_FALSE(List().ShowGroupName);
    EXPECT_FALSE(List().ShowMethodFlags);
}

TEST_F(FavouritesTest, NoFavouriteAtAllMakesEveryMethodOne)
{
    List().SetFavoritesText(QStringLiteral("SUMS"));
    TFavoritesTree tree;
    tree.Fill(List());
    tree.CheckAll(false);
    ApplyFavoritesDialog(List(), tree, GetFavoritesOptions(List()));
    EXPECT_TRUE(List().AllFavorites);
    for (int i = 0; i < List().Count(); ++i)
        EXPECT_TRUE(List().Items(i).Enabled) << i;
    EXPECT_EQ(List().FavoritesText(), QString());
}

TEST_F(FavouritesTest, RenamesStoreOnlyCaptionsThatDiffer)
{
    TFavoritesTree tree;
    tree.Fill(List());
    const auto [g1, m1] = Find(tree, IndexOf("SUMS"));
    const auto [g2, m2] = Find(tree, IndexOf("POS1"));
    const auto [g3, m3] = Find(tree, IndexOf("EVEN"));
    tree.Rename(g1, m1, U("СУММА ТИРАЖА: ВСЕ ЗНАЧЕНИЯ"));   // the built-in caption, other case
    tree.Rename(g2, m2, U("Первое число"));
    tree.Rename(g3, m3, U("Чётные"));
    tree.ResetName(g3, m3, List());
    EXPECT_EQ(tree.Method(g3, m3)->Text, U("Количество четных чисел в тираже (Ч:Н)"));
    Method("EVEN").UserCaption = U("старое");
    tree.StoreNames(List(), false);
    EXPECT_EQ(Method("SUMS").UserCaption, QString());
    EXPECT_EQ(Method("POS1").UserCaption, U("Первое число"));
    EXPECT_EQ(Method("EVEN").UserCaption, QString());
    // Without the ticks the favourites stay as they were.
    tree.CheckAll(false);
    tree.StoreNames(List(), false);
    EXPECT_TRUE(Method("SUMS").Enabled);
}

TEST_F(FavouritesTest, NamesExportWritesEveryMethodAndKeepsTheSavedCaptions)
{
    // The program's favourites file names one method; the dialog renames another.
    Method("SUMS").UserCaption = U("Моя сумма");
    ASSERT_TRUE(SaveFavorites(FState));
    TFavoritesTree tree;
    tree.Fill(List());
    const auto [g, m] = Find(tree, IndexOf("SUM1"));
    tree.Rename(g, m, U("Треть"));
    const QString names = DataFile(QStringLiteral("names.flt"));
    ASSERT_TRUE(ExportFavoriteNames(List(), tree, names, FState.FavoritesFileName()));

    const TMemIniFile ini(names);
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("FILTERS")));
    const QStringList keys = ini.ReadSection(StringsSection());
    ASSERT_EQ(keys.size(), List().Count());
    for (int i = 0; i < List().Count(); ++i)
        EXPECT_EQ(keys[i], List().Items(i).Code());
    EXPECT_EQ(ini.ReadString(StringsSection(), QStringLiteral("SUM1"), {}), U("Треть"));
    EXPECT_EQ(ini.ReadString(StringsSection(), QStringLiteral("SUMS"), {}), U("Моя сумма"));
    EXPECT_EQ(ini.ReadString(StringsSection(), QStringLiteral("POS2"), {}),
              U("Число в 2 позиции тиража"));
    EXPECT_EQ(ReadFileBytes(names).count("\r\n"), List().Count() + 1);
    // The list keeps what the program's file holds; the tree keeps its texts.
    EXPECT_EQ(Method("SUMS").UserCaption, U("Моя сумма"));
    EXPECT_EQ(Method("SUM1").UserCaption, QString());
    EXPECT_EQ(tree.Method(g, m)->Text, U("Треть"));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(FavouritesTest, NamesExportToAnUnwritablePlaceSaysSo)
{
    TFavoritesTree tree;
    tree.Fill(List());
    EXPECT_FALSE(ExportFavoriteNames(List(), tree, DataFile(QStringLiteral("no/such/folder/x.flt")),
                                     FState.FavoritesFileName()));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка сохранения списка фильтров!\n\n")));
}

TEST_F(FavouritesTest, NamesImportReplacesCaptionsAndKeepsTheTicks)
{
    Method("POS1").UserCaption = U("Было");
    const QString names = DataFile(QStringLiteral("names.flt"));
    WriteFileBytes(names, Cp("[FILTERS]\r\nFavorites=SUMS\r\n[") + StringsSection().toLatin1()
                               + Cp("]\r\nsums=  Импорт  \r\n"));
    TFavoritesTree tree;
    tree.Fill(List());
    const auto [g, m] = Find(tree, IndexOf("POS2"));
    tree.Toggle(g, m);
    ASSERT_TRUE(ImportFavoriteNames(List(), tree, names));
    EXPECT_EQ(Method("SUMS").UserCaption, U("Импорт"));
    EXPECT_EQ(Method("POS1").UserCaption, QString());
    // The names file's favourites are not read.
    EXPECT_TRUE(List().AllFavorites);
    const auto [gs, ms] = Find(tree, IndexOf("SUMS"));
    EXPECT_EQ(tree.Method(gs, ms)->Text, U("Импорт"));
    EXPECT_FALSE(tree.Method(g, m)->Ticked);
    EXPECT_TRUE(tree.Method(gs, ms)->Ticked);
}

TEST_F(FavouritesTest, NamesImportOfAFileItCannotUseSaysSo)
{
    const QString folder = DataFile(QStringLiteral("folder.flt"));
    ASSERT_TRUE(QDir().mkpath(folder));
    TFavoritesTree tree;
    tree.Fill(List());
    EXPECT_FALSE(ImportFavoriteNames(List(), tree, folder));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка загрузки списка фильтров!\n\n")));
    EXPECT_EQ(tree.MethodCount(), List().Count());

    // A file without names would turn every renamed method back: it is refused.
    Method("POS1").UserCaption = U("Было");
    const QString names = DataFile(QStringLiteral("names.flt"));
    WriteFileBytes(names, QByteArray(20480, '\xA7'));
    EXPECT_FALSE(ImportFavoriteNames(List(), tree, names));
    EXPECT_EQ(Method("POS1").UserCaption, U("Было"));
    EXPECT_EQ(FBoxes.Last().Text, U("В файле \"%1\" нет названий фильтров для текущего языка интерфейса!").arg(names));
}

TEST_F(FavouritesTest, ApplySavesRefillsAndRefreshesWithForce)
{
    std::vector<bool> refreshes;
    FState.RegisterView([&](bool force) { refreshes.push_back(force); });
    int refills = 0;
    List().SetFavoritesText(QStringLiteral("SUMS"));
    Method("POS1").UserCaption = U("Первое");
    ApplyFavorites(FState, [&] {
        ++refills;
        EXPECT_FALSE(IsNotWaiting());
    });
    EXPECT_EQ(refills, 1);
    EXPECT_EQ(refreshes, std::vector<bool>{true});
    EXPECT_TRUE(FStatuses.contains(U("Подождите пожалуйста...")));
    const TMemIniFile ini(FState.FavoritesFileName());
    EXPECT_EQ(ini.ReadString(QStringLiteral("FILTERS"), QStringLiteral("Favorites"), {}), QStringLiteral("SUMS"));
    EXPECT_EQ(ini.ReadSection(StringsSection()), QStringList{QStringLiteral("POS1")});
}

TEST_F(FavouritesTest, ResetAsksFirstAndRefreshesTheViewsWithForce)
{
    std::vector<bool> refreshes;
    FState.RegisterView([&](bool force) { refreshes.push_back(force); });
    int refills = 0;
    List().SetFavoritesText(QStringLiteral("SUMS"));

    FBoxes.Answer(IDNO);
    EXPECT_FALSE(ResetFavorites(FState, [&] { ++refills; }));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Вы действительно хотите сбросить список избранных фильтров?"));
    EXPECT_EQ(FBoxes.Last().DefaultButton, IDNO);
    EXPECT_FALSE(List().AllFavorites);
    EXPECT_EQ(refills, 0);
    EXPECT_TRUE(refreshes.empty());

    FBoxes.Answer(IDYES);
    EXPECT_TRUE(ResetFavorites(FState, [&] { ++refills; }));
    EXPECT_TRUE(List().AllFavorites);
    EXPECT_EQ(refills, 1);
    EXPECT_EQ(refreshes, std::vector<bool>{true});
    const TMemIniFile ini(FState.FavoritesFileName());
    EXPECT_TRUE(ini.ValueExists(QStringLiteral("FILTERS"), QStringLiteral("Favorites")));
    EXPECT_EQ(ini.ReadString(QStringLiteral("FILTERS"), QStringLiteral("Favorites"), QStringLiteral("x")), QString());
}

TEST_F(FavouritesTest, HelpPageComesFromTheFolderBesideTheHelpFile)
{
    const QString dir = FDir.path();
    ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("/Kelmar_RUS")));
    ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("/Pages.chm")));
    WriteFileBytes(dir + QStringLiteral("/Kelmar_RUS.chm"), "chm");
    WriteFileBytes(dir + QStringLiteral("/Kelmar_RUS/Filters_1049_SUMS.htm"), "<p>sums</p>");
    WriteFileBytes(dir + QStringLiteral("/Pages.chm/Filters_1049_POS1.htm"), "<p>pos</p>");
    WriteFileBytes(dir + QStringLiteral("/secret.htm"), "x");
    const struct {
        QString Url;
        QString File;
    } cases[] = {
        {QString(), QString()},
        {QStringLiteral("ms-its:") + dir + QStringLiteral("/Kelmar_RUS.chm::/Filters_1049_SUMS.htm"),
         dir + QStringLiteral("/Kelmar_RUS/Filters_1049_SUMS.htm")},
        {QStringLiteral("MS-ITS:") + dir + QStringLiteral("/Kelmar_RUS.chm::/Filters_1049_SUMS.htm"),
         dir + QStringLiteral("/Kelmar_RUS/Filters_1049_SUMS.htm")},
        {QStringLiteral("ms-its:") + dir + QStringLiteral("/Kelmar_RUS.chm::/Filters_1049_POS1.htm"), QString()},
        {QStringLiteral("ms-its:") + dir + QStringLiteral("/Pages.chm::/Filters_1049_POS1.htm"),
         dir + QStringLiteral("/Pages.chm/Filters_1049_POS1.htm")},
        {QStringLiteral("ms-its:") + dir + QStringLiteral("/Kelmar_RUS.chm::/../secret.htm"), QString()},
        {QStringLiteral("ms-its:") + dir + QStringLiteral("/Kelmar_RUS.chm::/.."), QString()},
        {QStringLiteral("ms-its:") + dir + QStringLiteral("/Kelmar_RUS.chm::/"), QString()},
        {QStringLiteral("ms-its:") + dir + QStringLiteral("/Kelmar_RUS.chm"), QString()},
        {dir + QStringLiteral("/Kelmar_RUS.chm::/Filters_1049_SUMS.htm"), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MethodHelpPageFile(c.Url), c.File) << c.Url.toStdString();

    // The method's own address, while the help file is set.
    const QString saved = HelpFileName;
    HelpFileName = dir + QStringLiteral("/Kelmar_RUS.chm");
    EXPECT_EQ(MethodHelpPageFile(Method("SUMS").HelpUrl()), dir + QStringLiteral("/Kelmar_RUS/Filters_1049_SUMS.htm"));
    EXPECT_EQ(MethodHelpPageFile(Method("POS1").HelpUrl()), QString());
    HelpFileName = saved;
}

}  // namespace
