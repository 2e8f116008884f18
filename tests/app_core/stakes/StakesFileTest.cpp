#include "app/core/stakes/StakesFile.h"

#include "platform/Exceptions.h"
#include "platform/SaveFile.h"
#include "tests/common/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <stdexcept>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

TStakeRec Stake(std::int32_t draw, int d1, int d2, int matched = -1, const char* comment = "c")
{
    TStakeRec rec;
    rec.Origin = soManual;
    rec.DrawNumber = draw;
    rec.Checked = matched >= 0 ? 1 : 0;
    rec.SelectionSize = 100;
    rec.Digits = {2, {std::uint8_t(d1), std::uint8_t(d2), 0, 0}};
    rec.Matches.Count = matched;
    rec.Balance = TCurrency::FromUnits(-10);
    rec.Comment.Set(U(comment));
    return rec;
}

QString ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

class StakesFileTest : public ::testing::Test {
protected:
    QString Path() const { return FDir.filePath(QString::fromLatin1(TStakesFile::BaseName)); }
    QStringList FolderFiles() const { return QDir(FDir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir FDir;
};

TEST_F(StakesFileTest, LoadChecksSizeAndVersion)
{
    const QByteArray two = StakeBytes({Stake(5, 1, 2), Stake(6, 3, 4)});
    struct TCase {
        const char* name;
        QByteArray original;
        QByteArray after;
        bool oldVersion;
        qint64 dropped;
    };
    const TCase cases[] = {
        {"empty", QByteArray(), QByteArray(), false, 0},
        {"sound", two, two, false, 0},
        {"305 bytes, version 2: torn append", two.left(304) + QByteArray(1, 2), two.left(304), false, 1},
        {"torn inside the second record", two.left(400), two.left(304), false, 96},
        {"305 bytes, version 1", QByteArray(1, 1) + QByteArray(304, 0), QByteArray(), true, 0},
        {"whole records, first byte 7", QByteArray(1, 7) + two.mid(1), QByteArray(), true, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(Path());
        QFile::remove(Path() + ".bak");
        WriteFileBytes(Path(), c.original);
        TStakesFile file(Path());
        const TStakesLoadReport report = file.Load();
        EXPECT_EQ(report.OldVersion, c.oldVersion);
        EXPECT_EQ(report.DroppedBytes, c.dropped);
        EXPECT_EQ(file.Size(), c.after.size());
        file.Close();
        EXPECT_EQ(ReadFileBytes(Path()), c.after);
        if (report.Repaired()) {
            EXPECT_EQ(report.BackupFile, Path() + ".bak");
            EXPECT_EQ(ReadFileBytes(Path() + ".bak"), c.original);
        } else {
            EXPECT_TRUE(report.BackupFile.isEmpty());
            EXPECT_FALSE(QFile::exists(Path() + ".bak"));
        }
    }
}

TEST_F(StakesFileTest, LoadMessages)
{
    TStakesLoadReport old;
    old.OldVersion = true;
    old.BackupFile = "/d/x.lsk.bak";
    EXPECT_EQ(TStakesFile::LoadMessages(old),
              QStringList({U("Обнаружен файл ставок устаревшей версии - имеющиеся в файле ставки будут удалены!"),
                           U("Копия прежнего файла ставок сохранена как \"/d/x.lsk.bak\".")}));
    TStakesLoadReport torn;
    torn.FileName = "/d/x.lsk";
    torn.DroppedBytes = 17;
    torn.BackupFile = "/d/x.lsk.bak";
    EXPECT_EQ(TStakesFile::LoadMessages(torn).value(0),
              U("Файл ставок \"/d/x.lsk\" поврежден: последние 17 байт не составляют целой записи и отброшены."));
    EXPECT_TRUE(TStakesFile::LoadMessages(TStakesLoadReport{}).isEmpty());
}

TEST_F(StakesFileTest, MissingFileIsCreatedAndHeldExclusively)
{
    TStakesFile file(Path());
    EXPECT_FALSE(file.Load().Repaired());
    EXPECT_TRUE(QFile::exists(Path()));
    EXPECT_FALSE(file.HasStakes());

    TStakesFile second(Path());
    EXPECT_EQ(ErrorOf([&] { second.Load(); }),
              U("Ошибка чтения файла ставок!\n\nФайл ставок \"%1\" уже используется другой копией программы.").arg(Path()));
    file.Close();
    EXPECT_NO_THROW(second.Open());
}

TEST_F(StakesFileTest, ReadingOutsideTheFileIsAnError)
{
    TStakesFile file(Path());
    file.Load();
    EXPECT_EQ(ErrorOf([&] { file.ReadStake(TStakesFile::soFromEnd, -1); }),
              U("Ошибка чтения записи из файла ставок!\n\nЗапись со индексом -1 в файле данных не найдена!"));
    file.AppendStake(Stake(5, 1, 2), 1);
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromEnd, -1), Stake(5, 1, 2));
    EXPECT_EQ(ErrorOf([&] { file.ReadStake(TStakesFile::soFromBeginning, 1); }),
              U("Ошибка чтения записи из файла ставок!\n\nЗапись со индексом 1 в файле данных не найдена!"));
    EXPECT_NE(ErrorOf([&] { file.ReadStake(TStakesFile::soFromBeginning, LLONG_MAX); }), "<no error>");
    EXPECT_NE(ErrorOf([&] { file.ReadStake(TStakesFile::soFromEnd, LLONG_MIN); }), "<no error>");
    EXPECT_EQ(ErrorOf([&] { file.WriteStake(TStakesFile::soFromBeginning, 2, Stake(5, 1, 2)); }),
              U("Ошибка добавления записи в файл ставок!\n\nЗапись со индексом 2 в файле данных не найдена!"));
    file.Close();
    EXPECT_EQ(ErrorOf([&] { file.ReadStake(TStakesFile::soFromBeginning, 0); }),
              U("Ошибка чтения записи из файла ставок!\n\nФайл ставок не открыт!"));
}

TEST_F(StakesFileTest, CacheFollowsTheFile)
{
    TStakesFile file(Path());
    file.Load();
    file.AppendStake(Stake(5, 1, 2), 1);
    // The same origin and index mean another record once the file has grown.
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromEnd, -1).DrawNumber, 5);
    file.AppendStake(Stake(6, 3, 4), 1);
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromEnd, -1).DrawNumber, 6);
    // And once the position has moved.
    file.SetPosition(0);
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromCurrent, 0).DrawNumber, 5);
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromCurrent, 0).DrawNumber, 6);
    // A record read again after it was rewritten is the new one.
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromBeginning, 0).DrawNumber, 5);
    file.WriteStake(TStakesFile::soFromBeginning, 0, Stake(9, 9, 9));
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromBeginning, 0), Stake(9, 9, 9));
    file.WriteRecordBytes(0, StakeBytes({Stake(8, 8, 8)}));
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromBeginning, 0), Stake(8, 8, 8));
    EXPECT_EQ(ErrorOf([&] { file.WriteRecordBytes(1, StakeBytes({Stake(8, 8, 8), Stake(8, 8, 8)})); }),
              U("Ошибка добавления записи в файл ставок!\n\nЗапись со индексом 1 в файле данных не найдена!"));
    // A rewrite of the file drops the cache.
    file.DeleteStakes([](qint64 i, const TStakeRec&) { return i == 1; });
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromBeginning, 0).DrawNumber, 6);
    EXPECT_EQ(ReadFileBytes(Path()), StakeBytes({Stake(6, 3, 4)}));
}

