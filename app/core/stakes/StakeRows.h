#pragma once

#include "engine/KelmaStakes.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// The stakes grid: one fixed header row, then one row per record of the stakes file.
inline constexpr int StakeColumnCount = 9;
inline constexpr int StakeColStaked = 2;   // staked digits, drawn digit by digit
inline constexpr int StakeColDrawn = 4;    // drawn digits, drawn digit by digit
inline constexpr int StakeColProfit = 7;
inline constexpr int StakeColComment = 8;

// The header texts and the widths of the columns.
QStringList StakeColumnCaptions();
int StakeColumnWidth(int col);

// What one record of the stakes file shows in the grid. A separator, a damaged record and a
// record that could not be read are empty rows: no texts, no colours.
struct TStakeRowView {
    bool Empty = true;
    bool Checked = false;
    std::array<QString, StakeColumnCount> Texts;
    // Background by origin as 0xRRGGBB; none: the window colour.
    std::optional<std::uint32_t> Background;
    // The digits of the staked and drawn columns, each marked when it matches the digit at the
    // same position of the other column (checked stakes only).
    QStringList StakedDigits;
    QStringList DrawnDigits;
    std::array<bool, 4> StakedMatch{};
    std::array<bool, 2> DrawnMatch{};
    // Text colour of the matches and profit columns of a checked stake as 0xRRGGBB: green when
    // the balance is above 0, red otherwise; none before checking.
    std::optional<std::uint32_t> ResultColor;
};

TStakeRowView StakeRowView(const TStakeRec& rec);
inline TStakeRowView EmptyStakeRow() { return {}; }

// The text of a cell of a stake row; a column outside the grid names itself.
QString StakeCellText(const TStakeRowView& view, int col, int row);
