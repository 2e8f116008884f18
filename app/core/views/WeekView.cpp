#include "app/core/views/WeekView.h"

#include "app/core/stats/ArchiveStamp.h"
#include "engine/KelmaMsg.h"
#include "engine/PrjConst.h"
#include "platform/DateTime.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "support/RLngDLL.h"
#include "support/RVclUtils.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

// The language the day names follow: the current interface language, before the languages
// are set up the built-in one.
QLocale InterfaceLocale()
{
    LCID lcid = GetCurrentLanguage();
    if (lcid == 0)
        lcid = GetDefaultLanguage();
    if (lcid == 0)
        lcid = LANG_RUSSIAN_RU;
    return GetLanguageLocale(lcid);
}

} // namespace

int WeekdayOfDrawKey(const QString& key)
{
    TDateTime date = 0;
    try {
        date = ParseDrawDate(key);
    } catch (const Exception&) {
        return 0;
    }
    // A key whose fields are out of range reads as day 0 (with the draw's time), which is no
    // draw date either.
    if (!std::isfinite(date) || date < 1)
        return 0;
    // DayOfWeek counts from Sunday = 1.
    const int day = DayOfWeek(date);
    if (day < 1 || day > 7)
        return 0;
    return day == 1 ? 7 : day - 1;
}

TWeekView::TKey TWeekView::MakeKey(int length) const
{
    TKey key;
    key.Archive = ArchiveStamp(FState.FDraws);
    key.Dates = ArchiveKeysFingerprint(FState.FDraws);
    key.Offset = FState.DrawsOffset();
    key.Length = length;
    return key;
}

bool TWeekView::Calc(int length, bool force)
{
    const TKey key = MakeKey(length);
    if (!force && FKey && *FKey == key)
        return false;
    FKey = key;

    TBusyScope busy(LoadResString(rsBuildingWeekStat));
    for (auto& row : FCounts)
        row.fill(0);
    FMaxCount = 0;

    const TDrawsArray& draws = FState.FDraws;
    const std::int64_t last = static_cast<std::int64_t>(draws.size()) - 1 - FState.DrawsOffset();
    const std::int64_t first = std::max<std::int64_t>(0, last - std::max(length, 1) + 1);
    for (std::int64_t i = first; i <= last; ++i) {
        const TDrawRec& draw = draws[static_cast<std::size_t>(i)];
        const int weekday = WeekdayOfDrawKey(draw.Key.Get());
        if (weekday == 0)
            continue;
        for (const std::uint8_t digit : draw.Digits)
            if (digit < WeekDigitCount)
                ++FCounts[digit][static_cast<std::size_t>(weekday - 1)];
    }
    for (const auto& row : FCounts)
        for (const int count : row)
            FMaxCount = std::max(FMaxCount, count);
    return true;
}

int TWeekView::Count(int digit, int weekday) const
{
    if (digit < 0 || digit >= WeekDigitCount || weekday < 1 || weekday > WeekDayCount)
        return 0;
    return FCounts[static_cast<std::size_t>(digit)][static_cast<std::size_t>(weekday - 1)];
}

QString TWeekView::DayName(int weekday)
{
    if (weekday < 1 || weekday > WeekDayCount)
        return QString();
    // QLocale numbers the days from Monday = 1, as the grid does.
    return InterfaceLocale().dayName(weekday, QLocale::ShortFormat);
}

QString TWeekView::CellText(int col, int row) const
{
    if (col < 0 || col >= WeekColCount || row < 0 || row >= WeekRowCount)
        return QString();
    if (row == 0)
        return col == 0 ? QString() : NumToStr(col - 1);
    if (col == 0)
        return DayName(row);
    const int count = Count(col - 1, row);
    return count == 0 ? QString() : SumToStr(count);
}

std::optional<QRgb> TWeekView::CellColor(int col, int row) const
{
    const int count = Count(col - 1, row);
    if (FMaxCount <= 0 || count <= 0)
        return std::nullopt;
    // White for nothing, pure red for the largest count; the shade rounds halves to even.
    const long double share = static_cast<long double>(count) * 255 / FMaxCount;
    const int g = std::clamp(255 - static_cast<int>(Round(share)), 0, 255);
    return qRgb(255, g, g);
}

std::vector<TWeekChartPoint> TWeekView::ChartPoints(int col, int row, bool byDays) const
{
    std::vector<TWeekChartPoint> points;
    if (byDays) {
        const int c = std::clamp(col, 1, WeekDigitCount);
        for (int r = 1; r <= WeekDayCount; ++r)
            points.push_back({r, Count(c - 1, r), DayName(r)});
    } else {
        const int r = std::clamp(row, 1, WeekDayCount);
        for (int c = 1; c <= WeekDigitCount; ++c)
            points.push_back({c, Count(c - 1, r), NumToStr(c - 1)});
    }
    return points;
}

TFilterSelection TWeekView::Selection(int left, int right)
{
    TFilterSelection selection;
    for (int col = std::max(left, 1); col <= std::min(right, WeekDigitCount); ++col)
        selection.AddDigit(col - 1, NumToStr(col - 1));
    return selection;
}
