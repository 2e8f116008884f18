#pragma once

// Scenario lines as text: the records of one line in memory, the words of the scenario
// language with their captions, and the readers and writers between the two.
//
// A line is nine fields separated by "|": options, filters 1..7, comment. The options field
// is "start:count#action[#CLR][#NEX]"; a filter field is
// "TSD<column>#<method>:<lengths>#<level>:<values>#<stop>:<value>[#c:d:l:p:a]".

#include "engine/KelmaStatList.h"
#include "engine/KelmaUtils.h"
#include "platform/Exceptions.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// ---------------------------------------------------------------------------------------
// Records.

// Start list of a line.
enum : std::uint8_t { StartFull = 0, StartExcl = 1, StartCurr = 2 };
inline constexpr int StartListCount = 3;

// What is staked when more than one combination remains.
enum : std::uint8_t {
    ActionRand = 0,
    ActionFirst = 1,
    ActionLast = 2,
    ActionAll = 3,
    ActionSysA = 4,
    ActionSysC = 5,
    ActionStop = 6,
    ActionSkip = 7,
    ActionNone = 8,
};
inline constexpr int AmbiguityActionCount = 9;

// Row selection rules; the value is the index of the level word.
enum : std::uint8_t {
    LevelLNO = 0, LevelLMV, LevelLMP, LevelLLV, LevelLLP, LevelLDV, LevelLDP,
    LevelDMV, LevelDMP, LevelDLV, LevelDLP, LevelDDV, LevelDDP,
    LevelCMV, LevelCMP, LevelCLV, LevelCLP, LevelCDV, LevelCDP,
    LevelWMV, LevelWLV, LevelWDV,
    LevelPIM, LevelPIL, LevelPIR, LevelPAM, LevelPAL, LevelPAR, LevelPXM, LevelPXL, LevelPXR,
    LevelLVA,
};
inline constexpr int LevelModeCount = 32;

// When the walk over the statistics table ends.
enum : std::uint32_t { StopSF = 0, StopSC = 1, StopSZ = 2, StopST = 3, StopSV = 4, StopSP = 5 };
inline constexpr int StopModeCount = 6;

// Filter fields of a line, and the largest statistics-table column a filter sorts by.
inline constexpr int ScriptFilterCount = 7;
inline constexpr int MaxSortColumn = 19;

// The options field.
struct TScriptOptions {
    std::int32_t DrawsExclude = 0;      // newest draws left out by EXCL
    std::uint8_t StartCombsType = 0;    // StartFull..StartCurr
    std::uint8_t ResultCombsMode = 0;   // ActionRand..ActionNone
    bool ClearStakes = false;           // CLR
    bool NewOnly = false;               // NEX
    bool operator==(const TScriptOptions&) const = default;
};

// One filter field.
struct TFilterItem {
    std::uint32_t Used = 0;             // 0: no filter in this slot
    QString MethodCode;                 // word 2 as read: code, ":" and draws lengths
    const TStatMethod* Method = nullptr;
    QString DrawsLen;                   // draws-length list text
    std::int32_t SortOrder = 0;         // statistics-table column sorted by
    bool BottomUp = false;              // B
    bool MultiSelect = false;           // M
    bool KeepSelected = false;          // F
    std::uint8_t LevelMode = 0;
    QString LevelValue;                 // level values text
    bool OwnWeights = false;
    TStatWeights Weights;
    std::uint32_t StopMode = 0;
    std::int32_t StopValue = 0;
    bool operator==(const TFilterItem&) const = default;
};

// One variant of a filter step: a single draws length and, for the threshold modes, a
// single level value.
struct TFilterPart {
    std::uint32_t Used = 0;
    const TStatMethod* Method = nullptr;
    std::int32_t DrawsLen = 0;
    std::int32_t SortOrder = 0;
    bool BottomUp = false;
    bool MultiSelect = false;
    bool KeepSelected = false;
    std::uint8_t LevelMode = 0;
    QString LevelText;                  // the threshold, or the list values joined by ","
    QString LevelValue;                 // the level text as the variant is written
    bool OwnWeights = false;
    TStatWeights Weights;
    std::uint32_t StopMode = 0;
    std::int32_t StopValue = 0;
    bool operator==(const TFilterPart&) const = default;
};

using TFilterParts = std::array<TFilterPart, ScriptFilterCount>;

// ---------------------------------------------------------------------------------------
// Words and captions. A word outside its table is the empty text; a caption outside its
// table is "# ERROR #".

