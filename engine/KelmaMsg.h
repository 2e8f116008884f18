#pragma once

#include "platform/ResString.h"

// The program's message table: the texts that the engine, the main window and its workflows
// show.
// Fetch a text with LoadResString(rsName) at the moment it is used, never earlier, so that a
// language module loaded later replaces it everywhere. Texts are Format templates where they
// hold placeholders; "%%d" in a caption template survives the first formatting and is filled by
// the second. Codes, ini keys and file names are not texts of this table: they never change with
// the interface language.
//
// Each text stands here once, and a text that several units show is fetched from here: a
// language module translates a text of a context once, so two names that show the same words
// are one text, and the second name is written as the first (rsColLastDownload). A name that
// no code fetches any more leaves the table.

#define KELMA_MSG(text) RESSTR("KelmaMsg", text)

// Combinations, draws and stakes; the comment column and the comment prompt alike.
inline constexpr TResString rsBadCombination = KELMA_MSG("Некорректная комбинация: \"%s\"!");
inline constexpr TResString rsDrawText = KELMA_MSG("Тираж № %d от %s, значения: %s");
inline constexpr TResString rsOriginManual = KELMA_MSG("Вручную");
inline constexpr TResString rsOriginRegular = KELMA_MSG("Регуляр");
inline constexpr TResString rsOriginScript = KELMA_MSG("Сценарий");
inline constexpr TResString rsOriginSystem = KELMA_MSG("Система");
inline constexpr TResString rsColComment = KELMA_MSG("Комментарий");

// The rest of the table, by subject.
#include "engine/KelmaMsgStats.h"
#include "engine/KelmaMsgMain.h"
#include "engine/KelmaMsgScript.h"
#include "engine/KelmaMsgStakes.h"
