#pragma once

#include "engine/KelmaUtils.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class TStakesFile;

// Ratings: one record per stake comment (letter case ignored) that counts the scored stakes,
// the positions they matched and their money result. The list shows them in the order of the
// last sort, and the file is rewritten after every sort.

// lvRatings columns: comment, stakes, matched, average, profit, average profit, the stakes
// with 0, 1 and 2 matched positions, then one efficiency figure per matched count.
inline constexpr int RatingColumnCount = 12;
QStringList RatingColumnCaptions();
// The list's default sort: "Среднее", descending.
inline constexpr int RatingDefaultSortColumn = 3;

// Combinations that share exactly m positions with a draw, and their share of all of them.
struct TExpectedHit {
    std::int64_t Count = 0;
    long double Share = 0;
};
using TExpectedHits = std::array<TExpectedHit, RatingMatchCounters>;
TExpectedHits MakeExpectedHits();

// Which figure the three efficiency columns show (the option RatingsEffMode): 0 the stakes
// expected to match by chance, 1 the actual share less the expected share in percent, 2 the
// actual count as a percentage of the expected one. Another value shows mode 1, the default.
inline constexpr int RatingEffModeDefault = 1;
// Empty for a rating without stakes.
QString RatingEfficiencyText(const TRatingRec& rating, int matched, int effMode, const TExpectedHits& expected);
// The texts of one list row, RatingColumnCount of them.
QStringList RatingRowTexts(const TRatingRec& rating, int effMode, const TExpectedHits& expected);
// Balance per stake to the nearest ten-thousandth (a half to the even one); stakes > 0.
TCurrency AverageBalance(const TRatingRec& rating);

// The sort's comparison for a list column: its sign only (-1, 0, 1). A pair where either rating
// has no stakes compares equal, and differences of averages and amounts count only from a
// hundredth on, so this is not an order a library sort may be given.
int CompareRatings(const TRatingRec& a, const TRatingRec& b, int column);
// Quicksort with the middle element as pivot, by CompareRatings (negated when descending).
// The scans never leave the range and the depth stays logarithmic whatever the comparison
// says, so ties and inconsistent pairs only affect the order.
void QuickSortRatings(TRatingsArray& ratings, int column, bool descending);

// The CSV export, cp1251 with CRLF line ends: the captions of all columns quoted, then per
// rating the quoted comment, stakes, matched, average, balance, average balance and the three
// counters, separated by ";". A rating without stakes leaves its two averages empty.
QByteArray RatingsCsvBytes(const TRatingsArray& ratings);

// The scenario line a rating's comment turns into: the part before the first "@" is the line
// comment and the rest the step text (without "@" all of it is the step text), " + " becomes
// "|", and the step text is padded with "| " to eight fields before "|" and the comment.
QString RatingScriptLine(const QString& comment);

// One checked stake of the stakes file, as the ratings refresh needs it.
struct TCheckedStake {
    QString Comment;
    int Matched = 0;
    TCurrency Balance;
};
using TCheckedStakeSink = std::function<void(const TCheckedStake& stake)>;
// Reads the stakes file from its start and hands every checked stake with a draw number of
// at least 0 to the sink, in file order; raises when the file cannot be read.
using TCheckedStakeSource = std::function<void(const TCheckedStakeSink& sink)>;

// What loading the ratings file found.
struct TRatingsLoadReport {
    bool FileFound = false;
    int Records = 0;
    qint64 ExtraBytes = 0;   // bytes after the last whole record
    QString BackupFile;      // the copy of the original, kept before a repair
    bool Repaired = false;   // the damaged file was rewritten with its whole, mended records
    QString RepairError;     // why the copy or the rewrite failed; the file then stays as it was
    int MendedRecords = 0;   // records whose counts were out of range (see MendRatingRec)
    int RecoveredStakes = 0; // stakes of a check cut short that the file did not count yet
    QString SaveError;       // a sound file could not be rewritten; it stays as it was
    bool Damaged() const { return ExtraBytes > 0; }
    // A repair rewrites the file, so the original is copied first.
    bool NeedsCopy() const { return Damaged() || MendedRecords > 0; }
};

// Where the stakes file and the ratings file agree only through the ratings journal.
enum class TCheckPoint {
    BlockWritten,   // a block of scored stakes is in the stakes file, its ratings are not yet counted
    ScanDone,       // every scored stake is in the stakes file, the ratings are not saved yet
    RatingsSaved,   // the ratings file counts the marked stakes, the marks are still there
    MarksCleared,   // the marks are cleared, the journal is still there
};