QString StartListWord(int index);
QString AmbiguityActionWord(int index);
QString LevelModeWord(int index);
QString StopModeWord(int index);
QString ClearStakesWord(bool clear);   // "" or "CLR"
QString NewOnlyWord(bool newOnly);     // "" or "NEX"

QString StartListCaption(int index);
// The short caption with the count of excluded draws in place of %d.
QString StartListShortCaption(int index, int drawsExclude);
QString AmbiguityActionCaption(int index);
QString AmbiguityActionShortCaption(int index);
QString ClearStakesCaption(bool clear);
QString NewOnlyCaption(bool newOnly);
QString LevelModeCaption(int index);
QString StopModeCaption(int index);

// ---------------------------------------------------------------------------------------
// Lines.

// A line whose text holds nothing but blanks separates groups of lines and is never run.
bool IsScriptSeparatorLine(const QString& line);

// The field breaks ("|") a text holds. A line is written with one break between each two of
// its nine fields; a comment or a filter that held one would be read back cut into other fields.
qsizetype ScriptFieldBreakCount(const QString& text);
inline constexpr qsizetype ScriptLineFieldBreaks = ScriptFilterCount + 1;
inline bool HoldsScriptFieldBreak(const QString& field) { return ScriptFieldBreakCount(field) > 0; }

// Fields of a line, trimmed. Runs of "|" count as one break, as the writer never leaves a
// field empty. n = 1..7; any other n gives the empty text.
QString GetScriptLineOptions(const QString& line);
QString GetScriptLineFilter(const QString& line, int n);
QString GetScriptLineComment(const QString& line);

// options|filter 1|..|filter 7|comment; an empty filter is written as one blank, an empty
// comment as nothing.
QString FormatScriptLine(const QString& comment, const QString& options,
                         const std::array<QString, ScriptFilterCount>& filters);

// ---------------------------------------------------------------------------------------
// Options.

TScriptOptions ParseScriptOptions(const QString& text);
QString FormatScriptOptions(const TScriptOptions& options);
// The options as stake comments carry them: the count only for EXCL, never CLR.
QString ScriptOptionsCommentText(const TScriptOptions& options);
// The options as the scenario list shows them.
QString ScriptOptionsCaption(const TScriptOptions& options);

// text + separator + word; the word alone for an empty text, the text alone for an empty word.
QString AppendDelimited(const QString& text, const QString& word, const QString& separator);

// ---------------------------------------------------------------------------------------
// Filters.

// Methods are looked up in `methods`: the method whose code equals the code before ":"
// (letter case ignored), else the first whose code begins word 2.
TFilterItem ParseFilterItem(const QString& text, const TStatList& methods);
// The method of a code as written in a filter, or nullptr.
const TStatMethod* FindScriptMethod(const QString& word, const TStatList& methods);
QString FormatFilterItem(const TFilterItem& item);
inline QString FilterItemText(const TFilterItem& item) { return FormatFilterItem(item); }
QString FormatFilterPart(const TFilterPart& part);
// The texts of the used parts joined by " + ".
QString FilterPartsText(const TFilterParts& parts);

// "LL.VVV: comment @ step".
QString StakeCommentText(int lineNo, int variantNo, const QString& comment, const QString& stepText);

// ---------------------------------------------------------------------------------------
// Variants of one filter.

// Variants of a filter step at most: more cannot be held in memory at once.
inline constexpr int MaxFilterVariants = 1000000;

// Raised when a filter (or a line) asks for more than MaxFilterVariants variants.
class ETooManyFilterVariants : public Exception {
public:
    using Exception::Exception;
};

// The draws a step with this draws length computes over: a length below 1 (0, or a negative
// one a line may hold) is a window over no draws, a step without rows.
inline int StepWindowLength(std::int32_t drawsLen) { return drawsLen < 0 ? 0 : drawsLen; }

// The draws-length values and, when the level mode is not LNO, the level values of a
// filter. Raises Exception "Некорректное описание фильтра: %s!" when a list is empty or not
// a list, and ETooManyFilterVariants when it is a list of more values than a run can take.
// Every draws length is taken, as the line writes it (see StepWindowLength).
void GetFilterItemLists(const TFilterItem& item, TIntArray& drawsLens, TIntArray& levels);
// How many variants the filter gives, without building them (same errors as above).
std::int64_t FilterItemVariantCount(const TFilterItem& item);
// The variants of one filter, draws lengths varying slowest: one per level value in the
// threshold modes and in the weight and period list modes, one per draws length otherwise.
// Raises the errors above, and ETooManyFilterVariants past MaxFilterVariants.
std::vector<TFilterPart> ExpandFilterItem(const TFilterItem& item);
