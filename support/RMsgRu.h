#pragma once

#include "platform/ResString.h"

#include <QString>

// Texts shared by several units, and the support layer's own texts that are kept in a table.
// The support layer cannot reach the program's message table, so a text that support's own
// windows show as well as the program's is defined here, once.

// "Файл "%s" не найден!" - Format it with the file name.
inline constexpr TResString SFileNotFound = RESSTR("RMsgRu", "Файл \"%s\" не найден!");

// Buttons, hints and commands of the small windows.
inline constexpr TResString SCloseCaption = RESSTR("RMsgRu", "Закрыть");
inline constexpr TResString SCloseWindowCaption = RESSTR("RMsgRu", "Закрыть окно");
inline constexpr TResString SSelectAllCaption = RESSTR("RMsgRu", "Выделить все");
inline constexpr TResString SLoadFromFileCaption = RESSTR("RMsgRu", "Загрузить из файла");
inline constexpr TResString SSaveToFileCaption = RESSTR("RMsgRu", "Сохранить в файле");

// Why a workbook could not be written, told after "Ошибка записи книги: "; the writer's own
// text follows in parentheses. The disk-full and file-size texts stand alone, the others are
// followed by the system's reason where there is one.
inline constexpr TResString SBookNoMemory = RESSTR("RMsgRu", "не хватило памяти");
inline constexpr TResString SBookCreateFailed = RESSTR("RMsgRu", "не удалось создать файл книги");
inline constexpr TResString SBookTempFailed = RESSTR("RMsgRu", "не удалось создать временный файл");
inline constexpr TResString SBookTempReadFailed = RESSTR("RMsgRu", "не удалось прочитать временный файл");
inline constexpr TResString SBookPackFailed = RESSTR("RMsgRu", "не удалось упаковать книгу в файл");

// Name of a text alignment: 0 left, 1 right, 2 centre; any other value gives the empty text.
QString AlignmentName(int alignment);
