// Searching by folder pattern and mask, and the copy, move and delete operations over the
// files found.

#include "support/RFileProcs.h"

#include "platform/DelphiText.h"
#include "support/RDateUtils.h"
#include "support/RFileProcsImpl.h"

#include <QDir>
#include <QFileInfo>

using namespace rfo;

namespace {

struct TEntry {
    QString Name;
    bool IsDir = false;
};

struct TSearch {
    TRTransaction Step;
    TRFileList Items;
};

bool HasWildcards(const QString& text)
{
    return text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'));
}

// The entries of a folder in name order, letters compared without case, so that results do
// not depend on the order the file system keeps. A link is listed as a file and never
// entered: following links could lead out of the tree or round in a circle.
QList<TEntry> ListFolder(const QString& folder)
{
    QList<TEntry> entries;
    const QFileInfoList infos =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                   QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& info : infos)
        entries.append(TEntry{info.fileName(), info.isDir() && !info.isSymLink()});
    return entries;
}

// The folders a pattern stands for (each with a trailing '/'); wildcards may appear in any
// component.
QStringList ResolveFolders(const QString& pattern)
{
    const QString path = ExcludeTrailingDelimiter(pattern);
    if (!HasWildcards(path))
        return RfoDirectoryExists(path) ? QStringList{IncludeTrailingDelimiter(path)} : QStringList{};
    const QString parent = ExtractFilePath(path);
    const QString last = ExtractFileName(path);
    QStringList result;
    if (parent.isEmpty())
        return result;
    for (const QString& folder : ResolveFolders(parent)) {
        for (const TEntry& entry : ListFolder(folder))
            if (entry.IsDir && MatchesMasks(entry.Name, last))
                result.append(folder + entry.Name + QLatin1Char('/'));
    }
    return result;
}

TRMsgKind EmptyResultKind(int finishMode)
{
    if (finishMode == kFinishEmptyWarning)
        return TRMsgKind::Warning;
    if (finishMode == kFinishEmptyError)
        return TRMsgKind::Error;
    return TRMsgKind::Info;
}

void ListFiles(TRFileList& items, const QString& folder, const QString& mask, bool recursive,
               bool foldersFirst, const TRAbortProc& abort, bool& aborted)
{
    if (AskAbort(aborted, abort))
        return;
    for (const TEntry& entry : ListFolder(folder)) {
        if (aborted)
            return;
        if (!entry.IsDir) {
            if (MatchesMasks(entry.Name, mask))
                items.Add(folder + entry.Name, kRfiFile);
        } else if (recursive && MatchesMasks(entry.Name, mask)) {
            const QString dir = folder + entry.Name + QLatin1Char('/');
            if (foldersFirst)
                items.Add(dir, kRfiFolder);
            ListFiles(items, dir, QStringLiteral("*"), true, foldersFirst, abort, aborted);
            if (!foldersFirst)
                items.Add(dir, kRfiFolder);
        }
    }
}

// Folders deepest first, so that a parent comes after everything inside it.
void ListFolders(TRFileList& items, const QString& folder, const QString& mask, bool recursive,
                 const TRAbortProc& abort, bool& aborted)
{
    if (AskAbort(aborted, abort))
        return;
    for (const TEntry& entry : ListFolder(folder)) {
        if (aborted)
            return;
        if (entry.IsDir && MatchesMasks(entry.Name, mask)) {
            const QString dir = folder + entry.Name + QLatin1Char('/');
            if (recursive)
                ListFolders(items, dir, QStringLiteral("*"), true, abort, aborted);
            items.Add(dir, kRfiFolder);
        }
    }
}

TSearch Search(const QString& pattern, const QString& masks, bool recursive, bool foldersFirst,
               bool foldersOnly, int finishMode, const TRAbortProc& abort, const TRMsgLogProc& log)
{
    TSearch search;
    search.Step = StartStep(foldersOnly ? Format(LoadResString(SScanDir), {pattern})
                                        : Format(LoadResString(SSearchFiles), {masks, pattern}),
                            log);
    const QStringList folders = ResolveFolders(pattern);
    if (folders.isEmpty()) {
        EndStep(search.Step, EmptyResultKind(finishMode),
                Format(LoadResString(SSearchDirNotFound), {pattern}));
        return search;
    }
    bool aborted = false;
    for (const QString& folder : folders) {
        for (const QString& part : masks.split(QLatin1Char(';'))) {
            const QString mask = part.trimmed();
            if (mask.isEmpty())
                continue;
            if (foldersOnly)
                ListFolders(search.Items, folder, mask, recursive, abort, aborted);
            else
                ListFiles(search.Items, folder, mask, recursive, foldersFirst, abort, aborted);
        }
    }
    if (aborted) {
        search.Items.Clear();
        EndStep(search.Step, TRMsgKind::Stop, OperationAbortedText());
        return search;
    }
    const int count = search.Items.Count();
    EndStep(search.Step, count > 0 ? TRMsgKind::Info : EmptyResultKind(finishMode),
            Format(LoadResString(foldersOnly ? SDirsFound : SItemsFound), {count}));
    return search;
}

