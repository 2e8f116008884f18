#pragma once

#include "platform/DateTime.h"

#include <QString>

#include <string_view>

// The game: two digits 0..9 per draw, two draws a day (midday "M" and evening "E").
// Everything that shows or reads a drawn value, a sum or a draw date goes through the
// functions below, so that the rest of the engine never formats one itself.

inline constexpr int DigitMin = 0;
inline constexpr int DigitMax = 9;
inline constexpr int DigitValues = DigitMax - DigitMin + 1;   // 10
inline constexpr int DrawDigits = 2;                         // positions per draw
inline constexpr int CombinationsTotal = 100;                // DigitValues ^ DrawDigits

// The operator's archive starts on 1 August 2016; an empty archive is filled from there.
inline constexpr int FirstDrawYear = 2016;
inline constexpr int FirstDrawMonth = 8;
inline constexpr int FirstDrawDay = 1;
inline constexpr TDateTime FirstDrawDate = 42583.0;          // 1 August 2016, 00:00

// Every data file beside the program is named after the program file.
inline constexpr char ProgramFileName[] = "Tavrix2_2r10";
#ifdef TAVRIX_PROGRAM_NAME
static_assert(std::string_view(ProgramFileName) == std::string_view(TAVRIX_PROGRAM_NAME),
              "the build and the engine must agree on the program file name");
#endif

// Draw keys: "mm/dd/yyyy M" for the midday draw, "mm/dd/yyyy E" for the evening one.
inline constexpr char DrawLetterMidday = 'M';
inline constexpr char DrawLetterEvening = 'E';

// Decimal text of a drawn value, of an extra value (the position statistic) and of a sum.
QString NumToStr(int value);
QString ExtToStr(int value);
QString SumToStr(int value);

// The integer that the text holds; 0 for any text that is not an integer.
int StrToNum(const QString& text);
int StrToDigit(const QString& text);

// "mm/dd/yyyy" and " M" for hours 1..13, " E" for 0 and 14..23.
QString DrawDateToStr(TDateTime value);
// Reads a draw key back: "M" gives 13:00, "E" 19:57. Fields out of range give day 0
// (the letter's time is still added); an impossible day of a month raises EConvertError.
TDateTime StrToDrawDate(const QString& text);
// The moment of the newest draw held by the given moment: that day's evening draw from 19:57,
// its midday draw from 13:00, else the evening draw of the day before.
TDateTime LatestDrawBy(TDateTime moment);
// The moment of the first draw after the given moment: that day's midday draw before 13:00, its
// evening draw before 19:57, else the midday draw of the next day.
TDateTime DrawAfter(TDateTime moment);
