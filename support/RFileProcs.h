#pragma once

#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "support/RMsgTypes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// Copying, moving and deleting files chosen by folder patterns and masks, with every step
// recorded as a transaction of an operation (RMsgTypes), and the single-file primitives under
// them. Masks ("*.txt;*.log") are matched without regard to letter case; a mask ending in ".*"
// also matches names without an extension, so "*.*" matches every name.
//
// Attributes keep their familiar values. On this system a file is read-only when its owner
// may not write it; hidden and system are never reported, so the options about them have no
// effect. A file's creation time cannot be set here and is left alone.

// Failure of one step of an operation; the step turns it into an ERROR with the text.
class ERfoError : public Exception {
public:
    using Exception::Exception;
};

// An input/output failure with its code (ForceDirs with an empty name raises code 3).
class EInOutError : public Exception {
public:
    EInOutError(int errorCode, const QString& message) : Exception(message), FErrorCode(errorCode) {}
    int ErrorCode() const noexcept { return FErrorCode; }

private:
    int FErrorCode;
};

// Attribute bits.
constexpr int kRfaReadOnly = 0x01;
constexpr int kRfaHidden = 0x02;
constexpr int kRfaSysFile = 0x04;
constexpr int kRfaDirectory = 0x10;
constexpr int kRfaArchive = 0x20;
constexpr int kRfaAnyFile = 0x3F;

// Options of CopyMoveByMask (and of the copy and delete steps).
constexpr std::uint32_t kRfoCreateDirs = 0x00001;      // create a file's target folder when missing
constexpr std::uint32_t kRfoRecursive = 0x00002;       // enter matching subfolders, list them whole
constexpr std::uint32_t kRfoCommonBase = 0x00004;      // relative paths from the deepest common folder
constexpr std::uint32_t kRfoFlat = 0x00008;            // every file straight into the target folder
constexpr std::uint32_t kRfoOverwrite = 0x00010;       // an existing target may be overwritten
constexpr std::uint32_t kRfoRetry = 0x00020;           // retry steps that end with ERROR
constexpr std::uint32_t kRfoViaTmp = 0x00040;          // write "<target>.tmp" first, then replace
constexpr std::uint32_t kRfoMoveBusy = 0x00080;        // move a busy target aside to a backup name
constexpr std::uint32_t kRfoVerify = 0x00100;          // compare size and CRC-32 after copying
constexpr std::uint32_t kRfoCopyTimes = 0x00200;       // copy the write time (and verify it)
constexpr std::uint32_t kRfoCopyAttrs = 0x00400;       // copy attributes
constexpr std::uint32_t kRfoSkipReadOnly = 0x00800;
constexpr std::uint32_t kRfoSkipSystem = 0x01000;
constexpr std::uint32_t kRfoSkipHidden = 0x02000;
constexpr std::uint32_t kRfoSameTime = 0x04000;        // with kRfoOverwrite: same write time = same file
constexpr std::uint32_t kRfoSameSize = 0x08000;        // ... same size
constexpr std::uint32_t kRfoSameCrc = 0x10000;         // ... same CRC-32
constexpr std::uint32_t kRfoRecordCopies = 0x20000;    // record each copied pair
// Options of DeleteByMask besides kRfoRecursive, kRfoRetry and the skip bits.
constexpr std::uint32_t kRfoIgnoreDirs = 0x00004;      // folders found are skipped, not deleted
constexpr std::uint32_t kRfoEmptyDirs = 0x00008;       // delete empty folders instead of files

// File times: 100-nanosecond intervals since 1 January 1601, UTC.
using TRFileTime = std::int64_t;

constexpr std::uint8_t kRfiFolder = 0;
constexpr std::uint8_t kRfiFile = 1;

struct TRFileItem {
    std::uint8_t Kind = kRfiFile;
    QString Name;   // full path; a folder's name ends with '/'
};

// Items found by a search, without duplicates.
class TRFileList {
public:
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    // False (and the item untouched) for an index outside the list.
    bool GetItem(int index, TRFileItem& item) const;
    const TRFileItem& operator[](int index) const { return FItems.at(index); }
    // Names are compared exactly: on this system "a.txt" and "A.txt" are two files.
    int IndexOf(const QString& name) const;
    void Add(const QString& name, std::uint8_t kind);
    void Delete(int index);

private:
    QList<TRFileItem> FItems;
};

struct TRCopyItem {
    QString Source;
    QString Target;
};
using TRCopyList = QList<TRCopyItem>;
using TDirList = QStringList;

// Progress of the items of an operation (level 3, index, count) and of one file's copy
// (0..100 while copying, 101..103 for the finishing stages, then 0).
using TRItemProgressProc = std::function<void(int level, int index, int count)>;
using TRCopyProgressProc = std::function<void(int percent)>;

struct TRfoCallbacks {
    TRAbortProc Abort;
    TRMsgLogProc Log;
    TRItemProgressProc ItemProgress;
    TRCopyProgressProc CopyProgress;
    TRPercentQueryProc SpeedQuery;
};

// ---------------------------------------------------------------------------------------------
// Failure injection. Tests (which run with every permission) install a hook that makes a named
// call fail: it returns the errno to fail with, or 0 to let the call run.

enum class TRfoCall {
    DeleteFile, RemoveDir, CreateDir, MoveFile, SetAttr, SetTimes, OpenRead, CreateWrite, Read, Write,
};
using TRfoFailHook = std::function<int(TRfoCall call, const QString& name)>;
// Returns the hook installed before; an empty hook switches injection off.
TRfoFailHook SetRfoFailHook(TRfoFailHook hook);

