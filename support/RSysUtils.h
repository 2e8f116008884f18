#pragma once

#include "platform/Exceptions.h"
#include "platform/SysErrorText.h"

#include <QString>

#include <functional>

// ---------------------------------------------------------------------------------------------
// System errors. Codes are errno values; 0 means "no error".

// Failure of an operating-system call. The message is FormatSysError(code, true), or one of the
// wait messages of RunProcessWait; Code() is the errno value (0 for the wait messages).
class ESystemError : public Exception {
public:
    explicit ESystemError(const QString& message, int code = 0) : Exception(message), FCode(code) {}
    int Code() const noexcept { return FCode; }

private:
    int FCode;
};

// code != 0, withCode:  SysError #2: "No such file or directory"!
// code != 0, !withCode: "No such file or directory"!
// code == 0:            the system text for 0 followed by "."  (Success.)
// The system text is SystemErrorText's.
QString FormatSysError(int code, bool withCode);
// FormatSysError of the current errno.
QString LastErrorText(bool withCode);
// Raises ESystemError(FormatSysError(code, true)); does nothing for code 0.
void RaiseSystemError(int code);
// RaiseSystemError(errno).
void RaiseLastSystemError();

// ---------------------------------------------------------------------------------------------
// Files beside the program.

// Full file name of the running program.
QString GetAppFileName();
QString GetMainModuleFileName();
// Folder of the program, with a trailing '/'.
QString GetAppDir();
// The program's file name with the extension ".ini" / ".frm" (put on, or replacing the last
// extension of the file name).
QString GetAppIniFileName();
QString GetAppFrmFileName();
// Makes the functions above answer for another program file, so that a test can put "the
// program" into a temporary folder. An empty name returns to the real program file.
void OverrideAppFileName(const QString& fileName);

// True for a network path: "//server/share" or "\\server\share".
bool IsUncPath(const QString& path);

// ---------------------------------------------------------------------------------------------
// Processes.

// Called about every 100 ms while a process is waited for; set the flag to ask for an abort.
// The flag is not reset between calls.
using TAbortProc = void (*)(bool& abort);

// Show commands of the window system; on this platform they are accepted and ignored.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWDEFAULT = 10;

// Starts commandLine (program and arguments, split into words as a shell does; a program path
// with blanks may also stand unquoted when it names an existing file) in folder (empty: the
// current folder), in a process group of its own. Without wait returns 0 at once. With wait, polls every 100 ms while processing events and returns the exit code
// (128 + signal number when the process was killed by a signal). timeoutSec 0 waits without
// limit; otherwise the process and its group are killed after timeoutSec seconds. Raises ESystemError when the
// start fails (with the errno of the failure), when abortProc asks to abort (the process keeps
// running) and at the time-out. The process is always released: no zombie is left behind.
int RunProcessWait(const QString& folder, const QString& commandLine, int showCommand,
                   int timeoutSec, TAbortProc abortProc, bool wait);

// An executable file is run as RunProcessWait would run it, with the parameters; anything
// else is handed to the desktop's opener (verb "open"), without waiting, and gives 0.
int ShellExecuteWait(const QString& verb, const QString& fileName, const QString& parameters,
                     int timeoutSec, TAbortProc abortProc, bool wait, int showCommand);

// What the program asks the desktop to open.
struct TOpenRequest {
    enum class TKind { Document, HelpTopic, Url, MailTo };
    TKind Kind = TKind::Document;
    QString Target;   // file name, address with its scheme, or "mailto:" address
    QString Topic;    // HelpTopic only: the topic inside the help file (may be empty)
};
// Opens a request; raises (ESystemError or another Exception) when it cannot.
using TOpenHandler = std::function<void(const TOpenRequest&)>;
// Installs the opener (the window layer, or a test). An empty handler restores the default one,
// which starts "xdg-open" with the target and waits up to OpenerCheckMs for it: an opener that
// is missing, cannot start or ends with an error within that time raises EOpenFailed, one that
// still runs then (it waits for the program it started) counts as success. Returns the handler
// that was installed before.
TOpenHandler SetOpenHandler(TOpenHandler handler);
inline constexpr int OpenerCheckMs = 3000;

// No program opened a file or an address. The message is Russian and says why, without an
// ending full stop or exclamation mark, so that it reads inside a sentence.
class EOpenFailed : public ESystemError {
public:
    using ESystemError::ESystemError;
};
// The reason an opener run gives for its exit code (xdg-open's codes: 2 the file is missing,
// 3 no program for its type, 4 the program failed), in Russian.
QString OpenerExitText(int exitCode);
// The message for a file that the program wrote and then handed to the desktop, which did not
// open it: "Файл "X" сохранён, но ни одна программа его не открыла: <reason>." The reason is
// an error's text (any ending full stop or exclamation mark is dropped). For every command
// that writes a document and opens it.
QString SavedButNotOpenedText(const QString& fileName, const QString& reason);
// The same for the help file: "Не удалось открыть файл справки "X": <reason>.".
QString HelpNotOpenedText(const QString& helpFile, const QString& reason);

// Opens a file with its associated program; a ".chm" file goes to OpenHelpTopic.
// Raises when the desktop cannot open it.
void OpenDocument(const QString& fileName, const QString& helpTopic = QString());
void OpenHelpTopic(const QString& helpFile, const QString& topic);
// Opens a web address; "http://" is put in front unless it begins with http://, https://,
// ftp:// or ftps:// (any letter case). A failure raises nothing: it is told in an error box,
// "Не удалось открыть страницу "<address>": <reason>.".
void OpenUrl(const QString& address);
// Opens a new mail message to the address ("mailto:" put in front unless present). A failure is
// told like OpenUrl's: "Не удалось создать письмо на адрес "<address>": <reason>.".
void OpenMailTo(const QString& address);
