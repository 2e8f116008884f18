// The ratings file and what the ratings page shows of it. Reading keeps the whole 288-byte
// records; the file's load raises Exception only when the file cannot be read or rewritten.
// Invariants: the records written back read as the same records, and every row has all its
// texts.
//
// Input: the file.

#include "app/core/stakes/Ratings.h"
#include "app/core/stakes/RatingsFile.h"
#include "fuzz/FuzzTargets.h"

void FuzzRatings(const std::uint8_t* data, std::size_t size)
{
    FuzzRemoveTempFiles();
    const QByteArray original(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString fileName = FuzzTempFile("ratings.lrt", original);

    const TRatingsFileContents contents = ReadRatingsFile(fileName);
    FuzzCheck(qsizetype(contents.Records.size()) * RatingRecSize + contents.ExtraBytes == original.size(),
              "records and leftover do not add up to the file");
    const QByteArray bytes = RatingsToBytes(contents.Records);
    const TRatingsFileContents again = ReadRatingsFile(FuzzTempFile("again.lrt", bytes));
    FuzzCheck(again.Records == contents.Records, "the records written back read as other records");
    FuzzCheck(RatingsToBytes(again.Records) == bytes, "a record rewrite is not byte-identical");

    const TExpectedHits expected = MakeExpectedHits();
    for (const TRatingRec& rating : contents.Records) {
        for (int mode = 0; mode <= 3; ++mode)
            FuzzCheck(RatingRowTexts(rating, mode, expected).size() == RatingColumnCount, "a row lacks texts");
        if (rating.Stakes > 0)
            AverageBalance(rating);
        RatingScriptLine(rating.Comment);
    }
    RatingsCsvBytes(contents.Records);

    // The page's load: read, sort and save.
    TRatings ratings(fileName);
    ratings.SortColumn = static_cast<int>(size % (RatingColumnCount + 1)) - 1;
    ratings.SortDescending = size % 2;
    try {
        ratings.LoadRatingsFile();
    } catch (const Exception&) {
        return;
    }
    FuzzCheck(ratings.FRatings.size() == contents.Records.size(), "the page lost or made up ratings");
    for (int row = 0; row < static_cast<int>(ratings.FRatings.size()); ++row)
        ratings.RowTexts(row, 1);
}

std::vector<QByteArray> SeedsRatings()
{
    TRatingsArray ratings;
    const char* comments[] = {"DIGI1 + SUMS2", "Ручные @ DIGI1", "", "system"};
    for (int i = 0; i < 4; ++i) {
        TRatingRec rating;
        rating.Comment = QString::fromUtf8(comments[i]);
        rating.Stakes = i * 3;
        rating.MatchCounts = {i, i * 2, 0};
        rating.Matched = rating.MatchCounts[1] + 2 * rating.MatchCounts[2];
        rating.Balance = TCurrency::FromUnits(i * 7 - 10);
        ratings.push_back(rating);
    }
    const QByteArray sound = RatingsToBytes(ratings);
    QByteArray odd = sound;
    odd[256] = char(0xFF);   // a negative stake count
    odd[287] = char(0x80);   // the most negative balance
    return {sound, sound.left(300), odd, RatingsToBytes({ratings[0]}), QByteArray()};
}
