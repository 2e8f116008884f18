// The draw archive file and the analysis passes over it. Reading keeps every whole 20-byte
// record and counts the bytes after them; nothing in a record is trusted, so every pass must
// take any digits, numbers and keys. Only a key that is not a date raises (EConvertError, from
// the date lookup). Invariants: the records written back read as the same records, and a
// record count and leftover that add up to the file.
//
// Input: the statistics method, an options byte, then the file.

#include "app/core/archive/DrawFile.h"
#include "app/core/archive/DrawLookups.h"
#include "app/core/stats/StatNextDraws.h"
#include "engine/KelmaFilters.h"
#include "engine/KelmaStatList.h"
#include "fuzz/FuzzTargets.h"

#include <algorithm>
#include <memory>

namespace {

TStatList& StatList()
{
    static const std::unique_ptr<TStatList> list = [] {
        auto l = std::make_unique<TStatList>();
        l->LoadConfig(FuzzTempFile("empty.ini", QByteArray()));   // an empty file: the defaults
        l->RebuildMethods();
        return l;
    }();
    return *list;
}

} // namespace

void FuzzDrawArchive(const std::uint8_t* data, std::size_t size)
{
    TFuzzInput in(data, size);
    const std::uint8_t method = in.Byte();
    const std::uint8_t options = in.Byte();
    const QByteArray file = in.Rest();

    const TDrawFileContents contents = ReadDrawsFile(FuzzTempFile("draws.ldr", file));
    FuzzCheck(contents.Exists, "an archive file is not found");
    FuzzCheck(qsizetype(contents.Records.size()) * DrawRecSize + contents.ExtraBytes == file.size(),
              "records and leftover do not add up to the file");
    const TDrawsArray& draws = contents.Records;
    const QByteArray bytes = DrawsToBytes(draws);
    const TDrawFileContents again = ReadDrawsFile(FuzzTempFile("again.ldr", bytes));
    // The spare byte is read as it is and written as zero; every other field reads back.
    TDrawsArray expected = draws;
    for (TDrawRec& draw : expected)
        draw.Spare = 0;
    FuzzCheck(again.Records == expected, "the records written back read as other records");
    FuzzCheck(DrawsToBytes(again.Records) == bytes, "a record rewrite is not byte-identical");

    // Lookups of the archive page.
    const int count = static_cast<int>(draws.size());
    for (int i = -1; i <= count; ++i) {
        GetDrawDigits(draws, i);
        NextDrawNumber(draws, i);
        GetDrawDigitsText(draws, i);
        MakeDrawDigitSet(draws, i);
        if (i >= 0 && i < count) {
            FuzzCheck(FindDrawByNumber(draws, draws[size_t(i)].Number) >= 0, "a draw's number is not found");
            FuzzCheck(FindDrawByText(draws, draws[size_t(i)].Key.Get(), 0) >= i, "a draw's key is not found");
        }
    }
    try {
        GetDrawDateInt(draws, count - 1, options % 8);
    } catch (const EConvertError&) {
    }

    // One statistics-table pass with the search for each value's next draw, and a filter.
    if (draws.empty())
        return;
    TStatList& list = StatList();
    list.SetDraws(&draws);
    const int m = method % list.Count();
    const bool sorted = options & 1;
    const int last = count - 1 - std::min(count - 1, (options >> 1) % 8);
    const int first = std::max(0, last - (options >> 4) * 16);
    auto stat = list.CreateStat(m);
    TStatDrawArray table;
    TStatScratch scratch;
    TLastValueArray lastValues;
    stat->InitValues(last, table);
    stat->AddDraws(first, last, sorted, table, scratch, lastValues);
    for (const TStatValueRec& value : table)
        stat->ValueText(value);
    const std::vector<int> next = FindNextDraws(*stat, draws, table, last, sorted);
    FuzzCheck(next.size() == table.size(), "not one next draw per value");
    auto filter = list.CreateStat(m);
    TStatDrawArray selected(table.begin(), table.begin() + std::min<std::ptrdiff_t>(3, std::ssize(table)));
    filter->LoadDraws(-1, count - 1, sorted);
    for (int d1 = 0; d1 <= 9; d1 += 3)
        for (int d2 = 0; d2 <= 9; d2 += 4)
            filter->Test(MakeComb(std::uint8_t(d1), std::uint8_t(d2)), selected, count - 1, sorted, options & 2);
    list.SetDraws(nullptr);
}

std::vector<QByteArray> SeedsDrawArchive()
{
    // Draws of two digits, keys "mm/dd/yyyy M|E", numbered from 1.
    const auto archive = [](int n, std::uint32_t seed) {
        TDrawsArray draws;
        for (int i = 0; i < n; ++i) {
            seed = seed * 1103515245u + 12345u;
            TDrawRec draw;
            draw.Number = static_cast<std::uint32_t>(i + 1);
            draw.Digits = {static_cast<std::uint8_t>((seed >> 16) % 10), static_cast<std::uint8_t>((seed >> 20) % 10)};
            draw.Key.Set(QStringLiteral("%1/%2/2016 %3")
                             .arg(1 + i / 62 % 12, 2, 10, QLatin1Char('0'))
                             .arg(1 + i / 2 % 28, 2, 10, QLatin1Char('0'))
                             .arg(i % 2 ? QLatin1Char('E') : QLatin1Char('M')));
            draws.push_back(draw);
        }
        return DrawsToBytes(draws);
    };
    QByteArray damaged = archive(6, 3);
    damaged[4] = char(200);                 // a digit outside 0..9
    damaged[26] = char(40);                 // a key length past 12
    return {
        QByteArray("\x00\x00", 2) + archive(30, 1),
        QByteArray("\x11\x13", 2) + archive(60, 2),
        QByteArray("\x2a\x20", 2) + archive(12, 5) + "tail",
        QByteArray("\x45\xf1", 2) + damaged,
        QByteArray("\x7b\x02", 2) + archive(1, 9),
    };
}
