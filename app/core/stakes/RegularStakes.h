#pragma once

#include "app/core/shell/MainState.h"
#include "app/core/files/RecordFile.h"
#include "app/core/stakes/StakesFile.h"
#include "engine/KelmaStakes.h"
#include "engine/KelmaUtils.h"
#include "platform/Cp1251.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

// One regular stake: a rule that makes the next stake by itself, starting from a fixed
// combination (or from the previous draw) and shifting both digits by a fixed step at every
// stake. A record of the regular-stakes file, 272 bytes, little-endian, no header:
//   0  256  comment, short string (length byte, up to 255 cp1251 bytes): the rule's name
// 256    1  use last draw (1: each stake starts from the previous draw's digits)
// 257    2  start combination, digit 1 first
// 259    2  current combination: that of the last stake made
// 261    3  zero
// 264    4  step, signed, added to both digits at every stake
// 268    4  stakes made, signed
struct TTableRec {
    TShortString<255> Comment;   // kept as stored bytes: the stakes carry them unchanged
    bool UseLastDraw = false;
    TCombWord StartComb = 0;
    TCombWord CurrComb = 0;
    std::int32_t Step = 0;
    std::int32_t StakesMade = 0;

    // A rule whose step lies outside -9..9 or whose combinations hold a digit outside 0..9.
    // It is listed as stored but never makes a stake.
    bool IsDamaged() const;

    bool operator==(const TTableRec&) const = default;
};

inline constexpr int TableRecSize = 272;
static_assert(TShortString<255>::Size + 1 + 2 + 2 + 3 + 4 + 4 == TableRecSize);

using TTablesArray = std::vector<TTableRec>;

void WriteTableRec(const TTableRec& rec, std::uint8_t* bytes);
TTableRec ReadTableRec(const std::uint8_t* bytes);
QByteArray TablesToBytes(const TTablesArray& tables);

// Both digits plus the step, wrapped into 0..9 for every step (negative ones too); a digit
// outside 0..9 is taken modulo 10 first.
TCombWord ShiftTableComb(TCombWord comb, int step);
// "d1;d2" as the list shows a combination.
QString TableCombText(TCombWord comb);

// The list's columns: comment, start combination, step, current combination, stakes made.
inline constexpr int TableColumnCount = 5;
QStringList TableColumnCaptions();
QStringList TableRowTexts(const TTableRec& rec);

// "name (n)" for the n-th of several rules made at once, with n moved on to the next free
// number while the name is taken (by an existing rule or one made before it).
QString UniqueTableName(const QString& name, int n, const QStringList& taken);

// What loading the file found.
struct TTablesLoadReport {
    bool Loaded = false;     // the tab was shown and the file existed
    int Records = 0;
    qint64 ExtraBytes = 0;   // bytes after the last whole record
    int MendedRules = 0;     // rules whose stakes-made count was below zero: set to 0
    int DamagedRules = 0;    // rules that are listed but make no stake (see TTableRec::IsDamaged)
    QString BackupFile;      // the copy of the original, kept before a repair
    QString BackupError;     // why the copy could not be written
    int RemovedStakes = 0;   // stakes of an interrupted run whose rules were not saved
    bool Damaged() const { return ExtraBytes > 0; }
    // The file will be written with something it did not hold: its original is copied first.
    bool NeedsCopy() const { return Damaged() || MendedRules > 0; }
};

// Where the stakes file and the rules file agree only through the rules journal.
enum class TTablesPoint {
    StakesMade,   // the stakes are in the stakes file, the rules that made them are not saved
    RulesSaved,   // the rules are saved, the journal still stands
};

// The regular stakes of the main window: the array FTables, its file and the four commands
// (add, delete, stake from a rule, test over past draws). No window: the dialogs, the stake
// creation, the stake check and the grid are seams the window fills (and tests script);
// questions and errors go through the support message seam. The file is read and written
// only while the tab "Регуляры" is shown (option TabTables).
//
// A rule moves on only with the stakes it made: before a command appends its stakes, a
// journal beside the rules file records the stakes file's size and a digest of the rules file.
// The journal goes once the rules are saved, and only then are the stakes checked. A start
// that finds the journal with the rules file unchanged cuts the stakes file back to that size,
// so the stakes go with the rules that did not move; the command can then be run again.
class TRegularStakes {
public:
    static constexpr char BaseName[] = "Tavrix2_2r10.ltb";

    explicit TRegularStakes(TMainState& state);
    TRegularStakes(const TRegularStakes&) = delete;
    TRegularStakes& operator=(const TRegularStakes&) = delete;

    TTablesArray FTables;
    // The stakes file the commands append to (none: no journal).
    TStakesFile* Stakes = nullptr;
    // Called at every point of TTablesPoint (tests stop the process there).
    std::function<void(TTablesPoint point)> Checkpoint;

