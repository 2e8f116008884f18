#include "support/RSelfUpdate2.h"
#include "support/RSelfUpdate2Impl.h"

#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "platform/ReadFile.h"
#include "platform/ResString.h"
#include "support/RFileProcs.h"
#include "support/RFileProcsImpl.h"
#include "support/RLngDLL.h"
#include "support/RMsgRu.h"
#include "support/ROwnFiles.h"
#include "support/RDialogs.h"
#include "support/RSysSpawn.h"
#include "support/RSwCommon.h"
#include "support/RStrUtils.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"
#include "support/rHttpUtils.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>

using rfo::ExcludeTrailingDelimiter;
using rfo::ExtractFileName;
using rfo::ExtractFilePath;
using rfo::IncludeTrailingDelimiter;
using namespace selfupdate;

namespace {

constexpr TResString SSearching = RESSTR("RSelfUpdate2", "Поиск доступных обновлений...");
constexpr TResString SInstalling = RESSTR("RSelfUpdate2", "Загрузка и установка обновления \"%s\"...");
constexpr TResString SNoDescription = RESSTR("RSelfUpdate2", "< Описание обновления не доступно >");
constexpr TResString SNoUpdates = RESSTR("RSelfUpdate2", "Обновлений не найдено!");
constexpr TResString SSearchError = RESSTR("RSelfUpdate2", "Ошибка поиска обновлений!\n\n%s");
constexpr TResString SInstallError = RESSTR("RSelfUpdate2", "Ошибка установки обновления!\n\n%s");
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
constexpr TResString SWebPackageOnly =
    RESSTR("RSelfUpdate2", "Настройки обновления, полученные по сети, могут указывать пакет обновления только по "
                           "адресу \"https://\" на сервере \"%s\": \"%s\".");

const char* const kConfigPath = "/files/autoupdates/Kelma_AU.cfg";
const char* const kConfigFileName = "SelfUpdates.inf";
const char* const kDescrFolderName = "UpdDescr";
// A description is a few lines of text; more than this is not read.
constexpr qint64 kMaxDescriptionBytes = 256 * 1024;

int DefaultRunProgram(const QString& folder, const QString& program, int timeoutSec)
{
    TSpawnedProcess process = SpawnProcess(folder, program, {});
    return WaitForProcess(process, ExtractFileName(program), timeoutSec, nullptr);
}

std::optional<TUpdateCheckReport>& LastReport()
{
    static std::optional<TUpdateCheckReport> report;
    return report;
}

QString RunningVersion()
{
    return Hooks().RunningVersion ? Hooks().RunningVersion() : QCoreApplication::applicationVersion();
}

bool HasUrlScheme(const QString& address)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(address).hasMatch();
}

// A description file as text: UTF-8 when it is (with or without a byte-order mark), otherwise
// the Cyrillic code page the maker's older files were written in.
QStringList ReadDescriptionFile(const QString& fileName)
{
    QByteArray bytes;
    try {
        // Fetched within the cap of the server's replies; what is shown is cut to the bound.
        bytes = ReadRegularFile(fileName, SwReplyLimit).left(kMaxDescriptionBytes);
    } catch (const EFileReadError&) {
        return {};
    }
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

// The informer's answer; a window that fails to show counts as a refusal.
bool Confirmed(const QString& current, const QString& newVersion, const QStringList& description)
{
    try {
        return Hooks().ConfirmUpdate && Hooks().ConfirmUpdate(current, newVersion, description);
    } catch (const std::exception&) {
        return false;
    }
}

// Removes whatever stands at path: a folder with everything in it, or a file or link. A link is
// removed itself and never followed, so that nothing outside the folder is touched; a folder a
// package left without write permission is opened first. Keeps going past failures and leaves
// the first error in error.
void RemoveTree(const QByteArray& path, int& error)
{
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) {
        if (errno != ENOENT && error == 0)
            error = errno;
        return;
    }
    if (!S_ISDIR(info.st_mode)) {
        if (::unlink(path.constData()) != 0 && error == 0)
            error = errno;
        return;
    }
    ::chmod(path.constData(), (info.st_mode & 07777) | S_IRWXU);
    QByteArrayList names;
    if (DIR* dir = ::opendir(path.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names.append(name);
        }
        ::closedir(dir);
    } else if (error == 0) {
        error = errno;
    }
    for (const QByteArray& name : std::as_const(names))
        RemoveTree(path + '/' + name, error);
    if (::rmdir(path.constData()) != 0 && error == 0)
        error = errno;
}

