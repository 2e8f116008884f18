#pragma once

#include "platform/ResString.h"

#include <QString>

// Texts shared by several support units.

// "Файл "%s" не найден!" - Format it with the file name.
inline constexpr TResString SFileNotFound = RESSTR("RMsgRu", "Файл \"%s\" не найден!");

// Name of a text alignment: 0 left, 1 right, 2 centre; any other value gives the empty text.
QString AlignmentName(int alignment);
