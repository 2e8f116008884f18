#include "app/core/stakes/RatingsFromStakes.h"

#include "app/core/stakes/StakesFile.h"
#include "engine/KelmaMsg.h"
#include "platform/Exceptions.h"

#include <algorithm>

namespace {

// Records read at a time: a refresh streams the file and never holds it whole.
constexpr qint64 kChunkRecords = 4096;

} // namespace

namespace {

TCheckedStakeSource StakesOf(TStakesFile& file, bool markedOnly)
{
    return [&file, markedOnly](const TCheckedStakeSink& sink) {
        // A closed file reads as empty; a refresh from it would wipe the ratings.
        if (!file.IsOpen())
            throw Exception(LoadResString(rsStakesFileNotOpen));
        const qint64 total = file.RecordCount();
        for (qint64 first = 0; first < total; first += kChunkRecords) {
            const qint64 count = std::min(kChunkRecords, total - first);
            const QByteArray chunk = file.ReadRecordBytes(first, count);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(chunk.constData());
            for (qint64 i = 0; i < count; ++i, bytes += StakeRecSize) {
                if (markedOnly && bytes[StakeRatingPendingOffset] == 0)
                    continue;
                const TStakeRec rec = ReadStakeRec(bytes);
                if (rec.DrawNumber < 0 || rec.Checked == 0 || rec.IsDamaged() || rec.Matches.Count < 0)
                    continue;
                sink(TCheckedStake{rec.Comment.Get(), rec.Matches.Count, rec.Balance});
            }
        }
    };
}

} // namespace

TCheckedStakeSource CheckedStakesOf(TStakesFile& file)
{
    return StakesOf(file, false);
}

TCheckedStakeSource MarkedStakesOf(TStakesFile& file)
{
    return StakesOf(file, true);
}
