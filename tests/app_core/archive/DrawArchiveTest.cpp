#include "tests/app_core/CoreTestEnv.h"

#include "app/core/archive/DrawFile.h"
#include "platform/SaveFile.h"
#include "platform/SysErrorText.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/common/TestHelpers.h"

#include <QDir>

#include <cerrno>
#include <functional>

namespace {

// The message of a save that failed for a system error.
QString SaveErrorText(const QString& fileName, int error)
{
    return QString::fromUtf8("Ошибка записи файла \"%1\": %2").arg(fileName, SystemErrorText(error));
}

class DrawArchiveFileTest : public TCoreTest {
protected:
    // Every entry of the data folder, hidden ones included.
    QStringList FolderFiles() const
    {
        return QDir(FDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
};

} // namespace

TEST_F(DrawArchiveFileTest, RoundTripIsByteExact)
{
    FState.FDraws = {Draw(1, 3, 7, "08/01/2016 M"), Draw(0x01020304, 9, 0, "12/31/2099 E"), Draw(7, 0, 0, "x")};
    int infoCalls = 0;
    bool lastForce = false;
    FState.OnDrawsInfo = [&](const TDrawsInfo&, bool force) {
        ++infoCalls;
        lastForce = force;
    };
    FArchive.SaveDrawsFile();

    const QByteArray expected = QByteArray::fromHex(
        "01000000" "0307" "0c" "30382f30312f32303136204d" "00"
        "04030201" "0900" "0c" "31322f33312f323039392045" "00"
        "07000000" "0000" "01" "780000000000000000000000" "00");
    ASSERT_EQ(expected.size(), 60);
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), expected);
    EXPECT_EQ(infoCalls, 1);
    EXPECT_TRUE(lastForce);
    EXPECT_EQ(FStatuses, QStringList({QString::fromUtf8("Сохранение файла тиражей..."), QString()}));

    TMainState other;
    other.SetDataDir(FDir.path());
    TDrawArchive otherArchive(other);
    const TArchiveLoadReport report = otherArchive.LoadDrawsFile();
    EXPECT_TRUE(report.FileFound);
    EXPECT_EQ(report.Records, 3);
    EXPECT_FALSE(report.Damaged());
    EXPECT_EQ(other.FDraws, FState.FDraws);
    otherArchive.SaveDrawsFile();
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), expected);
    // Nothing but the archive itself is left in the folder (no temporary file, no copy).
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files), QStringList({"Tavrix2_2r10.ldr"}));
}

TEST_F(DrawArchiveFileTest, MissingFileLeavesTheArchiveAlone)
{
    FState.FDraws = MakeArchive(3);
    const TArchiveLoadReport report = FArchive.LoadDrawsFile();
    EXPECT_FALSE(report.FileFound);
    EXPECT_EQ(FState.FDraws, MakeArchive(3));
    EXPECT_FALSE(QFile::exists(FState.DrawsFileName()));
}