// ---------------------------------------------------------------------------------------------
// Single files. Codes are errno values.

// True for an existing file (not a folder), whatever its date.
bool RfoFileExists(const QString& name);
// Local write time in the 32-bit DOS form (date in the high word); -1 for a missing file, a
// folder, or a date the form cannot hold (before 1980 or after 2107).
std::int32_t RfoFileAge(const QString& name);
bool RfoDirectoryExists(const QString& name);
bool RfoDirectoryIsEmpty(const QString& name);
bool RfoDeleteFile(const QString& name);
bool RfoMoveFile(const QString& from, const QString& to);
bool RfoCreateDir(const QString& name);
bool RfoRemoveDir(const QString& name);
// Attribute bits, or -1 when the item is missing.
int RfoGetFileAttr(const QString& name);
// 0 or the errno of the failure. Only the read-only bit can be changed.
int RfoSetFileAttr(const QString& name, int attributes);
// -1 when the file cannot be opened, or raises ESystemError when raiseError is true.
std::int64_t RfoGetFileSize(const QString& name, bool raiseError);
// Raise ESystemError for a missing file. The creation time is the birth time where the file
// system keeps one, otherwise the write time.
TRFileTime RfoGetFileWriteTime(const QString& name);
void RfoGetFileTimes(const QString& name, TRFileTime& creationTime, TRFileTime& writeTime);
// 0 or the errno; the creation time cannot be set on this system and is ignored.
int RfoSetFileCreationTime(const QString& name, TRFileTime time);
int RfoSetFileWriteTime(const QString& name, TRFileTime time);
int RfoSetFileTimes(const QString& name, TRFileTime creationTime, TRFileTime writeTime);
TDateTime RfoFileTimeToDateTime(TRFileTime time);
TRFileTime RfoDateTimeToFileTime(TDateTime time);
// -1, 0, 1 after dropping the fractions of a second of both.
int RfoCompareFileTimes(TRFileTime a, TRFileTime b);
// Both exist with the same size and CRC-32; with withTime also the same write time to the second.
bool RfoFilesEqual(const QString& a, const QString& b, bool withTime);
// Creates a folder with its missing parents; true on success or when it exists. Raises
// EInOutError (code 3) for an empty name.
bool ForceDirs(const QString& dir);
// Absolute path with "." and ".." resolved; a trailing '/' is kept.
QString RfoExpandFileName(const QString& name);
// The name a busy file is moved aside to: the extension's dot becomes ".~" ("a.exe" ->
// "a.~exe" -> "a.~~exe" ...) until no such file exists; a name without extension gets ".~".
QString FreeBackupFileName(const QString& name);
// True when the name (without folder) matches one of the ";"-separated masks.
bool MatchesMasks(const QString& fileName, const QString& masks);
// Creates name as a new file open for writing and returns its descriptor, or -1 (LastCode()
// tells why). Whatever else stood at the name (a file, a link, a pipe) is removed first and a
// link is never followed, so nothing planted there makes the write land elsewhere; a folder
// stays, and the creation fails.
int RfoCreateNewFile(const QString& name, unsigned mode);
// Raises Exception naming the file with the reason when it is there but could not be read as
// every file is read (OpenRegularFile): no regular file (a device or a pipe would be read or
// waited on for ever), a link counting as what it points to, larger than maxBytes, or not
// readable. A missing file passes: whoever reads it names it.
void RfoCheckRegularFile(const QString& name, qint64 maxBytes);

// ---------------------------------------------------------------------------------------------
// Logged steps. Each returns its transaction, ended with OK, SKIP, WARNING, ERROR or STOP.

TRTransaction CreateDirStep(const QString& dir, bool parentMustExist, const TRMsgLogProc& log = {});
TRTransaction DeleteFileStep(const QString& file, std::uint32_t options, const TRMsgLogProc& log = {});
TRTransaction DeleteDirStep(const QString& dir, std::uint32_t options, const TRMsgLogProc& log = {});
// target: a folder (ending with '/', existing, or without extension) or the file name.
TRTransaction CopyMoveFileStep(const QString& source, const QString& target, bool move,
                               std::uint32_t options, int bufferKb, int speedPercent,
                               const TRfoCallbacks& callbacks, TRCopyList* copied = nullptr);
// Creates targetDir for the folder sourceDir.
TRTransaction CopyDirStep(const QString& sourceDir, const QString& targetDir, bool move,
                          std::uint32_t options, const TRMsgLogProc& log = {});

// ---------------------------------------------------------------------------------------------
// Operations over many files. They never raise: everything is recorded in the operation.

// True when one of the folders of the pattern holds a file matching one of the masks.
bool FindFilesByMask(const QString& folderPattern, const QString& masks, int attributes,
                     const TRAbortProc& abort = {}, const TRMsgLogProc& log = {});

// Only regular files and folders are copied, and never through a link: a link or a pipe found
// in the source, or a link in a folder's place below the target, makes its step an ERROR.
void CopyMoveByMask(const QString& sourcePattern, const QString& target, const QString& masks,
                    bool move, std::uint32_t options, int finishMode, std::uint8_t trOptions,
                    int bufferKb, int speedPercent, int maxAttempts, int retryPauseSec,
                    const TRfoCallbacks& callbacks, TROperation& operation,
                    TRCopyList* copied = nullptr);

// pathWithMask: folder pattern and mask in one ("/data/logs/*.txt").
void DeleteByMask(const QString& pathWithMask, std::uint32_t options, int finishMode,
                  std::uint8_t trOptions, int maxAttempts, int retryPauseSec,
                  const TRfoCallbacks& callbacks, TROperation& operation);
