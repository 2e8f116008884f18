#pragma once

// What the scenario line dialog and the filter step dialog decide without their windows: the
// methods and presets the filter dialog offers, the checks of their OK buttons, the keys the
// list edits take and the limits of the test-count dialog.

#include "app/core/scenarios/KelmaScr.h"

#include <QString>

#include <array>
#include <vector>

// One entry of the method chooser: the caption shown and the method it stands for.
struct TFilterMethodItem {
    QString Caption;
    const TStatMethod* Method = nullptr;
};

// What the filter dialog starts from: the main window's method chooser with its current entry,
// its draws length, and the engine with its current weights.
struct TFilterDialogContext {
    const TStatList* StatList = nullptr;        // reads the method codes of filter texts
    std::vector<TFilterMethodItem> Methods;
    int CurrentMethod = 0;                      // entry chosen in the main window
    int DrawsLen = 0;                           // draws length of the main window
    TStatWeights Weights;                       // the engine's weights
};

// The entry of the chooser that holds the method; the first entry when none does (and -1 for
// an empty chooser).
int FindFilterMethodItem(const std::vector<TFilterMethodItem>& items, const TStatMethod* method);

// The level modes that select by the "Вес" column, whose weights a step may bring along.
bool LevelModeUsesWeights(int levelMode);

// Keys of the draws-length and level-value edits: control characters, digits, ",", "-", ";".
bool IsFilterListChar(QChar c);
// The text with every character dropped that those edits do not take as text (control
// characters are keys, not text: they go too).
QString KeepFilterListChars(const QString& text);

// The control a failed check names.
enum class TFilterCheckField { None, DrawsLen, LevelMode, LevelValue, StopMode };

struct TFilterCheck {
    TFilterCheckField Field = TFilterCheckField::None;
    QString Message;
    bool Ok() const { return Field == TFilterCheckField::None; }
};

// The OK check of a filter step as the dialog fills it, in the order the dialog asks: the
// draws lengths must form a list other than a single window over no draws (0 or a negative
// length, see StepWindowLength); a level mode other than LNO needs level values, and LVA a
// method with numeric values; several rows at once cannot stop at a count of combinations
// (SC).
TFilterCheck CheckFilterItem(const TFilterItem& item);

// The field of a line that holds a "|": 0 for the comment, 1..7 for a filter, -1 when none.
// A "|" ends a field of the stored line, so the line dialog refuses it.
int FindFieldBreak(const QString& comment, const std::array<QString, ScriptFilterCount>& filters);
// "Символ "|" ..." shown for such a field.
QString FieldBreakMessage();

// The test-count dialog: a count from 1 to the largest, 10 to start with when there are as
// many. A largest value below 1 leaves nothing to test.
struct TTestCountRange {
    int Minimum = 1;
    int Maximum = 0;
    int Initial = 0;
    bool Valid() const { return Maximum >= Minimum; }
};
TTestCountRange TestCountRange(int largest);
inline constexpr int DefaultTestCount = 10;
