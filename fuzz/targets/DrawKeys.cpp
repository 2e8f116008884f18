// Draw-key dates, integer lists and ranges, the matrix segments, combinations and the text
// helpers that read what users and files type. Only StrToComb (Exception), IntToDate and
// IncDateInt (EConvertError) raise. Invariants: what is written as text reads back the same.
//
// Input: one byte of options, then the text.

#include "app/core/archive/DrawArchive.h"
#include "engine/KelmaUtils.h"
#include "engine/PrjConst.h"
#include "fuzz/FuzzTargets.h"
#include "platform/DateTime.h"
#include "platform/DelphiText.h"
#include "platform/WordUtils.h"
#include "support/RStrUtils.h"

void FuzzDrawKeys(const std::uint8_t* data, std::size_t size)
{
    TFuzzInput in(data, size);
    const std::uint8_t options = in.Byte();
    const QString text = QString::fromUtf8(in.Rest());

    // Draw-key dates "mm/dd/yyyy".
    try {
        const TDateTime date = ParseDrawDate(text);
        if (date > 0) {
            const QString shown = FormatDrawDateDefault(date);
            FuzzCheck(ParseDrawDateDefault(shown) == DateOf(date), "a draw date's text reads back as another date");
            FuzzCheck(shown.size() == 10, "a draw date's text is not ten characters");
        }
    } catch (const EConvertError&) {
    }

    // Integer lists "1,2;3" and ranges "lo-hi;step".
    TIntArray list;
    if (StrToIntList(text, list)) {
        TIntArray again;
        FuzzCheck(StrToIntList(IntListToStr(list, QStringLiteral(";")), again) && again == list,
                  "an integer list's text reads back as another list");
    }
    ParseIntValues(text, list);
    FuzzCheck(list.size() <= std::size_t(IntRangeMaxValues) || list.size() <= std::size_t(text.size()),
              "a range gives more values than allowed");
    StrToIntRange(text, list);
    FuzzCheck(list.size() <= std::size_t(IntRangeMaxValues), "a range gives more values than allowed");

    // Date integers yyyymmdd.
    int n = 0;
    if (TryStrToInt(text.left(12).trimmed(), n)) {
        try {
            const int day = DateToInt(IntToDate(n));
            FuzzCheck(day == n, "a date integer reads back as another date");
            IncDateInt(n, static_cast<std::int8_t>(options) * 400);
        } catch (const EConvertError&) {
        }
    }

    // Matrix segments: ten digits a row.
    const TMatrixSegments segments = StrToSegments(text);
    FuzzCheck(StrToSegments(SegmentsToStr(segments)) == segments, "the segments' text reads back differently");

    // Combinations "d;d" and the draw dialog's digits.
    try {
        const TCombWord comb = StrToComb(text);
        FuzzCheck(StrToComb(CombToStr(comb)) == comb, "a combination's text reads back as another");
        CombToDisplayStr(comb);
    } catch (const Exception&) {
    }
    std::uint8_t d1 = 0, d2 = 0;
    if (ParseDrawDigitsText(text, d1, d2)) {
        FuzzCheck(d1 <= 9 && d2 <= 9, "the draw dialog takes a digit outside 0..9");
        TDrawRec draw;
        draw.Digits = {d1, d2};
        FuzzCheck(ParseDrawDigitsText(DrawDigitsText(draw), d1, d2) && draw.Digits[0] == d1 && draw.Digits[1] == d2,
                  "the draw dialog's digits read back differently");
    }

    // Text helpers.
    const QString delimiters = options & 1 ? QStringLiteral(" ,;") : QStringLiteral("-");
    const int words = WordCount(text, delimiters);
    for (int i = 1; i <= std::min(words, 64); ++i) {
        FuzzCheck(!ExtractWord(i, text, delimiters).isEmpty(), "a counted word is empty");
        FuzzCheck(WordPosition(i, text, delimiters) >= 0, "a counted word has no position");
    }
    FuzzCheck(ExtractWord(words + 1, text, delimiters).isEmpty(), "a word past the count is not empty");
    StrToCStr(text);
    DeviationText(text, static_cast<std::int8_t>(options));
    AddDelimStr(text, text, delimiters);
}

std::vector<QByteArray> SeedsDrawKeys()
{
    return {
        QByteArray("\x01") + "07/01/2016",
        QByteArray("\x00", 1) + "12/31/9999",
        QByteArray("\x02") + "1,2;3, -4",
        QByteArray("\x03") + "10-1;-3",
        QByteArray("\x05") + "-5-5;1",
        QByteArray("\x07") + "20160229",
        QByteArray("\x09") + "12345678901234567890",
        QByteArray("\x0b") + "7;3",
        QByteArray("\x0d") + " 4 - 9 ",
        QByteArray("\x0f") + "line\r\n\t\"quoted\" 'x' ?\\",
    };
}
