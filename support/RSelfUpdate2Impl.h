#pragma once

// Shared inside the RSelfUpdate2 unit only: the check and the installation.

#include "support/RSelfUpdate2.h"

#include <QString>

#include <cstdint>

namespace selfupdate {

// The work folder beside the program where a package unpacks itself.
inline constexpr char kWorkFolderName[] = "SelfUpdate/";
inline constexpr int kRunTimeoutSec = 60;

TSelfUpdateHooks& Hooks();
// The hooks' fetch and program start, or their defaults when a hook is empty.
int Fetch(const QString& source, const QString& target, qint64 maxBytes, int deadlineMs);
int RunProgram(const QString& folder, const QString& program, int timeoutSec);

// Removes whatever stands at path: a file, a link or a pipe, or a folder with all it holds,
// links and all but never what a link points to; raises when something stayed.
void RemoveEntry(const QString& path);

// The progress the hooks show, for the length of a scope; the window layer decides what the
// hooks do (nothing without them).
class TUpdateProgress {
public:
    TUpdateProgress(const QString& text, int maximum)
    {
        if (Hooks().Progress.Show)
            Hooks().Progress.Show(text, maximum);
    }
    ~TUpdateProgress()
    {
        if (Hooks().Progress.Hide)
            Hooks().Progress.Hide();
    }
    TUpdateProgress(const TUpdateProgress&) = delete;
    TUpdateProgress& operator=(const TUpdateProgress&) = delete;

    void Step() const
    {
        if (Hooks().Progress.Step)
            Hooks().Progress.Step();
    }
};

// Downloads the package into the work folder, runs it there and copies what it unpacked over
// the program folder, fourteen steps of progress in all but the last one; raises on failure with
// the program folder as it was.
void Install(const TrSU_VerData& data, const QString& programFolder, const TUpdateProgress& progress);

} // namespace selfupdate
