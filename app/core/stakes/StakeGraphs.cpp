#include "app/core/stakes/StakeGraphs.h"

#include "app/core/stakes/StakeReader.h"
#include "app/core/stakes/StakesFile.h"
#include "engine/KelmaMsg.h"
#include "platform/Exceptions.h"

#include <QHash>

#include <algorithm>
#include <functional>

namespace {

// Puts the stakes file back where the graph found it, however the graph ends: the stakes grid
// and the other readers go on from that position.
class TPositionKeeper {
public:
    explicit TPositionKeeper(TStakesFile& stakes) : FStakes(stakes), FPosition(stakes.Position()) {}
    ~TPositionKeeper() { FStakes.SetPosition(FPosition); }
    TPositionKeeper(const TPositionKeeper&) = delete;
    TPositionKeeper& operator=(const TPositionKeeper&) = delete;

private:
    TStakesFile& FStakes;
    qint64 FPosition;
};

[[noreturn]] void NothingToDraw()
{
    throw Exception(LoadResString(rsGraphNeedsTwoDraws));
}

// Hands every sound record from record `first` to the end to the visitor, in file order.
void ForEachRecord(TStakesFile& stakes, qint64 first, const std::function<void(const TStakeView&)>& visit)
{
    for (TStakeReader reader(stakes, first); reader.NextBlock();) {
        for (qint64 k = 0; k < reader.Count(); ++k) {
            const TStakeView rec = reader.At(k);
            if (!rec.IsDamaged())
                visit(rec);
        }
    }
}

double Money(TCurrency amount)
{
    return static_cast<double>(amount.ToDouble());
}

} // namespace

TGraphPoints StakesProfitByDraws(TStakesFile& stakes)
{
    TPositionKeeper keeper(stakes);
    // The sums in the order the draws first occur; the index finds a draw's sum without a
    // walk over all the draws seen so far.
    TProfitDrawArray profits;
    QHash<std::int32_t, qsizetype> index;
    ForEachRecord(stakes, 0, [&](const TStakeView& rec) {
        const std::int32_t draw = rec.DrawNumber();
        if (draw < 0)
            return;
        const auto found = index.constFind(draw);
        if (found != index.constEnd()) {
            TCurrency& sum = profits[static_cast<size_t>(*found)].Amount;
            sum = SaturatingAdd(sum, rec.Balance());
        } else {
            index.insert(draw, static_cast<qsizetype>(profits.size()));
            profits.push_back({draw, rec.Balance()});
        }
    });
    if (profits.empty())
        NothingToDraw();

    TCurrency total;
    for (const TProfitDrawRec& draw : profits)
        total = SaturatingAdd(total, draw.Amount);
    const double mean = Money(total) / static_cast<double>(profits.size());

    const QString profitTitle = LoadResString(rsSeriesDrawProfit);
    const QString meanTitle = LoadResString(rsSeriesMean);
    const QString runningTitle = LoadResString(rsSeriesAccumulated);
    TGraphPoints points;
    points.reserve(static_cast<qsizetype>(profits.size()) * 3);
    TCurrency running;
    for (const TProfitDrawRec& draw : profits) {
        running = SaturatingAdd(running, draw.Amount);
        points.append({draw.DrawNo, profitTitle, Money(draw.Amount), true, true, GraphGreen});
        points.append({draw.DrawNo, meanTitle, mean, false, false, GraphBlue});
        points.append({draw.DrawNo, runningTitle, Money(running), true, true, GraphRed});
    }
    return points;
}

TGraphPoints StakesByComments(TStakesFile& stakes, const QStringList& comments, bool profits)
{
    if (comments.isEmpty())
        NothingToDraw();
    TPositionKeeper keeper(stakes);
    if (!stakes.IsOpen())
        throw Exception(LoadResString(rsStakesFileNotOpen));
    if (stakes.SeekLastCheckedDraws(GraphLastDraws) < 2)
        NothingToDraw();

    TGraphPoints points;
    ForEachRecord(stakes, stakes.Position() / StakeRecSize, [&](const TStakeView& rec) {
        if (rec.DrawNumber() < 1 || !rec.Checked() || rec.MatchedCount() < 0)
            return;
        const QString comment = rec.Comment();
        for (const QString& wanted : comments) {
            if (wanted.compare(comment, Qt::CaseInsensitive) != 0)
                continue;
            const double y = profits ? Money(rec.Balance()) : static_cast<double>(rec.MatchedCount());
            points.append({rec.DrawNumber(), wanted, y, true, true, 0});
            return;
        }
    });
    return points;
}

TGraphPoints RatingsOverlap(const TRatingsArray& ratings, const QList<int>& selectedRows)
{
    QList<const TRatingRec*> selected;
    for (const int row : selectedRows)
        if (row >= 0 && static_cast<size_t>(row) < ratings.size())
            selected.append(&ratings[static_cast<size_t>(row)]);
    if (selected.isEmpty())
        NothingToDraw();

    std::int32_t largest = 0;
    for (const TRatingRec* rating : selected)
        largest = std::max(largest, rating->Stakes);
    const TExpectedHits expected = MakeExpectedHits();
    const QString normalTitle = LoadResString(rsSeriesNormal);

    TGraphPoints points;
    for (int m = 0; m < RatingMatchCounters; ++m) {
        const double normal = static_cast<double>(expected[static_cast<size_t>(m)].Count) * largest / 100.0;
        points.append({m, normalTitle, normal, true, false, GraphGrey});
        for (const TRatingRec* rating : selected)
            points.append({m, rating->Comment, static_cast<double>(rating->MatchCounts[static_cast<size_t>(m)]),
                           true, true, 0});
    }
    return points;
}
