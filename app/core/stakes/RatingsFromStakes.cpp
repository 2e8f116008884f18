#include "app/core/stakes/RatingsFromStakes.h"

#include "app/core/stakes/StakeReader.h"

namespace {

TCheckedStakeSource StakesOf(TStakesFile& file, bool markedOnly)
{
    return [&file, markedOnly](const TCheckedStakeSink& sink) {
        // A closed file raises rather than read as empty: a refresh from it would wipe the
        // ratings.
        for (TStakeReader reader(file); reader.NextBlock();) {
            for (qint64 k = 0; k < reader.Count(); ++k) {
                const TStakeView rec = reader.At(k);
                if ((markedOnly && !rec.RatingPending()) || !rec.IsScored())
                    continue;
                sink(TCheckedStake{rec.Comment(), rec.MatchedCount(), rec.Balance()});
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
