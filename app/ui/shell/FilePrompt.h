#pragma once

#include <QString>

#include <functional>

class QWidget;

// File-name prompts of the window layer. Every prompt goes through one handler that the tests
// replace with scripted names, so that no test waits for a person at a file dialog.

struct TFilePrompt {
    QString Filter;       // "Description (*.ext)|*.ext|..." pairs, as the program's texts hold them
    QString DefaultExt;   // added to a name typed without an extension ("lcv")
    QString FileName;     // the name the prompt starts from
    bool Save = false;    // a name to write (the prompt may name a new file)
};

// Returns true with the chosen name in fileName; false when the prompt was cancelled.
using TFilePromptHandler = std::function<bool(QWidget* owner, const TFilePrompt& prompt, QString& fileName)>;
// Installs the handler (an empty one: Qt's file dialogs). Returns the one installed before.
TFilePromptHandler SetFilePromptHandler(TFilePromptHandler handler);

// Asks for a file name; true with the name in fileName. A name to write is never one of the
// program's own files (IsProgramKeptPath): it is refused with a message and asked for again.
bool PromptForFileName(QWidget* owner, const TFilePrompt& prompt, QString& fileName);

// "Files (*.lcv)|*.lcv|All|*" as Qt's dialog filters: "Files (*.lcv);;All (*)".
QString QtFileFilter(const QString& filter);
