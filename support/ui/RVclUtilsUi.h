#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <cstdint>

class QComboBox;
class QWidget;

// The window half of the busy state and the status line.

// The application's main window: the status line writes into its status bar. None at first.
void SetMainForm(QWidget* form);
QWidget* MainForm();

// Writes a status text into the main window's status bar named "StatusBar" (a TStatusBar):
// its simple text in simple mode, otherwise the panel whose index is the bar's Tag. Without a
// main window or such a bar nothing is written.
void WriteStatusLine(const QString& text);
// Makes WriteStatusLine the sink of ShowInStatusBar (which then processes pending events).
void InstallStatusLine();

// The windows shown during long work (the wait and the progress window) stand in the middle of
// the primary screen's free area, and a change to one is painted at once, brought to the front
// and followed by the pending events, so that it shows while the work goes on.
void CentreOnScreen(QWidget* window);
void RefreshBusyWindow(QWidget* window);

// Shows the hourglass as an application override cursor while the busy counter is above 0.
// The override is pushed once when the counter leaves 0 and taken off when it returns to 0,
// however deep the calls nest. Installing twice changes nothing.
void InstallHourglass();
void RemoveHourglass();
// True while the hourglass override is held.
bool HourglassShown();

// Keeps the user's input away from a window while the busy counter is above 0. Long work runs
// inside the window's own event handling (it waits in nested event loops), so a click, key or
// wheel turn that reached a page would start another workflow or change the data under the
// running one. While busy, mouse presses, moves and wheel turns, keys, shortcut overrides,
// widget shortcuts (button and label mnemonics), context menus, drops and input-method text
// addressed to the window's widgets are dropped; releases pass, so that a press begun before the
// wait comes to its end (a button held down then is let go without a click). What stays live:
// the window's menu bar (its commands enable themselves by their busy rule, so only those meant for long work can run), the window's own command
// shortcuts (the same rule), widgets marked with SetLiveWhileBusy (a stop button) and every
// other window (message boxes, the wait window, dialogs). A close request is not input and
// still reaches the window. The guard lives as long as the window.
void InstallBusyInputGuard(QWidget* window);
// Marks a widget (with its children) as taking input also while busy.
void SetLiveWhileBusy(QWidget* widget, bool live = true);
// True when input addressed to the widget is being dropped now.
bool InputBlockedByWait(const QWidget* widget);

// Everything the window layer puts under the support library at start-up: the Qt message
// boxes, the status line of the main window, the hourglass and the message viewer.
void InstallSupportUi(QWidget* mainForm);

// A colour stored as the engine keeps it (0x00BBGGRR).
QColor ColorFromBgr(std::uint32_t bgr);

// Replaces a combo box's items, keeping the chosen index where the new list has it (else the
// last item), without telling the box's listeners.
void RefillComboBox(QComboBox* box, const QStringList& items);
