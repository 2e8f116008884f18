#pragma once

#include "app/core/archive/DrawArchive.h"
#include "app/core/shell/MainState.h"
#include "engine/KelmaUtils.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QIODevice;

// The draw archive as CSV text (cp1251, one draw per line, oldest first):
//     number;"key";digit 1;digit 2
// Import also takes lines of three fields, key;digit 1;digit 2, numbered on from the newest
// draw. Fields are split as follows: characters 1..32 before a field are skipped; a field that
// begins with a double quote runs to the closing quote (a doubled quote inside stands for one);
// any other field runs up to the next ';' or character 1..32; after a field such characters are
// skipped, then one ';' and the characters 1..32 after it; a ';' that ends the line adds an
// empty last field. So a blank separates fields just as ';' does, and a key with a blank in it
// must be quoted.

// The fields of one line.
QStringList SplitDrawsCsvLine(const QString& line);

// One draw as export writes it: number;"key";digit 1;digit 2 (a quote in the key doubled).
QString DrawToCsvLine(const TDrawRec& draw);
// The whole file: every draw's line followed by CR LF, in cp1251.
QByteArray DrawsToCsvBytes(const TDrawsArray& draws);

// What an import takes from a file and what it leaves.
struct TDrawsImportPlan {
    TDrawsArray Added;            // the draws to append, in draw order
    int Lines = 0;                // lines that are not blank
    int SkippedFormat = 0;        // neither 3 nor 4 fields, or a number that is not 1..2^32-1
    int SkippedDigits = 0;        // a digit outside 0..9
    int SkippedBadDate = 0;       // the key is no draw date "mm/dd/yyyy M|E"
    int SkippedFuture = 0;        // the draw's date and time lie after the clock
    int SkippedStored = 0;        // the key or the number is in the archive already (stored,
                                  // or added from an earlier line)
    int SkippedConflict = 0;      // the key is in the archive already with other digits
    int SkippedOlder = 0;         // held before the newest draw
    int SkippedNumber = 0;        // a later draw whose number is not above the newest draw's
    int Skipped() const
    {
        return SkippedFormat + SkippedDigits + SkippedBadDate + SkippedFuture + SkippedStored + SkippedConflict
               + SkippedOlder + SkippedNumber;
    }
};

// The draws a file adds to the archive at the moment `now`. A UTF-8 byte order mark at the
// start of the file is passed over (editors write one; the rest is read as cp1251 all the
// same). A line's key is cut to 12 characters. A draw is offered only when each digit cell is
// one digit 0..9 (a letter or an empty cell is no 0) and its key reads as a draw date
// (ReadDrawKey) held by `now`. The offered draws are taken in draw order, whatever order the
// file lists them in (a file written newest first loses nothing): each is added when its key
// (letter case ignored) and its number are neither stored nor added before it, and both its
// number and its moment are above the newest draw's, stored or added. A key stored or added
// before with other digits is counted apart from a plain repeat: one of the two is wrong. So the
// archive stays in the order of its numbers and of its dates, and the newest draw is the one
// with the highest number and the latest date (a stored newest key that does not read sets no
// bound on the moment). A 3-field line gets the number after the newest draw's at its turn,
// as a draw added by hand does.
TDrawsImportPlan PlanDrawsImport(const TDrawsArray& stored, const QByteArray& fileBytes, TDateTime now);

// Every byte the device holds. Raises Exception naming the file when it reports an error,
// wherever in the file that happens.
QByteArray ReadDrawsCsv(QIODevice& device, const QString& fileName);

// The largest file an import reads: far above any archive (a line of some 24 bytes per draw,
// two draws a day, is under 20 KB a year), small enough to be held with its text at once.
inline constexpr qint64 MaxDrawsCsvBytes = 32 * 1024 * 1024;
// The bytes of the named file for an import: a regular file (a link counting as what it points
// to) of at most MaxDrawsCsvBytes, opened without waiting on a pipe. Raises Exception naming the
// file otherwise, or when it cannot be read.
QByteArray ReadDrawsCsvFile(const QString& fileName);

// The text that tells the user what an import added and skipped.
QString DrawsImportReport(const TDrawsImportPlan& plan);

// The import and export commands of the draw list. File names and messages go through seams;
// the busy state and the status line are left on every path, and a failure propagates as
// Exception for the window's error display.
class TDrawsCsvExchange {
public:
    TDrawsCsvExchange(TMainState& state, TDrawArchive& archive) : FState(state), FArchive(archive) {}

    // The prompt for a file: save asks for a name to write. True with the name in fileName.
    std::function<bool(bool save, const QString& filter, const QString& defaultExt, QString& fileName)>
        PromptFile;
    // Opens the file for reading in place of ReadDrawsCsvFile (tests hand in a device that fails
    // part-way).
    std::function<std::unique_ptr<QIODevice>(const QString& fileName)> OpenFile;

    // Import: asks for a file, reads it whole, appends the draws it adds by the clock and
    // saves the archive once, then tells the user what was added and skipped. When the file
    // cannot be read to its end nothing is appended. Nothing when the prompt was cancelled.
    std::optional<TDrawsImportPlan> Import();
    // Export: asks for a file name and writes the archive to it atomically. False when
    // cancelled.
    bool Export();
    // The export command has something to write.
    bool CanExport() const { return !FState.FDraws.empty(); }

    // "Файлы тиражей (*.csv)|*.csv" and "csv".
    static QString FileFilter();
    static QString DefaultExt();

private:
    TMainState& FState;
    TDrawArchive& FArchive;
};
