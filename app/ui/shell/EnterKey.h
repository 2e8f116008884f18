#pragma once

#include <functional>

class QAbstractSpinBox;
class QObject;

// Runs onEnter when Enter or Return is pressed in the editor and its text is a value within
// the editor's limits (a text outside them does nothing). The key then goes on as usual.
void InstallEnterHandler(QAbstractSpinBox* editor, std::function<void()> onEnter);

// From now until owner goes: Enter or Return on a push button or tool button that has the focus
// presses it, as Space does, in every window of the program (a page's button as well as a
// dialog's own). Elsewhere Enter keeps its meaning: in a dialog's field it presses the dialog's
// default button.
void InstallButtonEnterKeys(QObject* owner);
