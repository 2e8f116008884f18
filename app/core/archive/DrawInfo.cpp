#include "app/core/archive/DrawInfo.h"

#include "app/core/shell/MainState.h"
#include "engine/KelmaFilters.h"
#include "engine/KelmaMsg.h"
#include "engine/KelmaStatList.h"
#include "engine/PrjConst.h"

#include <algorithm>

namespace {

constexpr int ShreddingGroup = 12;

// The statistic's caption. A shredding caption holds "%s" where its formula goes: the
// formula fills it, so the row never shows the bare placeholder.
QString RowCaption(const TCustomStat& stat, const TStatMethod& method)
{
    QString caption = stat.InstanceCaption();
    const qsizetype at = caption.indexOf(QLatin1String("%s"));
    if (at >= 0 && method.StatClass().Group == ShreddingGroup)
        caption.replace(at, 2, method.ExtraText);
    return caption;
}

}  // namespace

TDrawInfoRequest DrawInfoRequest(const TMainState& state, int index)
{
    TDrawInfoRequest request;
    if (index < 0 || index >= static_cast<int>(state.FDraws.size()))
        return request;
    const TDrawRec& draw = state.FDraws[static_cast<std::size_t>(index)];
    request.DrawNumber = draw.Number;
    request.DateText = draw.Key.Get();
    request.Comb = DrawToComb(draw);
    request.DrawIndex = index;
    request.LastIndex = index;
    request.Sorted = state.Options.Value(TMainOptions::SortedDraws) != 0;
    return request;
}

TDrawInfoRequest CombInfoRequest(const TMainState& state, TCombWord comb)
{
    TDrawInfoRequest request;
    request.Comb = comb;
    const std::int64_t next = static_cast<std::int64_t>(state.FDraws.size()) - state.DrawsOffset();
    request.DrawIndex = static_cast<int>(std::max<std::int64_t>(next, 0));
    request.LastIndex = request.DrawIndex;
    request.Sorted = state.Options.Value(TMainOptions::SortedDraws) != 0;
    return request;
}

std::vector<TDrawInfoRow> DrawInfoRows(const TStatList& list, const TDrawInfoRequest& request)
{
    std::vector<TDrawInfoRow> rows;
    if (request.DrawNumber != -1)
        rows.push_back({LoadResString(rsInfoDrawNumber), SumToStr(static_cast<int>(request.DrawNumber))});
    if (!request.DateText.isEmpty())
        rows.push_back({LoadResString(rsInfoDrawDate), request.DateText});
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.IsAvailable(i) || !list.IsGraph(i) || !list.HasStatTable(i))
            continue;
        const std::unique_ptr<TCustomStat> stat = list.CreateStat(i);
        auto* graph = dynamic_cast<TCustomGraphStat*>(stat.get());
        if (!graph)
            continue;
        const int value = graph->ValueOf(request.Comb, request.DrawIndex, request.LastIndex, request.Sorted);
        rows.push_back({RowCaption(*stat, list.Items(i)), QString::number(value)});
    }
    return rows;
}

int InfoGridStartCols(const TStatList& list)
{
    return std::clamp<int>(list.Config().MatrixCols, InfoGridMinCols, InfoGridMaxCols);
}

std::vector<TDrawInfoCell> DrawInfoCells(TCombWord comb, int cols)
{
    std::vector<TDrawInfoCell> cells;
    const std::array<int, DrawDigits> digits = CombDigits(comb);
    for (int p = 0; p < DrawDigits; ++p) {
        const int d = digits[static_cast<std::size_t>(p)];
        if (p >= cols || d < 0 || d >= InfoGridRows)
            continue;
        cells.push_back({d, p, NumToStr(d)});
    }
    return cells;
}
