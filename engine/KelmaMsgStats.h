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

// Numbers family captions.
inline constexpr TResString rsCapValues = KELMA_MSG("Числа тиража");
inline constexpr TResString rsCapDigits = KELMA_MSG("Цифры тиража");
inline constexpr TResString rsCapEvenCount = KELMA_MSG("Количество четных чисел в тираже (Ч:Н)");
inline constexpr TResString rsCapEvenValues = KELMA_MSG(
    "Четные и нечетные числа в тираже (Чн..нЧ)");
inline constexpr TResString rsCapSmallCount = KELMA_MSG(
    "Количество чисел из первой половины диапазона (1П:2П)");
inline constexpr TResString rsCapSmallValues = KELMA_MSG(
    "Числа из первой половины диапазона (12..12)");
inline constexpr TResString rsCapPrimeCount = KELMA_MSG("Количество простых чисел (П:С)");
inline constexpr TResString rsCapPrimeValues = KELMA_MSG("Простые и составные числа (ПС..СП)");
inline constexpr TResString rsCapPosVal = KELMA_MSG("Число в %0:d позиции тиража");
inline constexpr TResString rsCapPosExt = KELMA_MSG(
    "Extra (Bonus, Star...) - число (!без фильтра!)");

// Sums family: captions and the value text of sums outside the range.
inline constexpr TResString rsCapSumValues = KELMA_MSG("Сумма тиража: все значения");
inline constexpr TResString rsCapSumRanges = KELMA_MSG("Сумма тиража: диапазон %d (%d/%d)");
inline constexpr TResString rsCapSumChange = KELMA_MSG("Сумма тиража: изменения (точно)");
inline constexpr TResString rsCapSumChangeSome = KELMA_MSG("Сумма тиража: изменения (диапазон)");
inline constexpr TResString rsCapSumTrend = KELMA_MSG("Сумма тиража: направление изменения");
inline constexpr TResString rsCapSumEvenValues = KELMA_MSG("Сумма тиража: только четные");
inline constexpr TResString rsCapSumPrimeValues = KELMA_MSG("Сумма тиража: только простые");
inline constexpr TResString rsCapSum2To3 = KELMA_MSG(
    "Сумма двух чисел тиража равна третьему числу");
inline constexpr TResString rsSumRangeOthers = KELMA_MSG("Остальные");

// Differences family captions.
inline constexpr TResString rsCapDiffTotal = KELMA_MSG("Все разности между соседними позициями");
inline constexpr TResString rsCapDiffMax = KELMA_MSG(
    "Максимальная разность между соседними позициями");
inline constexpr TResString rsCapMinMaxDiffs = KELMA_MSG(
    "Разность между минимальным и максимальным числом");
inline constexpr TResString rsCapDiffSame = KELMA_MSG(
    "Одинаковые разности между соседними позициями");
inline constexpr TResString rsCapDiffSameCnt = KELMA_MSG(
    "Количество одинаковых разностей между соседними позициями");
inline constexpr TResString rsCapCombDiffSeq = KELMA_MSG(
    "Сочетания из %0:d разностей между числами");

// Channels family captions.
inline constexpr TResString rsCapChannels = KELMA_MSG("Каналы");
inline constexpr TResString rsCapChanValues = KELMA_MSG("Количество чисел в канале");
inline constexpr TResString rsCapChanCount = KELMA_MSG("Количество каналов в тираже");
inline constexpr TResString rsCapCombChnMix = KELMA_MSG(
    "Сочетания из %0:d каналов по всем числам тиража");
inline constexpr TResString rsCapCombChnSeq = KELMA_MSG(
    "Сочетания из %0:d каналов по соседним числам");
inline constexpr TResString rsCapChnValCnt = KELMA_MSG("Количество чисел в %0:d канале");

// Matrix family captions.
inline constexpr TResString rsCapColumns = KELMA_MSG("Столбцы матрицы (не пустые)");
inline constexpr TResString rsCapRows = KELMA_MSG("Строки матрицы (не пустые)");
inline constexpr TResString rsCapColValues = KELMA_MSG("Количество чисел в столбце матрицы");
inline constexpr TResString rsCapRowValues = KELMA_MSG("Количество чисел в строке матрицы");
inline constexpr TResString rsCapColCount = KELMA_MSG("Количество не пустых столбцов в матрице");
inline constexpr TResString rsCapRowCount = KELMA_MSG("Количество не пустых строк в матрице");
inline constexpr TResString rsCapColMask = KELMA_MSG("Сочетания столбцов матрицы");
inline constexpr TResString rsCapRowMask = KELMA_MSG("Сочетания строк матрицы");
inline constexpr TResString rsCapColAjacent = KELMA_MSG("Столбцы матрицы со смежными числами");
inline constexpr TResString rsCapRowAjacent = KELMA_MSG("Строки матрицы со смежными числами");
inline constexpr TResString rsCapColAjacentCnt = KELMA_MSG(
    "Количество столбцов матрицы со смежными числами");
