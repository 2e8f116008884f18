#pragma once

#include "app/ui/shell/FilePrompt.h"
#include "app/ui/shell/ProgramEnv.h"
#include "engine/KelmaUtils.h"
#include "tests/common/TestHelpers.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <QSize>

#include <functional>
#include <memory>
#include <ostream>

class QWidget;
class TDialogSTemplate;
class TFormGraph;
class TFormMain;

// Processes events until the condition holds or the time is up; the condition's last value.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// The main window at that size, shown, once its start-up timer has run (a test failure when it
// does not come up in time).
std::unique_ptr<TFormMain> OpenMainWindow(const QStringList& arguments = {}, QSize size = QSize(1000, 680));

// A temporary folder that stands for the program's folder: the program file, and with it every
// data file, is "<folder>/Tavrix2_2r10" while the object lives.
class TProgramFolder {
public:
    TProgramFolder();
    ~TProgramFolder();
    TProgramFolder(const TProgramFolder&) = delete;
    TProgramFolder& operator=(const TProgramFolder&) = delete;

    bool IsValid() const { return FDir.isValid(); }
    QString Path() const { return FDir.path(); }
    // A file of the folder by name, or the program's own data file by extension (".ldr").
    QString File(const QString& name) const { return FDir.filePath(name); }
    QString DataFile(const QString& extension) const;
    void WriteArchive(const TDrawsArray& draws) const;
    // Writes keys into the main window's section of the form-state file.
    void WriteFormState(const QString& text) const;

private:
    QTemporaryDir FDir;
};

// What a finished child process left.
struct TProcessResult {
    bool Finished = false;   // false: it was still running when the time was up (then killed)
    int ExitCode = -1;
    bool Crashed = false;
    QString Stdout;
    QString Stderr;
};

// Runs a program to its end while this process's event loop keeps running (so that stand-in
// servers of the test can answer it), at most timeoutMs. inChild, when set, runs in the new
// process before the program starts (limits of its own).
TProcessResult RunProgram(const QString& program, const QStringList& arguments, const QString& folder,
                          const QProcessEnvironment& environment, int timeoutMs,
                          const std::function<void()>& inChild = {});

// Answers every file prompt with the next queued name and records the prompts.
class TScriptedPrompts {
public:
    TScriptedPrompts()
    {
        FPrevious = SetFilePromptHandler([this](QWidget*, const TFilePrompt& prompt, QString& fileName) {
            Prompts.append(prompt);
            if (Names.isEmpty())
                return false;
            fileName = Names.takeFirst();
            return true;
        });
    }
    ~TScriptedPrompts() { SetFilePromptHandler(FPrevious); }

    QStringList Names;
    QList<TFilePrompt> Prompts;

private:
    TFilePromptHandler FPrevious;
};

// Presses the dialog's OK button; true when the dialog accepted (its checks passed).
bool PressOk(TDialogSTemplate& form);
// Runs the action once the modal loop of the next dialog has started.
void WhenModal(const std::function<void(TDialogSTemplate&)>& action);

// A modal-form handler for graph windows (SetModalFormHandler): hands each to the action and
// closes it; any other window is a test failure.
TModalFormHandler GraphWindowHandler(const std::function<void(TFormGraph&)>& action);
