#include "engine/KelmaStakes.h"

#include <QtEndian>

#include <algorithm>

bool TStakeRec::CountsDamaged(std::int32_t drawNumber, std::int32_t staked, std::int32_t matched)
{
    if (matched < -1 || matched > 2)
        return true;
    return drawNumber > 0 && (staked < 1 || staked > 4);
}

TStakeRec InitStakeRec()
{
    return TStakeRec{};
}

void WriteStakeRec(const TStakeRec& rec, std::uint8_t* bytes)
{
    std::fill(bytes, bytes + StakeRecSize, std::uint8_t(0));
    bytes[StakeOffset::Version] = rec.Version;
    bytes[StakeOffset::Origin] = rec.Origin;
    qToLittleEndian<qint32>(rec.DrawNumber, bytes + StakeOffset::DrawNumber);
    bytes[StakeOffset::Checked] = rec.Checked;
    bytes[StakeOffset::RatingPending] = rec.RatingPending;
    qToLittleEndian<qint32>(rec.SelectionSize, bytes + StakeOffset::Selection);
    WriteDigitsRec(rec.Digits, bytes + StakeOffset::Digits);
    qToLittleEndian<quint16>(rec.DrawResult, bytes + StakeOffset::DrawResult);
    WriteDigitsRec(rec.Matches, bytes + StakeOffset::Matches);
    qToLittleEndian<qint64>(rec.Balance.Raw(), bytes + StakeOffset::Balance);
    std::copy(rec.Comment.Bytes.begin(), rec.Comment.Bytes.end(), bytes + StakeOffset::Comment);
}

TStakeRec ReadStakeRec(const std::uint8_t* bytes)
{
    TStakeRec rec;
    rec.Version = bytes[StakeOffset::Version];
    rec.Origin = bytes[StakeOffset::Origin];
    rec.DrawNumber = qFromLittleEndian<qint32>(bytes + StakeOffset::DrawNumber);
    rec.Checked = bytes[StakeOffset::Checked];
    rec.RatingPending = bytes[StakeOffset::RatingPending];
    rec.SelectionSize = qFromLittleEndian<qint32>(bytes + StakeOffset::Selection);
    rec.Digits = ReadDigitsRec(bytes + StakeOffset::Digits);
    rec.DrawResult = qFromLittleEndian<quint16>(bytes + StakeOffset::DrawResult);
    rec.Matches = ReadDigitsRec(bytes + StakeOffset::Matches);
    rec.Balance = TCurrency::FromRaw(qFromLittleEndian<qint64>(bytes + StakeOffset::Balance));
    std::copy(bytes + StakeOffset::Comment, bytes + StakeRecSize, rec.Comment.Bytes.begin());
    return rec;
}
