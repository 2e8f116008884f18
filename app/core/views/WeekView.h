#pragma once

#include "app/core/shell/MainState.h"
#include "app/core/stats/ArchiveStamp.h"
#include "app/core/stats/StatFilter.h"

#include <QString>
// The colour type only (header-only, no link to the GUI library).
#include <QtGui/qrgb.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The weekday grid: 11 columns (the day names, then digits 0 to 9) and 8 rows (the digits,
// then Monday to Sunday). Column c shows digit c - 1, row w the weekday w (Monday = 1).
inline constexpr int WeekDigitCount = 10;
inline constexpr int WeekDayCount = 7;
inline constexpr int WeekColCount = WeekDigitCount + 1;
inline constexpr int WeekRowCount = WeekDayCount + 1;

// The weekday of a draw key, Monday = 1 ... Sunday = 7; 0 when the key holds no readable date.
int WeekdayOfDrawKey(const QString& key);

// A point of the weekday chart: its position, the number it stands for and its axis text.
struct TWeekChartPoint {
    int X = 0;
    int Y = 0;
    QString Label;

    bool operator==(const TWeekChartPoint&) const = default;
};

// How often each digit came out on each day of the week over the window of draws that ends
// DrawsOffset draws before the newest. No window: the view asks for texts and colours cell
// by cell, and the counts are kept as numbers.
class TWeekView {
public:
    explicit TWeekView(TMainState& state) : FState(state) {}

    // Counts the window of `length` draws. Without force nothing happens while the archive
    // (its draws, dates included), the offset and the length are those of the last count.
    // True when it counted.
    bool Calc(int length, bool force);
    // The next Calc counts whatever the key.
    void ResetKey() { FKey.reset(); }

    // Times digit 0..9 came out on weekday 1..7; 0 outside.
    int Count(int digit, int weekday) const;
    // The largest count, 0 when every count is 0.
    int MaxCount() const { return FMaxCount; }

    // The text of a grid cell: the digits in row 0, the short day names of the interface
    // language in column 0, a count (nothing for 0) elsewhere.
    QString CellText(int col, int row) const;
    // The tint of a count cell, red with green and blue falling from 255 (a count of 0) to 0
    // (the largest count); none for an empty cell, a header or while every count is 0.
    std::optional<QRgb> CellColor(int col, int row) const;
    // The short name of weekday 1..7 in the interface language; empty outside.
    static QString DayName(int weekday);

    // The chart of the current cell: byDays, the counts of its column per weekday (x = 1..7);
    // otherwise the counts of its row per digit (x = 1..10). A header coordinate is taken as
    // the first row or column of counts.
    std::vector<TWeekChartPoint> ChartPoints(int col, int row, bool byDays) const;

    // The digits of grid columns left..right (left to right, whatever rows were chosen) as a
    // filter selection: column c gives digit c - 1 with its text; the day-name column and
    // columns past the digits give nothing.
    static TFilterSelection Selection(int left, int right);

private:
    struct TKey {
        TArchiveStamp Archive;
        // The dates take part: a draw whose date was edited by hand moves to another day while
        // its number and digits stay.
        std::uint64_t Dates = 0;
        int Offset = 0;
        int Length = 0;
        bool operator==(const TKey&) const = default;
    };
    TKey MakeKey(int length) const;

    TMainState& FState;
    std::optional<TKey> FKey;
    std::array<std::array<int, WeekDayCount>, WeekDigitCount> FCounts{};
    int FMaxCount = 0;
};
