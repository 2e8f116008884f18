#pragma once

#include <QString>

#include <functional>

// Message boxes. Every question the user answers goes through these functions; they hand the
// box to a back-end that the window layer installs (and that tests replace with scripted
// answers, see RDialogsScripted.h). The results are the window system's button codes.

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Message-box flags as the window system numbers them; TBoxRequest::Flags carries their sum.
constexpr int MB_OK = 0x0;
constexpr int MB_YESNO = 0x4;
constexpr int MB_ICONERROR = 0x10;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int MB_ICONEXCLAMATION = 0x30;
constexpr int MB_ICONINFORMATION = 0x40;
constexpr int MB_DEFBUTTON2 = 0x100;

enum class TBoxIcon { Error, Information, Exclamation, Question };
enum class TBoxButtons { Ok, YesNo };

// One box as the back-end receives it.
struct TBoxRequest {
    TBoxIcon Icon = TBoxIcon::Information;
    QString Title;
    QString Text;
    TBoxButtons Buttons = TBoxButtons::Ok;
    int DefaultButton = IDOK;   // the button that Enter presses: IDOK, IDYES or IDNO
    int Flags = MB_OK;          // the same box in the window system's flags (16, 36, 292 ...)

    bool operator==(const TBoxRequest&) const = default;
};

// Shows a box and returns the code of the button pressed (IDOK, IDYES, IDNO; IDCANCEL when
// the box was closed otherwise).
using TMessageBoxHandler = std::function<int(const TBoxRequest& box)>;
// Installs the back-end. With none installed, a box is shown as an unattended one (below).
// Returns the back-end that was installed before.
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);

// Boxes nobody can answer (a batch run, a program without windows). Each is written to the
// error output as one entry, "[title] text" and a line end, in UTF-8, their control characters
// made harmless to a terminal (TerminalText in RStrUtils.h), and answered at once:
// OK boxes with OK, questions with No, whatever their default button, since nobody agreed to
// anything (a retry question answered Yes would repeat for ever).
QString UnattendedBoxEntry(const TBoxRequest& box);
int UnattendedBoxAnswer(const TBoxRequest& box);
// Writes the entry and returns the answer; usable as a back-end.
int ShowUnattendedBox(const TBoxRequest& box);

// OK boxes, titled "Ошибка", "Информация", "Внимание!", "Предупреждение".
int ErrorBox(const QString& text);
int InfoBox(const QString& text);
int AttentionBox(const QString& text);
int WarningBox(const QString& text);
// Yes/No questions with the caller's title; Yes is the default, or No for the DefNo forms.
int QueryBox(const QString& title, const QString& text);
int QueryBoxDefNo(const QString& title, const QString& text);
// The same, titled "Подтверждение".
int ConfirmBox(const QString& text);
int ConfirmBoxDefNo(const QString& text);
// Asks whether to delete the selected record(s) (No is the default); true only for Yes.
bool DeleteQuery(int count);
