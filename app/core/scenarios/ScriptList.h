#pragma once

#include "engine/KelmaStatList.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// ---------------------------------------------------------------------------------------------
// Scenario files (the current scenario ".lss" and the user's ".lsc"): one line of the scenario
// per text line, cp1251, every line ended by CR LF, no header.

// The file form of the lines: exactly these strings, each followed by CR LF.
QByteArray ScriptLinesToBytes(const QStringList& lines);
// The lines of a file: breaks at CR LF, LF or CR; a break at the very end opens no further line.
QStringList ScriptLinesFromBytes(const QByteArray& bytes);

// What the scenario list shows for a line: the comment, the options caption and the seven
// filters in their normalised text form. A line of nothing but blanks shows as an empty row.
inline constexpr int ScriptRowColumnCount = 9;
QStringList ScriptRowTexts(const QString& line, const TStatList& methods);

// ---------------------------------------------------------------------------------------------
// What a command of the scenario list leaves for the view. When the list changed, the view
// clears its selection and then selects Select alone, scrolled into view, when it is a row;
// when it did not (cancelled, refused or failed), the view keeps its selection.
struct TScriptCommandResult {
    bool Changed = false;   // the list changed and the current scenario was saved
    int Select = -1;
};

// The lines of the current scenario, their file beside the program and the commands of the
// scenario tab. No window: the file prompts and the line dialog are seams the window fills
// (and tests script); questions and errors go through the support message seam. The list is
// saved after every change, so the current scenario file always holds what the list shows;
// a change that cannot be saved is shown and undone.
class TScriptList {
public:
    // folder: the data folder, where the current scenario file lies.
    explicit TScriptList(const QString& folder);
    TScriptList(const TScriptList&) = delete;
    TScriptList& operator=(const TScriptList&) = delete;

    static constexpr const char* CurrentFileBaseName = "Tavrix2_2r10.lss";
    static constexpr const char* FileDefaultExt = "lsc";
    // The current scenario file.
    const QString& CurrentFileName() const { return FCurrentFileName; }

    // --- Seams ----------------------------------------------------------------------------
    // A file-name prompt for scenario files (filter "Description (*.lsc)|*.lsc", default
    // extension); save asks for a name to write. True with the name in fileName.
    std::function<bool(bool save, const QString& filter, const QString& defaultExt, QString& fileName)>
        PromptFile;
    // The line dialog on a line, with its title; true on OK with the line changed in place.
    std::function<bool(QString& line, const QString& title)> EditLine;
    // The list changed: the view sets its row count to Count() and repaints.
    std::function<void()> OnChanged;

    // --- The lines ------------------------------------------------------------------------
    const QStringList& Lines() const { return FScriptLines; }
    int Count() const { return static_cast<int>(FScriptLines.size()); }
    bool IsEmpty() const { return FScriptLines.isEmpty(); }
    // The texts of row `row`; nine empty texts outside the list.
    QStringList RowTexts(int row, const TStatList& methods) const;

    // Appends the line and saves the current scenario; the new index, or -1 when it could not
    // be saved (the error is shown and the line taken back).
    int AddScriptLine(const QString& text);
    // Replaces a line and saves; false when it could not be saved (the line is put back).
    // Raises Exception "Запись со индексом %d ..." for an index outside the list.
    bool SetScriptLine(int index, const QString& text);
    // Raises the same error outside the list.
    QString GetScriptLine(int index) const;

    // --- Files ----------------------------------------------------------------------------
    // Reads a scenario file, in the busy state with its status. Without append, or into an
    // empty list, the file's lines replace the list; with append they follow it, after an
    // empty separator line unless the list already ends with one (a file without lines adds
    // nothing). A read error is shown and leaves the list as it was. False on an error.
    bool LoadScriptFile(const QString& fileName, bool append);
    // Writes the list as a whole or not at all; an error is shown. False on an error.
    bool SaveScriptFile(const QString& fileName);
    // At start-up: the current scenario file when it exists; no message when it does not.
    bool LoadCurrentScript();
    bool SaveCurrentScript();

    // --- Commands -------------------------------------------------------------------------
    // Open replaces the list by a file, Merge appends one; both then save the current scenario
    // (a failure takes the list back to what it was). Save writes the list to a file.
    TScriptCommandResult Open();
    TScriptCommandResult Merge();
    bool Save();
    // The line dialog on an empty line; on OK the line is appended and selected.
    TScriptCommandResult Add();
    // An empty separator line appended and selected.
    TScriptCommandResult AddSeparator();
    // The line dialog on a copy of the row; on OK the copy is appended and selected.
    TScriptCommandResult Clone(int row);
    // The line dialog on the row; on OK the row is replaced and stays selected.
    TScriptCommandResult Edit(int row);
    // Deletes the given rows (any order, repeats and rows outside the list ignored) after the
    // delete question.
    TScriptCommandResult Delete(const QList<int>& rows);
    // Every line, after the delete question.
    TScriptCommandResult ClearAll();
    // Swaps the row with its neighbour and selects it at its new place.
    TScriptCommandResult MoveUp(int row);
    TScriptCommandResult MoveDown(int row);

    // --- When the commands are enabled (besides the busy state) ---------------------------
    bool CanSave() const { return !IsEmpty(); }
    bool CanAddSeparator() const { return !IsEmpty(); }
    // Clone and Edit: a row that is not a separator.
    bool CanEdit(int row) const;
    bool CanDelete(const QList<int>& rows) const;
    bool CanClearAll() const { return !IsEmpty(); }
    bool CanMoveUp(int row) const { return row > 0 && row < Count(); }
    bool CanMoveDown(int row) const { return row >= 0 && row < Count() - 1; }

private:
    bool ValidRow(int row) const { return row >= 0 && row < Count(); }
    // Saves the current scenario after a change; on failure the list goes back to `before`.
    bool Commit(const QStringList& before);
    void Changed();
    // A line from the dialog that the file could not hold as one line of nine fields is
    // refused with an error.
    bool AcceptDialogLine(const QString& line) const;
    TScriptCommandResult AppendFromDialog(const QString& start);
    TScriptCommandResult Swap(int row, int other);

    QString FCurrentFileName;
    QStringList FScriptLines;
};
