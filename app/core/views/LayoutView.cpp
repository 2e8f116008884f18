#include "app/core/views/LayoutView.h"

#include "engine/PrjConst.h"
#include "platform/DelphiText.h"

#include <QStringList>

#include <algorithm>
#include <limits>

namespace {

QString NumberText(std::int64_t number)
{
    if (number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max())
        return SumToStr(static_cast<int>(number));
    return QString::number(number);
}

// Rows and columns 1-5, 11-15, ..., 91-95 form the blocks of the checkerboard.
bool InBlock(int n)
{
    const int last = n % 10;
    return n >= 1 && n <= 95 && last >= 1 && last <= 5;
}

int Channel(long double value)
{
    return static_cast<int>(std::clamp<std::int64_t>(Round(value), 0, 255));
}

template <typename T>
int IndexOf(const std::vector<T>& list, T value)
{
    const auto it = std::find(list.begin(), list.end(), value);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

} // namespace

TDigitTallyList TallyDigits(const TDrawsArray& draws, int first, int last)
{
    TDigitTallyList tally;
    std::array<int, 10> entry;
    entry.fill(-1);
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(draws.size()) - 1);
    for (int i = last; i >= first; --i) {
        const TDrawRec& draw = draws[static_cast<size_t>(i)];
        for (const std::uint8_t digit : draw.Digits) {
            if (digit > 9)
                continue;
            int& at = entry[digit];
            if (at < 0) {
                at = static_cast<int>(tally.size());
                tally.push_back({digit, 1, static_cast<std::int64_t>(draw.Number)});
            } else {
                ++tally[static_cast<size_t>(at)].Count;
            }
        }
    }
    return tally;
}

TDrawWindow LayoutWindow(int drawCount, int offset, int length)
{
    TDrawWindow window;
    const std::int64_t last = static_cast<std::int64_t>(drawCount) - 1 - std::max(offset, 0);
    if (last < 0 || length < 1)
        return window;
    window.Last = static_cast<int>(last);
    window.First = static_cast<int>(std::max<std::int64_t>(0, last - length + 1));
    return window;
}

std::uint32_t LayoutCellColor(int col, int row, int rowCount, int colCount, bool hasCurrentDigit,
                              bool gradient)
{
    if (hasCurrentDigit)
        return LayoutColorCurrent;
    if (gradient && rowCount > 0 && colCount > 0) {
        const long double down = 155.0L * row / rowCount;
        const long double across = 155.0L * col / colCount;
        const int red = Channel(255 - down);
        const int green = Channel(255 - across);
        const int blue = Channel(100 + down);
        return static_cast<std::uint32_t>(red << 16 | green << 8 | blue);
    }
    return InBlock(row) != InBlock(col) ? LayoutColorPaleRed : LayoutColorPaleGreen;
}

// --- TLayoutGrid ------------------------------------------------------------------------

void TLayoutGrid::Clear()
{
    FCounts.clear();
    FNumbers.clear();
    FCells.clear();
    FCurrent.clear();
    FTally.clear();
}

void TLayoutGrid::Build(const TDrawsArray& draws, int offset, int length, const TDigitSet& current)
{
    Clear();
    const TDrawWindow window = LayoutWindow(static_cast<int>(draws.size()), offset, length);
    if (window.IsEmpty())
        return;
    FTally = TallyDigits(draws, window.First, window.Last);
    for (const TDigitTally& entry : FTally) {
        if (IndexOf(FCounts, entry.Count) < 0)
            FCounts.push_back(entry.Count);
        if (IndexOf(FNumbers, entry.Number) < 0)
            FNumbers.push_back(entry.Number);
    }
    std::sort(FCounts.begin(), FCounts.end(), std::greater<>());
    std::sort(FNumbers.begin(), FNumbers.end(), std::greater<>());
    const size_t cols = FNumbers.size();
    FCells.assign(FCounts.size() * cols, QString());
    FCurrent.assign(FCells.size(), false);
    for (const TDigitTally& entry : FTally) {
        const size_t at = static_cast<size_t>(IndexOf(FCounts, entry.Count)) * cols
                          + static_cast<size_t>(IndexOf(FNumbers, entry.Number));
        QString text = NumToStr(entry.Digit);
        if (current.test(static_cast<size_t>(entry.Digit))) {
            text = QLatin1Char('[') + text + QLatin1Char(']');
            FCurrent[at] = true;
        }
        QString& cell = FCells[at];
        cell = cell.isEmpty() ? text : cell + QStringLiteral(", ") + text;
    }
}

