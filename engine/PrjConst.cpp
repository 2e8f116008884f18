#include "engine/PrjConst.h"

#include "platform/DelphiText.h"

#include <cmath>

QString NumToStr(int value)
{
    return QString::number(value);
}

QString ExtToStr(int value)
{
    return QString::number(value);
}

QString SumToStr(int value)
{
    return QString::number(value);
}

int StrToNum(const QString& text)
{
    return StrToIntDef(text, 0);
}

int StrToDigit(const QString& text)
{
    return StrToIntDef(text, 0);
}

QString DrawDateToStr(TDateTime value)
{
    // The slashes are quoted so that the locale's date separator never leaks into a key.
    const QString date = FormatDateTime(QStringLiteral("mm'/'dd'/'yyyy"), value);
    const int hour = HourOf(value);
    const QChar letter = (hour >= 1 && hour <= 13) ? QChar(DrawLetterMidday) : QChar(DrawLetterEvening);
    return date + QLatin1Char(' ') + letter;
}

namespace {

// The draws' minutes of the day: midday at 13:00, evening at 19:57.
constexpr int kMiddayMinute = 13 * 60;
constexpr int kEveningMinute = 19 * 60 + 57;

// The minute of the day of a moment, whole: a day's fraction is not exact in binary.
int MinuteOfDay(TDateTime moment, TDateTime day)
{
    return static_cast<int>(std::round((moment - day) * 1440.0));
}

TDateTime AtMinute(TDateTime day, int minute)
{
    return day + EncodeTime(minute / 60, minute % 60, 0, 0);
}

} // namespace

TDateTime LatestDrawBy(TDateTime moment)
{
    const TDateTime day = std::floor(moment);
    const int minute = MinuteOfDay(moment, day);
    if (minute >= kEveningMinute)
        return AtMinute(day, kEveningMinute);
    if (minute >= kMiddayMinute)
        return AtMinute(day, kMiddayMinute);
    return AtMinute(day - 1, kEveningMinute);
}

TDateTime DrawAfter(TDateTime moment)
{
    const TDateTime day = std::floor(moment);
    const int minute = MinuteOfDay(moment, day);
    if (minute < kMiddayMinute)
        return AtMinute(day, kMiddayMinute);
    if (minute < kEveningMinute)
        return AtMinute(day, kEveningMinute);
    return AtMinute(day + 1, kMiddayMinute);
}

TDateTime StrToDrawDate(const QString& text)
{
    const int month = StrToNum(text.mid(0, 2));
    const int day = StrToNum(text.mid(3, 2));
    const int year = StrToNum(text.mid(6, 4));

    TDateTime result = 0;
    if (day >= 1 && day <= 31 && month >= 1 && month <= 12 && year >= 1901 && year <= 2998)
        result = EncodeDate(year, month, day);   // 30 February raises here

    // The letter's time is added even to day 0, so a key with a bad date keeps its draw time.
    if (text.size() >= 12) {
        const QChar letter = text.at(11).toUpper();
        if (letter == QLatin1Char(DrawLetterMidday))
            result = AtMinute(result, kMiddayMinute);
        else if (letter == QLatin1Char(DrawLetterEvening))
            result = AtMinute(result, kEveningMinute);
    }
    return result;
}
