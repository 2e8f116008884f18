// Draw CSV files as an import reads them, against a small stored archive. Nothing raises.
// Invariants: every added draw has digits 0..9, a key that reads as a draw date held by the
// clock and is neither stored nor added before it, and a number and a moment above the ones
// before it; the counts add up to the lines read; the added draws exported and imported again
// into the same archive add nothing, and into an empty archive give the same draws, in either
// order of the lines.

#include "app/core/archive/DrawLookups.h"
#include "app/core/archive/DrawsCsv.h"
#include "fuzz/FuzzTargets.h"
#include "platform/DateTime.h"

#include <QSet>

#include <algorithm>

void FuzzDrawsCsv(const std::uint8_t* data, std::size_t size)
{
    FuzzInitialize();
    TFuzzInput input(data, size);
    // The first byte chooses the stored archive: none, or draws 1..n with keys "Kn" (keys that
    // are no dates, as a damaged archive may hold) or, from bit 2 on, "08/0n/2016 E".
    const std::uint8_t choice = input.Byte();
    const int storedCount = choice % 4;
    TDrawsArray stored;
    for (int n = 1; n <= storedCount; ++n) {
        TDrawRec draw;
        draw.Number = static_cast<std::uint32_t>(n);
        draw.Digits = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(9 - n)};
        draw.Key.Set(choice & 4 ? QStringLiteral("08/0%1/2016 E").arg(n) : QStringLiteral("K%1").arg(n));
        stored.push_back(draw);
    }
    const QByteArray bytes = input.Rest();
    const TDateTime today = EncodeDate(2016, 8, 10) + EncodeTime(12, 0, 0, 0);

    const TDrawsImportPlan plan = PlanDrawsImport(stored, bytes, today);
    FuzzCheck(plan.SkippedFormat >= 0 && plan.SkippedDigits >= 0 && plan.SkippedBadDate >= 0
                  && plan.SkippedFuture >= 0 && plan.SkippedStored >= 0 && plan.SkippedOlder >= 0
                  && plan.SkippedNumber >= 0,
              "a negative count of skipped lines");
    FuzzCheck(static_cast<int>(plan.Added.size()) + plan.Skipped() == plan.Lines,
              "added and skipped lines do not add up to the lines read");

    QSet<QString> keys;
    for (const TDrawRec& draw : stored)
        keys.insert(draw.Key.Get().toUpper());
    std::uint32_t newest = stored.empty() ? 0 : stored.back().Number;
    TDateTime newestMoment = 0;
    if (!stored.empty() && !ReadDrawKey(stored.back().Key.Get(), newestMoment))
        newestMoment = 0;
    for (const TDrawRec& draw : plan.Added) {
        FuzzCheck(draw.Digits[0] <= 9 && draw.Digits[1] <= 9, "a draw with a digit outside 0..9 is added");
        FuzzCheck(draw.Number > newest, "a draw is added out of the order of numbers");
        const QString key = draw.Key.Get();
        FuzzCheck(key.size() <= 12, "a key longer than 12 characters");
        FuzzCheck(!keys.contains(key.toUpper()), "a stored key is added again");
        TDateTime moment = 0;
        FuzzCheck(ReadDrawKey(key, moment), "a key that is no draw date is added");
        FuzzCheck(moment <= today, "a draw held after the clock is added");
        FuzzCheck(moment > newestMoment, "a draw is added out of the order of dates");
        keys.insert(key.toUpper());
        newest = draw.Number;
        newestMoment = moment;
    }

    TDrawsArray all = stored;
    all.insert(all.end(), plan.Added.begin(), plan.Added.end());
    const QByteArray written = DrawsToCsvBytes(plan.Added);
    FuzzCheck(PlanDrawsImport(all, written, today).Added.empty(), "an export imported again adds draws");
    // A byte order mark before the same lines changes nothing.
    const TDrawsImportPlan marked = PlanDrawsImport({}, "\xEF\xBB\xBF" + written, today);
    FuzzCheck(marked.Added == plan.Added && marked.Skipped() == 0, "a byte order mark changes what is read");
    const TDrawsImportPlan fresh = PlanDrawsImport({}, written, today);
    FuzzCheck(fresh.Added == plan.Added && fresh.Skipped() == 0, "an export reads back otherwise");
    QList<QByteArray> newestFirst = written.split('\n');
    std::reverse(newestFirst.begin(), newestFirst.end());
    FuzzCheck(PlanDrawsImport({}, newestFirst.join('\n'), today).Added == plan.Added,
              "an export newest first reads back otherwise");

    // Each line on its own through the splitter.
    int lines = 0;
    for (const QByteArray& line : bytes.split('\n')) {
        if (++lines > 64)
            break;
        const QStringList fields = SplitDrawsCsvLine(QString::fromLatin1(line));
        FuzzCheck(fields.size() <= line.size() + 1, "more fields than characters");
    }
}

std::vector<QByteArray> SeedsDrawsCsv()
{
    return {
        QByteArray(1, '\0') + "152;\"08/01/2016 M\";3;7\r\n153;\"08/01/2016 E\";0;9\r\n",
        QByteArray(1, '\2') + "08/01/2016 M;3;7\r\n\"08/01/2016 M\";3;7\r\n\"a\"\"b\";1;2\r\n",
        QByteArray(1, '\3') + "1;\"K1\";1;8\r\n9;\"k9\";10;1\r\n0;\"x\";1;1\r\n;;;\r\n\r\n \t\r\n",
        QByteArray(1, '\1') + "$10;\"\xca\xeb\xfe\xf7\";1;2\r\"open;1;2\n5;\"08/05/2016 M extra\";x;5",
        QByteArray(1, '\0') + "4294967295;\"max\";1;1\r\n\"next\";2;2\r\n2147483648;\"big\";3;3\r\n",
        // A byte order mark before the first line.
        QByteArray(1, '\0') + "\xEF\xBB\xBF" "152;\"08/01/2016 M\";3;7\r\n\"08/01/2016 E\";0;9\r\n",
        QByteArray(1, '\6') + "\xEF\xBB\xBF" "\"08/05/2016 M\";1;2\r\n\xEF\xBB\xBF" "9;\"08/06/2016 E\";3;4\r\n",
        // Dates that do not read, lie after today, or go backwards.
        QByteArray(1, '\5') + "5;\"13/45/2016 E\";1;1\r\n6;\"2016-11-12 M\";2;2\r\n7;\"02/30/2016 M\";3;3\r\n"
                               "8;\"08/11/2016 M\";4;4\r\n9;\"08/06/2016 X\";5;5\r\n10;\"08/06/2016 e\";6;6\r\n"
                               "11;\"08/06/2016 M\";7;7\r\n\"01/01/1900 M\";8;8\r\n\"12/31/2998 E\";9;9\r\n",
        // Newest first, with a stored key and a line older than the newest stored draw.
        QByteArray(1, '\6') + "9;\"08/06/2016 E\";1;1\r\n8;\"08/06/2016 M\";2;2\r\n\"08/05/2016 E\";3;3\r\n"
                               "4;\"08/02/2016 E\";4;4\r\n7;\"08/01/2016 M\";5;5\r\n",
    };
}
