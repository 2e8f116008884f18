#include "app/core/stakes/StakesLog.h"

#include "support/RDateUtils.h"
#include "tests/common/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

#include <unistd.h>

namespace {

TStakeRec Scored(int matched, const char* comment)
{
    TStakeRec rec;
    rec.Origin = soScript;
    rec.DrawNumber = 1234;
    rec.Checked = 1;
    rec.SelectionSize = 45;
    rec.Digits = {2, {3, 7, 0, 0}};
    rec.DrawResult = MakeComb(3, 5);
    rec.Matches = {matched, {3, 0, 0, 0}};
    rec.Balance = TCurrency::FromRaw(-55000);   // -5,5
    rec.Comment.Set(U(comment));
    return rec;
}

class StakesLogTest : public ::testing::Test {
protected:
    StakesLogTest()
    {
        FPrevious = SetClock([] { return QDateTime(QDate(2016, 8, 9), QTime(21, 5, 7)); });
    }
    ~StakesLogTest() override { SetClock(std::move(FPrevious)); }

    QString Folder() const { return FDir.path() + QLatin1Char('/'); }
    QStringList Logs() const { return QDir(FDir.path()).entryList({"*.log"}, QDir::Files, QDir::Name); }

    QTemporaryDir FDir;
    TClock FPrevious;
};

const char Line1[] = "2016.08.09 21:05:07: Тираж № 1234. Ставка: \"01.002: %s %d %% @ x\" [3;7] {45}. "
                     "Результаты тиража: [3;5]. Совпадений: 1. Профит: -5,50.\r\n";

TEST_F(StakesLogTest, LineTextTakesRecordValuesAsText)
{
    EXPECT_EQ(TStakesLog::LineText(Scored(1, "01.002: %s %d %% @ x"),
                                   EncodeDateTime(2016, 8, 9, 21, 5, 7, 0)),
              U(Line1).chopped(2));
    TStakeRec four = Scored(0, "");
    four.Digits = {4, {1, 2, 3, 4}};
    four.Balance = TCurrency::FromUnits(90);
    EXPECT_EQ(TStakesLog::LineText(four, EncodeDateTime(2016, 1, 2, 3, 4, 5, 0)),
              U("2016.01.02 03:04:05: Тираж № 1234. Ставка: \"\" [1;2;3;4] {45}. "
                "Результаты тиража: [3;5]. Совпадений: 0. Профит: 90,00."));
}

TEST_F(StakesLogTest, FileChosenByMatchedCount)
{
    TStakesLog log(Folder());
    EXPECT_EQ(log.FileName(2), Folder() + "Tavrix2_2r10-2.log");

    EXPECT_TRUE(log.Write(Scored(1, "01.002: %s %d %% @ x")).isEmpty());   // off: nothing
    EXPECT_TRUE(Logs().isEmpty());

    log.Enabled = true;
    TStakeRec unchecked = Scored(-1, "u");
    unchecked.Checked = 0;
    EXPECT_TRUE(log.Write(unchecked).isEmpty());
    EXPECT_TRUE(log.Write(Scored(7, "damaged")).isEmpty());
    EXPECT_TRUE(Logs().isEmpty());

    EXPECT_TRUE(log.Write(Scored(1, "01.002: %s %d %% @ x")).isEmpty());
    EXPECT_EQ(Logs(), QStringList{"Tavrix2_2r10-1.log"});
    EXPECT_EQ(ReadFileBytes(log.FileName(1)), Cp(Line1));
    EXPECT_TRUE(log.Write(Scored(1, "01.002: %s %d %% @ x")).isEmpty());
    EXPECT_EQ(ReadFileBytes(log.FileName(1)), Cp(Line1) + Cp(Line1));
    EXPECT_TRUE(log.Write(Scored(0, "z")).isEmpty());
    EXPECT_EQ(Logs(), QStringList({"Tavrix2_2r10-0.log", "Tavrix2_2r10-1.log"}));
}

TEST_F(StakesLogTest, LogsPastTheLimitStartAgain)
{
    TStakesLog log(Folder());
    log.Enabled = true;
    const qint64 line = Cp(Line1).size();
    struct TCase {
        qint64 size;
        qint64 after;
    };
    const TCase cases[] = {
        {TStakesLog::MaxFileSize, TStakesLog::MaxFileSize + line},   // at the limit: kept
        {TStakesLog::MaxFileSize + 1, line},                         // past it: only the new line
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.size);
        QFile::remove(log.FileName(1));
        {
            QFile big(log.FileName(1));
            ASSERT_TRUE(big.open(QIODevice::WriteOnly));
            ASSERT_TRUE(big.resize(c.size));   // sparse: no disk is spent
        }
        EXPECT_TRUE(log.Write(Scored(1, "01.002: %s %d %% @ x")).isEmpty());
        EXPECT_EQ(QFileInfo(log.FileName(1)).size(), c.after);
    }
    EXPECT_EQ(ReadFileBytes(log.FileName(1)), Cp(Line1));
}

// What stands at a log's name instead of a file: a folder, a pipe nobody reads (the write must
// not wait for a reader) and a device (the line must not be taken as kept).
TEST_F(StakesLogTest, WriteErrorsAreReturned)
{
    TStakesLog log(Folder());
    log.Enabled = true;
    const QString name = log.FileName(2);
    const std::pair<std::function<bool()>, const char*> cases[] = {
        {[&] { return QDir().mkdir(name); }, "на месте файла находится каталог"},
        {[&] { return ::mkfifo(QFile::encodeName(name).constData(), 0600) == 0; }, "нет такого устройства или адреса"},
        {[&] { return QFile::link("/dev/null", name); }, "это не обычный файл, а канал или устройство"},
    };
    for (const auto& [make, reason] : cases) {
        SCOPED_TRACE(reason);
        QDir().rmdir(name);
        QFile::remove(name);
        ASSERT_TRUE(make());
        const QStringList errors = log.Write(Scored(2, "x"));
        ASSERT_EQ(errors.size(), 1);
        EXPECT_EQ(errors[0], U("Ошибка записи в файл \"%1\"!\n\n%2").arg(name, U(reason)));
    }
}

}  // namespace