bool HasWildcards(const QString& name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

} // namespace

namespace selfupdate {

TSelfUpdateHooks& Hooks()
{
    static TSelfUpdateHooks hooks;
    return hooks;
}

int Fetch(const QString& source, const QString& target, qint64 maxBytes, int deadlineMs)
{
    return Hooks().Fetch ? Hooks().Fetch(source, target, maxBytes, deadlineMs)
                         : FetchUpdateFile(source, target, maxBytes, deadlineMs);
}

int RunProgram(const QString& folder, const QString& program, int timeoutSec)
{
    return Hooks().RunProgram ? Hooks().RunProgram(folder, program, timeoutSec)
                              : DefaultRunProgram(folder, program, timeoutSec);
}

void RemoveEntry(const QString& path)
{
    const QByteArray native = QFile::encodeName(ExcludeTrailingDelimiter(path));
    int error = 0;
    RemoveTree(native, error);
    struct stat info {};
    if (::lstat(native.constData(), &info) == 0)
        throw Exception(FormatSysError(error != 0 ? error : ENOTEMPTY, true));
}

} // namespace selfupdate

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

// A configuration fetched within the cap of the server's replies is read whole.
static_assert(SwReplyLimit <= MaxIniFileBytes);

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

void CheckUpdateVersion(const TrSU_VerData& data, const QString& configAddress)
{
    if (!IsValidVersionId(data.VerId))
        throw Exception(Format(LoadResString(SBadVersion), {QuotedExcerpt(data.VerId)}));
    // A configuration from the web may have come over plain http, where anybody on the way can
    // rewrite it. It may not choose where the package comes from: only the server it came from,
    // over TLS, which nobody on the way can stand in for. A package file on this machine could
    // be anything here (the configuration's own copy beside the program, a cached system).
    if (HasUrlScheme(configAddress)) {
        const QString host = QUrl(configAddress).host();
        const QUrl package(data.DownloadUrl, QUrl::StrictMode);
        if (!IsHttpsUrl(data.DownloadUrl) || !package.isValid() || host.isEmpty()
            || package.host().compare(host, Qt::CaseInsensitive) != 0)
            throw Exception(Format(LoadResString(SWebPackageOnly), {host, QuotedExcerpt(data.DownloadUrl)}));
    }
    if (HasUrlScheme(data.DownloadUrl) && !IsHttpsUrl(data.DownloadUrl))
        throw Exception(Format(LoadResString(SBadPackageUrl), {QuotedExcerpt(data.DownloadUrl)}));
    if (!IsPlainFileName(data.OriginalFileName))
        throw Exception(Format(LoadResString(SBadFileName), {QuotedExcerpt(data.OriginalFileName)}));
    for (const QString* list : {&data.GlobalDeleteAfter, &data.GlobalDeleteBefore, &data.GlobalExecAfter,
                                &data.GlobalExecBefore, &data.DeleteAfter, &data.DeleteBefore, &data.ExecAfter,
                                &data.ExecBefore})
        for (const QString& name : UpdateListNames(*list))
            if (!IsPlainFileName(name))
                throw Exception(Format(LoadResString(SBadFileName), {QuotedExcerpt(name)}));
}

