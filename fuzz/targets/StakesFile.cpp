// The stakes file at start-up and the operations that read it. Every failure raises
// Exception with the text to show. Invariants: after the load the file holds whole records of
// the current version, a sound file is left as it was, and a repaired one keeps a copy of the
// original.
//
// Input: the file.

#include "app/core/stakes/StakeReader.h"
#include "app/core/stakes/StakesFile.h"
#include "fuzz/FuzzTargets.h"

#include <QFile>

#include <algorithm>

void FuzzStakesFile(const std::uint8_t* data, std::size_t size)
{
    FuzzRemoveTempFiles();
    const QByteArray original(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString fileName = FuzzTempFile(TStakesFile::BaseName, original);
    TStakesFile file(fileName);
    TStakesLoadReport report;
    try {
        report = file.Load();
    } catch (const Exception&) {
        return;
    }
    FuzzCheck(file.Size() % StakeRecSize == 0, "a loaded stakes file holds a part of a record");
    if (!report.Repaired())
        FuzzCheck(file.Size() == original.size(), "a sound stakes file changed at start-up");
    else
        FuzzCheck(!report.BackupFile.isEmpty() && QFile::exists(report.BackupFile), "a repair kept no copy");
    TStakesFile::LoadMessages(report);

    try {
        const qint64 count = file.RecordCount();
        for (qint64 i = 0; i < std::min<qint64>(count, 16); ++i) {
            const TStakeRec rec = file.ReadStake(TStakesFile::soFromBeginning, i);
            FuzzCheck(rec.Version == StakeRecVersion || i > 0, "the first record is of another version");
            file.StakeExists(rec.DrawNumber, rec.Digits);
        }
        file.SeekLastCheckedDraws(3);
        qint64 read = 0;
        for (TStakeReader reader(file); reader.NextBlock();)
            read += reader.Count();
        FuzzCheck(read == count, "the reader did not read every record");
        if (count > 0) {
            QByteArray records;
            file.ReadRecordsInto(0, count, records);
            FuzzCheck(records.size() == count * StakeRecSize, "the records read are not whole");
            file.WriteRecordBytes(0, records);
            FuzzCheck(file.Size() == count * StakeRecSize, "records written in place changed the size");
        }
        const qint64 dropped = file.DeleteStakesByCondition(static_cast<int>(size % 5), static_cast<int>(size % 3));
        FuzzCheck(dropped >= 0 && file.RecordCount() == count - dropped, "deleted records do not add up");
        TStakeRec stake = InitStakeRec();
        stake.Origin = soManual;
        stake.DrawNumber = 7;
        stake.Digits.Count = 2;
        file.AppendStake(stake, 2);
        FuzzCheck(file.StakeExists(8, stake.Digits), "an appended stake is not found");
        file.Close();
    } catch (const Exception&) {
    }
}

std::vector<QByteArray> SeedsStakesFile()
{
    const auto bytes = [](const TStakeRec& rec) {
        QByteArray out(StakeRecSize, '\0');
        WriteStakeRec(rec, reinterpret_cast<std::uint8_t*>(out.data()));
        return out;
    };
    TStakeRec stake = InitStakeRec();
    stake.Origin = soScript;
    stake.DrawNumber = 5;
    stake.Digits.Count = 3;
    stake.Digits.Digits = {1, 2, 3, 0};
    TStakeRec checked = stake;
    checked.DrawNumber = 4;
    checked.Checked = 1;
    checked.Matches.Count = 2;
    checked.Balance = TCurrency::FromUnits(80);
    const QByteArray sound = bytes(InitStakeRec()) + bytes(checked) + bytes(InitStakeRec()) + bytes(stake);
    return {
        sound,
        sound + sound.left(40),                 // a torn last append
        QByteArray(1, char(1)) + sound.mid(1),  // an older version
        QByteArray(),
        bytes(stake).left(10),
    };
}
