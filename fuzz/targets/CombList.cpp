// Combination list files (".lcv") and pasted lines. Files read without an error; a pasted
// line that is not a combination raises Exception. Invariants: the combinations written read
// back the same, with no bad lines, and a pasted line's combination has digits 0..9.

#include "app/core/combs/CombList.h"
#include "engine/KelmaUtils.h"
#include "fuzz/FuzzTargets.h"

void FuzzCombList(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const TCombsFileContents contents = CombsFromBytes(bytes);
    for (const TCombWord comb : contents.Combs)
        FuzzCheck(CombDigit1(comb) <= 9 && CombDigit2(comb) <= 9, "a combination with a digit outside 0..9 is read");
    FuzzCheck(contents.BadDigitLines >= 0, "a negative count of bad lines");

    const QByteArray written = CombsToBytes(contents.Combs);
    const TCombsFileContents again = CombsFromBytes(written);
    FuzzCheck(again.Combs == contents.Combs && again.BadDigitLines == 0, "the combinations written read back otherwise");
    FuzzCheck(CombsToBytes(again.Combs) == written, "a rewrite of the combinations is not byte-identical");

    // Each line as pasted text.
    int lines = 0;
    for (const QByteArray& line : bytes.split('\n')) {
        if (++lines > 64)
            break;
        try {
            const TCombWord comb = PastedLineToComb(QString::fromUtf8(line));
            FuzzCheck(CombDigit1(comb) <= 9 && CombDigit2(comb) <= 9, "a pasted line with a digit outside 0..9 is taken");
        } catch (const Exception&) {
        }
    }
}

std::vector<QByteArray> SeedsCombList()
{
    return {
        "0;0\r\n1;2\r\n9;9\r\n",
        "3,4\n 5 ; 6 \n7;x\n10;1\n-1;2\n\n;;\n1;2;3\n",
        "\xc0\xc1;1\r2;\xff\r\n4 5\r\n6|7\r\n",
        "1;2",
        "8:9\n2-3\n4.5\n",
    };
}
