#include "support/RSelfUpdate2Impl.h"

#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "support/RCrc32.h"
#include "support/RFileProcs.h"
#include "support/RFileProcsImpl.h"
#include "support/RMsgRu.h"
#include "support/ROwnFiles.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

// The installation of a version the user accepted: the package downloaded and run in the work
// folder, and what it unpacked copied over the program folder, with every replaced file kept
// until the copy is complete.

using rfo::ExcludeTrailingDelimiter;
using rfo::IncludeTrailingDelimiter;
using rfo::LastCode;
using rfo::SameFileName;
using namespace selfupdate;

namespace {

constexpr TResString SBadChecksum = RESSTR("RSelfUpdate2", "Неверная контрольная сумма скачанного файла.");
constexpr TResString SPackageFailed = RESSTR("RSelfUpdate2", "Программа \"%s\" завершилась с кодом %d.");
constexpr TResString SBackupFailed = RESSTR("RSelfUpdate2", "Не удалось сохранить копию файла \"%s\": %s");
constexpr TResString SCopyFailed = RESSTR("RSelfUpdate2", "%0:s - %1:s");
constexpr TResString SPlayerFilesLeft =
    RESSTR("RSelfUpdate2", "Файлы пользователя обновлением не заменяются, оставлены как есть: %s.");
constexpr TResString SPlayerFilesNotInstalled =
    RESSTR("RSelfUpdate2", "Файлы пользователя из пакета обновления не установлены: %s.");
constexpr TResString SLinkOnTheWay =
    RESSTR("RSelfUpdate2",
           "Файл обновления \"%s\" не записан: путь к нему в каталоге программы проходит через ссылку \"%s\".");
constexpr TResString SFolderLinkOnTheWay =
    RESSTR("RSelfUpdate2",
           "Каталог обновления \"%s\" не создан: путь к нему в каталоге программы проходит через ссылку \"%s\".");
constexpr TResString SNotPackageEntry =
    RESSTR("RSelfUpdate2", "Пакет обновления не установлен: \"%s\" в нём - не файл и не каталог, а ссылка, канал "
                           "или устройство.");

constexpr int kDownloadAttempts = 3;
constexpr int kDeleteTries = 100;
// The copy over the program folder: create folders, recursive, overwrite only files that differ
// by time, size or CRC-32, write through ".tmp", move busy targets aside, verify, copy times and
// attributes.
constexpr std::uint32_t kInstallCopyOptions = 116691;
constexpr std::uint8_t kInstallCopyTrOptions = kTrStopOnError | kTrShowInViewer;

// The files of the program folder that an installation replaces or deletes before the copy is
// complete. Each is kept under a backup name ("name.~ext") until Commit; Rollback puts them
// back and removes what the copy added. The backup of the running program stays after Commit:
// the next check removes it with the other "*.~*" files.
class TReplacedFiles {
public:
    TReplacedFiles(const QString& programFolder, const QString& programFile)
        : FProgramFolder(programFolder), FProgramFile(programFile)
    {
    }

    // Deletes the listed files by moving them aside.
    void DeleteBefore(const QString& list)
    {
        for (const QString& file : UpdateListFiles(FProgramFolder, list)) {
            if (Known(file))
                continue;
            const QString backup = FreeBackupFileName(file);
            if (!RfoMoveFile(file, backup))
                throw Exception(Format(LoadResString(SBackupFailed), {file, FormatSysError(LastCode(), true)}));
            FEntries.append({file, backup, true});
        }
    }