QString ParentFolder(const TRFileItem& item)
{
    return ExtractFilePath(item.Kind == kRfiFolder ? ExcludeTrailingDelimiter(item.Name) : item.Name);
}

QString CommonFolder(const TRFileList& items)
{
    QStringList common = ParentFolder(items[0]).split(QLatin1Char('/'));
    for (int i = 1; i < items.Count(); ++i) {
        const QStringList parts = ParentFolder(items[i]).split(QLatin1Char('/'));
        qsizetype n = 0;
        while (n < common.size() && n < parts.size() && common[n] == parts[n])
            ++n;
        common = common.mid(0, n);
    }
    // The last part of a folder ending with '/' is empty; keep the delimiter.
    QString result = common.join(QLatin1Char('/'));
    return IncludeTrailingDelimiter(result);
}

QString RelativeTo(const QString& folder, const QString& base)
{
    return folder.startsWith(base) ? folder.mid(base.size()) : QString();
}

void Progress(const TRfoCallbacks& callbacks, int index, int count)
{
    if (callbacks.ItemProgress)
        callbacks.ItemProgress(kLogLevelStep, index, count);
}

// Runs a step until it succeeds, its attempts are spent or the operation is aborted. Only the
// last attempt's error counts in the operation; a retry pause that is aborted stops it.
template <typename TStep>
void RunWithRetries(TStep&& runStep, TROperation& operation, bool retry, int maxAttempts,
                    int retryPauseSec, std::uint8_t trOptions, bool& stop, const TRfoCallbacks& callbacks)
{
    const int attempts = std::max(maxAttempts, 1);
    for (int attempt = 1;; ++attempt) {
        TRTransaction step = runStep();
        if (attempt > 1)
            step.Name += Format(LoadResString(SAttemptSuffix), {attempt});
        const bool more = retry && attempt < attempts;
        AddTransaction(step, operation, trOptions, !more, stop, callbacks.Log);
        if (step.Kind != TRMsgKind::Error || !more || stop)
            return;
        bool pauseAborted = false;
        OperationPause(retryPauseSec, pauseAborted,
                       Format(LoadResString(SRetryPause), {attempt, retryPauseSec}), callbacks.Abort,
                       callbacks.Log);
        if (pauseAborted) {
            EndStep(step, TRMsgKind::Stop, OperationAbortedText());
            AddTransaction(step, operation, trOptions, true, stop, callbacks.Log);
            return;
        }
    }
}

bool EndsLoop(const TROperation& operation, std::uint8_t trOptions)
{
    if (!(trOptions & kTrStopOnError) || operation.Transactions.isEmpty())
        return false;
    const TRMsgKind last = operation.Transactions.constLast().Kind;
    return last == TRMsgKind::Error || last == TRMsgKind::Stop;
}

} // namespace

bool FindFilesByMask(const QString& folderPattern, const QString& masks, int /*attributes*/,
                     const TRAbortProc& abort, const TRMsgLogProc& log)
{
    // Only folders could be told apart by attributes here, and folders are never a match.
    const TSearch search = Search(RfoExpandFileName(folderPattern), masks, false, true, false,
                                  kFinishEmptyOk, abort, log);
    for (int i = 0; i < search.Items.Count(); ++i)
        if (search.Items[i].Kind == kRfiFile)
            return true;
    return false;
}

