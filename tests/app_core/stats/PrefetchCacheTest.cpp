#include "app/core/stats/PrefetchCache.h"

#include "app/core/stats/StatTable.h"
#include "tests/app_core/CoreTestEnv.h"
#include "tests/common/FileWrites.h"
#include "tests/fixtures/StatFixtures.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <set>

namespace {

// One 12-byte record written out by hand: key words w1..w4, then the count, little-endian.
QByteArray Rec(std::uint16_t w1, std::int32_t hits, std::uint16_t w2 = 0)
{
    QByteArray bytes;
    for (std::uint16_t w : {w1, w2, std::uint16_t{0}, std::uint16_t{0}}) {
        bytes.append(static_cast<char>(w & 0xFF));
        bytes.append(static_cast<char>(w >> 8));
    }
    const auto h = static_cast<std::uint32_t>(hits);
    for (int i = 0; i < 4; ++i)
        bytes.append(static_cast<char>((h >> (8 * i)) & 0xFF));
    return bytes;
}

QByteArray Totals(std::int32_t minHits, std::int32_t maxHits)
{
    // {smallest, largest, 0}: the first two 32-bit fields lie where a record's key does.
    return Rec(static_cast<std::uint16_t>(minHits), 0, static_cast<std::uint16_t>(minHits >> 16))
               .left(4)
           + Rec(static_cast<std::uint16_t>(maxHits), 0, static_cast<std::uint16_t>(maxHits >> 16)).left(4)
           + QByteArray(4, '\0');
}

// NUMS: every digit is drawn 10 times in position 1 and 10 times in position 2.
QByteArray NumsFile()
{
    QByteArray bytes;
    for (std::uint16_t d = 0; d <= 9; ++d)
        bytes += Rec(d, 20);
    return bytes + Totals(20, 20);
}

// SUMS: the sum s of two digits comes from 10 - |s - 9| combinations.
QByteArray SumsFile()
{
    QByteArray bytes;
    for (int s = 0; s <= 18; ++s)
        bytes += Rec(static_cast<std::uint16_t>(s), 10 - std::abs(s - 9));
    return bytes + Totals(1, 10);
}

// EVNV (the masks 0..3 its table is pre-filled with): each even/odd pattern has 5 x 5
// combinations.
QByteArray EvenMaskFile()
{
    QByteArray bytes;
    for (std::uint16_t mask = 0; mask <= 3; ++mask)
        bytes += Rec(mask, 25);
    return bytes + Totals(25, 25);
}

// A sound file no build of a real method gives.
QByteArray SentinelFile()
{
    return Rec(0xFFFF, 7, 0xFFFF) + Totals(7, 7);
}

class PrefetchCacheTest : public TCoreTest {
protected:
    PrefetchCacheTest()
    {
        ApplyDefaultStatSettings(FState.StatList());
        FState.StatList().RebuildMethods();
        FState.Options.SetValue(TMainOptions::PrefetchsEnabled, 1);
        QDir().mkpath(FCache.FolderName());
    }

    const TStatMethod& Method(const char* code) { return *MethodByCode(FState.StatList(), code); }

    QString File(const char* code) { return FCache.FileName(Method(code)); }

    // The files of the folder, by name.
    std::set<QString> Files() const
    {
        const QStringList names = QDir(FCache.FolderName()).entryList(QDir::Files);
        return {names.begin(), names.end()};
    }

    // Overwrites every plain-valued method's file with the sentinel.
    void FillWithSentinels()
    {
        const TStatList& list = FState.StatList();
        for (int i = 0; i < list.Count(); ++i)
            if (list.IsPlainValue(i))
                WriteFileBytes(FCache.FileName(list.Items(i)), SentinelFile());
    }

    // The methods whose file no longer holds the sentinel, by group.
    std::set<int> RewrittenGroups()
    {
        std::set<int> groups;
        const TStatList& list = FState.StatList();
        for (int i = 0; i < list.Count(); ++i)
            if (list.IsPlainValue(i) && ReadFileBytes(FCache.FileName(list.Items(i))) != SentinelFile())
                groups.insert(list.Items(i).StatClass().Group);
        return groups;
    }

    int PlainCount() const
    {
        int n = 0;
        for (int i = 0; i < FState.StatList().Count(); ++i)
            n += FState.StatList().IsPlainValue(i) ? 1 : 0;
        return n;
    }

