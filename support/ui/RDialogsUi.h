#pragma once

#include "support/RDialogs.h"

#include <memory>

class QDialog;
class QMessageBox;
class QWidget;

// The message boxes of RDialogs shown as Qt message boxes.

// Builds the box for a request: its title, text (both as ShownText shows them), icon, buttons
// and default button. The parent is the window the box is centred over (may be none). A text
// too big for the screen is shown shortened, its first and last lines with "…" between, so the
// buttons always stay in reach.
std::unique_ptr<QMessageBox> CreateQtMessageBox(const TBoxRequest& box, QWidget* parent);
// The button code for the button that closed the box: IDOK, IDYES, IDNO, or IDCANCEL when the
// box was closed without one of them.
int QtMessageBoxResult(const QMessageBox& box);
// Shows the box modally over the active window and returns the button code.
int ShowQtMessageBox(const TBoxRequest& box);
// Makes ShowQtMessageBox the back-end of every box.
void InstallQtMessageBoxes();

// Shows a window modally (an information window, a graph) and returns its result code. Where
// nobody is there to close it (a batch run), the window is shown, paints once and is closed
// again, the result is QDialog::Rejected and the command goes on.
int ExecModalWindow(QDialog& form, bool nobodyThere);
