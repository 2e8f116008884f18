#include "app/core/stakes/StakeCheck.h"

#include "app/core/archive/DrawLookups.h"
#include "app/core/stakes/StakeReader.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "support/RVclUtils.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace {

const TResString SRatingsNotSaved = RESSTR(
    "StakeCheck",
    "Рейтинг не сохранен!\n\n%s\n\nПроверенные ставки отмечены в файле ставок и будут учтены в "
    "рейтинге при следующем его сохранении или при следующем запуске программы.");

// Finds the rating of a stake's comment without comparing it with every rating: the stored
// bytes of a comment name their rating once it was looked up. The array keeps its order while
// a check runs, so the indexes stay valid.
class TRatingFinder {
public:
    explicit TRatingFinder(TRatingsArray& ratings) : FRatings(ratings) {}

    void Add(const TStakeView& rec)
    {
        const QByteArrayView field = rec.CommentField();
        const QByteArray key = QByteArray::fromRawData(field.data(), field.size());
        size_t at = 0;
        if (const auto found = FIndex.constFind(key); found != FIndex.constEnd()) {
            at = *found;
        } else {
            const QString comment = rec.Comment();
            at = FRatings.size();
            for (size_t i = 0; i < FRatings.size(); ++i) {
                if (FRatings[i].Comment.compare(comment, Qt::CaseInsensitive) == 0) {
                    at = i;
                    break;
                }
            }
            if (at == FRatings.size()) {
                TRatingRec added;
                added.Comment = comment;
                FRatings.push_back(added);
            }
            FIndex.insert(QByteArray(key.constData(), key.size()), at);
        }
        AddRatingResultTo(FRatings[at], rec.MatchedCount(), rec.Balance());
    }

private:
    TRatingsArray& FRatings;
    QHash<QByteArray, size_t> FIndex;
};

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
    TRatings* const owner = FOwner;
    if (owner)
        owner->BeginScan();
    qint64 markedFirst = -1, markedLast = -1;
    bool marksPrepared = false;
    QStringList logErrors;
    TRatingFinder finder(FRatings);
    try {
        // Nothing before the file's check start waits for a draw or is damaged.
        const qint64 start = FFile.CheckStart();
        TStakeReader reader(FFile, start);
        const qint64 records = reader.End();
        qint64 total = records;
        qint64 step = std::max<qint64>(1, total / 100);
        qint64 first = -1;
        qint64 done = 0;
        qint64 shown = 0;
        // The first record that the next check has to read again: damaged, or waiting still.
        qint64 unsettled = -1;
        std::vector<qint64> scored;   // the block's scored records
        while (reader.NextBlock()) {
            scored.clear();
            for (qint64 k = 0; k < reader.Count(); ++k) {
                const qint64 index = reader.First() + k;
                const TStakeView view = reader.At(k);
                if (view.IsDamaged()) {
                    ++result.DamagedCount;
                    unsettled = unsettled < 0 ? index : unsettled;
                    continue;
                }
                if (view.AwaitsCheck()) {
                    if (first < 0) {
                        first = index + 1;
                        total = records - first;
                        step = std::max<qint64>(1, total / 100);
                    }
                    done = index + 1 - first;

                    const int found = FindDrawByNumber(FDraws, view.DrawNumber());
                    if (found >= 0) {
                        const TDrawRec& draw = FDraws[static_cast<size_t>(found)];
                        TStakeRec rec = view.Record();
                        TDrawRec staked;
                        staked.Digits = {rec.Digits.Digits[0], rec.Digits.Digits[1]};
                        rec.Checked = 1;
                        rec.RatingPending = owner ? 1 : 0;
                        rec.DrawResult = MakeComb(draw.Digits[0], draw.Digits[1]);
                        rec.Matches = GetDrawMatches(draw, staked);
                        rec.Balance = FStats.StakeBalance(rec.Digits.Count, rec.Matches.Count);
                        // In the block's bytes: the block goes back with the record scored.
                        WriteStakeRec(rec, reader.MutableBytes(k));
                        scored.push_back(k);
                    } else if (unsettled < 0) {
                        unsettled = index;
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
            // The journal goes first: no mark may reach the file before it can be explained.
            if (owner && !marksPrepared) {
                owner->PrepareMarks();
                marksPrepared = true;
            }
            const qint64 low = scored.front(), high = scored.back();
            const qint64 firstWritten = reader.First() + low;
            WriteScored(firstWritten, reader.Bytes(low, high - low + 1));
            if (owner) {
                markedFirst = markedFirst < 0 ? firstWritten : markedFirst;
                markedLast = reader.First() + high;
            }
            Point(TCheckPoint::BlockWritten);
            // Only stakes that are on disk as scored reach the ratings: after a failed write
            // they stay unchecked, to be scored and rated once next time.
            result.Scored = true;
            for (const qint64 k : scored) {
                const TStakeView rec = reader.At(k);
                ++result.ScoredCount;
                finder.Add(rec);
                if (Log && Log->Enabled)
                    logErrors << Log->Write(rec.Record());
            }
        }
        // Read to the end: the next check starts at the first record it has to read again.
        FFile.SetCheckStart(unsettled < 0 ? records : unsettled);
    } catch (const std::exception& e) {
        result.Errors << Format(LoadResString(rsStakesCheckError), {ExceptionText(e)});
        result.Failed = true;
    }
    if (owner)
        owner->EndScan(markedFirst, markedLast);
    // A log that cannot be written fails for every stake alike: the user hears of it once.
    if (!logErrors.isEmpty()) {
        logErrors.removeDuplicates();
        result.Errors.prepend(logErrors.join(QLatin1String("\n\n")));
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
        result.Failed = true;
    }
    Point(TCheckPoint::ScanDone);
    // The ratings already hold the scored stakes; they are saved whether or not the reopen
    // worked.
    if (!afterScored)
        return result;
    if (!FOwner) {
        afterScored();
        return result;
    }
    try {
        afterScored();
    } catch (const std::exception& e) {
        result.Errors << Format(LoadResString(SRatingsNotSaved), {ExceptionText(e)});
        result.Failed = true;
    }
    return result;
}
