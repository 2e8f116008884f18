#pragma once

#include "support/RLngUtils.h"
#include "support/RVclUtils.h"
#include "support/rHttpUtilsLimits.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Updating the program from an update configuration: an ini file on the maker's server or in a
// folder that names, per program file, the newest version, its package and what to do around
// the copy. The check compares the build field of the versions, shows the version's description
// and, when the user accepts, downloads the package (three attempts, CRC-32), lets it unpack
// itself into the work folder "SelfUpdate/" beside the program, and copies what it unpacked over
// the program folder. A package is an executable that, started in the work folder, writes the
// new files there and exits with code 0 (a self-extracting shell script, for instance).
//
// Everything from the configuration is untrusted: file names are plain names inside the work
// or program folder, the version is four dot-separated numbers, and a package comes only over
// TLS from the configuration's own server, or from a local file when the configuration itself
// was read from a local folder: a configuration from the web, which may have come over plain
// http, never makes the program run a file of this machine or of another server. A local
// package or configuration is a regular file within the download caps. The delete lists never
// touch the program file or the user's files, and the copy leaves the user's files (OwnFileKind)
// as they are, says which it left, and writes nowhere a link on the way leads. The
// configuration, the descriptions and the package are written only into files created new,
// never through a link planted under their names. Files of the program folder are replaced only after the package ran and every check
// passed, and the replaced ones are kept until the copy completed, so a failed copy puts them
// back.

// One version of the configuration: the program's own section and the global lists.
struct TrSU_VerData {
    QString VerId;
    QString Description;
    QString DownloadUrl;
    QString OriginalFileName;
    QString ChecksumCRC32;
    QString GlobalDeleteAfter;
    QString GlobalDeleteBefore;
    QString GlobalExecAfter;
    QString GlobalExecBefore;
    QString DeleteAfter;
    QString DeleteBefore;
    QString ExecAfter;
    QString ExecBefore;
};

// Results of CheckForUpdates.
constexpr int kSuNothingInstalled = 0;
constexpr int kSuInstalled = 1;   // the program must be restarted
constexpr int kSuFailed = 2;

// What the check needs from the window layer and the system. An empty member takes its default:
// no progress shown; the informer declines (nobody can agree to an installation when no window
// asks); the configuration, descriptions and package fetched with FetchUpdateFile; a program
// started in its folder and waited for with its time-out; the running version is the
// application's version.
struct TSelfUpdateHooks {
    TProgressFunctions Progress;
    // Shows the version found; true when the user chose to install it.
    std::function<bool(const QString& currentVersion, const QString& newVersion,
                       const QStringList& description)>
        ConfirmUpdate;
    // FetchUpdateFile: 0 for a web download, 1 for a file copy; raises on failure or when the
    // source is larger than maxBytes.
    std::function<int(const QString& source, const QString& target, qint64 maxBytes, int deadlineMs)> Fetch;
    // Runs program in folder and returns its exit code; raises when it cannot start or runs
    // longer than timeoutSec.
    std::function<int(const QString& folder, const QString& program, int timeoutSec)> RunProgram;
    std::function<QString()> RunningVersion;
};
// Installs the hooks; returns those installed before.
TSelfUpdateHooks SetSelfUpdateHooks(TSelfUpdateHooks hooks);
const TSelfUpdateHooks& SelfUpdateHooks();

// The configuration address the program's update commands use: on the maker's server
// (MakerServerUrl). The environment variable that replaces the server's address may also name
// a local folder that mirrors the server's files, so that updates work without any server.
QString SelfUpdateConfigAddress();

// The whole check and installation (see above). silent leaves out the box saying that there is
// no update and the search error box; the informer and the installation's boxes are always
// shown. lcid chooses the description file. Nothing is raised.
int CheckForUpdates(const QString& address, bool silent, LCID lcid);
// CheckForUpdates of the program's configuration in the current interface language; true when
// an update was installed and the program must restart.
bool CheckProgramUpdate(bool silent);

// What the last CheckForUpdates came to. A silent check keeps a failed search to itself; a
// caller with nobody at the screen to see it fail otherwise (a batch run) takes it from here.
struct TUpdateCheckReport {
    int Result = kSuNothingInstalled;
    QString HeldBack;   // the text of the search error box that a silent check did not show
};
// The report of the last check since the last call, which forgets it; nothing when no check
// ran since.
std::optional<TUpdateCheckReport> TakeUpdateCheckReport();

// Reads the record of section from the configuration file: missing keys give empty texts,
// VerId the default.
void ReadUpdateVersion(const QString& configFile, const QString& section, const QString& defaultVerId,
                       TrSU_VerData& data);
// The fourth field of a version (fields separated by ",", "-", "." or "_"), trimmed, as an
// integer; 0 when missing or not a number.
int CompareVersionBuild(const QString& version);
// Exactly four dot-separated numbers (one to nine digits each).
bool IsValidVersionId(const QString& version);
// A name the configuration may give: not empty, no path delimiter, not "." or "..".
bool IsPlainFileName(const QString& name);
// The trimmed non-empty names of a ";"-separated list.
QStringList UpdateListNames(const QString& list);
// Raises Exception with the reason when the record of the configuration read from
// configAddress may not be installed: a version that is not four numbers, a name with a path, a
// package address that is not "https://", or, for a configuration from the web, a package that
// is not an "https://" address on the configuration's own host.
void CheckUpdateVersion(const TrSU_VerData& data, const QString& configAddress);
// The files of folder that a delete list names: each name taken as a mask ("*" and "?"),
// matching files (never folders) in the folder itself, in name order, the program's own files
// (every kind of OwnFileKind) left out.
QStringList UpdateListFiles(const QString& folder, const QString& list);

// Fetches source into target, creating the target's folder; the target is created new, whatever
// stood at its name removed first. An "http://" or "https://" source (any letter case) is
// downloaded within deadlineMs (0: the limits of any request to the maker's server) and 0
// returned; anything else is copied as a file and 1 returned: only a regular file (or a link to
// one). Raises on failure, and when the source is larger than maxBytes.
int FetchUpdateFile(const QString& source, const QString& target, qint64 maxBytes = HttpFileReplyLimit,
                    int deadlineMs = HttpFileDeadlineMs);
// The description base of a configuration: its folder (web or file) + "UpdDescr/".
QString UpdateDescriptionBase(const QString& address);
// Fills description with the version's text, tried under the language's names, or with the
// text saying that no description is available.
void LoadUpdateDescription(QStringList& description, const TrSU_VerData& data, const QString& descrBase,
                           const QString& localFolder, LCID lcid);
// Deletes the files of folder that the list names (UpdateListFiles).
void DeleteUpdateFiles(const QString& folder, const QString& list);
// Removes what an installation that did not finish left in the program folder: the work folder
// with the package and what it unpacked, and the copy's temporary files ("<name>.tmp") of the
// files the work folder holds, never following a link. Returns the paths of the files removed;
// raises nothing (what stays is tried again the next time).
QStringList RemoveUpdateLeftovers(const QString& programFolder);
// Runs each listed file of folder that exists, in folder, waiting up to 60 seconds for each.
void RunUpdateFiles(const QString& folder, const QString& list);
