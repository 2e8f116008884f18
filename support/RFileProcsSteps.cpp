// The logged single steps of the file operations: creating and deleting folders, deleting,
// copying and moving one file.

#include "support/RFileProcs.h"

#include "platform/DelphiText.h"
#include "support/RFileProcsImpl.h"
#include "support/RSysUtils.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace rfo;

namespace {

// An abort asked for by the callback in the middle of a copy.
class ERfoAbort : public ERfoError {
public:
    ERfoAbort() : ERfoError(OperationAbortedText()) {}
};

QString SuccessText()
{
    return FormatSysError(0, true);
}

QString ErrorText(const TResString& res, int code)
{
    return Format(LoadResString(res), {FormatSysError(code, true)});
}

// Read-only, hidden and system in this order: a set attribute whose skip option is given makes
// the step a SKIP; otherwise the attributes are cleared. True when the step has ended.
bool ApplyAttributeRule(TRTransaction& step, const QString& name, std::uint32_t options, bool folder,
                        int* previous = nullptr)
{
    const int attributes = RfoGetFileAttr(name);
    if (previous)
        *previous = attributes;
    if (attributes < 0)
        return false;
    struct Rule {
        int Bit;
        std::uint32_t Option;
        const TResString& FileText;
        const TResString& DirText;
    };
    const Rule rules[] = {
        {kRfaReadOnly, kRfoSkipReadOnly, SFileReadOnly, SDirReadOnly},
        {kRfaHidden, kRfoSkipHidden, SFileHidden, SDirHidden},
        {kRfaSysFile, kRfoSkipSystem, SFileSystem, SDirSystem},
    };
    int cleared = attributes;
    for (const Rule& rule : rules) {
        if (!(attributes & rule.Bit))
            continue;
        if (options & rule.Option) {
            EndStep(step, TRMsgKind::Skip, LoadResString(folder ? rule.DirText : rule.FileText));
            return true;
        }
        cleared &= ~rule.Bit;
    }
    if (cleared != attributes) {
        if (const int code = RfoSetFileAttr(name, cleared)) {
            EndStep(step, TRMsgKind::Error, ErrorText(SAttrChangeError, code));
            return true;
        }
    }
    return false;
}

// The step name of a copy or move: with the same file name on both sides the name and the
// two folders, otherwise both full names.
QString CopyStepName(const QString& source, const QString& target, bool move)
{
    const QString sourceName = ExtractFileName(ExcludeTrailingDelimiter(source));
    const QString targetName = ExtractFileName(ExcludeTrailingDelimiter(target));
    if (sourceName == targetName) {
        const QString sourceDir = ExtractFilePath(ExcludeTrailingDelimiter(source));
        const QString targetDir = ExtractFilePath(ExcludeTrailingDelimiter(target));
        return Format(LoadResString(move ? SMoveFromTo : SCopyFromTo),
                      {sourceName, ExcludeTrailingDelimiter(sourceDir),
                       ExcludeTrailingDelimiter(ShortenSharedFolders(source, targetDir))});
    }
    return Format(LoadResString(move ? SMoveFileTo : SCopyFileTo),
                  {source, ShortenSharedFolders(source, target)});
}

class TFileHandle {
public:
    explicit TFileHandle(int fd = -1) : FFd(fd) {}
    ~TFileHandle() { Close(); }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    int Get() const { return FFd; }
    int Close()
    {
        int result = 0;
        if (FFd >= 0)
            result = ::close(FFd);
        FFd = -1;
        return result;
    }

private:
    int FFd;
};

int OpenChecked(TRfoCall call, const QString& name, int flags, mode_t mode = 0)
{
    if (const int injected = InjectedFailure(call, name)) {
        errno = injected;
        return -1;
    }
    return ::open(QFile::encodeName(name).constData(), flags | O_CLOEXEC, mode);
}

// Raises when a folder on the way from root down to folder, folder itself included, is a link.
void CheckWay(const QString& root, const QString& folder)
{
    const QString link = LinkBelow(root, folder);
    if (!link.isEmpty())
        throw ERfoError(Format(LoadResString(SLinkOnTheWay), {link}));
}

QString NotRegularText(const QString& name)
{
    return Format(LoadResString(SNotRegularFile), {name});
}

// Creates dir with its missing parents. Below root each folder is created, or found, as a folder
// of its own: a link there raises, and nothing is created where it leads. False when a folder
// cannot be created (LastCode() tells why).
bool ForceDirsBelow(const QString& root, const QString& dir)
{
    const QStringList way = WayBelow(root, dir);
    if (way.isEmpty())
        return ForceDirs(dir);
    if (!ForceDirs(IncludeTrailingDelimiter(root)))
        return false;
    for (const QString& folder : way) {
        struct stat st {};
        if (::lstat(QFile::encodeName(folder).constData(), &st) != 0) {
            // Made by someone else in the meantime: what stands there now is looked at below.
            if (!RfoCreateDir(folder) && LastCode() != EEXIST)
                return false;
            if (::lstat(QFile::encodeName(folder).constData(), &st) != 0) {
                SetLastCode(errno);
                return false;
            }
        }
        if (S_ISLNK(st.st_mode))
            throw ERfoError(Format(LoadResString(SLinkOnTheWay), {folder}));
        if (!S_ISDIR(st.st_mode)) {
            SetLastCode(ENOTDIR);
            return false;
        }
    }
    return true;
}

// Opens the file to write. A file that was not there before (a new target, "<target>.tmp") is
// created new: whatever stands at its name is removed, never followed. A target that exists is
// emptied, but never through a link. A busy file is moved aside first when allowed.
int CreateForWrite(const QString& name, std::uint32_t options, mode_t mode, bool createNew)
{
    if (createNew) {
        const int fd = RfoCreateNewFile(name, mode);
        if (fd < 0)
            throw ERfoError(ErrorText(SFileCreateError, LastCode()));
        return fd;
    }
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
    int fd = OpenChecked(TRfoCall::CreateWrite, name, flags, mode);
    if (fd >= 0)
        return fd;
    int code = errno;
    if ((options & kRfoMoveBusy) && IsBusyError(code) && RfoFileExists(name)) {
        if (!RfoMoveFile(name, FreeBackupFileName(name)))
            throw ERfoError(ErrorText(SFileCreateError, LastCode()));
        fd = OpenChecked(TRfoCall::CreateWrite, name, flags, mode);
        if (fd >= 0)
            return fd;
        code = errno;
    }
    throw ERfoError(ErrorText(SFileCreateError, code));
}

// Deletes a file that is to be replaced; a busy file is moved aside when allowed.
void DeleteReplaced(const QString& name, std::uint32_t options)
{
    if (RfoDeleteFile(name))
        return;
    const int code = LastCode();
    if ((options & kRfoMoveBusy) && IsBusyError(code) && RfoMoveFile(name, FreeBackupFileName(name)))
        return;
    throw ERfoError(ErrorText(SFileDeleteError, code));
}

qint64 ReadFully(int fd, char* buffer, qint64 wanted, const QString& name, int& code)
{
    if (const int injected = InjectedFailure(TRfoCall::Read, name)) {
        code = injected;
        return -1;
    }
    qint64 done = 0;
    while (done < wanted) {
        const ssize_t got = ::read(fd, buffer + done, static_cast<size_t>(wanted - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            code = errno;
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

bool WriteFully(int fd, const char* buffer, qint64 count, const QString& name, int& code)
{
    if (const int injected = InjectedFailure(TRfoCall::Write, name)) {
        code = injected;
        return false;
    }
    qint64 done = 0;
    while (done < count) {
        const ssize_t put = ::write(fd, buffer + done, static_cast<size_t>(count - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            code = put < 0 ? errno : ENOSPC;
            return false;
        }
        done += put;
    }
    return true;
}

void Progress(const TRfoCallbacks& callbacks, int percent)
{
    if (callbacks.CopyProgress)
        callbacks.CopyProgress(percent);
}

// Copies the data of source into target and finishes the target (times, attributes). Returns
// the bytes copied. A failure removes what was written, so no half file is left behind under
// the target's name.
std::int64_t CopyFileData(const QString& source, const QString& target, bool targetExisted,
                          int oldTargetAttributes, std::uint32_t options, int bufferKb,
                          int speedPercent, const TRfoCallbacks& callbacks, const TCopyBounds& bounds)
{
    // Only a regular file is read: opened without waiting (a pipe without a writer would hold the
    // open for ever), and within bounds never through a link.
    const bool bounded = !bounds.SourceRoot.isEmpty();
    CheckWay(bounds.SourceRoot, ExtractFilePath(source));
    TFileHandle in(OpenChecked(TRfoCall::OpenRead, source, O_RDONLY | O_NONBLOCK | (bounded ? O_NOFOLLOW : 0)));
    if (in.Get() < 0)
        throw ERfoError(errno == ELOOP && bounded ? NotRegularText(source) : ErrorText(SFileOpenError, errno));
    struct stat st {};
    if (::fstat(in.Get(), &st) != 0)
        throw ERfoError(ErrorText(SFileOpenError, errno));
    if (!S_ISREG(st.st_mode))
        throw ERfoError(NotRegularText(source));
    const std::int64_t size = st.st_size;
    std::int64_t bufferSize = static_cast<std::int64_t>(std::max(bufferKb, 1)) * 1024;
    if (size > 0 && size < bufferSize)
        bufferSize = size;

    std::uint8_t percent = AskPercent(static_cast<std::uint8_t>(std::clamp(speedPercent, 0, 255)),
                                      callbacks.SpeedQuery);
    const bool throttled = percent < 100 && size > bufferSize && (IsUncPath(source) || IsUncPath(target));

    const bool viaTmp = (options & kRfoViaTmp) && targetExisted;
    const QString writeName = viaTmp ? target + QStringLiteral(".tmp") : target;
    // The copy keeps the source's permission bits (an executable stays executable); it must
    // stay writable for us until it is finished.
    const mode_t mode = (st.st_mode & 0777) | S_IWUSR;
    const QString targetDir = ExtractFilePath(target);
    CheckWay(bounds.TargetRoot, targetDir);
    TFileHandle out(CreateForWrite(writeName, options, mode, viaTmp || !targetExisted));
    struct stat written {};
    if (::fstat(out.Get(), &written) != 0)
        throw ERfoError(ErrorText(SFileCreateError, errno));
    bool finished = false;
    // Only the file written here goes, and only while its name still leads to it.
    struct Cleanup {
        const QString& Name;
        const QString& Root;
        const struct stat& Written;
        bool& Finished;
        ~Cleanup()
        {
            struct stat now {};
            const QByteArray name = QFile::encodeName(Name);
            if (!Finished && LinkBelow(Root, ExtractFilePath(Name)).isEmpty() && ::lstat(name.constData(), &now) == 0
                && now.st_dev == Written.st_dev && now.st_ino == Written.st_ino)
                ::unlink(name.constData());
        }
    } cleanup{writeName, bounds.TargetRoot, written, finished};
    // Once more with the file there: a folder replaced by a link just before it was created
    // gets none of the data.
    CheckWay(bounds.TargetRoot, targetDir);

    std::vector<char> buffer(static_cast<size_t>(bufferSize));
    std::int64_t copied = 0;
    int blocks = 0;
    Progress(callbacks, 0);
    while (copied < size) {
        bool abort = false;
        if (AskAbort(abort, callbacks.Abort))
            throw ERfoAbort();
        QElapsedTimer blockTimer;
        blockTimer.start();
        const qint64 wanted = std::min<std::int64_t>(bufferSize, size - copied);
        int code = EIO;
        if (ReadFully(in.Get(), buffer.data(), wanted, source, code) != wanted)
            throw ERfoError(ErrorText(SFileReadError, code));
        if (!WriteFully(out.Get(), buffer.data(), wanted, writeName, code))
            throw ERfoError(ErrorText(SFileWriteError, code));
        copied += wanted;
        Progress(callbacks, static_cast<int>(Round(static_cast<long double>(copied) * 100 / size)));
        if (throttled) {
            const qint64 elapsed = blockTimer.elapsed();
            const qint64 pause = elapsed * 100 / percent - elapsed;
            if (pause > 0)
                QThread::msleep(static_cast<unsigned long>(pause));
            if (++blocks % 10 == 0)
                percent = AskPercent(percent, callbacks.SpeedQuery);
        }
    }
    if (out.Close() != 0)
        throw ERfoError(ErrorText(SFileWriteError, errno));
    in.Close();
    Progress(callbacks, 101);
    if (copied != size || RfoGetFileSize(writeName, false) != size)
        throw ERfoError(LoadResString(SFilesDiffer));

    if (viaTmp) {
        CheckWay(bounds.TargetRoot, targetDir);
        DeleteReplaced(target, options);
        if (!RfoMoveFile(writeName, target))
            throw ERfoError(ErrorText(SFileCreateError, LastCode()));
        if (RfoFileExists(writeName))
            RfoDeleteFile(writeName);
    }
    finished = true;
    Progress(callbacks, 102);

    if (options & kRfoCopyTimes) {
        if (const int code = RfoSetFileWriteTime(target, RfoGetFileWriteTime(source)))
            throw ERfoError(ErrorText(SFileTimeError, code));
    }
    if (options & kRfoCopyAttrs) {
        if (const int code = RfoSetFileAttr(target, RfoGetFileAttr(source)))
            throw ERfoError(ErrorText(SAttrChangeError, code));
    } else if (targetExisted && oldTargetAttributes >= 0) {
        if (const int code = RfoSetFileAttr(target, oldTargetAttributes))
            throw ERfoError(ErrorText(SAttrChangeError, code));
    }
    Progress(callbacks, 103);
    Progress(callbacks, 0);
    return copied;
}

// Why name, which is no file, cannot be deleted as one: a folder, a link to a folder or to
// nothing, or nothing at all.
const TResString& NotAFileReason(const QString& name)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(name).constData(), &st) != 0)
        return SFileNotFound;
    if (!S_ISLNK(st.st_mode))
        return SFolderNotFile;
    return RfoDirectoryExists(name) ? SFolderLinkNotFile : SDanglingLink;
}

bool SameTargetFile(const QString& source, const QString& target, std::uint32_t options)
{
    if (!(options & (kRfoSameTime | kRfoSameSize | kRfoSameCrc)))
        return false;
    if ((options & kRfoSameTime)
        && RfoCompareFileTimes(RfoGetFileWriteTime(source), RfoGetFileWriteTime(target)) != 0)
        return false;
    if ((options & kRfoSameSize) && RfoGetFileSize(source, true) != RfoGetFileSize(target, true))
        return false;
    if ((options & kRfoSameCrc) && !RfoFilesEqual(source, target, false))
        return false;
    return true;
}

} // namespace

TRTransaction CreateDirStep(const QString& dir, bool parentMustExist, const TRMsgLogProc& log)
{
    TRTransaction step = StartStep(Format(LoadResString(SCreateDir), {dir}), log);
    const QString parent = ExtractFilePath(ExcludeTrailingDelimiter(dir));
    try {
        if (RfoDirectoryExists(dir))
            EndStep(step, TRMsgKind::Skip, LoadResString(SDirExists));
        else if (parentMustExist && !RfoDirectoryExists(parent))
            EndStep(step, TRMsgKind::Error, Format(LoadResString(SDirNotFound), {parent}));
        else if (parentMustExist ? RfoCreateDir(dir) : ForceDirs(dir))
            EndStep(step, TRMsgKind::Ok, SuccessText());
        else
            EndStep(step, TRMsgKind::Error,
                    Format(LoadResString(SDirCreateError), {dir, FormatSysError(LastCode(), true)}));
    } catch (const Exception& e) {
        EndStep(step, TRMsgKind::Error, e.Message());
    }
    return step;
}

TRTransaction DeleteFileStep(const QString& file, std::uint32_t options, const TRMsgLogProc& log)
{
    TRTransaction step = StartStep(Format(LoadResString(SDeleteFile), {file}), log);
    if (!RfoFileExists(file)) {
        EndStep(step, TRMsgKind::Error, Format(LoadResString(NotAFileReason(file)), {file}));
        return step;
    }
    if (ApplyAttributeRule(step, file, options, false))
        return step;
    if (RfoDeleteFile(file))
        EndStep(step, TRMsgKind::Ok, SuccessText());
    else
        EndStep(step, TRMsgKind::Error, FormatSysError(LastCode(), true));
    return step;
}

TRTransaction DeleteDirStep(const QString& dir, std::uint32_t options, const TRMsgLogProc& log)
{
    TRTransaction step = StartStep(Format(LoadResString(SDeleteDir), {dir}), log);
    if (!RfoDirectoryExists(dir)) {
        EndStep(step, TRMsgKind::Error, Format(LoadResString(SDirNotFound), {dir}));
        return step;
    }
    if (ApplyAttributeRule(step, dir, options, true))
        return step;
    if ((options & kRfoEmptyDirs) && !RfoDirectoryIsEmpty(dir)) {
        EndStep(step, TRMsgKind::Skip, LoadResString(SDirNotEmpty));
        return step;
    }
    if (RfoRemoveDir(dir))
        EndStep(step, TRMsgKind::Ok, SuccessText());
    else
        EndStep(step, TRMsgKind::Error,
                Format(LoadResString(SDirDeleteError), {dir, FormatSysError(LastCode(), true)}));
    return step;
}

TRTransaction CopyDirStep(const QString& sourceDir, const QString& targetDir, bool move,
                          std::uint32_t options, const TRMsgLogProc& log)
{
    return CopyDirInBounds(sourceDir, targetDir, move, options, log, {});
}

TRTransaction rfo::CopyDirInBounds(const QString& sourceDir, const QString& targetDir, bool move,
                                   std::uint32_t options, const TRMsgLogProc& log, const TCopyBounds& bounds)
{
    TRTransaction step = StartStep(CopyStepName(IncludeTrailingDelimiter(sourceDir),
                                                IncludeTrailingDelimiter(targetDir), move), log);
    try {
        // A link at the folder's place is no folder of the tree, though it may lead to one.
        CheckWay(bounds.TargetRoot, targetDir);
        if (RfoDirectoryExists(targetDir)) {
            EndStep(step, TRMsgKind::Skip, LoadResString(SDirExists));
            return step;
        }
        const int attributes = RfoGetFileAttr(sourceDir);
        if (attributes >= 0) {
            if ((attributes & kRfaReadOnly) && (options & kRfoSkipReadOnly)) {
                EndStep(step, TRMsgKind::Skip, LoadResString(SDirReadOnly));
                return step;
            }
            if ((attributes & kRfaHidden) && (options & kRfoSkipHidden)) {
                EndStep(step, TRMsgKind::Skip, LoadResString(SDirHidden));
                return step;
            }
            if ((attributes & kRfaSysFile) && (options & kRfoSkipSystem)) {
                EndStep(step, TRMsgKind::Skip, LoadResString(SDirSystem));
                return step;
            }
        }
        // The new folder keeps the default permissions even with kRfoCopyAttrs: a folder
        // without write permission would refuse the files copied into it next.
        if (ForceDirsBelow(bounds.TargetRoot, targetDir))
            EndStep(step, TRMsgKind::Ok, SuccessText());
        else
            EndStep(step, TRMsgKind::Error,
                    Format(LoadResString(SDirCreateError), {targetDir, FormatSysError(LastCode(), true)}));
    } catch (const Exception& e) {
        EndStep(step, TRMsgKind::Error, e.Message());
    }
    return step;
}

TRTransaction CopyMoveFileStep(const QString& source, const QString& target, bool move,
                               std::uint32_t options, int bufferKb, int speedPercent,
                               const TRfoCallbacks& callbacks, TRCopyList* copied)
{
    return CopyFileInBounds(source, target, move, options, bufferKb, speedPercent, callbacks, copied, {});
}

TRTransaction rfo::CopyFileInBounds(const QString& source, const QString& target, bool move, std::uint32_t options,
                                    int bufferKb, int speedPercent, const TRfoCallbacks& callbacks,
                                    TRCopyList* copied, const TCopyBounds& bounds)
{
    const bool targetIsFolder = target.endsWith(QLatin1Char('/')) || RfoDirectoryExists(target)
                                || ExtractFileExt(target).isEmpty();
    const QString targetFile =
        targetIsFolder ? IncludeTrailingDelimiter(target) + ExtractFileName(source) : target;
    TRTransaction step = StartStep(CopyStepName(source, targetFile, move), callbacks.Log);
    try {
        if (SameFileName(source, targetFile)) {
            EndStep(step, TRMsgKind::Error, LoadResString(SCopySelf));
            return step;
        }
        const QString targetDir = ExtractFilePath(targetFile);
        CheckWay(bounds.SourceRoot, ExtractFilePath(source));
        CheckWay(bounds.TargetRoot, targetDir);
        // Within bounds a link or a pipe in the tree is neither compared with the target nor read.
        struct stat sourceInfo {};
        if (!bounds.SourceRoot.isEmpty() && ::lstat(QFile::encodeName(source).constData(), &sourceInfo) == 0
            && !S_ISREG(sourceInfo.st_mode)) {
            EndStep(step, TRMsgKind::Error, NotRegularText(source));
            return step;
        }
        const bool targetExists = RfoFileExists(targetFile);
        if (targetExists && (!(options & kRfoOverwrite) || SameTargetFile(source, targetFile, options))) {
            EndStep(step, TRMsgKind::Skip, LoadResString(SSameFileExists));
            return step;
        }
        const int sourceAttributes = RfoGetFileAttr(source);
        if (sourceAttributes >= 0) {
            if ((sourceAttributes & kRfaReadOnly) && (options & kRfoSkipReadOnly)) {
                EndStep(step, TRMsgKind::Skip, LoadResString(SFileReadOnly));
                return step;
            }
            if ((sourceAttributes & kRfaHidden) && (options & kRfoSkipHidden)) {
                EndStep(step, TRMsgKind::Skip, LoadResString(SFileHidden));
                return step;
            }
            if ((sourceAttributes & kRfaSysFile) && (options & kRfoSkipSystem)) {
                EndStep(step, TRMsgKind::Skip, LoadResString(SFileSystem));
                return step;
            }
        }
        int oldTargetAttributes = -1;
        if (targetExists && ApplyAttributeRule(step, targetFile, options, false, &oldTargetAttributes))
            return step;

        if ((options & kRfoCreateDirs) && !RfoDirectoryExists(targetDir)
            && !ForceDirsBelow(bounds.TargetRoot, targetDir)) {
            EndStep(step, TRMsgKind::Error,
                    Format(LoadResString(SDirCreateError), {targetDir, FormatSysError(LastCode(), true)}));
            return step;
        }

        step.Bytes = CopyFileData(source, targetFile, targetExists, oldTargetAttributes, options,
                                  bufferKb, speedPercent, callbacks, bounds);

        if ((options & kRfoVerify) && !RfoFilesEqual(source, targetFile, (options & kRfoCopyTimes) != 0)) {
            if (LinkBelow(bounds.TargetRoot, targetDir).isEmpty())
                RfoDeleteFile(targetFile);
            EndStep(step, TRMsgKind::Error, LoadResString(SFilesDiffer));
            return step;
        }
        if ((options & kRfoRecordCopies) && copied) {
            const bool known = std::any_of(copied->cbegin(), copied->cend(),
                                           [&](const TRCopyItem& item) { return item.Source == source; });
            if (!known)
                copied->append(TRCopyItem{source, targetFile});
        }
        const long double kb = static_cast<long double>(step.Bytes) / 1024.0L;
        if (!move) {
            EndStep(step, TRMsgKind::Ok, Format(LoadResString(SCopiedKb), {kb}));
        } else {
            const TRTransaction removal = DeleteFileStep(source, options, callbacks.Log);
            if (removal.Kind == TRMsgKind::Ok)
                EndStep(step, TRMsgKind::Ok, Format(LoadResString(SMovedKb), {kb}));
            else if (removal.Kind == TRMsgKind::Skip)
                EndStep(step, TRMsgKind::Ok, Format(LoadResString(SCopiedKb), {kb}));
            else
                EndStep(step, removal.Kind, removal.Text);
        }
    } catch (const ERfoAbort& e) {
        EndStep(step, TRMsgKind::Stop, e.Message());
    } catch (const Exception& e) {
        EndStep(step, TRMsgKind::Error, e.Message());
    } catch (const std::exception& e) {
        EndStep(step, TRMsgKind::Error, ExceptionText(e));
    }
    return step;
}
