#include "tests/app_core/CoreTestEnv.h"

#include "platform/IniFile.h"

namespace {

using MainStateTest = TCoreTest;

} // namespace

TEST(HasSwitchTest, PrefixesAndWholeArguments)
{
    for (const char* arg : {"loadonly", "-LOADONLY", "--loadonly", "/loadonly", "\\LoadOnly"})
        EXPECT_TRUE(HasSwitch({"x.ldr", arg}, "loadonly")) << arg;
    for (const char* arg : {"loadonly=1", "xloadonly", "-loadonly-", "//loadonly", "---loadonly", "load only", ""})
        EXPECT_FALSE(HasSwitch({arg}, "loadonly")) << arg;
    EXPECT_FALSE(HasSwitch({}, "loadonly"));
    EXPECT_TRUE(HasSwitch({"-No-Language"}, "no-language"));
}

TEST_F(MainStateTest, OptionsTableDefaultsAndFormState)
{
    // Every key once, with its default.
    const TMainOptions defaults;
    QStringList keys;
    for (const TOptionDef& def : TMainOptions::Table())
        keys.append(def.Key);
    EXPECT_EQ(keys.size(), TMainOptions::OptionCount);
    EXPECT_EQ(keys.removeDuplicates(), 0);
    EXPECT_EQ(defaults.Value(TMainOptions::DownloadDrawsOnStart), 0);
    EXPECT_TRUE(defaults.Flag(TMainOptions::AutoUpdates));
    EXPECT_FALSE(defaults.Flag(TMainOptions::SortedDraws));
    EXPECT_TRUE(defaults.Flag(TMainOptions::StakesScrollEnabled));
    EXPECT_EQ(defaults.Value(TMainOptions::RatingsEffMode), 1);
    EXPECT_EQ(defaults.Value(TMainOptions::ScriptLibraryFilter), 2);
    EXPECT_EQ(defaults.Value(TMainOptions::Language), 1033);
    EXPECT_FALSE(defaults.Flag(TMainOptions::PrefetchsInit));
    EXPECT_STREQ(TMainOptions::Def(TMainOptions::TabGraphs).Key, "TabGraphs");

    WriteFileBytes(FState.FormStateFileName(),
                   "[TFormMain]\r\nLanguage=1049\r\ncolordraws=0\r\nDownloadDrawsOnStart=abc\r\n"
                   "SortedDraws=1\r\n[TFormDraw]\r\nSortedDraws=0\r\n");
    FState.Options.Load(FState.FormState());
    EXPECT_EQ(FState.Options.Value(TMainOptions::Language), 1049);
    EXPECT_FALSE(FState.Options.Flag(TMainOptions::ColorDraws));
    EXPECT_EQ(FState.Options.Value(TMainOptions::DownloadDrawsOnStart), 0);   // not a number
    EXPECT_TRUE(FState.Options.Flag(TMainOptions::SortedDraws));
    EXPECT_TRUE(FState.Options.Flag(TMainOptions::ColorCombs));

    // A change is written at once, in the window's section, other sections untouched.
    FState.WriteOption(TMainOptions::DownloadDrawsOnStart, 2);
    FState.WriteOption(TMainOptions::ColorDraws, 5);
    EXPECT_TRUE(FState.Options.Flag(TMainOptions::ColorDraws));
    EXPECT_EQ(ReadFileBytes(FState.FormStateFileName()),
              "[TFormMain]\r\nLanguage=1049\r\ncolordraws=1\r\nDownloadDrawsOnStart=2\r\n"
              "SortedDraws=1\r\n[TFormDraw]\r\nSortedDraws=0\r\n");

    // A value no menu item stands for reads as the default; an open range (the language) keeps it.
    WriteFileBytes(FState.FormStateFileName(), "[TFormMain]\nDownloadDrawsOnStart=7\nRatingsEffMode=99\nLanguage=7");
    FState.Options.Load(FState.FormState());
    const TMainOptions& o = FState.Options;
    EXPECT_EQ(QList<int>({o.Value(o.DownloadDrawsOnStart), o.Value(o.RatingsEffMode), o.Value(o.Language)}),
              QList<int>({0, 1, 7}));
    // The first start records itself once, with the prefetch option as it stands.
    FState.Options.SetValue(TMainOptions::PrefetchsEnabled, 1);
    EXPECT_TRUE(FState.Options.InitFirstStart(FState.FormState()));
    EXPECT_FALSE(FState.Options.InitFirstStart(FState.FormState()));
    const TMemIniFile ini(FState.FormStateFileName());
    EXPECT_EQ(ini.ReadString("TFormMain", "PrefetchsInit", ""), "1");
    EXPECT_EQ(ini.ReadString("TFormMain", "PrefetchsEnabled", ""), "1");
}

TEST_F(MainStateTest, ViewsRefreshInOrderUnlessLocked)
{
    QStringList calls;
    FState.RegisterView([&](bool force) { calls.append(force ? "table!" : "table"); });
    const int graph = FState.RegisterView([&](bool force) { calls.append(force ? "graph!" : "graph"); });
    FState.RegisterView([&](bool) {
        calls.append("card");
        // A view that joins while the views refresh is asked from the next refresh on.
        if (calls.size() < 4)
            FState.RegisterView([&](bool) { calls.append("late"); });
    });
    FState.RefreshViews(true);
    EXPECT_EQ(calls, QStringList({"table!", "graph!", "card"}));

    calls.clear();
    FState.FViewsLocked = true;
    FState.RefreshViews(true);
    EXPECT_TRUE(calls.isEmpty());
    FState.FViewsLocked = false;
    FState.UnregisterView(graph);
    FState.RefreshViews(false);
    EXPECT_EQ(calls, QStringList({"table", "card", "late"}));
}

TEST_F(MainStateTest, FilesLieInTheDataFolder)
{
    FState.SetDataDir("/some/where/");
    EXPECT_EQ(FState.DataDir(), "/some/where/");
    EXPECT_EQ(FState.DrawsFileName(), "/some/where/Tavrix2_2r10.ldr");
    EXPECT_EQ(FState.IniFileName(), "/some/where/Tavrix2_2r10.ini");
    EXPECT_EQ(FState.FormStateFileName(), "/some/where/Tavrix2_2r10.frm");
    FState.SetDataDir("/other");
    EXPECT_EQ(FState.DrawsFileName(), "/other/Tavrix2_2r10.ldr");

    FState.CombCount = 100;
    FState.ReserveCombLists();
    EXPECT_EQ(FState.FCombs.Items.size(), 100u);
    EXPECT_EQ(FState.FCombs.Count, 0);
    FState.FCombsBufferKey = {3, 4};
    FState.ClearCombLists();
    EXPECT_TRUE(FState.FUndoCombs.Items.empty());
    EXPECT_EQ(FState.FCombsBufferKey, (std::array<std::int32_t, 2>{-1, -1}));
}
