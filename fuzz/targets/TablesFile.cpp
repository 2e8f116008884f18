// Records of the regular stakes' file, read field by field from any 272 bytes, and the row each
// shows. Nothing raises. Invariants: a record read and written back reads as the same record,
// written again byte-identically, and the shift of a sound rule keeps both digits in 0..9.

#include "app/core/stakes/RegularStakes.h"
#include "fuzz/FuzzTargets.h"

#include <array>

void FuzzTablesFile(const std::uint8_t* data, std::size_t size)
{
    for (std::size_t offset = 0; offset + TableRecSize <= size; offset += TableRecSize) {
        const TTableRec rec = ReadTableRec(data + offset);
        std::array<std::uint8_t, TableRecSize> written{};
        WriteTableRec(rec, written.data());
        const TTableRec again = ReadTableRec(written.data());
        FuzzCheck(again == rec, "a rule written back reads as another rule");
        std::array<std::uint8_t, TableRecSize> rewritten{};
        WriteTableRec(again, rewritten.data());
        FuzzCheck(rewritten == written, "a rule read and written back is not byte-identical");
        TableRowTexts(rec);
        if (!rec.IsDamaged()) {
            const TCombWord next = ShiftTableComb(rec.CurrComb, rec.Step);
            FuzzCheck(CombDigit1(next) <= 9 && CombDigit2(next) <= 9, "a sound rule shifts to a digit outside 0..9");
        }
    }
}

std::vector<QByteArray> SeedsTablesFile()
{
    TTableRec rec;
    rec.Comment.Set(QStringLiteral("R (1)"));
    rec.StartComb = MakeComb(1, 8);
    rec.CurrComb = MakeComb(4, 1);
    rec.Step = 3;
    rec.StakesMade = 2;
    TTableRec last = rec;
    last.UseLastDraw = true;
    last.Step = -9;
    return {TablesToBytes({rec}), TablesToBytes({rec, last}), TablesToBytes({rec}).left(TableRecSize - 5), QByteArray()};
}