// The main window's ratings and their file.
//
// A stake check marks every stake it scores in the stakes file (TStakeRec::RatingPending)
// and clears the marks only once the ratings file that counts those stakes is saved. Before
// the first mark of a check, a journal beside the ratings file records a digest of the
// ratings file as it then is. So after a kill, a full disk or a failed save, the next load
// tells by the digest whether the ratings file counts the marked stakes or not, adds them when
// it does not, and every checked stake is counted exactly once.
class TRatings {
public:
    explicit TRatings(QString fileName, TStakesFile* stakes = nullptr);

    const QString& FileName() const { return FFileName; }
    const TExpectedHits& ExpectedHits() const { return FExpectedHits; }
    // The journal of a check whose ratings may not be saved yet.
    QString JournalFileName() const { return FFileName + QLatin1String(JournalSuffix); }
    static constexpr const char* JournalSuffix = ".~chk";

    // In display order. Stakes join it through AddRatingResult; SortRatings then saves it.
    TRatingsArray FRatings;
    // The list's sort state: column -1 sorts nothing.
    int SortColumn = RatingDefaultSortColumn;
    bool SortDescending = true;
    // Called whenever the list must show the array anew (item count, repaint, status panel).
    std::function<void()> OnViewChanged;

    // The stakes file whose checks these ratings follow (none: no journal, nothing marked).
    TStakesFile* Stakes() const { return FStakes; }
    // Called at TCheckPoint::RatingsSaved and ::MarksCleared (tests stop the process there).
    std::function<void(TCheckPoint point)> Checkpoint;

    // Reads the file when it exists, mends counts out of range and finishes a check that was
    // cut short, then sorts (and so saves). A file whose size is not a multiple of the record
    // size keeps its whole records. Before a repair rewrites the file a copy of the original is
    // kept; when the copy fails the file stays as it is. A failed rewrite is reported, not
    // raised: the ratings in memory are whole all the same.
    TRatingsLoadReport LoadRatingsFile();
    // The texts that tell the user what the load found and did; empty when there was nothing.
    static QString DamageText(const TRatingsLoadReport& report, const QString& fileName);
    // Rewrites the whole file from the array when its content changed; raises when it cannot.
    // A save finishes the open check: its marks are cleared and its journal removed.
    void SaveRatingsFile();
    // Sorts by the list's sort state when there are at least two ratings, then saves.
    void SortRatings();
    void FreeRatings();
    // Rebuilds the ratings from the stakes. When ratings exist the user is asked first; No
    // keeps them and gives false. The new ratings replace the old ones only once every stake
    // was read, so a read error keeps the old ratings.
    bool RefreshRatings(const TCheckedStakeSource& stakes);
    // Writes the CSV export to the file (atomically); raises when it cannot.
    void ExportRatingsCsv(const QString& fileName) const;

    // "Рейтинг: %d".
    QString StatusPanelText() const;
    // Row texts under an efficiency mode; an empty list outside the array.
    QStringList RowTexts(int row, int effMode) const;

    // --- The check's side ---------------------------------------------------------------
    // A check starts scanning: until EndScan the array keeps its order and nothing is saved,
    // so that what the check adds is saved whole or not at all.
    void BeginScan();
    // Called before the check writes its first marked stake: unless a check whose stakes are
    // not saved yet is still open, the journal records the ratings file as it is now. Raises
    // when that cannot be done; the check must then mark nothing.
    void PrepareMarks();
    // The scan ended; the stakes it marked lie in records [first, last] (first < 0: none).
    void EndScan(qint64 first, qint64 last);
    // Stakes are marked whose ratings the file may not hold yet.
    bool ScoringOpen() const { return FScoringOpen; }

private:
    void SortInMemory();
    void ViewChanged() const;
    // The journal says whether the file counts the marked stakes; when it does not they are
    // added. Returns how many were added.
    int FinishInterruptedCheck(const std::optional<QByteArray>& fileBytes);
    // The file counts the marked stakes: their marks are cleared, then the journal removed.
    void FinishScoring();

    QString FFileName;
    TStakesFile* FStakes = nullptr;
    TExpectedHits FExpectedHits;
    bool FScanning = false;
    bool FScoringOpen = false;    // the journal stands and stakes may be marked
    bool FScoringSaved = false;   // the file holds every marked stake; the marks remain
    // Where the marks are: records [FMarkFirst, FMarkLast] of stakes file layout FMarkLayout;
    // FMarksAnywhere when that is not known.
    qint64 FMarkFirst = -1;
    qint64 FMarkLast = -1;
    int FMarkLayout = 0;
    bool FMarksAnywhere = false;
};
