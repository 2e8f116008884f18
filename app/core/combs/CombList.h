#pragma once

#include "app/core/shell/MainState.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// ---------------------------------------------------------------------------------------------
// The store of a combination list. Items is the store, Count the entries in use; the store
// only grows. Count comes from many hands, so every reader takes it through CombsUsed.

// Count clamped to 0..store size.
int CombsUsed(const TCombList& list);
// Grows the store to n entries when it is smaller, then sets the count (clamped to the store).
void SetCombsCapacity(TCombList& list, int n, int count);
// Appends a combination, growing the store when it is full.
void AppendComb(TCombList& list, TCombWord comb);
// to := the entries in use of from; to's store grows when needed, never shrinks.
void CopyCombList(const TCombList& from, TCombList& to);
// The entries in use, as a plain array.
TCombsArray CombsOf(const TCombList& list);

// ---------------------------------------------------------------------------------------------
// Combination list files (".lcv"): one combination per line, "digit;digit", cp1251, CR LF.

struct TCombsFileContents {
    TCombsArray Combs;
    int BadDigitLines = 0;   // two-field lines with a number outside 0..9, left out
};

// The file form of the combinations.
QByteArray CombsToBytes(const TCombsArray& combs);
// Reads the lines of a file: a line is taken when it splits into exactly two words at ','
// and ';'; each word, trimmed, is a number (a word that is not one counts as 0). A line whose
// numbers are not both digits 0..9 (a number of any length outside them) is left out and
// counted; other lines are left out silently.
// Lines end at CR LF, LF or CR.
TCombsFileContents CombsFromBytes(const QByteArray& bytes);
// A word a person typed or pasted as one digit: the trimmed word holds decimal digits only
// and their number is 0..9 ("7", "07"). A letter, a sign or a number past 9 is no digit; it
// is refused, never read as 0.
bool ReadDigitWord(const QString& word, std::uint8_t& digit);
// A pasted line as a combination: exactly two words at tab, blank, ',', '-', '.', ':', ';'
// and '|', each a digit by ReadDigitWord. Raises Exception "Некорректная комбинация: ..."
// otherwise, quoting at most the start of a long line.
TCombWord PastedLineToComb(const QString& line);

// ---------------------------------------------------------------------------------------------
// One row of the applied-filters list.

inline constexpr int HistoryImageUndo = 11;      // the undo row
inline constexpr int HistoryImagePlain = 12;     // a step without the success flag
inline constexpr int HistoryImageSuccess = 13;   // a step with it

struct TFilterHistoryRow {
    QString Caption;
    QString Values;
    int Count = 0;   // combinations in the list after the step
    int Image = HistoryImagePlain;

    bool operator==(const TFilterHistoryRow&) const = default;
};

// What row i of the combination list shows.
struct TCombRow {
    QString Number;   // i + 1
    QString Digit1;
    QString Digit2;
    QString Sum;
    // With the option ColorCombs: the digit cells in their channel's colour, the others white
    // (0x00BBGGRR); none: the list's own colours.
    std::optional<std::uint32_t> Background;
    std::optional<std::uint32_t> DigitColor1, DigitColor2;
};

inline constexpr std::uint32_t CombsPlainColor = 0x00FFFFFF;

// ---------------------------------------------------------------------------------------------
// The combination list of the main window with its one-level undo copy, the buffer that the
// scenario runs reuse between lines, the applied-filters list, the ".lcv" files and the list
// commands. The lists themselves live in the main state; this class changes them and tells the
// window through the two callbacks. Message boxes go through the support seam.
class TCombListOps {
public:
    explicit TCombListOps(TMainState& state) : FState(state) {}
    TCombListOps(const TCombListOps&) = delete;
    TCombListOps& operator=(const TCombListOps&) = delete;

    TMainState& State() { return FState; }
    int Count() const { return CombsUsed(FState.FCombs); }
    TCombWord Comb(int i) const;   // 0 outside the list

    // --- The list -------------------------------------------------------------------------
    void ClearCombs();
    // Linear search for a combination with the same two digits.
    bool CombInList(TCombWord comb) const;

