// The libFuzzer driver of one target; TAVRIX_FUZZ_TARGET names it.

#include "fuzz/FuzzTargets.h"

#include <cstdio>
#include <cstdlib>

namespace {

const TFuzzTarget& Target()
{
    static const TFuzzTarget* target = FindFuzzTarget(QStringLiteral(TAVRIX_FUZZ_TARGET));
    if (!target) {
        std::fprintf(stderr, "unknown fuzz target %s\n", TAVRIX_FUZZ_TARGET);
        std::abort();
    }
    return *target;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzInitialize();
    Target();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        Target().Entry(data, size);
    } catch (const EFuzzInvariant& e) {
        // A broken invariant is a finding: abort, so that libFuzzer keeps the input.
        std::fprintf(stderr, "invariant broken in %s: %s\n", Target().Name, e.what());
        std::abort();
    }
    return 0;
}
