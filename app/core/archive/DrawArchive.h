#pragma once

#include "app/core/shell/MainState.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// What loading the archive file found.
struct TArchiveLoadReport {
    bool FileFound = false;
    int Records = 0;
    qint64 ExtraBytes = 0;   // bytes after the last whole record
    // Records skipped for a digit outside 0..9 ("number key" of each, in file order): every
    // table of the program is indexed by the digits, so such a draw cannot be used.
    QStringList BadDigitDraws;
    QString BackupFile;      // the copy of the damaged original, when there was damage
    bool Repaired = false;   // the damaged file was rewritten with its whole records
    QString RepairError;     // why the copy or the rewrite failed; the file then stays as it was
    bool Damaged() const { return ExtraBytes > 0 || !BadDigitDraws.isEmpty(); }
};

// One row of the draw list: row k shows the draw at position k from the newest.
struct TDrawRow {
    QString Number;
    QString Digit1;
    QString Digit2;
    QString Sum;
    QString Key;
    bool Current = false;                               // the newest analysed draw
    std::optional<std::uint32_t> Background;            // 0x00BBGGRR; none: the list's own
    std::optional<std::uint32_t> DigitColor1, DigitColor2;
};

// Colours of the draw list, 0x00BBGGRR.
inline constexpr std::uint32_t CurrentDrawColor = 0x00AAAAFF;   // light red 255, 170, 170
inline constexpr std::uint32_t PlainDrawColor = 0x00FFFFFF;

// Why a draw cannot stand in the archive as given.
enum class TDrawRefusal {
    None,
    NumberTaken,   // another draw has its number
    BadDate,       // the key is no draw key, or names no day of 1901..2998
    DateAfterToday,   // the draw's date and time lie after the clock: it is not held yet
    KeyTaken,      // another draw has its key (letter case ignored)
    NotNewer,      // added as the newest, but not later than the newest stored draw
    NumberNotAbove,   // added as the newest, but numbered below the newest stored draw
    OutOfOrder,    // changed in place, but not between the draws before and after it
    NumberOutOfOrder,   // changed in place, but not numbered between the draws before and after it
    BadNumber,     // numbered below 1, with no draw before it to say so
};
struct TDrawCheck {
    TDrawRefusal Refusal = TDrawRefusal::None;
    QString Message;   // what the user is told; empty with None
    bool Refused() const { return Refusal != TDrawRefusal::None; }
};

// The draw archive's file and the commands that change it by hand. Every change ends with the
// file rewritten; the busy state and the status line are left on every path.
class TDrawArchive {
public:
    explicit TDrawArchive(TMainState& state) : FState(state) {}

    // Reads the archive file when it exists (the archive stays as it is otherwise). A file
    // whose size is not a multiple of the record size keeps its whole records, and records
    // with a digit outside 0..9 are skipped: a copy of the original is kept, then the file is
    // rewritten with the sound records, so that the next start finds a sound file. When either
    // step fails the file stays as it was (the bad records are still left out); the report
    // says so.
    TArchiveLoadReport LoadDrawsFile();
    // The text that tells the user about a damaged file; empty when there was none.
    static QString DamageText(const TArchiveLoadReport& report, const QString& fileName);

    // Writes FDraws to the file. Raises when it cannot; FDraws is then left as the caller
    // made it, so a command that changed it saves through one of the two calls below.
    void SaveDrawsFile();
    // Saves after FDraws was changed. When the file cannot be written, FDraws gets `previous`
    // back (what the file still holds), the list and the status panels are updated
    // (UpdateDrawsInfo with force), and the error propagates.
    void SaveDrawsFileOrRestore(TDrawsArray previous);
    // The same after draws were appended to an archive of previousCount draws: on failure the
    // appended draws are dropped again.
    void SaveAppendedDraws(size_t previousCount);

    // Removes the record at the archive index; raises "Запись со индексом %d ..." outside it.
    void DeleteDrawRecord(int index);

    // A new record for the add command, digits zero: the draw that follows the newest stored
    // one (its midday draw is followed by the evening draw of that day, its evening draw by the
    // midday draw of the next day), numbered on from it. A later draw would leave one out that
    // no command could bring in afterwards. The key stays empty when the archive is empty or
    // its newest key does not read. The clock is not looked at: CheckDraw refuses a draw it has
    // not reached yet.
    TDrawRec NewDrawRecord() const;
    // Appends draws in order as the newest ones, without saving (the caller saves through
    // SaveAppendedDraws). Every record is checked first: a digit outside 0..9, a key that is no
    // draw date, or a draw out of the archive's order (see CheckDraw) after the newest stored
    // draw or the draw before it in the batch raises, and nothing is appended.
    void AppendDraws(const TDrawsArray& draws);
    // Whether a draw may stand in the archive: at the archive index in place of the draw there,
    // or with index -1 as the newest draw. The archive never holds one number or one key twice
    // (lookups by number and by key would find either draw), nor a key that is no date or a
    // draw held after the clock (the download starts at the newest draw's date), and it stays
    // in draw order, which every change of the archive keeps: numbers and moments rise strictly
    // from each draw to the next (a neighbour whose key does not read sets no bound on the
    // moment). Lookups by number, the next number offered to stakes and downloads, and the
    // download's start rely on it. Digits are not looked at.
    TDrawCheck CheckDraw(const TDrawRec& draw, int index) const;
    // Appends a draw as the newest one, saves, refreshes the views. A digit outside 0..9 or a
    // draw that CheckDraw refuses raises with its message, and nothing changes.
    void AddDraw(const TDrawRec& draw);
    // Replaces the draw at the archive index in place, saves, refreshes the views; refuses as
    // AddDraw does.
    void EditDraw(int index, const TDrawRec& draw);
    // Asks DeleteQuery for the count, then deletes the draws at these archive indexes (numbers
    // shown in the list may repeat after edits, indexes do not). Every index is checked before
    // anything is removed. True when draws were deleted.
    // A failed save undoes each of these three commands in memory before the error propagates.
    bool DeleteDraws(const QList<int>& indexes);
    // The archive index of list row k (position k from the newest); -1 outside.
    int IndexOfRow(int row) const;

    // Toggles the option SortedDraws and recomputes the views.
    void ToggleSortedDraws();
    // What list row k shows under the current options and offset.
    TDrawRow DrawRow(int row) const;

private:
    template <typename TUndo>
    void SaveOrUndo(TUndo undo);

    TMainState& FState;
};

// The draw dialog's digits: two words split at "," or ";", each, trimmed, an integer 0..9.
bool ParseDrawDigitsText(const QString& text, std::uint8_t& digit1, std::uint8_t& digit2);
// The digits as the dialog shows them: "d;d".
QString DrawDigitsText(const TDrawRec& draw);
// The key of a draw held on the date at the time of day (only their date and time parts
// count), through the installed draw-date text.
QString MakeDrawKey(TDateTime date, TDateTime time);
