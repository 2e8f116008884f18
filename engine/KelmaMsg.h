#pragma once

#include "platform/ResString.h"

// The program's message table: every text that the engine and the main window show.
// Fetch a text with LoadResString(rsName) at the moment it is used, never earlier, so that a
// language module loaded later replaces it everywhere. Texts are Format templates where they
// hold placeholders; "%%d" in a caption template survives the first formatting and is filled by
// the second. Codes, ini keys and file names are not texts of this table: they never change with
// the interface language.

#define KELMA_MSG(text) RESSTR("KelmaMsg", text)

// Combinations, draws and stakes.
inline constexpr TResString rsBadCombination = KELMA_MSG("Некорректная комбинация: \"%s\"!");
inline constexpr TResString rsDrawText = KELMA_MSG("Тираж № %d от %s, значения: %s");
inline constexpr TResString rsOriginManual = KELMA_MSG("Вручную");
inline constexpr TResString rsOriginRegular = KELMA_MSG("Регуляр");
inline constexpr TResString rsOriginScript = KELMA_MSG("Сценарий");
inline constexpr TResString rsOriginSystem = KELMA_MSG("Система");

// The rest of the table, by subject.
#include "engine/KelmaMsgStats.h"
#include "engine/KelmaMsgMain.h"
#include "engine/KelmaMsgScript.h"
#include "engine/KelmaMsgStakes.h"