QString TLayoutGrid::CellText(int col, int row) const
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount() || (col == 0 && row == 0))
        return QString();
    if (row == 0)
        return NumberText(FNumbers[static_cast<size_t>(col - 1)]);
    if (col == 0)
        return SumToStr(FCounts[static_cast<size_t>(row - 1)]);
    return FCells[static_cast<size_t>(row - 1) * FNumbers.size() + static_cast<size_t>(col - 1)];
}

bool TLayoutGrid::HasCurrentDigit(int col, int row) const
{
    if (col < 1 || row < 1 || col >= ColCount() || row >= RowCount())
        return false;
    return FCurrent[static_cast<size_t>(row - 1) * FNumbers.size() + static_cast<size_t>(col - 1)];
}

TFilterSelection TLayoutGrid::Selection(int left, int top, int right, int bottom) const
{
    TFilterSelection selection;
    for (int col = std::max(left, 1); col <= right && col < ColCount(); ++col) {
        for (int row = std::max(top, 1); row <= bottom && row < RowCount(); ++row) {
            const QString cell = CellText(col, row);
            if (cell.isEmpty())
                continue;
            for (QString word : cell.split(QLatin1Char(','))) {
                word.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
                word = word.trimmed();
                if (word.isEmpty())
                    continue;
                const int digit = StrToNum(word);
                if (digit >= 0 && digit <= 9)
                    selection.AddDigit(digit, word);
            }
        }
    }
    return selection;
}

// --- Compare lists ----------------------------------------------------------------------

TLayoutCompareList LayoutCompareList(const TDrawsArray& draws, int offset, int length)
{
    TLayoutCompareList list;
    const TDrawWindow window = LayoutWindow(static_cast<int>(draws.size()), offset, length);
    if (window.IsEmpty())
        return list;
    list.Caption = NumberText(draws[static_cast<size_t>(window.First)].Number) + QStringLiteral(" - ")
                   + NumberText(draws[static_cast<size_t>(window.Last)].Number);
    for (const TDigitTally& entry : TallyDigits(draws, window.First, window.Last)) {
        const auto row = std::find_if(list.Rows.begin(), list.Rows.end(),
                                      [&](const TLayoutCompareRow& r) { return r.Count == entry.Count; });
        if (row != list.Rows.end())
            row->Digits += QStringLiteral(", ") + NumToStr(entry.Digit);
        else
            list.Rows.push_back({entry.Count, NumToStr(entry.Digit)});
    }
    std::stable_sort(list.Rows.begin(), list.Rows.end(),
                     [](const TLayoutCompareRow& a, const TLayoutCompareRow& b) { return a.Count > b.Count; });
    return list;
}

// --- TLayoutView ------------------------------------------------------------------------

TLayoutKey TLayoutView::MakeKey(const TDrawsArray& draws, int offset, int length)
{
    return {true, ArchiveStamp(draws), offset, length};
}

bool TLayoutView::NeedsGrid(const TDrawsArray& draws, int offset, int length, bool force) const
{
    return force || !(MakeKey(draws, offset, length) == FGridKey);
}

bool TLayoutView::NeedsCompare(const TDrawsArray& draws, int offset, bool force) const
{
    return force || !(MakeKey(draws, offset, 0) == FCompareKey);
}

void TLayoutView::BuildGrid(const TDrawsArray& draws, int offset, int length, const TDigitSet& current)
{
    // A build that fails part-way leaves no key, so the next refresh computes again.
    FGridKey = TLayoutKey();
    FGrid.Build(draws, offset, length, current);
    FGridKey = MakeKey(draws, offset, length);
}

void TLayoutView::BuildCompare(const TDrawsArray& draws, int offset,
                               const std::array<int, LayoutCompareCount>& lengths)
{
    FCompareKey = TLayoutKey();
    for (int k = 0; k < LayoutCompareCount; ++k)
        FCompare[static_cast<size_t>(k)] = LayoutCompareList(draws, offset, lengths[static_cast<size_t>(k)]);
    FCompareKey = MakeKey(draws, offset, 0);
}

void TLayoutView::ResetKeys()
{
    FGridKey = TLayoutKey();
    FCompareKey = TLayoutKey();
}
