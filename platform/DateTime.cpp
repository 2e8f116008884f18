#include "platform/DateTime.h"
#include "platform/ResString.h"

#include <QLocale>
#include <QTime>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const TResString SDateEncodeError = RESSTR("DateTime", "Invalid argument to date encode");
const TResString STimeEncodeError = RESSTR("DateTime", "Invalid argument to time encode");

constexpr std::int64_t MSecsPerDay = 86400000;
// Day numbers of 1 January 0001 and 31 December 9999.
constexpr std::int64_t MinDay = -693593;
constexpr std::int64_t MaxDay = 2958465;

std::int64_t BaseJulianDay()
{
    static const std::int64_t base = QDate(1899, 12, 30).toJulianDay();
    return base;
}

// A value split into its day number and the milliseconds since that day's midnight.
struct TStamp {
    bool Valid = false;
    std::int64_t Day = 0;
    int MSec = 0;
};

TStamp Split(TDateTime value)
{
    TStamp s;
    if (!std::isfinite(value))
        return s;
    // Whole milliseconds first: a naive floor of the fraction turns 13:00 into 12:59:59.999,
    // and 23:59:59.9996 carries into the next day.
    const long double total = std::nearbyint(static_cast<long double>(value) * MSecsPerDay);
    constexpr long double limit = (MaxDay + 2) * static_cast<long double>(MSecsPerDay);
    if (!(std::fabs(total) < limit))
        return s;
    const auto ms = static_cast<std::int64_t>(total);
    // Before 1899-12-30 the day counts down while the time of day still counts forward.
    s.Day = ms / MSecsPerDay;
    s.MSec = static_cast<int>(std::llabs(ms % MSecsPerDay));
    s.Valid = s.Day >= MinDay && s.Day <= MaxDay;
    return s;
}

TDateTime Combine(std::int64_t day, int msec)
{
    const double time = static_cast<double>(msec) / MSecsPerDay;
    return day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time;
}

QChar SeparatorIn(const QString& pattern, QChar fallback)
{
    bool quoted = false;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !c.isLetter() && !c.isSpace())
            return c;
    }
    return fallback;
}

QString Number(int value, int digits)
{
    return QString::number(value).rightJustified(digits, QLatin1Char('0'));
}

bool StartsWithCI(const QString& s, qsizetype i, const char* what)
{
    return s.mid(i, static_cast<qsizetype>(std::strlen(what))).compare(QLatin1String(what), Qt::CaseInsensitive) == 0;
}

// An am/pm marker anywhere after position i (outside quotes) makes 'h' a 12-hour clock.
// Where the last am/pm marker outside quotes begins; -1 when there is none. An hour is
// written on the twelve-hour clock when such a marker follows it. Found once per pattern, so
// that formatting stays linear in the pattern's length however many hours it holds.
qsizetype LastTwelveHourMarker(const QString& format)
{
    qsizetype last = -1;
    QChar quote;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (StartsWithCI(format, i, "am/pm") || StartsWithCI(format, i, "a/p")
                   || StartsWithCI(format, i, "ampm")) {
            last = i;
        }
    }
    return last;
}

} // namespace

bool IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1
        && day <= DaysInMonth(year, month);
}

int DaysInMonth(int year, int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return days[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result)
{
    if (!IsValidDate(year, month, day))
        return false;
    result = static_cast<double>(QDate(year, month, day).toJulianDay() - BaseJulianDay());
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59
        || msec < 0 || msec > 999)
        return false;
    result = static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime result = 0;
    if (!TryEncodeDate(year, month, day, result))
        throw EConvertError(LoadResString(SDateEncodeError));
    return result;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime result = 0;
    if (!TryEncodeTime(hour, minute, second, msec, result))
        throw EConvertError(LoadResString(STimeEncodeError));
    return result;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec)
{
    const TDateTime date = EncodeDate(year, month, day);
    EncodeTime(hour, minute, second, msec);   // validates
    return Combine(static_cast<std::int64_t>(date), ((hour * 60 + minute) * 60 + second) * 1000 + msec);
}

void DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    const TStamp s = Split(value);
    if (!s.Valid) {
        year = month = day = 0;
        return;
    }
    QDate::fromJulianDay(BaseJulianDay() + s.Day).getDate(&year, &month, &day);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec)
{
    const TStamp s = Split(value);
    const int t = s.Valid ? s.MSec : 0;
    hour = t / 3600000;
    minute = t / 60000 % 60;
    second = t / 1000 % 60;
    msec = t % 1000;
}

void DecodeDateTime(TDateTime value, int& year, int& month, int& day,
                    int& hour, int& minute, int& second, int& msec)
{
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, msec);
}

int HourOf(TDateTime value)
{
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(value, h, m, s, ms);
    return h;
}

