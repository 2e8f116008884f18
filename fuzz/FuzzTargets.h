#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

// One fuzz target: a reader of outside input driven by arbitrary bytes. The same entry runs
// under libFuzzer (the fuzz build) and in the ordinary test run, which replays every seed and
// every kept regression input through it.
//
// An entry catches only the errors its reader documents. Anything else that escapes, a
// sanitizer report, or a broken invariant (EFuzzInvariant) is a finding.
using TFuzzEntry = void (*)(const std::uint8_t* data, std::size_t size);
using TFuzzSeeds = std::vector<QByteArray> (*)();

struct TFuzzTarget {
    const char* Name;     // also the folder of its regression inputs under fuzz/regressions
    TFuzzEntry Entry;
    TFuzzSeeds Seeds;     // a small corpus made by code
};

// Every target, in a fixed order.
std::span<const TFuzzTarget> FuzzTargets();
// nullptr for an unknown name.
const TFuzzTarget* FindFuzzTarget(const QString& name);

// A reader's invariant that does not hold for the input.
class EFuzzInvariant : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// Raises EFuzzInvariant with the text when the condition is false.
void FuzzCheck(bool condition, const char* text);

// The process set-up that the program's readers expect: a core application object and the
// Russian locale (the decimal comma of the settings files). Idempotent.
void FuzzInitialize();

// Small helpers for the entries.
class TFuzzInput {
public:
    TFuzzInput(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}
    std::size_t Left() const { return FSize - FPos; }
    // The next byte; 0 once the input is used up.
    std::uint8_t Byte();
    // The next n bytes (fewer at the end), little-endian.
    std::uint64_t Bits(int bytes);
    // Everything not read yet.
    QByteArray Rest();

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

// A file in a temporary folder of this process, rewritten for each input. For readers that
// only take a file name.
QString FuzzTempFile(const char* name, const QByteArray& contents);
// Removes every file of that temporary folder (the copies that repairs keep pile up).
void FuzzRemoveTempFiles();
