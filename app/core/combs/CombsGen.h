#pragma once

#include "app/core/combs/CombList.h"

#include <QString>

#include <bitset>
#include <cstdint>

// How a new combination list is made: a mode and its parameter text (the user's own numbers
// or the name of an ".lcv" file).
struct TCombsGenerateSettings {
    std::uint8_t Mode = 0;
    QString Parameters;   // at most MaxParametersLength characters

    static constexpr int MaxParametersLength = 255;
    bool operator==(const TCombsGenerateSettings&) const = default;
};

// Generation modes; any mode above FromFile builds the full list.
enum TCombsGenerateMode : std::uint8_t {
    GenFull = 0,       // all 100 combinations
    GenAnyOf = 1,      // at least one digit among my numbers
    GenOnlyFrom = 2,   // both digits among my numbers
    GenNoneOf = 3,     // neither digit among my numbers
    GenFromFile = 4,   // the combinations of the ".lcv" file named by the parameter text
};
inline constexpr int CombsGenerateModes = 5;

// The user's own numbers: the values 0..255 of the parameter text. Only 0..9 can match a digit.
using TMyNumbers = std::bitset<256>;

// Words at ',' and ';', each trimmed and read as a number (a word that is not one counts as
// 0); values outside 0..255 are ignored.
TMyNumbers ParseMyNumbers(const QString& text);
// Whether the generation dialog takes a text of my numbers: every word at ',' and ';' must be
// a digit by the rule of a typed combination (ReadDigitWord). Empty when it does (a text
// without words too: no numbers); else the refusal naming the first word that is not,
// "Некорректное значение в списке моих чисел: ...". Stored settings are still read by
// ParseMyNumbers.
QString MyNumbersRefusal(const QString& text);
// The combinations of the modes 0..3 (above 4 as 0), digit 1 slowest: 00, 01, ..., 99.
TCombsArray GenerateCombs(int mode, const TMyNumbers& numbers);
// The caption of a mode in the generation dialog; empty outside 0..4.
QString CombsGenerateModeCaption(int mode);

// Builds a new combination list from generation settings: at start-up from the saved default,
// by the generate command, by scenario runs and for the prefetch files.
class TCombsGen {
public:
    explicit TCombsGen(TCombListOps& combs) : FCombs(combs) {}

    // The saved default of the engine object.
    TCombsGenerateSettings DefaultSettings() const;
    // Stores the default in the engine object and writes it to the settings file (errors of
    // the write pass on).
    void SaveDefaultSettings(const TCombsGenerateSettings& settings);

    // Builds the list. With showStatus (start-up, the generate command) inside the busy state,
    // and afterwards the applied filters cleared, the undo copy and the buffer emptied. A file
    // that cannot be read shows its error and leaves the list empty; the undo copy is then
    // kept, so the list before can be brought back. Any other error shows "Ошибка генерации
    // файла комбинаций! ..." and leaves the list, the undo copy and the buffer as they were.
    // True when the list was built.
    bool BuildCombs(bool showStatus, const TCombsGenerateSettings& settings);

    // The generate command after its dialog: the default saved when asked, then the undo copy
    // and the new list. A generation that fails leaves the undo copy as it was before.
    bool Generate(const TCombsGenerateSettings& settings, bool saveAsDefault);

private:
    enum class TBuildResult { Built, ReadFailed, Failed };
    TBuildResult Build(bool showStatus, const TCombsGenerateSettings& settings);

    TCombListOps& FCombs;
};
