#include "engine/KelmaStakes.h"

#include <QtEndian>

#include <algorithm>

namespace {

// Field offsets inside the record.
constexpr int OfsVersion = StakeOffset::Version;
constexpr int OfsOrigin = StakeOffset::Origin;
constexpr int OfsDrawNumber = StakeOffset::DrawNumber;
constexpr int OfsChecked = StakeOffset::Checked;
constexpr int OfsRatingPending = StakeOffset::RatingPending;
constexpr int OfsSelection = StakeOffset::Selection;
constexpr int OfsDigits = StakeOffset::Digits;
constexpr int OfsDrawResult = StakeOffset::DrawResult;
constexpr int OfsMatches = StakeOffset::Matches;
constexpr int OfsBalance = StakeOffset::Balance;
constexpr int OfsComment = StakeOffset::Comment;

}  // namespace

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
    bytes[OfsVersion] = rec.Version;
    bytes[OfsOrigin] = rec.Origin;
    qToLittleEndian<qint32>(rec.DrawNumber, bytes + OfsDrawNumber);
    bytes[OfsChecked] = rec.Checked;
    bytes[OfsRatingPending] = rec.RatingPending;
    qToLittleEndian<qint32>(rec.SelectionSize, bytes + OfsSelection);
    WriteDigitsRec(rec.Digits, bytes + OfsDigits);
    qToLittleEndian<quint16>(rec.DrawResult, bytes + OfsDrawResult);
    WriteDigitsRec(rec.Matches, bytes + OfsMatches);
    qToLittleEndian<qint64>(rec.Balance.Raw(), bytes + OfsBalance);
    std::copy(rec.Comment.Bytes.begin(), rec.Comment.Bytes.end(), bytes + OfsComment);
}

TStakeRec ReadStakeRec(const std::uint8_t* bytes)
{
    TStakeRec rec;
    rec.Version = bytes[OfsVersion];
    rec.Origin = bytes[OfsOrigin];
    rec.DrawNumber = qFromLittleEndian<qint32>(bytes + OfsDrawNumber);
    rec.Checked = bytes[OfsChecked];
    rec.RatingPending = bytes[OfsRatingPending];
    rec.SelectionSize = qFromLittleEndian<qint32>(bytes + OfsSelection);
    rec.Digits = ReadDigitsRec(bytes + OfsDigits);
    rec.DrawResult = qFromLittleEndian<quint16>(bytes + OfsDrawResult);
    rec.Matches = ReadDigitsRec(bytes + OfsMatches);
    rec.Balance = TCurrency::FromRaw(qFromLittleEndian<qint64>(bytes + OfsBalance));
    std::copy(bytes + OfsComment, bytes + StakeRecSize, rec.Comment.Bytes.begin());
    return rec;
}
