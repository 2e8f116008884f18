#pragma once

#include "platform/DateTime.h"

#include <QDateTime>

#include <functional>

// A UTC date-time as local time under the system's time zone (daylight saving included).
TDateTime UtcToLocalTime(TDateTime utc);
// "yyyy-mm-dd hh:nn:ss" read as UTC and turned into local time; the empty text gives 0.
// The fields are taken from fixed positions; a field that is not a number raises
// EConvertError, and so does an impossible date or time.
TDateTime StrUtcToLocal(const QString& text);
// "yyyy-mm-dd hh:nn:ss" read as it is (no conversion); the empty text raises as well.
TDateTime StrToDateTimeIso(const QString& text);

// ---------------------------------------------------------------------------------------------
// The clock. Everything that asks for "now" goes through it, so that tests can fix the time.

// Returns the current moment (in any time zone; it is turned into local time where needed).
using TClock = std::function<QDateTime()>;
// Installs a clock; an empty one restores the system clock. Returns the clock installed before.
TClock SetClock(TClock clock);
// The current moment as local time.
QDateTime ClockCurrentDateTime();
// The current moment as a local TDateTime, and its date alone.
TDateTime ClockNow();
TDateTime ClockToday();
