#pragma once

#include <QString>

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

// Shows the hourglass as an application override cursor while the busy counter is above 0.
// The override is pushed once when the counter leaves 0 and taken off when it returns to 0,
// however deep the calls nest. Installing twice changes nothing.
void InstallHourglass();
void RemoveHourglass();
// True while the hourglass override is held.
bool HourglassShown();

// Everything the window layer puts under the support library at start-up: the Qt message
// boxes, the status line of the main window, the hourglass and the message viewer.
void InstallSupportUi(QWidget* mainForm);