    TPrefetchCache FCache{FState};
};

TEST_F(PrefetchCacheTest, FileNamesFollowTheDataFolderAndTheMethodCode)
{
    EXPECT_EQ(FCache.FolderName(), FDir.path() + "/Prefetchs/");
    EXPECT_EQ(File("NUMS"), FDir.path() + "/Prefetchs/Tavrix2_2r10_NUMS.dfc");
    EXPECT_EQ(File("SUMS"), FDir.path() + "/Prefetchs/Tavrix2_2r10_SUMS.dfc");
}

TEST_F(PrefetchCacheTest, FilesAreByteExactWithTheTotalsRecordLast)
{
    const struct {
        const char* Code;
        QByteArray Expected;
        int Records;
    } cases[] = {
        {"NUMS", NumsFile(), 10},
        {"SUMS", SumsFile(), 19},
        {"EVNV", EvenMaskFile(), 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Code);
        const QByteArray bytes = FCache.Load(Method(c.Code));
        EXPECT_EQ(bytes.size(), 12 * (c.Records + 1));
        EXPECT_EQ(bytes.toHex(' '), c.Expected.toHex(' '));
        EXPECT_EQ(ReadFileBytes(File(c.Code)), c.Expected);

        // What the statistics table reads from it.
        TStatPrefetch prefetch;
        ASSERT_EQ(TStatPrefetch::Parse(bytes, prefetch), TStatPrefetch::TState::Valid);
        EXPECT_EQ(static_cast<int>(prefetch.Records.size()), c.Records);
    }
    // Spelt out once: digit 3 counted 20 times; NUMS totals {20, 20, 0}.
    const QByteArray nums = ReadFileBytes(File("NUMS"));
    EXPECT_EQ(nums.mid(36, 12).toHex(' '), QByteArray("03 00 00 00 00 00 00 00 14 00 00 00"));
    EXPECT_EQ(nums.right(12).toHex(' '), QByteArray("14 00 00 00 14 00 00 00 00 00 00 00"));
    EXPECT_TRUE(QFileInfo::exists(File("NUMS")));
    EXPECT_FALSE(QFileInfo::exists(File("NUMS") + ".~sav"));
    EXPECT_TRUE(FStatuses.contains(U("Создание файла предварительной выборки Tavrix2_2r10_NUMS.dfc...")));
}

TEST_F(PrefetchCacheTest, FlatDistributionGivesTheTablesMidRangeTotals)
{
    TStatPrefetch prefetch;
    ASSERT_EQ(TStatPrefetch::Parse(FCache.Load(Method("NUMS")), prefetch), TStatPrefetch::TState::Valid);
    EXPECT_EQ(prefetch.MinHits, 20);
    EXPECT_EQ(prefetch.MaxHits, 20);
    ASSERT_EQ(TStatPrefetch::Parse(FCache.Load(Method("SUMS")), prefetch), TStatPrefetch::TState::Valid);
    EXPECT_EQ(prefetch.MinHits, 1);
    EXPECT_EQ(prefetch.MaxHits, 10);
}

TEST_F(PrefetchCacheTest, NothingWhileTheOptionIsOffOrForAMethodThatIsNotPlainValued)
{
    FState.Options.SetValue(TMainOptions::PrefetchsEnabled, 0);
    EXPECT_TRUE(FCache.Load(Method("NUMS")).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(File("NUMS")));

    FState.Options.SetValue(TMainOptions::PrefetchsEnabled, 1);
    const TStatList& list = FState.StatList();
    int other = -1;
    for (int i = 0; i < list.Count() && other < 0; ++i)
        if (!list.IsPlainValue(i))
            other = i;
    ASSERT_GE(other, 0);
    EXPECT_TRUE(FCache.Load(list.Items(other)).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(FCache.FileName(list.Items(other))));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(PrefetchCacheTest, EmptyAndDamagedFilesAreRebuiltOnFirstUse)
{
    const QByteArray good = NumsFile();
    QByteArray wrongMin = good;
    wrongMin[120] = 19;
    QByteArray wrongMax = good;
    wrongMax[124] = 21;
    QByteArray thirdWord = good;
    thirdWord[128] = 1;
    QByteArray wrongCount = good;
    wrongCount[8] = 19;   // digit 0 counted 19 times: the totals no longer agree
    const struct {
        const char* Name;
        QByteArray Bytes;
    } cases[] = {
        {"zero length", QByteArray()},
        {"shorter than one record", good.left(11)},
        {"a byte past whole records", good + QByteArray(1, '\0')},
        {"truncated inside the totals", good.left(good.size() - 5)},
        {"no totals record", good.left(120)},
        {"smallest count wrong", wrongMin},
        {"largest count wrong", wrongMax},
        {"third totals word not 0", thirdWord},
        {"a record's count changed", wrongCount},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFileBytes(File("NUMS"), c.Bytes);
        EXPECT_FALSE(TPrefetchCache::IsSound(c.Bytes));
        EXPECT_EQ(FCache.Load(Method("NUMS")), good);
        EXPECT_EQ(ReadFileBytes(File("NUMS")), good);
    }
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(PrefetchCacheTest, SoundFilesAreReadAsTheyAre)
{
    // Existing sound files are only rewritten by a rebuild of their group.
    WriteFileBytes(File("NUMS"), SentinelFile());
    EXPECT_EQ(FCache.Load(Method("NUMS")), SentinelFile());
    // An empty table: totals {2147483647, 0, 0}.
    const QByteArray empty = Totals(2147483647, 0);
    EXPECT_TRUE(TPrefetchCache::IsSound(empty));
    WriteFileBytes(File("SUMS"), empty);
    EXPECT_EQ(FCache.Load(Method("SUMS")), empty);
}

TEST_F(PrefetchCacheTest, BuildingLeavesTheCombinationListAndItsUndoCopyAlone)
{
    FState.FCombs.Count = 2;
    FState.FCombs.Items = {C(1, 2), C(3, 4), C(0, 0)};
    FState.FUndoCombs.Count = 1;
    FState.FUndoCombs.Items = {C(9, 9)};
    FState.FCombsBuffer.Count = 1;
    FState.FCombsBuffer.Items = {C(5, 5)};
    FCache.Rebuild(true, PrefetchAllGroups);
    EXPECT_EQ(FState.FCombs.Count, 2);
    EXPECT_EQ(FState.FCombs.Items, (TCombsArray{C(1, 2), C(3, 4), C(0, 0)}));
    EXPECT_EQ(FState.FUndoCombs.Count, 1);
    EXPECT_EQ(FState.FUndoCombs.Items, (TCombsArray{C(9, 9)}));
    EXPECT_EQ(FState.FCombsBuffer.Items, (TCombsArray{C(5, 5)}));
    // And the file is the one of all 100 combinations, not of the two in the list.
    EXPECT_EQ(ReadFileBytes(File("NUMS")), NumsFile());
}

TEST_F(PrefetchCacheTest, RebuildAllWritesOneFileForEveryPlainValuedMethod)
{
    int shows = 0, steps = 0, hides = 0, maximum = -1;
    QString text;
    FCache.SetProgress({[&](const QString& t, int max) {
                            ++shows;
                            text = t;
                            maximum = max;
                        },
                        [&] { ++steps; }, [&] { ++hides; }});
    FState.Options.SetValue(TMainOptions::PrefetchsEnabled, 0);
    FCache.Rebuild(true, PrefetchAllGroups);
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(text, U("Создание файлов для полного набора комбинаций..."));
    EXPECT_EQ(maximum, FState.StatList().Count());
    EXPECT_EQ(steps, FState.StatList().Count());
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(static_cast<int>(Files().size()), PlainCount());
    EXPECT_GT(PlainCount(), 20);
    for (const QString& name : Files())
        EXPECT_TRUE(TPrefetchCache::IsSound(ReadFileBytes(FCache.FolderName() + name))) << name.toStdString();
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_TRUE(FStatuses.contains(text));
}

TEST_F(PrefetchCacheTest, MaskRules)
{
    FCache.Rebuild(true, PrefetchAllGroups);
    FillWithSentinels();
    // The channel size alone: the channels group only, built from the new size.
    FState.StatList().Config().ChannelSize = FState.StatList().Config().ChannelSize == 3 ? 4 : 3;
    FCache.SettingsChanged(PrefetchChannelsGroup);
    EXPECT_EQ(RewrittenGroups(), (std::set<int>{3}));
    EXPECT_EQ(ReadFileBytes(File("CHAN")), TPrefetchCache::BuildBytes(FState.StatList(), Method("CHAN")));

    // No change: nothing rewritten, with the option on or off, forced or not.
    FillWithSentinels();
    FCache.SettingsChanged(0);
    FCache.Rebuild(false, 0);
    FCache.Rebuild(true, 0);
    FState.Options.SetValue(TMainOptions::PrefetchsEnabled, 0);
    FCache.Rebuild(false, PrefetchAllGroups);
    EXPECT_TRUE(RewrittenGroups().empty());

    // Shredding and several groups at once.
    FState.Options.SetValue(TMainOptions::PrefetchsEnabled, 1);
    FCache.SettingsChanged(PrefetchShreddingGroup);
    EXPECT_EQ(RewrittenGroups(), (std::set<int>{12}));
    FillWithSentinels();
    FCache.Rebuild(false, PrefetchMatrixGroup | PrefetchSegmentsGroup);
    // The matrix pairs are not plain-valued: of the two groups only the segments have files.
    EXPECT_EQ(RewrittenGroups(), (std::set<int>{5}));
}

TEST_F(PrefetchCacheTest, MissingFilesAreCreatedWithMaskZeroAndForceWhileTheOptionIsOff)
{
    FCache.Rebuild(true, PrefetchAllGroups);
    FillWithSentinels();
    QFile::remove(File("NUMS"));
    WriteFileBytes(File("SUMS"), QByteArray());
    FState.Options.SetValue(TMainOptions::PrefetchsEnabled, 0);
    FCache.Rebuild(false, 0);   // neither forced nor on: nothing
    EXPECT_FALSE(QFileInfo::exists(File("NUMS")));
    FCache.Rebuild(true, 0);
    EXPECT_EQ(ReadFileBytes(File("NUMS")), NumsFile());
    EXPECT_EQ(ReadFileBytes(File("SUMS")), SumsFile());
    // Every other file kept its sentinel.
    EXPECT_EQ(RewrittenGroups(), (std::set<int>{0, 1}));
    EXPECT_EQ(ReadFileBytes(File("EVNV")), SentinelFile());
}

TEST_F(PrefetchCacheTest, AChangeWhileTheOptionIsOffDeletesTheGroupsFiles)
{
    FCache.Rebuild(true, PrefetchAllGroups);
    const int before = static_cast<int>(Files().size());
    FState.Options.SetValue(TMainOptions::PrefetchsEnabled, 0);
    FCache.SettingsChanged(PrefetchChannelsGroup);
    EXPECT_FALSE(QFileInfo::exists(File("CHAN")));
    EXPECT_TRUE(QFileInfo::exists(File("NUMS")));
    const TStatList& list = FState.StatList();
    int channelFiles = 0;
    for (int i = 0; i < list.Count(); ++i)
        if (list.IsPlainValue(i) && list.Items(i).StatClass().Group == 3)
            ++channelFiles;
    EXPECT_EQ(static_cast<int>(Files().size()), before - channelFiles);
    // Switched on later, the missing files come back.
    FState.Options.SetValue(TMainOptions::PrefetchsEnabled, 1);
    FCache.Rebuild(false, 0);
    EXPECT_EQ(static_cast<int>(Files().size()), before);
}

TEST_F(PrefetchCacheTest, FailuresAreShownAndLeaveNoFile)
{
    // The folder's name is taken by a file: no file can be created.
    QDir(FCache.FolderName()).removeRecursively();
    WriteFileBytes(FDir.filePath("Prefetchs"), "x");
    EXPECT_TRUE(FCache.Load(Method("NUMS")).isEmpty());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(
        U("Ошибка создания файла данных для полного набора вариантов!\n\nИмя файла: ") + File("NUMS") + "\n\n"))
        << FBoxes.Last().Text.toStdString();
    QFile::remove(FDir.filePath("Prefetchs"));
    // Without the folder, it is made first.
    EXPECT_EQ(FCache.Load(Method("NUMS")), NumsFile());

    // The file's name is taken by a folder: it cannot be opened.
    FBoxes.Clear();
    QDir().mkpath(File("SUMS"));
    EXPECT_TRUE(FCache.Load(Method("SUMS")).isEmpty());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(
        U("Ошибка открытия файла данных для полного набора вариантов!\n\nИмя файла: ") + File("SUMS") + "\n\n"))
        << FBoxes.Last().Text.toStdString();
}

// A file that finds no room stops the rebuild: one box, the files written before it whole,
// nothing half-written, and the files of the mask's groups it did not get to gone (they may
// hold values of settings no longer in force).
TEST_F(PrefetchCacheTest, AFileWithoutRoomStopsTheRebuildWithOneMessage)
{
    const TStatList& list = FState.StatList();
    // The process may write files as long as the first method's and no longer: the first
    // larger file is refused.
    std::vector<int> plain;
    for (int i = 0; i < list.Count(); ++i)
        if (list.IsPlainValue(i))
            plain.push_back(i);
    const qsizetype limit = TPrefetchCache::BuildBytes(list, list.Items(plain.front())).size();
    std::size_t refused = 0;
    while (refused < plain.size()
           && TPrefetchCache::BuildBytes(list, list.Items(plain[refused])).size() <= limit)
        ++refused;
    ASSERT_GT(refused, 1u);
    ASSERT_LT(refused + 2, plain.size());
    const QString refusedFile = FCache.FileName(list.Items(plain[refused]));

    struct TCase {
        const char* Name;
        bool Force;
        std::uint16_t Mask;
        bool LaterFilesKept;   // mask 0: only missing files are written, nothing is deleted
    };
    const TCase cases[] = {
        {"recreate all", true, PrefetchAllGroups, false},
        {"fill in the missing files", false, 0, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        FCache.Rebuild(true, PrefetchAllGroups);
        FillWithSentinels();
        if (c.Mask == 0) {
            // Missing: the first file, the refused one and the last one.
            QFile::remove(FCache.FileName(list.Items(plain.front())));
            QFile::remove(refusedFile);
            QFile::remove(FCache.FileName(list.Items(plain.back())));
        }
        FBoxes.Clear();
        bool done = true;
        {
            TFileSizeLimit sizeLimit(static_cast<rlim_t>(limit));
            ASSERT_TRUE(sizeLimit.Active());
            done = FCache.Rebuild(c.Force, c.Mask);
        }
        EXPECT_FALSE(done);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
        EXPECT_TRUE(FBoxes.Last().Text.startsWith(
            U("Ошибка создания файла данных для полного набора вариантов!\n\nИмя файла: ") + refusedFile
            + U("\n\nОшибка записи файла \"") + refusedFile + U("\": ")))
            << FBoxes.Last().Text.toStdString();

        for (std::size_t k = 0; k < plain.size(); ++k) {
            const TStatMethod& method = list.Items(plain[k]);
            const QString name = FCache.FileName(method);
            SCOPED_TRACE(name.toStdString());
            if (k < refused) {
                // Written anew (recreate) or kept (mask 0, except the missing first one).
                const bool written = c.Mask != 0 || k == 0;
                EXPECT_EQ(ReadFileBytes(name), written ? TPrefetchCache::BuildBytes(list, method) : SentinelFile());
            } else if (k == refused) {
                EXPECT_FALSE(QFileInfo::exists(name));
            } else if (c.LaterFilesKept && k + 1 < plain.size()) {
                EXPECT_EQ(ReadFileBytes(name), SentinelFile());
            } else {
                EXPECT_FALSE(QFileInfo::exists(name));
            }
        }
        const QStringList halves =
            QDir(FCache.FolderName()).entryList({QStringLiteral("*.~sav")}, QDir::Files | QDir::Hidden);
        EXPECT_TRUE(halves.isEmpty()) << halves.join(' ').toStdString();

        // Until the next rebuild the table does not try the missing files one by one.
        FBoxes.Clear();
        EXPECT_TRUE(FCache.Load(list.Items(plain[refused])).isEmpty());
        EXPECT_TRUE(FBoxes.Boxes().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(refusedFile));
        // Sound files are still read.
        EXPECT_FALSE(FCache.Load(list.Items(plain.front())).isEmpty());
    }
}

TEST_F(PrefetchCacheTest, TheStatisticsTableScalesTheFilesCounts)
{
    // Digit 1 drawn three times, 2..6 once each, 0 and 7..9 never.
    FState.FDraws = {Draw(1, 1, 2, "a"), Draw(2, 1, 3, "b"), Draw(3, 1, 4, "c"), Draw(4, 5, 6, "d")};
    TStatTable table(FState);
    table.SetPrefetchSource([this](const TStatMethod& method) { return FCache.Load(method); });

    // NUMS is flat (20 each): the norm is the middle of the window's range, (0 + 3) / 2.
    table.Calc(&Method("NUMS"), 4, true);
    ASSERT_TRUE(table.Data().HasExpected);
    EXPECT_FALSE(table.Data().PrefetchDamaged);
    EXPECT_DOUBLE_EQ(static_cast<double>(table.Data().Ratio), 1.5 / 20);

    // SUMS: sums 3, 4, 5 and 11 once each; scaled so that the full set's 10 gives 1.
    table.Calc(&Method("SUMS"), 4, true);
    ASSERT_TRUE(table.Data().HasExpected);
    EXPECT_DOUBLE_EQ(static_cast<double>(table.Data().Ratio), 1.0 / 10);

    // With the option off the table has no norms.
    FState.Options.SetValue(TMainOptions::PrefetchsEnabled, 0);
    table.Calc(&Method("SUMS"), 4, true);
    EXPECT_FALSE(table.Data().HasExpected);
}

}  // namespace