    // --- Undo -----------------------------------------------------------------------------
    // The undo copy := the list; with showStatus inside the busy state with its status text.
    void SaveUndo(bool showStatus);
    // The list := the undo copy, which is then used up (count 0), and the display refreshed.
    void RestoreUndo(bool showStatus);
    void ClearUndo();
    int UndoCount() const { return CombsUsed(FState.FUndoCombs); }

    // --- Buffer ---------------------------------------------------------------------------
    // Copies the list into the buffer under the keys, unless the buffer holds these keys.
    void SaveBuffer(int key1, int key2);
    // The list := the buffer when it holds these keys and is not empty; false otherwise. An
    // error is shown ("Ошибка загрузки буфера комбинаций! ...") and gives false.
    bool LoadBuffer(int key1, int key2);
    void ClearBufferKey();

    // --- Changes that rebuild the list from the undo copy (the caller has just filled it) ----
    // Keeps the combinations that equal none of the n newest draws of the analysed range (the
    // range ends DrawsOffset draws before the newest); n = 0 keeps all.
    void DeleteCombsOfLastDraws(int n);
    // Keeps the entries whose rows are not among `rows` (rows outside the list are ignored).
    void DeleteSelectedCombs(const QList<int>& rows);

    // --- Files ----------------------------------------------------------------------------
    // Reads an ".lcv" file into the list (emptied first). A file that cannot be read shows
    // "Ошибка чтения файла ..." and gives false with the list empty. badDigitLines receives
    // the number of lines left out for numbers outside 0..9.
    bool ReadCombsFile(const QString& fileName, int* badDigitLines = nullptr);
    // Writes the list atomically; a failure shows "Ошибка записи в файл ..." and gives false.
    bool WriteCombsFile(const QString& fileName);
    // The text that tells how many lines of a file were left out; empty for none.
    static QString BadDigitLinesText(const QString& fileName, int count);

    // --- Commands -------------------------------------------------------------------------
    // Open: undo copy, read, on failure back to the undo copy; the undo copy is then used up
    // and the applied filters cleared. Lines left out are told in a warning box.
    bool OpenCombsFile(const QString& fileName);
    bool SaveCombsFile(const QString& fileName);
    // Undo: back to the undo copy, and the applied-filters row of the step undone removed.
    void Undo();
    // Exclude the n newest draws / delete the selected rows, each with its undo copy first.
    void DeleteLastDraws(int n);
    void DeleteSelected(const QList<int>& rows);
    // The selected rows as text, "07 03" per line, for the clipboard.
    QString CopyText(const QList<int>& rows) const;
    // Pastes clipboard text, one combination per line. A line that is not a combination of
    // digits 0..9 shows its error and leaves the list as it was. True for a complete paste.
    bool PasteText(const QString& text);
    // Distinct digits over the whole list (at most 10), and the information text about them.
    int CountDistinctDigits() const;
    QString DistinctDigitsText() const;
    void CheckNums();
    // The draws of the whole archive, newest first, that equal the combination in both
    // positions: the information text (at most 26 draws are listed).
    QString FindInDrawsText(TCombWord comb) const;
    void FindInDraws(int row);

    // --- Applied filters ------------------------------------------------------------------
    const QList<TFilterHistoryRow>& FilterHistory() const { return FHistory; }
    // Puts back rows taken earlier (an operation that failed half-way).
    void SetFilterHistory(const QList<TFilterHistoryRow>& rows);
    void ClearFilterHistory();
    // Appends caption, values, the list's count, image 13 with the flag, else 12.
    void AddFilterHistory(bool success, const QString& caption, const QString& values);
    void AddUndoHistory();
    void RemoveLastFilterHistory();

    // --- Display --------------------------------------------------------------------------
    // Tells the window the list's count (OnCombsChanged).
    void RefreshCombsView();
    QString CombCountText() const;   // "Комбинаций: %d"
    TCombRow CombRow(int i) const;

    // The window sets the item count of its list and the status panel.
    std::function<void(int count)> OnCombsChanged;
    // The applied-filters list changed.
    std::function<void()> OnHistoryChanged;

private:
    void HistoryChanged();

    TMainState& FState;
    QList<TFilterHistoryRow> FHistory;
};