QStringList UpdateListFiles(const QString& folder, const QString& list)
{
    const QString base = IncludeTrailingDelimiter(folder);
    QStringList files;
    for (const QString& name : UpdateListNames(list)) {
        QStringList matches;
        if (HasWildcards(name)) {
            // Links are listed as the names they are; a file's name may hold "*" itself, so the
            // names found are deleted as they are, never taken as masks again.
            const QFileInfoList infos = QDir(base).entryInfoList(
                QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
            for (const QFileInfo& info : infos)
                if (!info.isDir() && MatchesMasks(info.fileName(), name))
                    matches.append(info.fileName());
        } else if (RfoFileExists(base + name)) {
            matches.append(name);
        }
        for (const QString& match : std::as_const(matches))
            if (OwnFileKind(match) == TOwnFileKind::None && !files.contains(base + match))
                files.append(base + match);
    }
    return files;
}

int FetchUpdateFile(const QString& source, const QString& target, qint64 maxBytes, int deadlineMs)
{
    const QString folder = ExtractFilePath(target);
    if (!folder.isEmpty() && !RfoDirectoryExists(folder)) {
        const TRTransaction step = CreateDirStep(folder, false);
        if (step.Kind == TRMsgKind::Error)
            throw Exception(TransactionText(step));
    }
    // Whatever stood at the name goes first: the download's atomic save then creates its
    // temporary file new and renames it into place, never writing through a link planted there.
    RemoveEntry(target);
    if (IsWebAddress(source)) {
        HttpDownloadFile(source, target, IsHttpsUrl(source), maxBytes, deadlineMs);
        return 0;
    }
    // A device or a pipe would be read for ever (/dev/zero never ends), a folder is no package.
    RfoCheckRegularFile(source, maxBytes);
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

    // Whatever stood under the local name is not the description (and may be a link or a pipe).
    RemoveEntry(localFile);
    // The names share the time any one reply of the server may take: a server that trickles
    // holds the search once, not once per name.
    const QDeadlineTimer deadline(HttpTimeouts().DeadlineMs, Qt::PreciseTimer);
    bool fetched = false;
    for (const QString& name : std::as_const(names)) {
        const qint64 left = deadline.remainingTime();
        if (left == 0)
            break;
        try {
            Fetch(descrBase + name, localFile, SwReplyLimit, static_cast<int>(std::clamp<qint64>(left, 1, INT_MAX)));
            fetched = true;
            break;
        } catch (const std::exception&) {
            // The next name is tried.
        }
    }
    description = fetched ? ReadDescriptionFile(localFile) : QStringList{LoadResString(SNoDescription)};
    RemoveEntry(localFile);
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

    {
        const TBusyScope busy;
        TUpdateProgress progress(LoadResString(SSearching), 5);
        try {
            // Backups left by the last installation (the replaced program file among them).
            // The program's own journals and temporary copies look the same and stay.
            DeleteUpdateFiles(programFolder, QStringLiteral("*.~*"));
            progress.Step();
            current = RunningVersion();
            // A configuration is a few hundred bytes, one reply of the maker's server like any
            // other: within its limits, not a package's.
            Fetch(address, configFile, SwReplyLimit, 0);
            progress.Step();
            ReadUpdateVersion(configFile, ExtractFileName(GetAppFileName()), current, data);
            progress.Step();
            available = CompareVersionBuild(current) < CompareVersionBuild(data.VerId) && !data.DownloadUrl.isEmpty();
            if (available)
                CheckUpdateVersion(data, address);
            progress.Step();
            if (available)
                LoadUpdateDescription(description, data, UpdateDescriptionBase(address), programFolder, lcid);
            progress.Step();
        } catch (const std::exception& e) {
            result = kSuFailed;
            error = ExceptionText(e);
        }
    }

    QString searchError;
    if (result == kSuFailed) {
        searchError = Format(LoadResString(SSearchError), {error});
        if (!silent)
            ErrorBox(searchError);
    } else if (!available) {
        if (!silent)
            InfoBox(LoadResString(SNoUpdates));
    } else if (Confirmed(current, data.Description, description)) {
        {
            const TBusyScope busy;
            TUpdateProgress progress(Format(LoadResString(SInstalling), {data.VerId}), 14);
            try {
                Install(data, programFolder, progress);
                result = kSuInstalled;
            } catch (const std::exception& e) {
                result = kSuFailed;
                error = ExceptionText(e);
            }
            // The package and what it unpacked go whether the installation succeeded or not.
            RemoveUpdateLeftovers(programFolder);
            if (result == kSuInstalled)
                progress.Step();
        }
        if (result == kSuFailed)
            ErrorBox(Format(LoadResString(SInstallError), {error}));
        else
            AttentionBox(Format(LoadResString(SInstalled), {data.Description}));
    }

    try {
        RemoveEntry(configFile);
    } catch (const std::exception&) {
        // Read and done with: a file that stays is taken away at the next check.
    }
    LastReport() = TUpdateCheckReport{result, silent ? searchError : QString()};
    return result;
}

bool CheckProgramUpdate(bool silent)
{
    return CheckForUpdates(SelfUpdateConfigAddress(), silent, GetCurrentLanguage()) == kSuInstalled;
}

std::optional<TUpdateCheckReport> TakeUpdateCheckReport()
{
    return std::exchange(LastReport(), std::nullopt);
}