int DayOfWeek(TDateTime value)
{
    const TStamp s = Split(value);
    if (!s.Valid)
        return 0;
    // Qt counts Monday = 1 ... Sunday = 7.
    return QDate::fromJulianDay(BaseJulianDay() + s.Day).dayOfWeek() % 7 + 1;
}

TDateTime DateOf(TDateTime value)
{
    const TStamp s = Split(value);
    return s.Valid ? static_cast<double>(s.Day) : 0.0;
}

TDateTime TimeOf(TDateTime value)
{
    const TStamp s = Split(value);
    return s.Valid ? static_cast<double>(s.MSec) / MSecsPerDay : 0.0;
}

TDateTime IncDay(TDateTime value, int days)
{
    const TStamp s = Split(value);
    if (!s.Valid)
        return value + days;
    return Combine(s.Day + days, s.MSec);
}

QDate ToQDate(TDateTime value)
{
    const TStamp s = Split(value);
    return s.Valid ? QDate::fromJulianDay(BaseJulianDay() + s.Day) : QDate();
}

QDateTime ToQDateTime(TDateTime value)
{
    const TStamp s = Split(value);
    if (!s.Valid)
        return QDateTime();
    return QDateTime(QDate::fromJulianDay(BaseJulianDay() + s.Day), QTime::fromMSecsSinceStartOfDay(s.MSec));
}

TDateTime FromQDate(const QDate& date)
{
    return date.isValid() ? static_cast<double>(date.toJulianDay() - BaseJulianDay()) : 0.0;
}

TDateTime FromQDateTime(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    return Combine(dateTime.date().toJulianDay() - BaseJulianDay(), dateTime.time().msecsSinceStartOfDay());
}

QChar DateSeparator()
{
    return SeparatorIn(QLocale().dateFormat(QLocale::ShortFormat), QLatin1Char('/'));
}

QChar TimeSeparator()
{
    return SeparatorIn(QLocale().timeFormat(QLocale::ShortFormat), QLatin1Char(':'));
}

QString FormatDateTime(const QString& format, TDateTime value)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
    DecodeDateTime(value, year, month, day, hour, minute, second, msec);
    const QLocale locale;
    const int qtDay = DayOfWeek(value) == 0 ? 0 : (DayOfWeek(value) + 5) % 7 + 1;

    QString out;
    char lastToken = ' ';
    const qsizetype n = format.size();
    const qsizetype twelveHourMarker = LastTwelveHourMarker(format);
    qsizetype i = 0;
    while (i < n) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            while (j < n && format.at(j) != c)
                ++j;
            out.append(format.mid(i + 1, j - i - 1));
            i = j + 1;
            continue;
        }
        const char16_t u = c.toUpper().unicode();
        char token = (u >= 'A' && u <= 'Z') ? static_cast<char>(u) : '\0';
        if (token == 'M' && lastToken == 'H')
            token = 'N';
        if (token != '\0')
            lastToken = token;
        int count = 1;
        if (token != '\0')
            while (i + count < n && format.at(i + count).toUpper() == c.toUpper())
                ++count;

        switch (token) {
        case 'Y':
            out.append(count <= 2 ? Number(year % 100, 2) : Number(year, 4));
            break;
        case 'M':
            if (count <= 2)
                out.append(Number(month, count));
            else if (month >= 1)
                out.append(locale.standaloneMonthName(month, count == 3 ? QLocale::ShortFormat : QLocale::LongFormat));
            break;
        case 'D':
            if (count <= 2)
                out.append(Number(day, count));
            else if (qtDay >= 1)
                out.append(locale.dayName(qtDay, count == 3 ? QLocale::ShortFormat : QLocale::LongFormat));
            break;
        case 'H': {
            int h = hour;
            if (twelveHourMarker >= i + count) {
                h = hour % 12;
                if (h == 0)
                    h = 12;
            }
            out.append(Number(h, std::min(count, 2)));
            break;
        }
        case 'N':
            out.append(Number(minute, std::min(count, 2)));
            break;
        case 'S':
            out.append(Number(second, std::min(count, 2)));
            break;
        case 'Z':
            out.append(Number(msec, count >= 3 ? 3 : 1));
            break;
        case 'A':
            count = 1;
            if (StartsWithCI(format, i, "am/pm")) {
                out.append(hour < 12 ? format.mid(i, 2) : format.mid(i + 3, 2));
                count = 5;
            } else if (StartsWithCI(format, i, "a/p")) {
                out.append(hour < 12 ? format.at(i) : format.at(i + 2));
                count = 3;
            } else if (StartsWithCI(format, i, "ampm")) {
                out.append(hour < 12 ? locale.amText() : locale.pmText());
                count = 4;
            } else {
                out.append(c);
            }
            break;
        default:
            count = 1;
            if (c == QLatin1Char('/'))
                out.append(DateSeparator());
            else if (c == QLatin1Char(':'))
                out.append(TimeSeparator());
            else
                out.append(c);
            break;
        }
        i += count;
    }
    return out;
}