TEST_F(StakesFileTest, AppendWritesOneBlockPerDraw)
{
    const TStakeRec sep = InitStakeRec();
    struct TCase {
        const char* name;
        std::vector<TStakeRec> before;
        int drawCount;
        std::vector<TStakeRec> after;
    };
    const TCase cases[] = {
        {"one draw after a stake", {Stake(4, 0, 0)}, 1, {Stake(4, 0, 0), Stake(7, 1, 2)}},
        {"count 0 is one draw", {}, 0, {Stake(7, 1, 2)}},
        {"three draws after a stake", {Stake(4, 0, 0)}, 3,
         {Stake(4, 0, 0), sep, Stake(7, 1, 2), sep, Stake(8, 1, 2), sep, Stake(9, 1, 2)}},
        {"three draws into an empty file", {}, 3, {Stake(7, 1, 2), sep, Stake(8, 1, 2), sep, Stake(9, 1, 2)}},
        {"two draws after a separator", {Stake(4, 0, 0), sep}, 2,
         {Stake(4, 0, 0), sep, Stake(7, 1, 2), sep, Stake(8, 1, 2)}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(Path(), StakeBytes(c.before));
        TStakesFile file(Path());
        file.Load();
        file.AppendStake(Stake(7, 1, 2), c.drawCount);
        file.Close();
        EXPECT_EQ(ReadFileBytes(Path()), StakeBytes(c.after));
    }
}

TEST_F(StakesFileTest, AppendingManyAtOnceEqualsAppendingThemOneByOne)
{
    const TStakeRec sep = InitStakeRec();
    struct TCase {
        const char* name;
        std::vector<TStakeRec> before;
        int drawCount;
    };
    const TCase cases[] = {
        {"one draw, empty file", {}, 1},
        {"one draw after a stake", {Stake(4, 0, 0)}, 1},
        {"two draws after a stake", {Stake(4, 0, 0)}, 2},
        {"three draws after a separator", {Stake(4, 0, 0), sep}, 3},
        {"three draws, empty file", {}, 3},
    };
    const std::vector<TStakeRec> batch{Stake(7, 1, 2), Stake(7, 3, 4), Stake(0, 5, 6), Stake(7, 7, 8)};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(Path(), StakeBytes(c.before));
        QByteArray oneByOne;
        {
            TStakesFile file(Path());
            file.Load();
            for (const TStakeRec& rec : batch)
                file.AppendStake(rec, c.drawCount);
            file.Close();
            oneByOne = ReadFileBytes(Path());
        }
        WriteFileBytes(Path(), StakeBytes(c.before));
        TStakesFile file(Path());
        file.Load();
        file.AppendStakes(batch, c.drawCount);
        file.Close();
        EXPECT_EQ(ReadFileBytes(Path()), oneByOne);
    }
    // Hand-counted for two draws after a stake: each copy of each stake in its own block; a
    // copy whose draw number is 0 is no stake, so the next copy follows it without a separator.
    WriteFileBytes(Path(), StakeBytes({Stake(4, 0, 0)}));
    TStakesFile file(Path());
    file.Load();
    file.AppendStakes({Stake(7, 1, 2), Stake(0, 5, 6), Stake(7, 3, 4)}, 2);
    EXPECT_EQ(file.RecordCount(), 1 + 4 + 3 + 4);
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromBeginning, 5), sep);
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromBeginning, 6).DrawNumber, 0);
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromBeginning, 7).DrawNumber, 1);
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromBeginning, 8), sep);
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromBeginning, 9).DrawNumber, 7);

    // One refused record refuses the whole batch: nothing is written.
    const QByteArray before = ReadFileBytes(Path());
    EXPECT_EQ(ErrorOf([&] { file.AppendStakes({Stake(9, 1, 1), Stake(9, 2, 2, 1)}, 1); }),
              U("Ошибка добавления записи в файл ставок!\n\nДобавление в конец файла уже проверенной ставки!"));
    file.Close();
    EXPECT_EQ(ReadFileBytes(Path()), before);
}

