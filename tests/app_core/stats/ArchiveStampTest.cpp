#include "app/core/stats/ArchiveStamp.h"

#include "tests/fixtures/ArchiveFixtures.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct TEditCase {
    const char* Name;
    std::function<void(TDrawsArray&)> Edit;
    bool DrawsChange;   // the stamp of numbers and digits
    bool DatesChange;   // the fingerprint of the date keys
};

} // namespace

// What each kind of edit changes; an archive read twice gives the same figures.
TEST(ArchiveStamp, EditsThatChangeTheStampAndTheDates)
{
    const TEditCase cases[] = {
        {"nothing", [](TDrawsArray&) {}, false, false},
        {"a digit", [](TDrawsArray& d) { d[2].Digits[1] = (d[2].Digits[1] + 1) % 10; }, true, false},
        {"digits swapped", [](TDrawsArray& d) { std::swap(d[3].Digits[0], d[3].Digits[1]); }, true, false},
        {"a number", [](TDrawsArray& d) { d[0].Number += 100; }, true, false},
        {"one draw more", [](TDrawsArray& d) { d.push_back(d.back()); }, true, true},
        {"one draw less", [](TDrawsArray& d) { d.pop_back(); }, true, true},
        {"a date", [](TDrawsArray& d) { d[4].Key.Set(QStringLiteral("09/30/2016 E")); }, false, true},
        {"a shorter date", [](TDrawsArray& d) { d[4].Key.Set(QStringLiteral("08/03/2016")); }, false, true},
        {"the spare byte", [](TDrawsArray& d) { d[1].Spare = 7; }, false, false},
    };
    for (const TEditCase& c : cases) {
        TDrawsArray draws = MakeArchive(9, 5);
        const TArchiveStamp before = ArchiveStamp(draws);
        const std::uint64_t datesBefore = ArchiveKeysFingerprint(draws);
        EXPECT_EQ(ArchiveStamp(draws), before) << c.Name;
        c.Edit(draws);
        EXPECT_EQ(!(ArchiveStamp(draws) == before), c.DrawsChange) << c.Name;
        EXPECT_EQ(ArchiveKeysFingerprint(draws) != datesBefore, c.DatesChange) << c.Name;
        EXPECT_EQ(ArchiveStamp(draws).Count, draws.size()) << c.Name;
    }
    EXPECT_EQ(ArchiveStamp({}).Count, 0u);
    EXPECT_NE(ArchiveStamp(MakeArchive(9, 5)), ArchiveStamp(MakeArchive(9, 6)));
}

// While a scope holds the archive, every key shares the reading taken first; an archive that
// was replaced or resized is read afresh, and so is any archive the scope does not hold.
TEST(ArchiveStamp, ScopeReadsTheArchiveOnceWhileItHoldsIt)
{
    TDrawsArray draws = MakeArchive(40, 3);
    TDrawsArray other = MakeArchive(40, 4);
    const TArchiveStamp first = ArchiveStamp(draws);
    const std::uint64_t firstDates = ArchiveKeysFingerprint(draws);
    {
        const TArchiveStampScope scope(draws);
        EXPECT_EQ(ArchiveStamp(draws), first);
        EXPECT_EQ(ArchiveKeysFingerprint(draws), firstDates);
        // The holder promised no edits: one made all the same goes unseen until the scope ends.
        draws[7].Digits = {9, 9};
        draws[7].Key.Set(QStringLiteral("01/01/2000 M"));
        EXPECT_EQ(ArchiveStamp(draws), first);
        EXPECT_EQ(ArchiveKeysFingerprint(draws), firstDates);
        // Another archive is read as it is; an inner scope over it holds nothing.
        {
            const TArchiveStampScope inner(other);
            const TArchiveStamp before = ArchiveStamp(other);
            other[0].Digits[0] = (other[0].Digits[0] + 1) % 10;
            EXPECT_NE(ArchiveStamp(other), before);
        }
        // A nested scope over the same archive keeps the reading of the outer one.
        {
            const TArchiveStampScope inner(draws);
            EXPECT_EQ(ArchiveStamp(draws), first);
        }
        EXPECT_EQ(ArchiveStamp(draws), first);
    }
    // Out of the scope the edit is seen.
    EXPECT_NE(ArchiveStamp(draws), first);
    EXPECT_NE(ArchiveKeysFingerprint(draws), firstDates);

    {
        const TArchiveStampScope scope(draws);
        const TArchiveStamp held = ArchiveStamp(draws);
        draws.push_back(draws.front());   // grown: the count tells
        EXPECT_EQ(ArchiveStamp(draws).Count, 41u);
        EXPECT_EQ(ArchiveStamp(draws).Fingerprint, DrawsFingerprint(draws));
        EXPECT_NE(ArchiveStamp(draws), held);
        draws = MakeArchive(41, 8);   // replaced by one of the same length
        EXPECT_EQ(ArchiveStamp(draws).Fingerprint, DrawsFingerprint(draws));
    }
}
