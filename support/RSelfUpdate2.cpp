#include "support/RSelfUpdate2.h"

#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "platform/ResString.h"
#include "support/RCrc32.h"
#include "support/RFileProcs.h"
#include "support/RFileProcsImpl.h"
#include "support/RLngDLL.h"
#include "support/RMsgRu.h"
#include "support/RDialogs.h"
#include "support/RSysSpawn.h"
#include "support/RSwCommon.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"
#include "support/rHttpUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <unistd.h>

#include <algorithm>
#include <cerrno>

using rfo::ExcludeTrailingDelimiter;
using rfo::ExtractFileName;
using rfo::ExtractFilePath;
using rfo::IncludeTrailingDelimiter;
using rfo::LastCode;
using rfo::SameFileName;

namespace {

constexpr TResString SSearching = RESSTR("RSelfUpdate2", "Поиск доступных обновлений...");
constexpr TResString SInstalling = RESSTR("RSelfUpdate2", "Загрузка и установка обновления \"%s\"...");
constexpr TResString SNoDescription = RESSTR("RSelfUpdate2", "< Описание обновления не доступно >");
constexpr TResString SNoUpdates = RESSTR("RSelfUpdate2", "Обновлений не найдено!");
constexpr TResString SSearchError = RESSTR("RSelfUpdate2", "Ошибка поиска обновлений!\n\n%s");
constexpr TResString SInstallError = RESSTR("RSelfUpdate2", "Ошибка установки обновления!\n\n%s");
constexpr TResString SBadChecksum = RESSTR("RSelfUpdate2", "Неверная контрольная сумма скачанного файла.");
constexpr TResString SInstalled = RESSTR(
    "RSelfUpdate2",
    "Установка обновления \"%s\" успешно выполнена.\n\nДля завершения установки необходимо перезапустить программу!");
constexpr TResString SBadFileName =
    RESSTR("RSelfUpdate2", "Недопустимое имя файла \"%s\" в настройках обновления.");
constexpr TResString SBadVersion =
    RESSTR("RSelfUpdate2", "Недопустимый номер версии \"%s\" в настройках обновления.");
constexpr TResString SBadPackageUrl = RESSTR(
    "RSelfUpdate2",
    "Пакет обновления принимается только по адресу \"https://\" или из локального файла: \"%s\".");
constexpr TResString SPackageFailed = RESSTR("RSelfUpdate2", "Программа \"%s\" завершилась с кодом %d.");
constexpr TResString SBackupFailed = RESSTR("RSelfUpdate2", "Не удалось сохранить копию файла \"%s\": %s");
constexpr TResString SCopyFailed = RESSTR("RSelfUpdate2", "%0:s - %1:s");

const char* const kConfigPath = "/files/autoupdates/Kelma_AU.cfg";
const char* const kConfigFileName = "SelfUpdates.inf";
const char* const kWorkFolderName = "SelfUpdate/";
const char* const kDescrFolderName = "UpdDescr";
constexpr int kDownloadAttempts = 3;
constexpr int kRunTimeoutSec = 60;
constexpr int kDeleteTries = 100;
// The copy over the program folder: create folders, recursive, overwrite only files that differ
// by time, size or CRC-32, write through ".tmp", move busy targets aside, verify, copy times and
// attributes.
constexpr std::uint32_t kInstallCopyOptions = 116691;
constexpr std::uint8_t kInstallCopyTrOptions = kTrStopOnError | kTrShowInViewer;
// A description is a few lines of text; more than this is not read.
constexpr qint64 kMaxDescriptionBytes = 256 * 1024;

TSelfUpdateHooks& Hooks()
{
    static TSelfUpdateHooks hooks;
    return hooks;
}

int DefaultRunProgram(const QString& folder, const QString& program, int timeoutSec)
{
    TSpawnedProcess process = SpawnProcess(folder, program, {});
    return WaitForProcess(process, ExtractFileName(program), timeoutSec, nullptr);
}

int Fetch(const QString& source, const QString& target)
{
    return Hooks().Fetch ? Hooks().Fetch(source, target) : FetchUpdateFile(source, target);
}

int RunProgram(const QString& folder, const QString& program, int timeoutSec)
{
    return Hooks().RunProgram ? Hooks().RunProgram(folder, program, timeoutSec)
                              : DefaultRunProgram(folder, program, timeoutSec);
}

QString RunningVersion()
{
    return Hooks().RunningVersion ? Hooks().RunningVersion() : QCoreApplication::applicationVersion();
}

// The progress window for the length of a scope.
class TProgressScope {
public:
    TProgressScope(const QString& text, int maximum)
    {
        if (Hooks().ShowProgress)
            Hooks().ShowProgress(text, maximum);
    }
    ~TProgressScope() { Hide(); }
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;

