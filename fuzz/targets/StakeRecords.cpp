// Records of the stakes file, read field by field from any 304 bytes, and the grid row each
// shows. Nothing raises. Invariants: a record read and written back is byte-identical once
// written (the gaps between fields become zeros), a record read in place tells the same
// fields and the same damage as the record read whole, a damaged record shows an empty row,
// and every cell of a row has a text.

#include "app/core/stakes/StakeReader.h"
#include "app/core/stakes/StakeRows.h"
#include "app/core/stakes/StakesFile.h"
#include "engine/KelmaStakes.h"
#include "fuzz/FuzzTargets.h"

#include <array>

void FuzzStakeRecords(const std::uint8_t* data, std::size_t size)
{
    for (std::size_t offset = 0; offset + StakeRecSize <= size; offset += StakeRecSize) {
        const TStakeRec rec = ReadStakeRec(data + offset);
        std::array<std::uint8_t, StakeRecSize> written{};
        WriteStakeRec(rec, written.data());
        const TStakeRec again = ReadStakeRec(written.data());
        FuzzCheck(again == rec, "a record written back reads as another record");
        std::array<std::uint8_t, StakeRecSize> rewritten{};
        WriteStakeRec(again, rewritten.data());
        FuzzCheck(rewritten == written, "a record read and written back is not byte-identical");

        const TStakeView inPlace(data + offset);
        FuzzCheck(inPlace.Record() == rec, "a record read in place reads as another record");
        FuzzCheck(inPlace.IsDamaged() == rec.IsDamaged(), "a record read in place is damaged by another rule");
        FuzzCheck(inPlace.Comment() == rec.Comment.Get(), "a comment read in place is another comment");
        FuzzCheck(inPlace.CommentField().size() <= TShortString<255>::Size, "a comment reaches past its field");
        FuzzCheck(!(inPlace.AwaitsCheck() && inPlace.Settled()), "a stake waits for a check and is settled");
        FuzzCheck(!(inPlace.IsScored() && inPlace.AwaitsCheck()), "a scored stake waits for a check");

        const TStakeRowView view = StakeRowView(rec);
        if (rec.IsDamaged() || !rec.IsStake())
            FuzzCheck(view.Empty, "a separator or a damaged record shows a row");
        for (int col = -1; col <= StakeColumnCount; ++col)
            StakeCellText(view, col, 1);
        for (int condition = 0; condition <= 5; ++condition)
            TStakesFile::KeptByCondition(rec, condition, rec.Matches.Count);
    }
    // A record cut short at the end of the input: whole records only.
    if (size % StakeRecSize != 0 && size > StakeRecSize) {
        std::array<std::uint8_t, StakeRecSize> tail{};
        std::copy(data + size - size % StakeRecSize, data + size, tail.begin());
        StakeRowView(ReadStakeRec(tail.data()));
    }
}

std::vector<QByteArray> SeedsStakeRecords()
{
    const auto bytes = [](const TStakeRec& rec) {
        QByteArray out(StakeRecSize, '\0');
        WriteStakeRec(rec, reinterpret_cast<std::uint8_t*>(out.data()));
        return out;
    };
    TStakeRec stake = InitStakeRec();
    stake.Origin = soManual;
    stake.DrawNumber = 12;
    stake.SelectionSize = 40;
    stake.Digits.Count = 2;
    stake.Digits.Digits[0] = 3;
    stake.Digits.Digits[1] = 7;
    stake.Balance = TCurrency::FromUnits(-1);
    stake.Comment.Set(QStringLiteral("Ставка @ DIGI1"));
    TStakeRec checked = stake;
    checked.Checked = 1;
    checked.DrawResult = MakeComb(3, 1);
    checked.Matches.Count = 1;
    checked.Matches.Digits[0] = 3;
    checked.Balance = TCurrency::FromUnits(8);
    TStakeRec damaged = stake;
    damaged.Digits.Count = 9;
    QByteArray gaps = bytes(stake);
    gaps[3] = char(0x55);   // a gap between fields
    return {
        bytes(InitStakeRec()) + bytes(stake),
        bytes(checked),
        bytes(damaged) + bytes(stake).left(100),
        gaps,
        QByteArray(StakeRecSize, char(0xFF)),
    };
}