TEST_F(StakesFileTest, RatingMarksAreClearedWhereTheyAreAndTheFileCutBack)
{
    // 2100 records, marks on a few of them: the clearing walks in blocks and touches only the
    // marked records.
    std::vector<TStakeRec> records(2100, Stake(4, 0, 0, 1));
    for (const size_t i : {size_t(3), size_t(2047), size_t(2048), size_t(2099)})
        records[i].RatingPending = 1;
    WriteFileBytes(Path(), StakeBytes(records));
    TStakesFile file(Path());
    file.Load();
    const int layout = file.Layout();
    EXPECT_EQ(file.ClearRatingMarks(2048, 10), 1);
    EXPECT_EQ(file.ClearRatingMarks(0, -1), 3);
    EXPECT_EQ(file.ClearRatingMarks(0, -1), 0);
    for (TStakeRec& rec : records)
        rec.RatingPending = 0;
    EXPECT_EQ(ReadFileBytes(Path()), StakeBytes(records));
    EXPECT_EQ(file.Layout(), layout);

    file.Truncate(2 * StakeRecSize);
    EXPECT_EQ(file.RecordCount(), 2);
    file.Truncate(5 * StakeRecSize);   // never longer
    EXPECT_EQ(file.RecordCount(), 2);
    file.DeleteStakes([](qint64 index, const TStakeRec&) { return index == 0; });
    EXPECT_NE(file.Layout(), layout);
}