TEST_F(DrawArchiveFileTest, TruncatedFileIsRepairedOnceWithOneCopy)
{
    const TDrawsArray draws = MakeArchive(2);
    const QByteArray original = ArchiveBytes(draws) + QByteArray("\x05\x00\x00\x00\x01\x02\x0c", 7);
    WriteFileBytes(FState.DrawsFileName(), original);

    const TArchiveLoadReport report = FArchive.LoadDrawsFile();
    EXPECT_TRUE(report.Damaged());
    EXPECT_TRUE(report.Repaired);
    EXPECT_TRUE(report.RepairError.isEmpty());
    EXPECT_EQ(report.Records, 2);
    EXPECT_EQ(report.ExtraBytes, 7);
    EXPECT_EQ(FState.FDraws, draws);
    // One copy of the original; the file itself now holds the whole records only.
    EXPECT_EQ(report.BackupFile, FState.DrawsFileName() + ".bak");
    EXPECT_EQ(ReadFileBytes(report.BackupFile), original);
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), ArchiveBytes(draws));
    EXPECT_EQ(FolderFiles(), QStringList({"Tavrix2_2r10.ldr", "Tavrix2_2r10.ldr.bak"}));
    EXPECT_EQ(TDrawArchive::DamageText(report, "a.ldr"),
              QString::fromUtf8("Файл тиражей \"a.ldr\" поврежден: последние 7 байт не составляют целой "
                                "записи и отброшены, файл записан заново.\n\nКопия исходного файла "
                                "сохранена как \"%1\".")
                  .arg(report.BackupFile));

    // The next start finds a sound file: no copy, nothing to tell.
    TMainState next;
    next.SetDataDir(FDir.path());
    TDrawArchive nextArchive(next);
    const TArchiveLoadReport second = nextArchive.LoadDrawsFile();
    EXPECT_FALSE(second.Damaged());
    EXPECT_TRUE(second.BackupFile.isEmpty());
    EXPECT_TRUE(TDrawArchive::DamageText(second, "a.ldr").isEmpty());
    EXPECT_EQ(next.FDraws, draws);
    EXPECT_EQ(FolderFiles(), QStringList({"Tavrix2_2r10.ldr", "Tavrix2_2r10.ldr.bak"}));

    // A file shorter than one record: no draws, an empty file, and an earlier copy of other
    // bytes is never overwritten.
    WriteFileBytes(FState.DrawsFileName(), "abc");
    const TArchiveLoadReport third = FArchive.LoadDrawsFile();
    EXPECT_EQ(third.Records, 0);
    EXPECT_EQ(third.ExtraBytes, 3);
    EXPECT_TRUE(third.Repaired);
    EXPECT_TRUE(FState.FDraws.empty());
    EXPECT_EQ(third.BackupFile, FState.DrawsFileName() + ".bak2");
    EXPECT_EQ(ReadFileBytes(third.BackupFile), "abc");
    EXPECT_EQ(ReadFileBytes(report.BackupFile), original);
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), QByteArray());
    EXPECT_TRUE(TDrawArchive::DamageText(TArchiveLoadReport{}, "a.ldr").isEmpty());
}

TEST_F(DrawArchiveFileTest, FailedRepairLeavesTheFileAndSaysSo)
{
    const TDrawsArray draws = MakeArchive(3);
    const QByteArray original = ArchiveBytes(draws) + QByteArray("\x01\x02", 2);
    WriteFileBytes(FState.DrawsFileName(), original);
    const QString temp = TSaveFile::TempFileName(FState.DrawsFileName());
    const QString backupTemp = TSaveFile::TempFileName(FState.DrawsFileName() + ".bak");
    const QString fileError = SaveErrorText(FState.DrawsFileName(), EISDIR);
    const QString backupError = SaveErrorText(FState.DrawsFileName() + ".bak", EISDIR);

    struct TCase {
        const char* Name;
        QString Blocked;         // a folder stands here, whoever runs the test
        QString Error;           // the reason the user is given
        QStringList Files;       // what the folder holds afterwards
    };
    const TCase cases[] = {
        {"the copy cannot be written: no rewrite", backupTemp, backupError, {"Tavrix2_2r10.ldr"}},
        {"the rewrite fails: the copy stays", temp, fileError, {"Tavrix2_2r10.ldr", "Tavrix2_2r10.ldr.bak"}},
        // The damage outlives the start: the copy already made is used again, not repeated.
        {"it fails again: still one copy", temp, fileError, {"Tavrix2_2r10.ldr", "Tavrix2_2r10.ldr.bak"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(QDir().mkpath(c.Blocked));
        const TArchiveLoadReport report = FArchive.LoadDrawsFile();
        ASSERT_TRUE(QDir().rmdir(c.Blocked));
        EXPECT_TRUE(report.Damaged());
        EXPECT_FALSE(report.Repaired);
        EXPECT_EQ(report.RepairError, c.Error);
        EXPECT_EQ(FState.FDraws, draws);
        EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), original);
        EXPECT_EQ(FolderFiles(), c.Files);
        EXPECT_EQ(TDrawArchive::DamageText(report, "a.ldr"),
                  QString::fromUtf8("Файл тиражей \"a.ldr\" поврежден: последние 2 байт не составляют целой "
                                    "записи и не учитываются. Исправить файл не удалось, он оставлен как "
                                    "есть.\n\n%1")
                      .arg(c.Error));
    }

    // Once the file can be written the repair goes through, with the one copy made before.
    const TArchiveLoadReport report = FArchive.LoadDrawsFile();
    EXPECT_TRUE(report.Repaired);
    EXPECT_EQ(report.BackupFile, FState.DrawsFileName() + ".bak");
    EXPECT_EQ(ReadFileBytes(report.BackupFile), original);
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), ArchiveBytes(draws));
    EXPECT_EQ(FolderFiles(), QStringList({"Tavrix2_2r10.ldr", "Tavrix2_2r10.ldr.bak"}));
}

