#include "app/core/stakes/RatingsFile.h"

#include "engine/KelmaMsg.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/SaveFile.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr int OffStakes = RatingCommentSize;
constexpr int OffMatched = OffStakes + 4;
constexpr int OffCounters = OffMatched + 4;
constexpr int OffUnusedCounter = OffCounters + 4 * RatingMatchCounters;
constexpr int OffBalance = OffUnusedCounter + 4;
static_assert(OffBalance + 8 == RatingRecSize);

} // namespace

void WriteRatingRec(const TRatingRec& rec, std::uint8_t* bytes)
{
    WriteShortString(bytes, RatingCommentSize, rec.Comment);
    qToLittleEndian<std::int32_t>(rec.Stakes, bytes + OffStakes);
    qToLittleEndian<std::int32_t>(rec.Matched, bytes + OffMatched);
    for (int m = 0; m < RatingMatchCounters; ++m)
        qToLittleEndian<std::int32_t>(rec.MatchCounts[static_cast<size_t>(m)], bytes + OffCounters + 4 * m);
    qToLittleEndian<std::int32_t>(0, bytes + OffUnusedCounter);
    qToLittleEndian<std::int64_t>(rec.Balance.Raw(), bytes + OffBalance);
}

TRatingRec ReadRatingRec(const std::uint8_t* bytes)
{
    TRatingRec rec;
    rec.Comment = ReadShortString(bytes, RatingCommentSize);
    rec.Stakes = qFromLittleEndian<std::int32_t>(bytes + OffStakes);
    rec.Matched = qFromLittleEndian<std::int32_t>(bytes + OffMatched);
    for (int m = 0; m < RatingMatchCounters; ++m)
        rec.MatchCounts[static_cast<size_t>(m)] = qFromLittleEndian<std::int32_t>(bytes + OffCounters + 4 * m);
    rec.Balance = TCurrency::FromRaw(qFromLittleEndian<std::int64_t>(bytes + OffBalance));
    return rec;
}

bool MendRatingRec(TRatingRec& rec)
{
    const TRatingRec before = rec;
    const auto atLeastZero = [](std::int32_t& v) { v = std::max<std::int32_t>(v, 0); };
    atLeastZero(rec.Stakes);
    atLeastZero(rec.Matched);
    for (std::int32_t& counter : rec.MatchCounts) {
        atLeastZero(counter);
        counter = std::min(counter, rec.Stakes);
    }
    const std::int64_t mostMatched = std::int64_t(rec.Stakes) * (RatingMatchCounters - 1);
    if (rec.Matched > mostMatched)
        rec.Matched = static_cast<std::int32_t>(mostMatched);
    if (rec.Stakes == 0)
        rec.Balance = TCurrency();
    return !(rec == before);
}

TRatingsArray RatingsFromBytes(const QByteArray& bytes, qint64* extraBytes)
{
    const qsizetype records = bytes.size() / RatingRecSize;
    if (extraBytes)
        *extraBytes = bytes.size() % RatingRecSize;
    TRatingsArray ratings;
    ratings.reserve(static_cast<size_t>(records));
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    for (qsizetype i = 0; i < records; ++i)
        ratings.push_back(ReadRatingRec(data + i * RatingRecSize));
    return ratings;
}

TRatingsFileContents ReadRatingsFile(const QString& fileName)
{
    return ReadRecordFile<TRatingRec>(fileName, RatingRecSize, MaxRatingRecords, ReadRatingRec);
}

QByteArray RatingsToBytes(const TRatingsArray& ratings)
{
    return RecordsToBytes(ratings, RatingRecSize, WriteRatingRec);
}

void WriteRatingsFile(const QString& fileName, const TRatingsArray& ratings)
{
    SaveFileAtomic(fileName, RatingsToBytes(ratings));
}
