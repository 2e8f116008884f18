#include "support/RDateUtils.h"

#include "platform/DelphiText.h"

#include <QTimeZone>

#include <utility>

namespace {

TClock& Clock()
{
    static TClock clock;
    return clock;
}

// Fixed positions of "yyyy-mm-dd hh:nn:ss"; the separators are not looked at.
TDateTime ReadIsoFields(const QString& text)
{
    const auto field = [&text](int from, int length) { return StrToInt(text.mid(from, length)); };
    return EncodeDateTime(field(0, 4), field(5, 2), field(8, 2), field(11, 2), field(14, 2),
                          field(17, 2), 0);
}

} // namespace

TDateTime UtcToLocalTime(TDateTime utc)
{
    int year, month, day, hour, minute, second, msec;
    DecodeDateTime(utc, year, month, day, hour, minute, second, msec);
    const QDateTime moment(QDate(year, month, day), QTime(hour, minute, second, msec),
                           QTimeZone::utc());
    return FromQDateTime(moment.toLocalTime());
}

TDateTime StrUtcToLocal(const QString& text)
{
    if (text.isEmpty())
        return 0;
    return UtcToLocalTime(ReadIsoFields(text));
}

TDateTime StrToDateTimeIso(const QString& text)
{
    return ReadIsoFields(text);
}

TClock SetClock(TClock clock)
{
    return std::exchange(Clock(), std::move(clock));
}

QDateTime ClockCurrentDateTime()
{
    const TClock& clock = Clock();
    return clock ? clock().toLocalTime() : QDateTime::currentDateTime();
}

TDateTime ClockNow()
{
    return FromQDateTime(ClockCurrentDateTime());
}

TDateTime ClockToday()
{
    return DateOf(ClockNow());
}