// Every table is indexed by the digits: a record whose digit is not 0..9 is skipped at load,
// the original kept as a copy and the file rewritten without it, and the user is told which
// draws went, as for a torn record.
TEST_F(DrawArchiveFileTest, RecordsWithDigitsOutsideZeroToNineAreSkippedAndTold)
{
    const TDrawsArray sound = MakeArchive(6);
    struct TCase {
        const char* Name;
        std::vector<std::pair<int, std::array<std::uint8_t, 2>>> Bad;   // index into the file, digits
        QByteArray Tail;                                                // bytes after the records
        const char* Told;                                               // what the message says went wrong
    };
    const TCase cases[] = {
        {"one in the middle", {{2, {200, 3}}}, {},
         "записи(ей) с числами вне диапазона 0..9 пропущены и удалены: 1 (3 08/02/2016 M)"},
        {"two of them, 10 is out too", {{1, {0, 10}}, {6, {3, 255}}}, {},
         "записи(ей) с числами вне диапазона 0..9 пропущены и удалены: 2 (2 08/01/2016 E, 7 08/04/2016 M)"},
        {"with a torn end", {{0, {12, 12}}}, QByteArray("\x01\x02\x03", 3),
         "последние 3 байт не составляют целой записи и отброшены; записи(ей) с числами вне диапазона 0..9 "
         "пропущены и удалены: 1 (1 08/01/2016 M)"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QDir(FDir.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(FDir.path()));
        // The sound draws with the bad ones put in at their places, numbered and keyed in order.
        TDrawsArray onDisk = MakeArchive(static_cast<int>(sound.size() + c.Bad.size()));
        TDrawsArray expected;
        for (size_t i = 0; i < onDisk.size(); ++i) {
            bool bad = false;
            for (const auto& [index, digits] : c.Bad)
                if (static_cast<size_t>(index) == i) {
                    onDisk[i].Digits = digits;
                    bad = true;
                }
            if (!bad)
                expected.push_back(onDisk[i]);
        }
        const QByteArray original = ArchiveBytes(onDisk) + c.Tail;
        WriteFileBytes(FState.DrawsFileName(), original);

        const TArchiveLoadReport report = FArchive.LoadDrawsFile();
        EXPECT_TRUE(report.Damaged());
        EXPECT_TRUE(report.Repaired) << report.RepairError.toStdString();
        EXPECT_EQ(report.Records, static_cast<int>(expected.size()));
        EXPECT_EQ(report.BadDigitDraws.size(), static_cast<qsizetype>(c.Bad.size()));
        EXPECT_EQ(FState.FDraws, expected);
        EXPECT_EQ(ReadFileBytes(report.BackupFile), original);
        EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), ArchiveBytes(expected));
        EXPECT_EQ(TDrawArchive::DamageText(report, "a.ldr"),
                  QString::fromUtf8("Файл тиражей \"a.ldr\" поврежден: %1, файл записан заново.\n\nКопия исходного "
                                    "файла сохранена как \"%2\".")
                      .arg(QString::fromUtf8(c.Told), report.BackupFile));
        // The next start finds nothing to tell.
        EXPECT_FALSE(FArchive.LoadDrawsFile().Damaged());
    }

    // Many bad records: the message names five, the count tells the rest.
    TArchiveLoadReport many;
    for (int i = 1; i <= 7; ++i)
        many.BadDigitDraws.append(QString::number(i));
    many.RepairError = QStringLiteral("E");
    EXPECT_EQ(TDrawArchive::DamageText(many, "a.ldr"),
              QString::fromUtf8("Файл тиражей \"a.ldr\" поврежден: записи(ей) с числами вне диапазона 0..9 пропущены: "
                                "7 (1, 2, 3, 4, 5, ...). Исправить файл не удалось, он оставлен как есть.\n\nE"));
}

