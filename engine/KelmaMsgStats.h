#pragma once

// One section of the message table of engine/KelmaMsg.h:
// statistic groups, method captions and the engine's own messages.
// Include engine/KelmaMsg.h rather than this file.

#include "engine/KelmaMsg.h"

#include <array>

// Names of the statistic groups, in group order.
inline constexpr TResString rsGroupNum = KELMA_MSG("Числа тиража");
inline constexpr TResString rsGroupSum = KELMA_MSG("Сумма чисел тиража");
inline constexpr TResString rsGroupDif = KELMA_MSG("Разности между числами тиража");
inline constexpr TResString rsGroupGrp = KELMA_MSG("Каналы (группы чисел)");
inline constexpr TResString rsGroupMtx = KELMA_MSG("Матрица тиража");
inline constexpr TResString rsGroupSgm = KELMA_MSG("Сегменты матрицы тиража");
inline constexpr TResString rsGroupSeq = KELMA_MSG("Последовательности чисел в одном тираже");
inline constexpr TResString rsGroupRep = KELMA_MSG("Повторяющиеся числа в нескольких тиражах");
inline constexpr TResString rsGroupSer = KELMA_MSG("Серии (цепочки) значений");
inline constexpr TResString rsGroupPer = KELMA_MSG("Периоды повторения значений");
inline constexpr TResString rsGroupMov = KELMA_MSG("Переходы (изменения) значений между тиражами");
inline constexpr TResString rsGroupOgn = KELMA_MSG("Характеристическое число Огнева");
inline constexpr TResString rsGroupShr = KELMA_MSG("Методы шинковки");

// Method caption decorations: the flag letters in bit order, and the text of an unknown group.
inline constexpr TResString rsFlagLetterS = KELMA_MSG("S");
inline constexpr TResString rsFlagLetterN = KELMA_MSG("N");
inline constexpr TResString rsFlagLetterD = KELMA_MSG("D");
inline constexpr TResString rsFlagLetterP = KELMA_MSG("P");
inline constexpr TResString rsFlagLetterG = KELMA_MSG("G");
inline constexpr TResString rsGroupCaptionError = KELMA_MSG("#ERROR#");

// Position letters of the pattern statistics: odd / even, small / large, composite / prime.
inline constexpr TResString rsLetterOdd = KELMA_MSG("н");
inline constexpr TResString rsLetterEven = KELMA_MSG("Ч");
inline constexpr TResString rsLetterSmall = KELMA_MSG("1");
inline constexpr TResString rsLetterLarge = KELMA_MSG("2");
inline constexpr TResString rsLetterComposite = KELMA_MSG("С");
inline constexpr TResString rsLetterPrime = KELMA_MSG("П");

// Method captions live beside their classes, in the descriptors of the families.

// Engine errors: method selection and the favourites file.
inline constexpr TResString rsNoMethodSelected = KELMA_MSG(
    "Не выбран метод расчета статистики (cb: %s)!");
inline constexpr TResString rsFiltersLoadError = KELMA_MSG(
    "Ошибка загрузки списка фильтров!\n\n%s");
inline constexpr TResString rsFiltersSaveError = KELMA_MSG(
    "Ошибка сохранения списка фильтров!\n\n%s");

// The group names indexed by group number.
inline constexpr std::array<TResString, 13> rsGroupNames{
    rsGroupNum, rsGroupSum, rsGroupDif, rsGroupGrp, rsGroupMtx, rsGroupSgm, rsGroupSeq, rsGroupRep,
    rsGroupSer, rsGroupPer, rsGroupMov, rsGroupOgn, rsGroupShr,
};