void CopyMoveByMask(const QString& sourcePattern, const QString& target, const QString& masks,
                    bool move, std::uint32_t options, int finishMode, std::uint8_t trOptions,
                    int bufferKb, int speedPercent, int maxAttempts, int retryPauseSec,
                    const TRfoCallbacks& callbacks, TROperation& operation, TRCopyList* copied)
{
    const QString source = RfoExpandFileName(sourcePattern);
    const QString destination = RfoExpandFileName(target);
    InitOperationLog(Format(LoadResString(move ? SMoveFromTo : SCopyFromTo),
                            {masks, ExcludeTrailingDelimiter(source), destination}),
                     operation, callbacks.Log);
    bool stop = false;
    TSearch search = Search(source, masks, (options & kRfoRecursive) != 0, true, false, finishMode,
                            callbacks.Abort, callbacks.Log);
    AddTransaction(search.Step, operation, trOptions, true, stop, callbacks.Log);
    const TRFileList& items = search.Items;
    const int count = items.Count();

    if (!stop && count > 0) {
        operation.Total += count;
        const QString base = (options & kRfoCommonBase) ? CommonFolder(items)
                                                        : IncludeTrailingDelimiter(ExcludeTrailingDelimiter(source));
        const std::uint32_t removalOptions =
            kRfoEmptyDirs | (move ? options & (kRfoSkipReadOnly | kRfoSkipSystem | kRfoSkipHidden) : 0);
        // A target with an extension receives the only file found under its own name.
        const bool flat = (options & kRfoFlat) || (!ExtractFileExt(destination).isEmpty() && count == 1);
        const QString targetRoot = IncludeTrailingDelimiter(destination);
        // Only regular files and folders of the tree are copied, into folders of the target's own.
        const TCopyBounds bounds{base, targetRoot};
        QStringList remembered;
        Progress(callbacks, 0, count);

        for (int i = 0; i < count; ++i) {
            if (CheckOperationAbort(operation, stop, callbacks.Abort))
                break;
            const TRFileItem& item = items[i];
            const QString relative = RelativeTo(ParentFolder(item), base);
            if (item.Kind == kRfiFile) {
                const QString targetFolder =
                    flat ? (count > 1 ? targetRoot : destination) : targetRoot + relative;
                RunWithRetries(
                    [&] {
                        return CopyFileInBounds(item.Name, targetFolder, move, options, bufferKb,
                                                speedPercent, callbacks, copied, bounds);
                    },
                    operation, (options & kRfoRetry) != 0, maxAttempts, retryPauseSec, trOptions, stop,
                    callbacks);
            } else {
                const QString targetDir =
                    (options & kRfoFlat)
                        ? targetRoot
                        : targetRoot + relative + ExtractFileName(ExcludeTrailingDelimiter(item.Name))
                              + QLatin1Char('/');
                const TRTransaction step =
                    CopyDirInBounds(item.Name, targetDir, move, options, callbacks.Log, bounds);
                AddTransaction(step, operation, trOptions, true, stop, callbacks.Log);
                if (move && step.Kind != TRMsgKind::Error && step.Kind != TRMsgKind::Stop)
                    remembered.append(item.Name);
            }
            if (EndsLoop(operation, trOptions))
                break;
            // Source folders of a move go as soon as the walk has left them and they are empty.
            if (!remembered.isEmpty() && i + 1 < count) {
                const TRFileItem& next = items[i + 1];
                if (ExtractFilePath(next.Name) != ExtractFilePath(item.Name) || next.Kind != item.Kind) {
                    for (qsizetype j = remembered.size() - 1; j >= 0; --j) {
                        if (!RfoDirectoryIsEmpty(remembered[j]))
                            continue;
                        const TRTransaction step = DeleteDirStep(remembered[j], removalOptions, callbacks.Log);
                        if (step.Kind == TRMsgKind::Ok || step.Kind == TRMsgKind::Skip) {
                            AddTransaction(step, operation, trOptions, true, stop, callbacks.Log);
                            remembered.removeAt(j);
                        }
                    }
                }
            }
            Progress(callbacks, i + 1, count);
        }
        if (!stop) {
            for (qsizetype j = remembered.size() - 1; j >= 0; --j) {
                const TRTransaction step = DeleteDirStep(remembered[j], removalOptions, callbacks.Log);
                AddTransaction(step, operation, trOptions, true, stop, callbacks.Log);
            }
        }
    }
    FinishOperationLog(operation, finishMode, callbacks.Log);
}

void DeleteByMask(const QString& pathWithMask, std::uint32_t options, int finishMode,
                  std::uint8_t trOptions, int maxAttempts, int retryPauseSec,
                  const TRfoCallbacks& callbacks, TROperation& operation)
{
    // "/data/old/" names the folder "old" itself, as "/data/old" does.
    const QString path = ExcludeTrailingDelimiter(RfoExpandFileName(pathWithMask));
    const QString pattern = ExtractFilePath(path);
    const QString mask = ExtractFileName(path);
    const bool emptyDirs = (options & kRfoEmptyDirs) != 0;
    InitOperationLog(Format(LoadResString(emptyDirs ? SDeleteEmptyDirs : SDeleteMask), {path}), operation,
                     callbacks.Log);
    bool stop = false;
    TSearch search = Search(pattern, mask, (options & kRfoRecursive) != 0, false, emptyDirs, finishMode,
                            callbacks.Abort, callbacks.Log);
    AddTransaction(search.Step, operation, trOptions, true, stop, callbacks.Log);
    const TRFileList& items = search.Items;
    const int count = items.Count();
    operation.Total += count;
    Progress(callbacks, 0, count);

    for (int i = 0; i < count && !stop; ++i) {
        if (CheckOperationAbort(operation, stop, callbacks.Abort))
            break;
        const TRFileItem& item = items[i];
        RunWithRetries(
            [&] {
                if (item.Kind == kRfiFile)
                    return DeleteFileStep(item.Name, options, callbacks.Log);
                if (!(options & kRfoIgnoreDirs))
                    return DeleteDirStep(item.Name, options, callbacks.Log);
                TRTransaction step = StartStep(Format(LoadResString(SDeleteDir), {item.Name}), callbacks.Log);
                EndStep(step, TRMsgKind::Skip, LoadResString(SDirIgnored));
                return step;
            },
            operation, (options & kRfoRetry) != 0, maxAttempts, retryPauseSec, trOptions, stop, callbacks);
        if (EndsLoop(operation, trOptions))
            break;
        Progress(callbacks, i + 1, count);
    }
    FinishOperationLog(operation, finishMode, callbacks.Log);
}
