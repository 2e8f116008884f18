// Draw CSV files as an import reads them, against a small stored archive. Nothing raises.
// Invariants: every added draw has digits 0..9, a key of at most 12 characters that is neither
// stored nor added before it, and a number above the one before it; the counts add up to the
// lines read; the added draws exported and imported again into the same archive add nothing,
// and into an empty archive give the same draws.

#include "app/core/archive/DrawsCsv.h"
#include "fuzz/FuzzTargets.h"

#include <QSet>

void FuzzDrawsCsv(const std::uint8_t* data, std::size_t size)
{
    FuzzInitialize();
    TFuzzInput input(data, size);
    // The first byte chooses the stored archive: none, or draws 1..n with keys "Kn".
    const int storedCount = input.Byte() % 4;
    TDrawsArray stored;
    for (int n = 1; n <= storedCount; ++n) {
        TDrawRec draw;
        draw.Number = static_cast<std::uint32_t>(n);
        draw.Digits = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(9 - n)};
        draw.Key.Set(QStringLiteral("K%1").arg(n));
        stored.push_back(draw);
    }
    const QByteArray bytes = input.Rest();

    const TDrawsImportPlan plan = PlanDrawsImport(stored, bytes);
    FuzzCheck(plan.SkippedFormat >= 0 && plan.SkippedDigits >= 0 && plan.SkippedStored >= 0,
              "a negative count of skipped lines");
    FuzzCheck(static_cast<int>(plan.Added.size()) + plan.Skipped() == plan.Lines,
              "added and skipped lines do not add up to the lines read");

    QSet<QString> keys;
    for (const TDrawRec& draw : stored)
        keys.insert(draw.Key.Get().toUpper());
    std::uint32_t newest = stored.empty() ? 0 : stored.back().Number;
    for (const TDrawRec& draw : plan.Added) {
        FuzzCheck(draw.Digits[0] <= 9 && draw.Digits[1] <= 9, "a draw with a digit outside 0..9 is added");
        FuzzCheck(draw.Number > newest, "a draw is added out of the order of numbers");
        const QString key = draw.Key.Get();
        FuzzCheck(key.size() <= 12, "a key longer than 12 characters");
        FuzzCheck(!keys.contains(key.toUpper()), "a stored key is added again");
        keys.insert(key.toUpper());
        newest = draw.Number;
    }

    TDrawsArray all = stored;
    all.insert(all.end(), plan.Added.begin(), plan.Added.end());
    const QByteArray written = DrawsToCsvBytes(plan.Added);
    FuzzCheck(PlanDrawsImport(all, written).Added.empty(), "an export imported again adds draws");
    const TDrawsImportPlan fresh = PlanDrawsImport({}, written);
    FuzzCheck(fresh.Added == plan.Added && fresh.Skipped() == 0, "an export reads back otherwise");

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
    };
}