    // Keeps a copy of every file of the program folder that a file of the work folder would
    // replace, and notes the files and folders that the copy would add.
    void BackUpTargets(const QString& workFolder)
    {
        QDirIterator it(workFolder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        QStringList relatives;
        while (it.hasNext()) {
            it.next();
            relatives.append(QDir(workFolder).relativeFilePath(it.filePath()));
        }
        std::sort(relatives.begin(), relatives.end());
        for (const QString& relative : relatives) {
            const QString source = workFolder + relative;
            const QString target = FProgramFolder + relative;
            if (RfoDirectoryExists(source)) {
                if (!RfoDirectoryExists(target))
                    FNewFolders.append(target);
                continue;
            }
            if (Known(target))
                continue;
            if (!RfoFileExists(target)) {
                FEntries.append({target, QString(), false});
                continue;
            }
            const QString backup = FreeBackupFileName(target);
            KeepCopy(target, backup);
            FEntries.append({target, backup, true});
        }
    }

    void Commit()
    {
        for (const TEntry& entry : std::as_const(FEntries))
            if (entry.Existed && !SameFileName(entry.Target, FProgramFile) && OwnWay(entry.Backup))
                RfoDeleteFile(entry.Backup);
        FEntries.clear();
        FNewFolders.clear();
    }

    void Rollback()
    {
        for (qsizetype i = FEntries.size() - 1; i >= 0; --i) {
            const TEntry& entry = FEntries[i];
            if (!OwnWay(entry.Target))
                continue;
            if (RfoFileExists(entry.Target) && (!entry.Existed || RfoFileExists(entry.Backup)))
                RfoDeleteFile(entry.Target);
            if (entry.Existed)
                RfoMoveFile(entry.Backup, entry.Target);
        }
        for (qsizetype i = FNewFolders.size() - 1; i >= 0; --i)
            if (OwnWay(FNewFolders[i] + QLatin1Char('/')) && RfoDirectoryExists(FNewFolders[i])
                && RfoDirectoryIsEmpty(FNewFolders[i]))
                RfoRemoveDir(FNewFolders[i]);
        FEntries.clear();
        FNewFolders.clear();
    }

private:
    struct TEntry {
        QString Target;
        QString Backup;
        bool Existed = false;
    };

    // True when no folder on the way to path is a link: one put in a folder's place during the
    // copy leads elsewhere, and nothing there is the installation's to delete or put back.
    bool OwnWay(const QString& path) const
    {
        return rfo::LinkBelow(FProgramFolder, rfo::ExtractFilePath(path)).isEmpty();
    }

    bool Known(const QString& target) const
    {
        return std::any_of(FEntries.cbegin(), FEntries.cend(),
                           [&](const TEntry& entry) { return SameFileName(entry.Target, target); });
    }

    // A second name for the file's data: the copy then replaces the target by a new file (it
    // writes through ".tmp"), and the old data stays under the backup name. Where the file
    // system has no hard links the file is copied.
    static void KeepCopy(const QString& target, const QString& backup)
    {
        if (::link(QFile::encodeName(target).constData(), QFile::encodeName(backup).constData()) == 0)
            return;
        const TRTransaction step = CopyMoveFileStep(target, backup, false,
                                                    kRfoVerify | kRfoCopyTimes | kRfoCopyAttrs, 1024, 100, {});
        if (step.Kind != TRMsgKind::Ok)
            throw Exception(Format(LoadResString(SBackupFailed), {target, step.Text}));
    }

    QString FProgramFolder;
    QString FProgramFile;
    QList<TEntry> FEntries;
    QStringList FNewFolders;
};

// The files of the work folder that are the player's (OwnFileKind), taken out of it so that the
// copy leaves his own in the program folder as they are. Their names, a folder's with "/": those
// the program folder holds (kept as they are) apart from those it does not (not installed).
struct TPlayerFilesLeft {
    QStringList Kept;
    QStringList NotInstalled;
};

TPlayerFilesLeft TakeOutPlayerFiles(const QString& workFolder, const QString& programFolder)
{
    TPlayerFilesLeft left;
    const QFileInfoList entries = QDir(workFolder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (!IsPlayerFile(entry.fileName()))
            continue;
        RemoveEntry(entry.filePath());
        const QString name =
            entry.fileName() + (entry.isDir() && !entry.isSymLink() ? QStringLiteral("/") : QString());
        struct stat info {};
        const bool held = ::lstat(QFile::encodeName(programFolder + entry.fileName()).constData(), &info) == 0;
        (held ? left.Kept : left.NotInstalled).append(name);
    }
    return left;
}

void TellPlayerFilesLeft(const TResString& text, const QStringList& names)
{
    if (!names.isEmpty())
        PostViewerMessage(QString(), Format(LoadResString(text), {names.join(QStringLiteral(", "))}),
                          MsgKindColor(TRMsgKind::Info), 0);
}

// The first folder on the way to relative in folder that is a link; empty when there is none.
QString LinkOnTheWay(const QString& folder, const QString& relative)
{
    return rfo::LinkBelow(folder, rfo::ExtractFilePath(folder + relative));
}

// The paths of the entries of folder and its subfolders, relative to it and in name order, links
// not followed.
QStringList TreeEntries(const QString& folder, QDir::Filters filters)
{
    QStringList entries;
    QDirIterator it(folder, filters | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(QDir(folder).relativeFilePath(it.next()));
    entries.sort();
    return entries;
}

// Raises unless the work folder holds only regular files and folders, and the way to each in the
// program folder passes no link: the copy would read what a link leads to, wait for ever on a
// pipe, or create folders and write files wherever a link of the program folder points.
void CheckPackage(const QString& workFolder, const QString& programFolder)
{
    // A file that would not be written is told before a folder (an empty one) that would not be
    // created: it says more.
    QString folderError;
    for (const QString& relative : TreeEntries(workFolder, QDir::AllEntries)) {
        struct stat info {};
        if (::lstat(QFile::encodeName(workFolder + relative).constData(), &info) != 0
            || (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)))
            throw Exception(Format(LoadResString(SNotPackageEntry), {relative}));
        if (S_ISREG(info.st_mode)) {
            const QString link = LinkOnTheWay(programFolder, relative);
            if (!link.isEmpty())
                throw Exception(Format(LoadResString(SLinkOnTheWay), {relative, link}));
        } else if (folderError.isEmpty()) {
            // A folder's own name is on its way too.
            const QString link = LinkOnTheWay(programFolder, relative + QLatin1Char('/'));
            if (!link.isEmpty())
                folderError = Format(LoadResString(SFolderLinkOnTheWay), {relative, link});
        }
    }
    if (!folderError.isEmpty())
        throw Exception(folderError);
}

// Downloads the package into packageFile, at most three times: a missing file or a checksum that
// does not match counts as a failed attempt. The last attempt's error is raised.
void DownloadPackage(const TrSU_VerData& data, const QString& packageFile)
{
    const QString checksum = data.ChecksumCRC32.trimmed();
    for (int attempt = 1;; ++attempt) {
        try {
            Fetch(data.DownloadUrl, packageFile, HttpFileReplyLimit, HttpFileDeadlineMs);
            if (!RfoFileExists(packageFile))
                throw Exception(Format(LoadResString(SFileNotFound), {packageFile}));
            if (!checksum.isEmpty() && FileCrc32Hex(packageFile).compare(checksum, Qt::CaseInsensitive) != 0)
                throw Exception(LoadResString(SBadChecksum));
            return;
        } catch (const std::exception&) {
            if (attempt >= kDownloadAttempts)
                throw;
        }
    }
}

} // namespace

void selfupdate::Install(const TrSU_VerData& data, const QString& programFolder, const TUpdateProgress& progress)
{
    const QString work = programFolder + QLatin1String(kWorkFolderName);
    const QString packageFile = work + Format(QStringLiteral("SelfUpdate_%s.upd"), {data.VerId});
    const QString original = work + data.OriginalFileName;

    // Whatever stands there (a folder left over, a file or a link put in its place) goes first.
    RemoveEntry(work);
    const TRTransaction created = CreateDirStep(work, false);
    if (created.Kind == TRMsgKind::Error)
        throw Exception(TransactionText(created));
    progress.Step();

    DownloadPackage(data, packageFile);
    progress.Step();

    if (!RfoMoveFile(packageFile, original))
        throw Exception(FormatSysError(LastCode(), true));
    if (!RfoFileExists(original))
        throw Exception(Format(LoadResString(SFileNotFound), {original}));
    // A download arrives without the execute permission.
    QFile::setPermissions(original, QFile::permissions(original) | QFile::ExeOwner | QFile::ReadOwner);
    progress.Step();

    const int exitCode = RunProgram(work, original, kRunTimeoutSec);
    if (exitCode != 0)
        throw Exception(Format(LoadResString(SPackageFailed), {data.OriginalFileName, exitCode}));
    progress.Step();

    for (int failures = 0; RfoFileExists(original);) {
        if (RfoDeleteFile(original))
            break;
        if (++failures > kDeleteTries)
            throw Exception(FormatSysError(LastCode(), true));
        Delay(100);
    }
    progress.Step();

    if (RfoDirectoryIsEmpty(work))
        throw Exception(Format(LoadResString(SFileNotFound), {work + QLatin1String("*.*")}));
    progress.Step();

    TReplacedFiles replaced(programFolder, GetAppFileName());
    try {
        replaced.DeleteBefore(data.GlobalDeleteBefore);
        replaced.DeleteBefore(data.DeleteBefore);
        progress.Step();

        RunUpdateFiles(work, data.GlobalExecBefore);
        RunUpdateFiles(work, data.ExecBefore);
        progress.Step();

        const TPlayerFilesLeft left = TakeOutPlayerFiles(work, programFolder);
        TellPlayerFilesLeft(SPlayerFilesLeft, left.Kept);
        TellPlayerFilesLeft(SPlayerFilesNotInstalled, left.NotInstalled);
        CheckPackage(work, programFolder);
        replaced.BackUpTargets(work);
        TROperation copy;
        CopyMoveByMask(work, programFolder, QStringLiteral("*.*"), false, kInstallCopyOptions, kFinishEmptyError,
                       kInstallCopyTrOptions, 1024, 100, 1, 0, {}, copy);
        progress.Step();
        if (copy.Kind != TRMsgKind::Ok)
            throw Exception(Format(LoadResString(SCopyFailed), {copy.Name, copy.Text}));
        replaced.Commit();
        progress.Step();
    } catch (...) {
        replaced.Rollback();
        throw;
    }

    RunUpdateFiles(work, data.GlobalExecAfter);
    RunUpdateFiles(work, data.ExecAfter);
    progress.Step();

    DeleteUpdateFiles(programFolder, data.GlobalDeleteAfter);
    DeleteUpdateFiles(programFolder, data.DeleteAfter);
    progress.Step();
}

void DeleteUpdateFiles(const QString& folder, const QString& list)
{
    // Each file found is deleted by its own name: taken as a mask again, a name holding "*"
    // would reach further than the list said.
    for (const QString& file : UpdateListFiles(folder, list))
        DeleteFileStep(file, 0);
}

void RunUpdateFiles(const QString& folder, const QString& list)
{
    for (const QString& name : UpdateListNames(list)) {
        const QString file = IncludeTrailingDelimiter(folder) + name;
        if (RfoFileExists(file))
            RunProgram(IncludeTrailingDelimiter(folder), file, kRunTimeoutSec);
    }
}

QStringList RemoveUpdateLeftovers(const QString& programFolder)
{
    const QString folder = IncludeTrailingDelimiter(programFolder);
    const QString work = folder + QLatin1String(kWorkFolderName);
    struct stat info {};
    if (::lstat(QFile::encodeName(ExcludeTrailingDelimiter(work)).constData(), &info) != 0)
        return {};
    QStringList removed;
    // A link at the work folder's name is removed itself; what it leads to is nobody's here.
    const QStringList files = S_ISDIR(info.st_mode) ? TreeEntries(work, QDir::Files) : QStringList();
    // The copy writes a file that it replaces through "<name>.tmp" first; while the work folder
    // holds the file, such a name in the program folder is the copy's.
    for (const QString& relative : files) {
        const QString temporary = folder + relative + QLatin1String(".tmp");
        if (!IsPlayerFile(relative) && LinkOnTheWay(folder, relative).isEmpty()
            && ::lstat(QFile::encodeName(temporary).constData(), &info) == 0 && !S_ISDIR(info.st_mode)
            && RfoDeleteFile(temporary))
            removed.append(temporary);
    }
    try {
        RemoveEntry(work);
    } catch (const std::exception&) {
        // What stays is tried again at the next start.
        return removed;
    }
    for (const QString& relative : files)
        removed.append(work + relative);
    return removed;
}
