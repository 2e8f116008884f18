#include "app/core/stats/ArchiveStamp.h"

#include <bit>
#include <cstring>
#include <optional>

namespace {

constexpr std::uint64_t FnvBasis = 14695981039346656037ull;
constexpr std::uint64_t FnvPrime = 1099511628211ull;

// The archive a scope holds and what was read of it. The data pointer and the count tell a
// replaced or resized archive from the one held.
struct THeldArchive {
    const TDrawsArray* Draws = nullptr;
    const TDrawRec* Data = nullptr;
    std::size_t Count = 0;
    int Depth = 0;
    std::optional<std::uint64_t> Fingerprint;
    std::optional<std::uint64_t> KeysFingerprint;
};

THeldArchive& Held()
{
    static THeldArchive held;
    return held;
}

// The held record of this archive, when a scope holds it as it was.
THeldArchive* HeldFor(const TDrawsArray& draws)
{
    THeldArchive& held = Held();
    if (held.Depth == 0 || held.Draws != &draws || held.Data != draws.data() || held.Count != draws.size())
        return nullptr;
    return &held;
}

// The fingerprint of the date keys, read afresh whatever scope is open.
std::uint64_t DrawKeysFingerprint(const TDrawsArray& draws)
{
    std::uint64_t hash = FnvBasis;
    for (const TDrawRec& draw : draws) {
        // Only the bytes within the length are the key; the rest of the field is left over.
        const int length = draw.Key.Length();
        for (int i = 0; i <= length; ++i)
            hash = (hash ^ draw.Key.Bytes[static_cast<std::size_t>(i)]) * FnvPrime;
    }
    return hash;
}

} // namespace

std::uint64_t DrawsFingerprint(const TDrawsArray& draws)
{
    // FNV-1a over one 64-bit word per draw (its number and its two digits), in four lanes so
    // that the multiplications of neighbouring draws do not wait for each other; the lanes
    // are folded at the end.
    static_assert(offsetof(TDrawRec, Number) == 0 && offsetof(TDrawRec, Digits) == 4
                  && sizeof(TDrawRec) >= 8);
    constexpr std::uint64_t numberAndDigits = 0xFFFFFFFFFFFFull;
    const auto word = [](const TDrawRec& draw) {
        std::uint64_t w;
        std::memcpy(&w, &draw, sizeof w);
        if constexpr (std::endian::native != std::endian::little)
            w = std::uint64_t(draw.Number) | std::uint64_t(draw.Digits[0]) << 32
                | std::uint64_t(draw.Digits[1]) << 40;
        return w & numberAndDigits;
    };
    std::uint64_t a = FnvBasis, b = FnvBasis, c = FnvBasis, d = FnvBasis;
    const std::size_t n = draws.size();
    const TDrawRec* p = draws.data();
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        a = (a ^ word(p[i])) * FnvPrime;
        b = (b ^ word(p[i + 1])) * FnvPrime;
        c = (c ^ word(p[i + 2])) * FnvPrime;
        d = (d ^ word(p[i + 3])) * FnvPrime;
    }
    for (; i < n; ++i)
        a = (a ^ word(p[i])) * FnvPrime;
    std::uint64_t hash = n;
    for (const std::uint64_t lane : {a, b, c, d})
        hash = (hash ^ lane) * FnvPrime;
    return hash;
}

TArchiveStamp ArchiveStamp(const TDrawsArray& draws)
{
    THeldArchive* held = HeldFor(draws);
    if (!held)
        return {draws.size(), DrawsFingerprint(draws)};
    if (!held->Fingerprint)
        held->Fingerprint = DrawsFingerprint(draws);
    return {draws.size(), *held->Fingerprint};
}

std::uint64_t ArchiveKeysFingerprint(const TDrawsArray& draws)
{
    THeldArchive* held = HeldFor(draws);
    if (!held)
        return DrawKeysFingerprint(draws);
    if (!held->KeysFingerprint)
        held->KeysFingerprint = DrawKeysFingerprint(draws);
    return *held->KeysFingerprint;
}

TArchiveStampScope::TArchiveStampScope(const TDrawsArray& draws)
{
    THeldArchive& held = Held();
    if (held.Depth == 0) {
        held = THeldArchive{};
        held.Draws = &draws;
        held.Data = draws.data();
        held.Count = draws.size();
    } else if (held.Draws != &draws) {
        return;
    }
    ++held.Depth;
    FHolds = true;
}

TArchiveStampScope::~TArchiveStampScope()
{
    if (!FHolds)
        return;
    THeldArchive& held = Held();
    if (--held.Depth == 0)
        held = THeldArchive{};
}