TEST_F(StakesFileTest, AFileThatCannotBeOpenedIsNamedWithTheReason)
{
    struct TCase {
        const char* name;
        std::function<void()> prepare;
        const char* reason;
    };
    const bool root = ::geteuid() == 0;   // the superuser may write any file
    const TCase cases[] = {
        {"a folder in its place", [this] { QDir().mkpath(Path()); }, "на месте файла находится каталог"},
        {"a read-only file",
         [this] {
             WriteFileBytes(Path(), QByteArray());
             QFile::setPermissions(Path(), QFileDevice::ReadOwner);
         },
         "нет прав на чтение и запись этого файла"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (root && QString::fromLatin1(c.name).contains(QLatin1String("read-only")))
            continue;
        c.prepare();
        TStakesFile file(Path());
        EXPECT_EQ(ErrorOf([&] { file.Open(); }),
                  U("Не удалось открыть файл ставок \"%1\": %2").arg(Path(), U(c.reason)));
        EXPECT_FALSE(file.IsOpen());
        QFile::setPermissions(Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::remove(Path());
        QDir().rmdir(Path());
    }
    // Held by another copy: its own exception, which the start-up tells in its own words.
    TStakesFile first(Path());
    first.Open();
    TStakesFile second(Path());
    EXPECT_THROW(second.Open(), EStakesFileHeld);
}

TEST_F(StakesFileTest, RefusedAppendsLeaveTheFileAlone)
{
    WriteFileBytes(Path(), StakeBytes({Stake(4, 0, 0)}));
    TStakesFile file(Path());
    file.Load();
    EXPECT_EQ(ErrorOf([&] { file.AppendStake(Stake(5, 1, 1, 0), 1); }),
              U("Ошибка добавления записи в файл ставок!\n\nДобавление в конец файла уже проверенной ставки!"));
    EXPECT_EQ(ErrorOf([&] { file.AppendStake(Stake(INT32_MAX - 1, 1, 1), 3); }),
              U("Ошибка добавления записи в файл ставок!\n\nНомера тиражей ставки выходят за допустимые пределы."));
    EXPECT_NO_THROW(file.AppendStake(Stake(INT32_MAX - 1, 1, 1), 2));
    file.Close();
    EXPECT_EQ(ErrorOf([&] { file.AppendStake(Stake(5, 1, 1), 1); }),
              U("Ошибка добавления записи в файл ставок!\n\nФайл ставок не открыт!"));
    EXPECT_EQ(ReadFileBytes(Path()), StakeBytes({Stake(4, 0, 0), InitStakeRec(), Stake(INT32_MAX - 1, 1, 1),
                                            InitStakeRec(), Stake(INT32_MAX, 1, 1)}));
}

TEST_F(StakesFileTest, StakeExists)
{
    TStakeRec three = Stake(8, 1, 2);
    three.Digits = {3, {1, 2, 5, 0}};
    std::vector<TStakeRec> records(5000, InitStakeRec());
    records[10] = Stake(7, 1, 2);
    records[4999] = three;   // past the first chunk of a scan
    WriteFileBytes(Path(), StakeBytes(records));
    TStakesFile file(Path());
    file.Load();
    struct TCase {
        std::int32_t draw;
        TDigitsRec digits;
        bool exists;
    };
    const TCase cases[] = {
        {7, {2, {1, 2, 0, 0}}, true},  {7, {2, {2, 1, 0, 0}}, false}, {8, {2, {1, 2, 0, 0}}, false},
        {8, {3, {1, 2, 5, 9}}, true},  {8, {3, {1, 2, 6, 0}}, false}, {6, {2, {1, 2, 0, 0}}, false},
        {-1, {0, {}}, true},   // separators carry draw -1 and no digits
    };
    for (const TCase& c : cases)
        EXPECT_EQ(file.StakeExists(c.draw, c.digits), c.exists) << c.draw;
}

TEST_F(StakesFileTest, SeekLastCheckedDraws)
{
    WriteFileBytes(Path(), StakeBytes({Stake(9, 0, 0, 1), InitStakeRec(), Stake(10, 1, 1, 0), Stake(10, 2, 2, 2),
                                  InitStakeRec(), Stake(11, 3, 3, 1), Stake(12, 4, 4)}));
    TStakesFile file(Path());
    file.Load();
    EXPECT_EQ(file.SeekLastCheckedDraws(1), 1);
    EXPECT_EQ(file.Position(), 4 * StakeRecSize);   // just after the last stake of draw 10
    EXPECT_EQ(file.SeekLastCheckedDraws(2), 2);
    EXPECT_EQ(file.Position(), 1 * StakeRecSize);
    EXPECT_EQ(file.SeekLastCheckedDraws(5), 3);
    EXPECT_EQ(file.Position(), 0);

    // A damaged record at the end (matched count 7) is not a checked draw.
    TStakeRec damaged = Stake(13, 5, 5, 1);
    damaged.Matches.Count = 7;
    file.AppendStake(InitStakeRec(), 1);
    file.WriteStake(TStakesFile::soFromEnd, 0, damaged);
    EXPECT_EQ(file.SeekLastCheckedDraws(1), 1);
    EXPECT_EQ(file.Position(), 4 * StakeRecSize);
}

TEST_F(StakesFileTest, DeleteByCondition)
{
    const TStakeRec sep = InitStakeRec();
    const std::vector<TStakeRec> all{sep, Stake(5, 1, 1), Stake(5, 2, 2, 0), Stake(5, 3, 3, 1),
                                     sep, Stake(6, 4, 4, 2), Stake(6, 5, 5)};
    struct TCase {
        int condition, value;
        std::vector<TStakeRec> kept;
    };
    const TCase cases[] = {
        {3, 1, {sep, Stake(5, 3, 3, 1), sep, Stake(6, 4, 4, 2)}},   // unchecked stakes go too
        {0, -1, {sep, Stake(5, 2, 2, 0), Stake(5, 3, 3, 1), sep, Stake(6, 4, 4, 2)}},
        {1, 0, {sep, Stake(5, 1, 1), Stake(5, 2, 2, 0), sep, Stake(6, 5, 5)}},
        {2, 1, {sep, Stake(5, 1, 1), Stake(5, 2, 2, 0), sep, Stake(6, 5, 5)}},
        {4, 0, {sep, Stake(5, 3, 3, 1), sep, Stake(6, 4, 4, 2)}},
        {9, 0, all},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.condition);
        WriteFileBytes(Path(), StakeBytes(all));
        TStakesFile file(Path());
        file.Load();
        EXPECT_EQ(file.DeleteStakesByCondition(c.condition, c.value), qint64(all.size() - c.kept.size()));
        EXPECT_EQ(file.RecordCount(), qint64(c.kept.size()));
        file.AppendStake(Stake(20, 1, 2), 1);   // the reopened file is the new one
        file.Close();
        std::vector<TStakeRec> expected = c.kept;
        expected.push_back(Stake(20, 1, 2));
        EXPECT_EQ(ReadFileBytes(Path()), StakeBytes(expected));
    }
    EXPECT_EQ(FolderFiles(), QStringList{QString::fromLatin1(TStakesFile::BaseName)});
}

TEST_F(StakesFileTest, FailedRewriteKeepsTheOriginalOpen)
{
    const QByteArray original = StakeBytes({Stake(5, 1, 1), Stake(6, 2, 2), Stake(7, 3, 3)});
    WriteFileBytes(Path(), original);
    TStakesFile file(Path());
    file.Load();
    const QString error = ErrorOf([&] {
        file.DeleteStakes([](qint64 i, const TStakeRec&) -> bool {
            if (i == 2)
                throw Exception("disk full");
            return false;
        });
    });
    EXPECT_EQ(error, U("Ошибка удаления записи из файла ставок!\n\ndisk full"));
    EXPECT_EQ(ReadFileBytes(Path()), original);
    EXPECT_EQ(file.ReadStake(TStakesFile::soFromEnd, -1), Stake(7, 3, 3));
    EXPECT_EQ(FolderFiles(), QStringList{QString::fromLatin1(TStakesFile::BaseName)});
    // Still held: nobody else gets the file.
    EXPECT_THROW(TStakesFile(Path()).Open(), Exception);
}

// A child process runs the deletion and is killed at each record of the copy and after the
// rename; the file must then hold either every old record or exactly the kept ones.
TEST_F(StakesFileTest, KilledRewriteLosesNoStake)
{
    std::vector<TStakeRec> records;
    for (int i = 0; i < 6; ++i)
        records.push_back(Stake(10 + i, i, i, i % 3 - 1));
    const QByteArray original = StakeBytes(records);
    QByteArray kept;
    for (const TStakeRec& r : records)
        if (TStakesFile::KeptByCondition(r, 3, 1))
            kept += StakeBytes({r});
    ASSERT_LT(kept.size(), original.size());

    for (int killAt = 0; killAt <= int(records.size()); ++killAt) {
        SCOPED_TRACE(killAt);
        WriteFileBytes(Path(), original);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TStakesFile file(Path());
            file.Open();
            file.DeleteStakes([killAt](qint64 i, const TStakeRec& r) {
                if (i == killAt)
                    std::raise(SIGKILL);
                return TStakesFile::KeptByCondition(r, 3, 1);
            });
            std::raise(SIGKILL);   // after the rename, before anything else
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        const QByteArray after = ReadFileBytes(Path());
        if (killAt < int(records.size()))
            EXPECT_EQ(after, original);
        else
            EXPECT_EQ(after, kept);
        // A later start finds a sound file and the next rewrite gets past the stale temporary.
        TStakesFile file(Path());
        EXPECT_FALSE(file.Load().Repaired());
        EXPECT_NO_THROW(file.DeleteStakesByCondition(3, 1));
        file.Close();
        EXPECT_EQ(ReadFileBytes(Path()), kept);
        QFile::remove(TSaveFile::TempFileName(Path()));
    }
}

}  // namespace