inline constexpr TResString rsCapRowAjacentCnt = KELMA_MSG(
    "Количество строк матрицы со смежными числами");
inline constexpr TResString rsCapCombColMix = KELMA_MSG(
    "Сочетания из %0:d столбцов по всем числам тиража");
inline constexpr TResString rsCapCombColSeq = KELMA_MSG(
    "Сочетания из %0:d столбцов по соседним числам");
inline constexpr TResString rsCapCombRowMix = KELMA_MSG(
    "Сочетания из %0:d строк по всем числам тиража");
inline constexpr TResString rsCapCombRowSeq = KELMA_MSG(
    "Сочетания из %0:d строк по соседним числам");
inline constexpr TResString rsCapColValCnt = KELMA_MSG("Количество чисел в %0:d столбце матрицы");
inline constexpr TResString rsCapRowValCnt = KELMA_MSG("Количество чисел в %0:d строке матрицы");

// Segments family captions.
inline constexpr TResString rsCapSegments = KELMA_MSG("Сегменты матрицы");
inline constexpr TResString rsCapSegmValues = KELMA_MSG("Количество чисел в сегменте матрицы");
inline constexpr TResString rsCapSegmCount = KELMA_MSG("Количество не пустых сегментов в матрице");
inline constexpr TResString rsCapCombSegmMix = KELMA_MSG(
    "Сочетания из %0:d сегментов по всем числам тиража");
inline constexpr TResString rsCapCombSegmSeq = KELMA_MSG(
    "Сочетания из %0:d сегментов по соседним числам");
inline constexpr TResString rsCapSgmValCnt = KELMA_MSG("Количество чисел в %0:d сегменте матрицы");

// Sequences family captions.
inline constexpr TResString rsCapSequenceLen = KELMA_MSG("Длина последовательности в тираже");
inline constexpr TResString rsCapSequenceCnt = KELMA_MSG("Количество последовательностей в тираже");
inline constexpr TResString rsCapSequenceLenMax = KELMA_MSG(
    "Макс. длина последовательности в тираже");

// Repeats family captions; "%d" is the number of skipped draws, "%s" the shift ("+ 1", "- 2").
inline constexpr TResString rsCapRepValues2 = KELMA_MSG("Повторяющиеся числа в 2-х тиражах подряд");
inline constexpr TResString rsCapRepValues2Over = KELMA_MSG(
    "Повторяющиеся числа в 2-х тиражах через %d тираж(а)");
inline constexpr TResString rsCapRepValues2Shift = KELMA_MSG("Данные предыдущего тиража %s");
inline constexpr TResString rsCapRepCount2 = KELMA_MSG("Количество повторов в 2-х тиражах подряд");
inline constexpr TResString rsCapRepCount2Over = KELMA_MSG(
    "Количество повторов в 2-х тиражах через %d тираж(а)");
inline constexpr TResString rsCapRepCount2Shift = KELMA_MSG(
    "Количество совпадений \"значений %s\"");
inline constexpr TResString rsCapRepValues3 = KELMA_MSG("Повторяющиеся числа в 3-х тиражах подряд");
inline constexpr TResString rsCapRepCount3 = KELMA_MSG("Количество повторов в 3-х тиражах подряд");
inline constexpr TResString rsCapRepValues2B3 = KELMA_MSG(
    "Повторяющиеся числа не более чем в 2-х тиражах");
inline constexpr TResString rsCapRepCount2B3 = KELMA_MSG(
    "Количество повторов не более чем в 2-х тиражах");

// Sub-combinations family captions.
inline constexpr TResString rsCapCombValMix = KELMA_MSG(
    "Сочетания из %0:d чисел по всем числам тиража");
inline constexpr TResString rsCapCombValSeq = KELMA_MSG("Сочетания из %0:d соседних чисел тиража");
inline constexpr TResString rsCapCombValPos2 = KELMA_MSG(
    "Сочетания из 2-х чисел тиража начиная с %0:d позиции");
