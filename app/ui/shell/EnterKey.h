#pragma once

#include <functional>

class QAbstractSpinBox;

// Runs onEnter when Enter or Return is pressed in the editor and its text is a value within
// the editor's limits (a text outside them does nothing). The key then goes on as usual.
void InstallEnterHandler(QAbstractSpinBox* editor, std::function<void()> onEnter);
