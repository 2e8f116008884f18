#pragma once

#include <QString>

// The program's exclusive hold on its data folder. The lock is taken on the folder itself,
// not on a file inside it: data files are rewritten through a temporary file and a rename,
// and a lock on a file would go with the replaced file. The hold lasts until Release or the
// end of the object (or of the process); a program started from this one does not inherit it.
class TFolderLock {
public:
    TFolderLock() = default;
    ~TFolderLock();
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;

    // Takes the hold without waiting. False when another holder (another process, or another
    // TFolderLock of this process) has it, or when the folder cannot be opened; Error() then
    // tells the errno value (EWOULDBLOCK for a folder held elsewhere). Taking a hold that is
    // already held by this object releases the old one first.
    bool Acquire(const QString& folder);
    void Release();

    bool IsHeld() const { return FHandle >= 0; }
    const QString& Folder() const { return FFolder; }
    int Error() const { return FError; }
    // True when the last Acquire failed because someone else holds the folder.
    bool HeldElsewhere() const;

private:
    int FHandle = -1;
    int FError = 0;
    QString FFolder;
};
