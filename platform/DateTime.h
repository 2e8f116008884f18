#pragma once

#include "platform/Exceptions.h"

#include <QDate>
#include <QDateTime>
#include <QString>

// The date-time value of the original: days since 30 December 1899 as the integer part,
// the time of day as the fraction. Before that day the integer part is negative and the
// fraction still counts forward from midnight (-1.25 is 29 December 1899 06:00).
using TDateTime = double;

// Raise EConvertError for an impossible date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec);

// Decoding goes through whole milliseconds, rounded, so 13:00 stored as a double is 13:00.
// A value outside 0001-01-01 .. 9999-12-31 (or NaN) decodes as all zeros.
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);
void DecodeDateTime(TDateTime value, int& year, int& month, int& day,
                    int& hour, int& minute, int& second, int& msec);

int HourOf(TDateTime value);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime value);
bool IsValidDate(int year, int month, int day);
int DaysInMonth(int year, int month);

// The integral day part and the time part.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);
TDateTime IncDay(TDateTime value, int days);

QDate ToQDate(TDateTime value);
QDateTime ToQDateTime(TDateTime value);          // local time, whole milliseconds
TDateTime FromQDate(const QDate& date);
TDateTime FromQDateTime(const QDateTime& dateTime);

// FormatDateTime with the original's pattern letters: d dd ddd dddd m mm mmm mmmm yy yyyy
// h hh n nn s ss z zzz, am/pm, 'quoted' and "quoted" literals; '/' and ':' are the locale's
// date and time separators (quote them, as in "mm'/'dd'/'yyyy", to write them literally).
// An 'm' right after h/hh means minutes.
QString FormatDateTime(const QString& format, TDateTime value);

// The locale's date and time separators.
QChar DateSeparator();
QChar TimeSeparator();