    QString FileName() const;
    QString JournalFileName() const { return FileName() + QLatin1String(".~chk"); }
    bool TabShown() const { return FState.Options.Flag(TMainOptions::TabTables); }

    // --- Seams ----------------------------------------------------------------------------
    // The rule dialog over the record, with the names already in use; true on OK.
    std::function<bool(const QStringList& comments, TTableRec& rec)> EditTable;
    // How many past draws to test over (1..largest); 0 on Cancel.
    std::function<int(int largest)> AskTestCount;
    // The one-stake dialog: the record and the draw count in and out; true on OK.
    std::function<bool(TStakeRec& rec, int& drawCount)> EditStake;
    // Appends a stake, then checks the stakes and refreshes the grid; false on failure.
    std::function<bool(const TStakeRec& rec, int drawCount)> CreateStake;
    // Appends a stake without checking; false on failure.
    std::function<bool(const TStakeRec& rec, int drawCount, bool batch)> CreateStakes;
    // Scores the stakes against the draws and reloads what the scoring changed.
    std::function<void()> CheckStakes;
    // The stakes grid follows the file.
    std::function<void(bool resize, bool scroll)> RefreshGrid;
    // The list follows FTables (item count and repaint).
    std::function<void()> OnViewChanged;
    // The list's selection is cleared.
    std::function<void()> ClearSelection;

    // --- File -----------------------------------------------------------------------------
    // Start-up: no rules.
    void InitTables();
    // First finishes a command that was cut short (see the class). Then, only while the tab
    // is shown and the file exists: reads every whole record. A file with bytes after its last
    // whole record keeps those records, a negative stakes-made count is set to 0; a copy of the
    // original is kept first and the user is told, as of the damaged rules. A read error is
    // shown; the rules stay empty.
    TTablesLoadReport LoadTablesFile();
    // Only while the tab is shown: rewrites the whole file atomically when its content
    // changed. Raises Exception.
    void SaveTablesFile();
    // The tab command: writes TabTables at once; shown loads the file, hidden empties FTables.
    void SetTabShown(bool shown);
    // The text that tells the user what the load found and did; empty when there was nothing.
    static QString DamageText(const TTablesLoadReport& report, const QString& fileName);

    // --- Rules ----------------------------------------------------------------------------
    // Removes one rule; an index outside the array raises Exception.
    void DeleteTable(int index);
    // Advances the rule: the base is the draw at the offset (the previous draw as seen from
    // there) when it uses the last draw, else its current combination; the base shifted by the
    // step becomes the current combination and one more stake is counted.
    void NextTableComb(TTableRec& rec, int drawOffset) const;
    // The stake a rule (already advanced) makes for the draw after the one at the offset.
    TStakeRec RegularStake(const TTableRec& rec, int drawOffset) const;
    QStringList Comments() const;

    // --- Commands -------------------------------------------------------------------------
    // Whether the commands can run now (besides the busy state the caller checks).
    bool CanAdd() const { return TabShown(); }
    bool CanDelete(int selected) const { return TabShown() && selected > 0; }
    bool CanStake(int selected) const { return TabShown() && selected == 1; }
    // The test needs two stored draws: one to stake on and one before it.
    bool CanTest(int selected) const;

    // Adds rules for the selected combinations of the list (in list order). True when the
    // dialog was accepted.
    bool TablesAdd(const QList<TCombWord>& selectedCombs);
    // Deletes the rules of the given rows after the question.
    bool TablesDel(const QList<int>& rows);
    // Makes a stake from the rule of the row through the stake dialog.
    bool TablesStakeAdd(int row);
    // Tests the rules of the rows over past draws: for every offset from n down to 1, each rule
    // makes a stake for the draw after it; the stakes are checked once at the end. The views
    // are locked meanwhile; offset, lock and busy state are restored on every path.
    bool TablesStakeTest(const QList<int>& rows);

private:
    void ViewChanged();
    // Saves the file, showing an error; false when it failed.
    bool SaveShowingError();
    // The rows as valid, distinct indexes in ascending order.
    QList<int> ValidRows(const QList<int>& rows) const;
    bool RunTest(const QList<int>& rows, int count);
    void Point(TTablesPoint point) const
    {
        if (Checkpoint)
            Checkpoint(point);
    }
    // The journal of a command about to append stakes; false (error shown) when it cannot be
    // written, and then nothing may be appended.
    bool OpenJournal();
    // The rules are saved (or nothing was appended): the journal goes.
    void CloseJournal();
    // The rules could not be saved: the stakes made since the journal go, the rules are put
    // back. When the stakes file cannot be cut, the journal stays for the next start.
    void RollBack(const TTablesArray& rules);
    // A start finds the journal: see the class. Returns the stakes removed.
    int FinishInterruptedRun();

    TMainState& FState;
    // The damaged original still needs its copy before the file may be rewritten.
    QByteArray FPendingBackup;
    qint64 FJournalSize = -1;   // the stakes file's size when the journal was written
};