inline constexpr TResString rsCapCombValPos3 = KELMA_MSG(
    "Сочетания из 3-х чисел тиража начиная с %0:d позиции");
inline constexpr TResString rsCapCombValPos4 = KELMA_MSG(
    "Сочетания из 4-х чисел тиража начиная с %0:d позиции");
inline constexpr TResString rsCapCombValSort = KELMA_MSG(
    "Сочетания из %0:d чисел тиража по возрастанию");

// Ognev numbers family captions.
inline constexpr TResString rsCapOgnev1 = KELMA_MSG("Число Огнева 1 (только разность)");
inline constexpr TResString rsCapOgnev2 = KELMA_MSG(
    "Число Огнева 2 (разность + сложение, если {0,1})");
inline constexpr TResString rsCapOgnev3 = KELMA_MSG("Числа Огнева 3 (динамический, только фильтр)");

// Series family captions.
inline constexpr TResString rsCapNumGroups = KELMA_MSG("Повторы чисел в нескольких тиражах подряд");
inline constexpr TResString rsCapNumPauses = KELMA_MSG("Интервалы между повторениями чисел");
inline constexpr TResString rsCapChnGroups = KELMA_MSG(
    "Повторы каналов в нескольких тиражах подряд");
inline constexpr TResString rsCapChnPauses = KELMA_MSG("Интервалы между повторениями каналов");
inline constexpr TResString rsCapSgmGroups = KELMA_MSG(
    "Повторы сегментов в нескольких тиражах подряд");
inline constexpr TResString rsCapSgmPauses = KELMA_MSG("Интервалы между повторениями сегментов");

// Periods family captions.
inline constexpr TResString rsCapNumPeriods = KELMA_MSG("Периоды повторения чисел");
inline constexpr TResString rsCapChnPeriods = KELMA_MSG("Периоды повторения каналов");
inline constexpr TResString rsCapSgmPeriods = KELMA_MSG("Периоды повторения сегментов");

// Chains family captions: "%0:d" is the number of draws (2 or 3); "%%d" survives the first

// formatting and then takes the position, channel or segment.
inline constexpr TResString rsCapChainDrawsAll = KELMA_MSG(
    "Переходы чисел между %0:d тиражами без учета позиции");
inline constexpr TResString rsCapChainDrawsPos = KELMA_MSG(
    "Переходы чисел между %0:d тиражами с учетом позиции");
inline constexpr TResString rsCapChainPos = KELMA_MSG(
    "Переходы чисел между %0:d тиражами в %%d позиции");
inline constexpr TResString rsCapChainChannelsAll = KELMA_MSG(
    "Переходы каналов между %0:d тиражами без учета позиции");
inline constexpr TResString rsCapChainChannelsPos = KELMA_MSG(
    "Переходы каналов между %0:d тиражами с учетом позиции");
inline constexpr TResString rsCapChainChannel = KELMA_MSG(
    "Переходы каналов между %0:d тиражами в %%d позиции");
inline constexpr TResString rsCapChainCnlCnt = KELMA_MSG(
    "Переходы кол-ва чисел в %%d канале между %0:d тиражами");
inline constexpr TResString rsCapChainChannelsInsideAll = KELMA_MSG(
    "Переходы чисел в пределах каналов (все)");
inline constexpr TResString rsCapChainChannelsInsideSuc = KELMA_MSG(
    "Переходы чисел в пределах каналов (N-M, удачные)");
inline constexpr TResString rsCapChainChannelsInsideBad = KELMA_MSG(
    "Переходы чисел в пределах каналов (N-0, не удачные)");
inline constexpr TResString rsCapChainChannelsInsideCnt = KELMA_MSG(
    "Переходы чисел в пределах каналов (количество)");
inline constexpr TResString rsCapChainSegmentsAll = KELMA_MSG(
    "Переходы сегментов между %0:d тиражами без учета позиции");
inline constexpr TResString rsCapChainSegmentsPos = KELMA_MSG(
    "Переходы сегментов между %0:d тиражами с учетом позиции");
inline constexpr TResString rsCapChainSegment = KELMA_MSG(
    "Переходы сегментов между %0:d тиражами в %%d позиции");
inline constexpr TResString rsCapChainSgmCnt = KELMA_MSG(
    "Переходы кол-ва чисел в %%d сегменте между %0:d тиражами");

// Shredding family caption: "%0:d" is the formula number, "%%s" then takes the formula.
inline constexpr TResString rsCapShredding = KELMA_MSG("Метод шинковки %0:d: %%s");

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
