#pragma once

#include "engine/KelmaUtils.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// The checks and conversions behind the engine settings dialogs, kept apart from the widgets:
// the payout table as the lines of a value list, the cells of the segments grid, the limits
// of the channel size and the groups of methods whose values a settings edit changes.

// Statistic groups whose values follow the engine settings, and their bits in a group mask
// (bit g stands for group g; a mask names the groups whose cached distributions are stale).
inline constexpr int ChannelsGroup = 3;
inline constexpr int MatrixGroup = 4;
inline constexpr int SegmentsGroup = 5;
inline constexpr int ShreddingGroup = 12;
constexpr std::uint16_t GroupMaskBit(int group) { return static_cast<std::uint16_t>(1u << group); }
inline constexpr std::uint16_t ChannelsGroupMask = GroupMaskBit(ChannelsGroup);     // 8
inline constexpr std::uint16_t MatrixGroupMask = GroupMaskBit(MatrixGroup);         // 16
inline constexpr std::uint16_t SegmentsGroupMask = GroupMaskBit(SegmentsGroup);     // 32
inline constexpr std::uint16_t ShreddingGroupMask = GroupMaskBit(ShreddingGroup);   // 4096

// The groups whose values differ between two configurations: the matrix group when the
// column count changed, the channels group when the channel size changed, the segments group
// when the segments changed. Cost, payouts and weights change no statistic value.
std::uint16_t ConfigChangeMask(const TConfigData& before, const TConfigData& after);

// ---------------------------------------------------------------------------------------
// Payouts

// The payout table shows one line per number of matched positions of a draw.
inline constexpr int ProfitLineCount = 3;

// "k=amount" for k = 0, 1, 2 with two decimals in the locale's separator; the amount is that
// of the table's entry for k matched positions (the one a stake's balance uses), 0.00 when the
// table has none.
QStringList ProfitsToLines(const TProfitsArray& profits);

// A money amount as the engine keeps it (value × 10 000, rounded); nothing when that does not
// fit the money type.
std::optional<TCurrency> MoneyFromValue(long double value);

// The most a stake's cost or a payout may be: the settings file is read back only within
// 0..MaxStakeMoney units, so an amount outside would be saved and then lost as 0.
inline constexpr std::int64_t MaxStakeMoney = 10000000;

// A cost or a payout as it can be kept: the money amount (rounded to a ten-thousandth) when
// it lies within 0..MaxStakeMoney, nothing otherwise.
std::optional<TCurrency> StakeMoneyFromValue(long double value);

// One payout entry per line "name=value": the matched positions are the integer of the name
// (0 when it is not an integer of 0..255), the amount the value read as a number (0 when it
// is not one). A line whose amount cannot be kept (StakeMoneyFromValue, which also refuses a
// number too long for any floating type) makes the whole table fail: the result is empty and
// badLine (when given) gets the line's index.
std::optional<TProfitsArray> LinesToProfits(const QStringList& lines, int* badLine = nullptr);

// The message that refuses a payout amount too large to keep (a long text shown in part).
QString ProfitTooLargeMessage(const QString& valueText);
// The message that refuses a stake cost too large to keep.
QString CostTooLargeMessage(long double value);
// The message that refuses a payout that cannot be kept: below zero or too large.
QString ProfitRefusedMessage(const QString& valueText);
// The message that refuses a stake cost that cannot be kept: below zero or too large.
QString CostRefusedMessage(long double value);

// A payout value as it may be typed: digits and the decimal separator only. Either ',' or
// '.' stands for the separator and becomes the locale's own; every other character is dropped
// (keys that edit the text never reach it).
QString TypedProfitText(const QString& text);

// ---------------------------------------------------------------------------------------
// Segments grid: one column per position of the draw, one row per digit.

inline constexpr int SegmentColumns = DrawDigits;   // 2
inline constexpr int SegmentRows = DigitValues;     // 10
inline constexpr int SegmentCellCount = SegmentColumns * SegmentRows;
inline constexpr int MinSegment = 1;
inline constexpr int MaxSegment = 9;

// A cell may be empty while it is edited; otherwise it holds an integer of 1..9.
bool IsSegmentCellText(const QString& text);
// A character that may be typed into a cell: a digit (keys that edit the text never reach it).
bool IsSegmentCellChar(QChar c);
// The cell's segment: its integer, 1 when it is empty or not an integer of 1..9.
int SegmentCellValue(const QString& text);
// "Некорректное значение: 12!\n\nУкажите любое число от 1 до 9".
QString BadSegmentMessage(const QString& text);

// The cells column by column (position 1 digits 0..9, then position 2) and back.
std::array<QString, SegmentCellCount> SegmentsToCells(const TMatrixSegments& segments);
TMatrixSegments CellsToSegments(const std::array<QString, SegmentCellCount>& cells);

// ---------------------------------------------------------------------------------------
// Limits of the other fields

inline constexpr int MinChannelSize = 1;
inline constexpr int MaxChannelSize = 10;
inline constexpr int MinMatrixCols = 1;
inline constexpr int MaxMatrixCols = 10;
inline constexpr int MinFormulaDigits = 1;
inline constexpr int MaxFormulaDigits = 5;

bool IsChannelSize(int size);
