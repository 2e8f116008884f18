#include "app/core/views/CardView.h"

#include "engine/PrjConst.h"

#include <algorithm>

TCardKey TCardView::KeyOf(const TDrawsArray& draws)
{
    TCardKey key;
    key.Valid = true;
    key.Archive = ArchiveStamp(draws);
    return key;
}

bool TCardView::Refresh(const TDrawsArray& draws, bool force)
{
    const TCardKey key = KeyOf(draws);
    if (!force && key == FKey)
        return false;
    FRows.resize(draws.size());
    const std::size_t n = draws.size();
    for (std::size_t i = 0; i < n; ++i) {
        const TDrawRec& draw = draws[n - 1 - i];
        TRow& row = FRows[i];
        row.Number = draw.Number;
        row.Digits = 0;
        // A digit outside 0..9 (a damaged record) has no column and is left out.
        for (const std::uint8_t d : draw.Digits)
            if (d <= DigitMax)
                row.Digits = static_cast<std::uint16_t>(row.Digits | (1u << d));
    }
    FKey = key;
    return true;
}

std::uint16_t TCardView::DigitsOf(int row) const
{
    if (row < 1 || row > static_cast<int>(FRows.size()))
        return 0;
    return FRows[static_cast<std::size_t>(row - 1)].Digits;
}

bool TCardView::HasDigit(int row, int d) const
{
    return d >= DigitMin && d <= DigitMax && ((DigitsOf(row) >> d) & 1u) != 0;
}

QString TCardView::CellText(int col, int row) const
{
    if (col < 0 || col >= ColCount || row < 0 || row >= RowCount())
        return QString();
    if (row == 0)
        return col >= FirstDigitCol ? NumToStr(col - FirstDigitCol) : QString();
    if (col == 0) {
        if (row > static_cast<int>(FRows.size()))
            return QString();
        // Draw numbers are unsigned 32-bit: a large one must not come out negative.
        return QString::number(FRows[static_cast<std::size_t>(row - 1)].Number);
    }
    const int d = col - FirstDigitCol;
    return HasDigit(row, d) ? NumToStr(d) : QString();
}

std::optional<std::uint32_t> TCardView::CellColor(int col, int row, const TCardColoring& coloring) const
{
    if (col < FirstDigitCol || col > LastDigitCol || row < 1 || row >= RowCount())
        return std::nullopt;
    const int d = col - FirstDigitCol;
    if (coloring.Sequences && HasDigit(row, d)) {
        // A cell repeats when the draw above or below has the same digit (the caption row does
        // not count); it has a neighbour when the next lower or higher digit is in its draw.
        const bool repeat = (row > 1 && HasDigit(row - 1, d)) || HasDigit(row + 1, d);
        const bool neighbour = HasDigit(row, d - 1) || HasDigit(row, d + 1);
        if (repeat && neighbour)
            return CardRepeatNeighbourColor;
        if (repeat)
            return CardRepeatColor;
        if (neighbour)
            return CardNeighbourColor;
    }
    if (coloring.Channels)
        return ChannelColor(d, coloring.ChannelSize);
    return std::nullopt;
}

TFilterSelection TCardView::Selection(int left, int top, int right, int bottom) const
{
    TFilterSelection selection;
    left = std::max(left, FirstDigitCol);
    right = std::min(right, LastDigitCol);
    top = std::max(top, 1);
    bottom = std::min(bottom, static_cast<int>(FRows.size()));
    if (top > bottom)
        return selection;
    for (int col = left; col <= right; ++col) {
        // A column only ever holds its own digit: the first non-empty cell of the column in
        // the rectangle decides, and the digit is added at most once.
        const int d = col - FirstDigitCol;
        for (int row = top; row <= bottom; ++row) {
            if (HasDigit(row, d)) {
                const QString text = CellText(col, row);
                selection.AddDigit(StrToNum(text), text);
                break;
            }
        }
    }
    return selection;
}
