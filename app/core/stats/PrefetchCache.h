#pragma once

#include "engine/KelmaStatList.h"
#include "support/RVclUtils.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

class TMainState;

// Group masks of the statistic groups whose values follow the engine settings (bit g names
// group g).
inline constexpr std::uint16_t PrefetchAllGroups = 8191;       // groups 0..12
inline constexpr std::uint16_t PrefetchChannelsGroup = 8;      // channel size
inline constexpr std::uint16_t PrefetchMatrixGroup = 16;       // matrix column count
inline constexpr std::uint16_t PrefetchSegmentsGroup = 32;     // matrix segments
inline constexpr std::uint16_t PrefetchShreddingGroup = 4096;  // shredding formulas

// The distribution of every plain-valued method over the full set of 100 combinations, one
// file per method in the folder "Prefetchs" beside the data files: 12-byte records {key: four
// unsigned 16-bit words; hit count: signed 32-bit}, little-endian, ascending by key, then the
// totals record {smallest count, largest count, 0}. The statistics table scales it to its own
// counts for the norm columns and the ideal line.
//
// A file is computed from the statistic over the 100 combinations directly: the user's
// combination list and its undo copy are never touched. Files are written atomically, and a
// file that is empty or damaged (not a whole number of records, no totals record, or totals
// that disagree with the records) is never read: it is built anew on its next use.
class TPrefetchCache {
public:
    explicit TPrefetchCache(TMainState& state) : FState(state) {}

    // The progress window of a rebuild, a step a method; the window layer fills it, a batch run
    // leaves it empty.
    void SetProgress(TProgressFunctions progress) { FProgress = std::move(progress); }

    // "<data folder>Prefetchs/"
    QString FolderName() const;
    // "<data folder>Prefetchs/Tavrix2_2r10_<code>.dfc"
    QString FileName(const TStatMethod& method) const;

    // The option that turns the use of the cache on.
    bool Enabled() const;

    // The file's content for the method, computed over the full combination set. Raises
    // Exception when the statistic cannot be made.
    static QByteArray BuildBytes(const TStatList& list, const TStatMethod& method);
    // True for a whole number of 12-byte records, at least the totals record, whose totals
    // are the smallest and the largest count of the records and 0.
    static bool IsSound(const QByteArray& bytes);

    // Writes the method's file anew (inside the busy state, its name in the status line).
    // On failure an error box names the file, no file is left behind, and the result is
    // empty; otherwise the bytes written.
    QByteArray CreateFile(const TStatMethod& method);

    // The method's file for the statistics table: empty while the option is off, for a method
    // that is not plain-valued, or after a failure (shown in an error box). A missing, empty
    // or damaged file is built first, except after a rebuild that stopped for a failure: the
    // files it did not get to are not tried one by one, each with a box of its own, before
    // the next rebuild.
    QByteArray Load(const TStatMethod& method);

    // Unless force or the option is on, nothing. Otherwise builds the file of every
    // plain-valued method that has none (or an empty or damaged one) and rebuilds the files
    // of the methods whose group is in the mask, with the progress window. The first file
    // that cannot be written stops the rebuild with its one error box (a full disk would
    // refuse the rest the same way); the files written before it stay, and the files of the
    // mask's groups it did not get to are deleted, since they may hold values of settings no
    // longer in force. False after such a stop.
    bool Rebuild(bool force, std::uint16_t mask);

    // Deletes the files of the plain-valued methods whose group is in the mask.
    void DeleteGroupFiles(std::uint16_t mask);

    // The engine settings changed what the groups of the mask compute. With the option on
    // their files are rebuilt; with it off they are deleted, so that the next use (or the
    // option switched on) builds them from the new settings rather than trusting old ones.
    void SettingsChanged(std::uint16_t mask);

    // True when the method's group is in the mask (groups above 15 never are).
    static bool GroupInMask(const TStatMethod& method, std::uint16_t mask);

private:
    bool FileIsSound(const QString& fileName) const;
    // Deletes the files of the plain-valued methods from the index on whose group is in the
    // mask.
    void DeleteGroupFilesFrom(int first, std::uint16_t mask);

    TMainState& FState;
    TProgressFunctions FProgress;
    bool FRebuildStopped = false;
};