TEST_F(DrawArchiveFileTest, FileInTheWayRaisesAndKeepsTheArchive)
{
    FState.FDraws = MakeArchive(5);
    // A folder in the archive's place cannot be replaced by a file.
    FState.SetDataDir(DataFile("sub"));
    ASSERT_TRUE(QDir().mkpath(FState.DrawsFileName()));
    EXPECT_THROW(FArchive.SaveDrawsFile(), Exception);
    EXPECT_THROW(FArchive.LoadDrawsFile(), Exception);
    EXPECT_EQ(FState.FDraws, MakeArchive(5));
}

TEST_F(DrawArchiveFileTest, FailedSaveUndoesTheCommand)
{
    const TDrawsArray draws = SixDrawArchive();   // newest 3,4; numbers 1..6
    FState.FDraws = draws;
    FArchive.SaveDrawsFile();
    FState.SetDrawsOffset(1);
    QList<TDrawsInfo> infos;
    QList<bool> forces;
    FState.OnDrawsInfo = [&](const TDrawsInfo& info, bool force) {
        infos.append(info);
        forces.append(force);
    };
    QList<bool> refreshes;
    FState.RegisterView([&](bool force) { refreshes.append(force); });

    // A folder at the temporary file's name makes every save fail, whoever runs the test.
    const QString temp = TSaveFile::TempFileName(FState.DrawsFileName());
    ASSERT_TRUE(QDir().mkpath(temp));
    struct TCase {
        const char* Name;
        std::function<void()> Command;
    };
    const TCase cases[] = {
        {"add", [&] { FArchive.AddDraw(Draw(7, 1, 2, "08/04/2016 M")); }},
        {"edit", [&] { FArchive.EditDraw(2, Draw(3, 9, 9, "08/02/2016 M")); }},
        {"delete", [&] {
             FBoxes.Answer(IDYES);
             FArchive.DeleteDraws({0, 5, 3});
         }},
        {"delete all", [&] {
             FBoxes.Answer(IDYES);
             FArchive.DeleteDraws({0, 1, 2, 3, 4, 5});
         }},
        {"download appends", [&] {
             FState.FDraws.push_back(Draw(7, 1, 1, "08/04/2016 M"));
             FState.FDraws.push_back(Draw(8, 2, 2, "08/04/2016 E"));
             FArchive.SaveAppendedDraws(6);
         }},
        {"import replaces", [&] {
             TDrawsArray previous = FState.FDraws;
             FState.FDraws = MakeArchive(40);
             FArchive.SaveDrawsFileOrRestore(std::move(previous));
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        infos.clear();
        forces.clear();
        try {
            c.Command();
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), SaveErrorText(FState.DrawsFileName(), EISDIR));
        }
        // The list, the panels and the file agree on the six draws the file still holds.
        EXPECT_EQ(FState.FDraws, draws);
        ASSERT_FALSE(infos.isEmpty());
        EXPECT_EQ(infos.last().Count, 6);
        EXPECT_EQ(infos.last().CountText, QString::fromUtf8("Архив тиражей: 6"));
        EXPECT_EQ(infos.last().NextText, QString::fromUtf8("Следующий тираж: 6"));
        EXPECT_EQ(infos.last().DigitsText, "3;4");
        EXPECT_EQ(infos.last().OffsetMax, 5);
        EXPECT_TRUE(forces.last());
        EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), ArchiveBytes(draws));
        EXPECT_TRUE(refreshes.isEmpty());
        EXPECT_TRUE(IsNotWaiting());
        EXPECT_TRUE(FStatuses.last().isEmpty());
    }
    EXPECT_EQ(FBoxes.Pending(), 0);

    // Once the file can be written the same add goes through.
    ASSERT_TRUE(QDir().rmdir(temp));
    FArchive.AddDraw(Draw(7, 1, 2, "08/04/2016 M"));
    ASSERT_EQ(FState.FDraws.size(), 7u);
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), ArchiveBytes(FState.FDraws));
    EXPECT_EQ(infos.last().CountText, QString::fromUtf8("Архив тиражей: 7"));
    EXPECT_EQ(refreshes, QList<bool>({false}));
    EXPECT_EQ(FolderFiles(), QStringList({"Tavrix2_2r10.ldr"}));
}