    void Step() const
    {
        if (!FHidden && Hooks().StepProgress)
            Hooks().StepProgress();
    }
    void Hide()
    {
        if (!FHidden && Hooks().HideProgress)
            Hooks().HideProgress();
        FHidden = true;
    }

private:
    bool FHidden = false;
};

bool HasUrlScheme(const QString& address)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(address).hasMatch();
}

bool IsWebAddress(const QString& address)
{
    return address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
           || address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

void DeleteMask(const QString& pathWithMask, std::uint32_t options)
{
    TROperation operation;
    DeleteByMask(pathWithMask, options, kFinishEmptyOk, 0, 1, 0, {}, operation);
}

// Removes a folder with all it holds; raises when something stayed.
void RemoveFolder(const QString& folder)
{
    DeleteMask(ExcludeTrailingDelimiter(folder), kRfoRecursive);
    if (RfoDirectoryExists(folder))
        throw Exception(FormatSysError(LastCode() != 0 ? LastCode() : ENOTEMPTY, true));
}

// A description file as text: UTF-8 when it is (with or without a byte-order mark), otherwise
// the Cyrillic code page the maker's older files were written in.
QStringList ReadDescriptionFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(kMaxDescriptionBytes);
    QString text;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    text = utf8.hasError() ? DecodeCp1251(bytes) : asUtf8;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

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
        for (const QString& name : UpdateListNames(list)) {
            const QString file = FProgramFolder + name;
            if (!RfoFileExists(file))
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
            if (entry.Existed && !SameFileName(entry.Target, FProgramFile))
                RfoDeleteFile(entry.Backup);
        FEntries.clear();
        FNewFolders.clear();
    }

    void Rollback()
    {
        for (qsizetype i = FEntries.size() - 1; i >= 0; --i) {
            const TEntry& entry = FEntries[i];
            if (RfoFileExists(entry.Target) && (!entry.Existed || RfoFileExists(entry.Backup)))
                RfoDeleteFile(entry.Target);
            if (entry.Existed)
                RfoMoveFile(entry.Backup, entry.Target);
        }
        for (qsizetype i = FNewFolders.size() - 1; i >= 0; --i)
            if (RfoDirectoryExists(FNewFolders[i]) && RfoDirectoryIsEmpty(FNewFolders[i]))
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

// Downloads the package into packageFile, at most three times: a missing file or a checksum that
// does not match counts as a failed attempt. The last attempt's error is raised.
void DownloadPackage(const TrSU_VerData& data, const QString& packageFile)
{
    const QString checksum = data.ChecksumCRC32.trimmed();
    for (int attempt = 1;; ++attempt) {
        try {
            if (RfoFileExists(packageFile))
                RfoDeleteFile(packageFile);
            Fetch(data.DownloadUrl, packageFile);
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

// The informer's answer; a window that fails to show counts as a refusal.
bool Confirmed(const QString& current, const QString& newVersion, const QStringList& description)
{
    try {
        return Hooks().ConfirmUpdate && Hooks().ConfirmUpdate(current, newVersion, description);
    } catch (const std::exception&) {
        return false;
    }
}

void Install(const TrSU_VerData& data, const QString& programFolder, const TProgressScope& progress)
{
    const QString work = programFolder + QLatin1String(kWorkFolderName);
    const QString packageFile = work + Format(QStringLiteral("SelfUpdate_%s.upd"), {data.VerId});
    const QString original = work + data.OriginalFileName;

    if (RfoDirectoryExists(work))
        RemoveFolder(work);
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

} // namespace

TSelfUpdateHooks SetSelfUpdateHooks(TSelfUpdateHooks hooks)
{
    std::swap(Hooks(), hooks);
    return hooks;
}

const TSelfUpdateHooks& SelfUpdateHooks()
{
    return Hooks();
}

QString SelfUpdateConfigAddress()
{
    return MakerServerUrl() + QLatin1String(kConfigPath);
}

void ReadUpdateVersion(const QString& configFile, const QString& section, const QString& defaultVerId,
                       TrSU_VerData& data)
{
    const TMemIniFile ini(configFile);
    const QString global = QStringLiteral("GlobalOptions");
    data.VerId = ini.ReadString(section, QStringLiteral("VerId"), defaultVerId);
    data.Description = ini.ReadString(section, QStringLiteral("Description"), QString());
    data.DownloadUrl = ini.ReadString(section, QStringLiteral("DownloadUrl"), QString());
    data.OriginalFileName = ini.ReadString(section, QStringLiteral("OriginalFileName"), QString());
    data.ChecksumCRC32 = ini.ReadString(section, QStringLiteral("ChecksumCRC32"), QString());
    data.GlobalDeleteAfter = ini.ReadString(global, QStringLiteral("DeleteAfter"), QString());
    data.GlobalDeleteBefore = ini.ReadString(global, QStringLiteral("DeleteBefore"), QString());
    data.GlobalExecAfter = ini.ReadString(global, QStringLiteral("ExecAfter"), QString());
    data.GlobalExecBefore = ini.ReadString(global, QStringLiteral("ExecBefore"), QString());
    data.DeleteAfter = ini.ReadString(section, QStringLiteral("DeleteAfter"), QString());
    data.DeleteBefore = ini.ReadString(section, QStringLiteral("DeleteBefore"), QString());
    data.ExecAfter = ini.ReadString(section, QStringLiteral("ExecAfter"), QString());
    data.ExecBefore = ini.ReadString(section, QStringLiteral("ExecBefore"), QString());
}

int CompareVersionBuild(const QString& version)
{
    static const QRegularExpression separators(QStringLiteral("[,\\-._]"));
    const QStringList fields = version.split(separators);
    if (fields.size() < 4)
        return 0;
    return StrToIntDef(fields[3].trimmed(), 0);
}

bool IsValidVersionId(const QString& version)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]{1,9}\\.[0-9]{1,9}\\.[0-9]{1,9}\\.[0-9]{1,9}$"));
    return pattern.match(version).hasMatch();
}

bool IsPlainFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
           && !name.contains(QChar(0));
}

QStringList UpdateListNames(const QString& list)
{
    QStringList names;
    for (const QString& part : list.split(QLatin1Char(';'))) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

void CheckUpdateVersion(const TrSU_VerData& data)
{
    if (!IsValidVersionId(data.VerId))
        throw Exception(Format(LoadResString(SBadVersion), {data.VerId}));
    if (HasUrlScheme(data.DownloadUrl) && !IsHttpsUrl(data.DownloadUrl))
        throw Exception(Format(LoadResString(SBadPackageUrl), {data.DownloadUrl}));
    if (!IsPlainFileName(data.OriginalFileName))
        throw Exception(Format(LoadResString(SBadFileName), {data.OriginalFileName}));
    for (const QString* list : {&data.GlobalDeleteAfter, &data.GlobalDeleteBefore, &data.GlobalExecAfter,
                                &data.GlobalExecBefore, &data.DeleteAfter, &data.DeleteBefore, &data.ExecAfter,
                                &data.ExecBefore})
        for (const QString& name : UpdateListNames(*list))
            if (!IsPlainFileName(name))
                throw Exception(Format(LoadResString(SBadFileName), {name}));
}

int FetchUpdateFile(const QString& source, const QString& target)
{
    const QString folder = ExtractFilePath(target);
    if (!folder.isEmpty() && !RfoDirectoryExists(folder)) {
        const TRTransaction step = CreateDirStep(folder, false);
        if (step.Kind == TRMsgKind::Error)
            throw Exception(TransactionText(step));
    }
    if (IsWebAddress(source)) {
        HttpDownloadFile(source, target, IsHttpsUrl(source));
        return 0;
    }
    const TRTransaction step =
        CopyMoveFileStep(source, target, false, kRfoOverwrite | kRfoFlat | kRfoVerify, 64, 100, {});
    if (step.Kind == TRMsgKind::Error || step.Kind == TRMsgKind::Stop)
        throw Exception(TransactionText(step));
    return 1;
}

QString UpdateDescriptionBase(const QString& address)
{
    if (IsWebAddress(address))
        return UrlBasePath(address) + QLatin1String(kDescrFolderName) + QLatin1Char('/');
    return ExtractFilePath(address) + QLatin1String(kDescrFolderName) + QLatin1Char('/');
}

void LoadUpdateDescription(QStringList& description, const TrSU_VerData& data, const QString& descrBase,
                           const QString& localFolder, LCID lcid)
{
    const QString localFile = IncludeTrailingDelimiter(localFolder)
                              + Format(QStringLiteral("UpdDescr_%s.txt"), {data.VerId});
    QStringList names;
    if (lcid != 0) {
        names.append(Format(QStringLiteral("UpdDescr_%s_%s.txt"), {GetLanguageAbbrev(lcid), data.VerId}));
        names.append(Format(QStringLiteral("UpdDescr_%d_%s.txt"), {static_cast<int>(lcid), data.VerId}));
    }
    names.append(Format(QStringLiteral("UpdDescr_%s.txt"), {data.VerId}));

    for (const QString& name : std::as_const(names)) {
        try {
            Fetch(descrBase + name, localFile);
            break;
        } catch (const std::exception&) {
            // The next name is tried.
        }
    }
    if (RfoFileExists(localFile)) {
        description = ReadDescriptionFile(localFile);
        RfoDeleteFile(localFile);
    } else {
        description = QStringList{LoadResString(SNoDescription)};
    }
}

void DeleteUpdateFiles(const QString& folder, const QString& list)
{
    for (const QString& name : UpdateListNames(list)) {
        const QString file = IncludeTrailingDelimiter(folder) + name;
        if (RfoFileExists(file))
            DeleteMask(file, kRfoIgnoreDirs);
    }
}

void RunUpdateFiles(const QString& folder, const QString& list)
{
    for (const QString& name : UpdateListNames(list)) {
        const QString file = IncludeTrailingDelimiter(folder) + name;
        if (RfoFileExists(file))
            RunProgram(IncludeTrailingDelimiter(folder), file, kRunTimeoutSec);
    }
}

int CheckForUpdates(const QString& address, bool silent, LCID lcid)
{
    const QString programFolder = GetAppDir();
    const QString configFile = programFolder + QLatin1String(kConfigFileName);
    TrSU_VerData data;
    QStringList description;
    QString current;
    int result = kSuNothingInstalled;
    QString error;
    bool available = false;

    StartWait();
    {
        TProgressScope progress(LoadResString(SSearching), 5);
        try {
            // Backups left by the last installation (the replaced program file among them).
            DeleteMask(programFolder + QLatin1String("*.~*"), 0);
            progress.Step();
            current = RunningVersion();
            Fetch(address, configFile);
            progress.Step();
            ReadUpdateVersion(configFile, ExtractFileName(GetAppFileName()), current, data);
            progress.Step();
            available = CompareVersionBuild(current) < CompareVersionBuild(data.VerId) && !data.DownloadUrl.isEmpty();
            if (available)
                CheckUpdateVersion(data);
            progress.Step();
            if (available)
                LoadUpdateDescription(description, data, UpdateDescriptionBase(address), programFolder, lcid);
            progress.Step();
        } catch (const std::exception& e) {
            result = kSuFailed;
            error = ExceptionText(e);
        }
    }
    StopWait();

    if (result == kSuFailed) {
        if (!silent)
            ErrorBox(Format(LoadResString(SSearchError), {error}));
    } else if (!available) {
        if (!silent)
            InfoBox(LoadResString(SNoUpdates));
    } else if (Confirmed(current, data.Description, description)) {
        StartWait();
        {
            TProgressScope progress(Format(LoadResString(SInstalling), {data.VerId}), 14);
            try {
                Install(data, programFolder, progress);
                result = kSuInstalled;
                RemoveFolder(programFolder + QLatin1String(kWorkFolderName));
                progress.Step();
            } catch (const std::exception& e) {
                if (result != kSuInstalled) {
                    result = kSuFailed;
                    error = ExceptionText(e);
                }
            }
            progress.Hide();
        }
        StopWait();
        if (result == kSuFailed)
            ErrorBox(Format(LoadResString(SInstallError), {error}));
        else
            AttentionBox(Format(LoadResString(SInstalled), {data.Description}));
    }

    if (RfoFileExists(configFile))
        RfoDeleteFile(configFile);
    return result;
}

bool CheckProgramUpdate(bool silent)
{
    return CheckForUpdates(SelfUpdateConfigAddress(), silent, GetCurrentLanguage()) == kSuInstalled;
}
