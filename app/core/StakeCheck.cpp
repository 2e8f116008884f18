#include "app/core/StakeCheck.h"

#include "app/core/DrawLookups.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "support/RVclUtils.h"

#include <algorithm>
#include <vector>

namespace {

// Records read per call while scanning.
constexpr qint64 CheckChunk = 2048;

}  // namespace

void TStakeCheck::WriteScored(qint64 first, const QByteArray& records)
{
    FFile.WriteRecordBytes(first, records);
}

TStakeCheckResult TStakeCheck::CheckStakes()
{
    TStakeCheckResult result;
    TBusyScope busy(LoadResString(rsCheckingStakes));
    if (!FFile.HasStakes())
        return result;
    try {
        const qint64 records = FFile.RecordCount();
        qint64 total = records;
        qint64 step = std::max<qint64>(1, total / 100);
        qint64 first = -1;
        qint64 done = 0;
        qint64 shown = 0;
        for (qint64 chunkStart = 0; chunkStart < records; chunkStart += CheckChunk) {
            const qint64 count = std::min(CheckChunk, records - chunkStart);
            QByteArray chunk = FFile.ReadRecordBytes(chunkStart, count);
            auto* bytes = reinterpret_cast<std::uint8_t*>(chunk.data());
            std::vector<TStakeRec> scored;
            qint64 low = -1, high = -1;   // scored records of the block
            for (qint64 k = 0; k < count; ++k, bytes += StakeRecSize) {
                const qint64 index = chunkStart + k;
                TStakeRec rec = ReadStakeRec(bytes);
                if (rec.IsDamaged()) {
                    ++result.DamagedCount;
                    continue;
                }
                if (rec.Checked == 0 && rec.DrawNumber > 0 && rec.Digits.Count >= 2) {
                    if (first < 0) {
                        first = index + 1;
                        total = records - first;
                        step = std::max<qint64>(1, total / 100);
                    }
                    done = index + 1 - first;

                    const int found = FindDrawByNumber(FDraws, rec.DrawNumber);
                    if (found >= 0) {
                        const TDrawRec& draw = FDraws[static_cast<size_t>(found)];
                        TDrawRec staked;
                        staked.Digits = {rec.Digits.Digits[0], rec.Digits.Digits[1]};
                        rec.Checked = 1;
                        rec.DrawResult = MakeComb(draw.Digits[0], draw.Digits[1]);
                        rec.Matches = GetDrawMatches(draw, staked);
                        rec.Balance = FStats.StakeBalance(rec.Digits.Count, rec.Matches.Count);
                        WriteStakeRec(rec, bytes);
                        scored.push_back(rec);
                        if (low < 0)
                            low = k;
                        high = k;
                    }
                }
                // The status line processes pending window messages, so it is only told when
                // the figure has moved.
                if (total > 0 && done > 0 && done % step == 0 && done != shown) {
                    shown = done;
                    ShowInStatusBar(Format(LoadResString(rsCheckingStakesProgress),
                                           {static_cast<long double>(done) * 100 / total}));
                }
            }
            if (scored.empty())
                continue;
            WriteScored(chunkStart + low, chunk.mid(low * StakeRecSize, (high - low + 1) * StakeRecSize));
            // Only stakes that are on disk as scored reach the ratings: after a failed write
            // they stay unchecked, to be scored and rated once next time.
            result.Scored = true;
            for (const TStakeRec& rec : scored) {
                ++result.ScoredCount;
                AddRatingResult(FRatings, rec.Comment.Get(), rec.Matches.Count, rec.Balance);
                if (Log)
                    result.Errors << Log->Write(rec);
            }
        }
    } catch (const std::exception& e) {
        result.Errors << Format(LoadResString(rsStakesCheckError), {ExceptionText(e)});
    }
    return result;
}

TStakeCheckResult TStakeCheck::CheckStakesAndReload(const std::function<void()>& afterScored)
{
    TStakeCheckResult result = CheckStakes();
    if (!result.Scored)
        return result;
    try {
        FFile.Reopen();
    } catch (const std::exception& e) {
        result.Errors << ExceptionText(e);
    }
    // The ratings already hold the scored stakes; they are saved whether or not the reopen
    // worked.
    if (afterScored)
        afterScored();
    return result;
}
