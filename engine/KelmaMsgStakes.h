#pragma once

// One section of the message table of engine/KelmaMsg.h:
// stakes, their checking, ratings, regular stakes and systems.
// Include engine/KelmaMsg.h rather than this file.

#include "engine/KelmaMsg.h"

// Stakes file.
inline constexpr TResString rsManualStakeComment = KELMA_MSG("Ставка \"вручную\"");
inline constexpr TResString rsCreatingStake = KELMA_MSG("Создание ставки...");
inline constexpr TResString rsCreatingStakes = KELMA_MSG("Создание ставок...");
inline constexpr TResString rsLoadingStakesFile = KELMA_MSG("Загрузка файла ставок...");
inline constexpr TResString rsOldStakesFile = KELMA_MSG(
    "Обнаружен файл ставок устаревшей версии - имеющиеся в файле ставки будут удалены!");
inline constexpr TResString rsStakesReadError = KELMA_MSG("Ошибка чтения файла ставок!\n\n%s");
inline constexpr TResString rsSavingStakesFile = KELMA_MSG("Сохранение файла ставок...");
inline constexpr TResString rsStakesWriteError = KELMA_MSG("Ошибка записи в файл ставок!\n\n%s");
inline constexpr TResString rsStakesFileNotOpen = KELMA_MSG("Файл ставок не открыт!");
inline constexpr TResString rsStakeReadError = KELMA_MSG(
    "Ошибка чтения записи из файла ставок!\n\n%s");
inline constexpr TResString rsStakeAppendError = KELMA_MSG(
    "Ошибка добавления записи в файл ставок!\n\n%s");
inline constexpr TResString rsAppendCheckedStake = KELMA_MSG(
    "Добавление в конец файла уже проверенной ставки!");
inline constexpr TResString rsStakeDeleteError = KELMA_MSG(
    "Ошибка удаления записи из файла ставок!\n\n%s");

// Stake checking and the stakes log.
inline constexpr TResString rsCheckingStakes = KELMA_MSG("Проверка результатов ставок...");
inline constexpr TResString rsCheckingStakesProgress = KELMA_MSG(
    "Проверка результатов ставок ( завершено %.0f %% )...");
inline constexpr TResString rsStakesCheckError = KELMA_MSG("Ошибка проверки ставок!\n\n%s");
inline constexpr TResString rsStakesLogLine = KELMA_MSG(
    "Тираж № %s. Ставка: \"%s\" [%s] {%d}. Результаты тиража: [%s]. Совпадений: %d. Профит: "
    "%.2f.");

// Stakes grid, stake dialogs and commands.
inline constexpr TResString rsColDrawNumber = KELMA_MSG("№ тиража");
inline constexpr TResString rsColStakeOrigin = KELMA_MSG("Вид ставки");
inline constexpr TResString rsColMyStake = KELMA_MSG("Моя ставка");
inline constexpr TResString rsColSample = KELMA_MSG("Выборка");
inline constexpr TResString rsColDrawResults = KELMA_MSG("Результаты тиража");
inline constexpr TResString rsColMatchCount = KELMA_MSG("Совпадений");
inline constexpr TResString rsColMatches = KELMA_MSG("Совпадения");
inline constexpr TResString rsColProfit = KELMA_MSG("Профит");
inline constexpr TResString rsCommentRequired = KELMA_MSG("Необходимо ввести комментарий!");
inline constexpr TResString rsCondEqual = KELMA_MSG("Равно [ = ]");
inline constexpr TResString rsCondGreater = KELMA_MSG("Более [ > ]");
inline constexpr TResString rsCondNotLess = KELMA_MSG("Не менее [ >= ]");
inline constexpr TResString rsCondLess = KELMA_MSG("Менее [ < ]");
inline constexpr TResString rsCondNotGreater = KELMA_MSG("Не более [ <= ]");
inline constexpr TResString rsDeletingStakes = KELMA_MSG("Удаление ставок...");

// Ratings.
inline constexpr TResString rsColStakes = KELMA_MSG("Ставок");
inline constexpr TResString rsColGuessed = KELMA_MSG("Угадано");
inline constexpr TResString rsColAverage = KELMA_MSG("Среднее");
inline constexpr TResString rsColAverageProfit = KELMA_MSG("Ср. профит");
inline constexpr TResString rsLoadingRatingsFile = KELMA_MSG("Загрузка файла рейтинга...");
inline constexpr TResString rsSavingRatingsFile = KELMA_MSG("Сохранение файла рейтинга...");
inline constexpr TResString rsStatusRatingCount = KELMA_MSG("Рейтинг: %d");
inline constexpr TResString rsSortingRatings = KELMA_MSG("Сортировка рейтинга...");
inline constexpr TResString rsAskRefreshRatings = KELMA_MSG(
    "Пересчитать рейтинг только по текущим ставкам?\n\n"
    "Накопленные ранее данные по удаленным ставкам будут потеряны.");
inline constexpr TResString rsRefreshingRatings = KELMA_MSG("Обновление рейтинга...");
inline constexpr TResString rsGeneratingScriptLines = KELMA_MSG(
    "Генерация новых строк в сценарии...");
inline constexpr TResString rsCannotAddLine = KELMA_MSG(
    "Строку\n\n%s\n\nневозможно добавить в сценарий!");
inline constexpr TResString rsGraphNeedsTwoDraws = KELMA_MSG(
    "Для построения графиков необходимо, чтобы в выделенном диапазоне данных было более "
    "одного тиража!");
inline constexpr TResString rsSeriesDrawProfit = KELMA_MSG("Суммарный профит ставок по тиражу");
inline constexpr TResString rsSeriesAccumulated = KELMA_MSG("Накопленное значение");
inline constexpr TResString rsSeriesNormal = KELMA_MSG("Нормальные значения");

// Regular stakes.
inline constexpr TResString rsColStartComb = KELMA_MSG("Стартовая комбинация");
inline constexpr TResString rsColStep = KELMA_MSG("Шаг");
inline constexpr TResString rsColCurrentComb = KELMA_MSG("Текущая комбинация");
inline constexpr TResString rsLoadingTablesFile = KELMA_MSG("Загрузка файла регулярных ставок...");
inline constexpr TResString rsSavingTablesFile = KELMA_MSG("Сохранение файла регулярных ставок...");
inline constexpr TResString rsSelectedCombsMarker = KELMA_MSG("{...Выделенные комбинации...}");
inline constexpr TResString rsCommentTaken = KELMA_MSG(
    "Запись с таким комментарией уже присутствует в списке!\nВыберите другой комментарий.");
inline constexpr TResString rsRegularStakeComment = KELMA_MSG("Регулярная ставка");
inline constexpr TResString rsCreatingRegulars = KELMA_MSG("Создание регулярных ставок...");
inline constexpr TResString rsDeletingRegulars = KELMA_MSG("Удаление регулярных ставок...");
inline constexpr TResString rsCreatingRegularStakes = KELMA_MSG(
    "Создание ставок по регулярным табличным ставкам...");

// Systems exchange: progress, errors, list columns and the system dialog.
inline constexpr TResString rsLoadingNamed = KELMA_MSG("Загрузка \"%s\"...");
inline constexpr TResString rsSavingNamed = KELMA_MSG("Сохранение \"%s\"...");
inline constexpr TResString rsDeletingNamed = KELMA_MSG("Удаление \"%s\"...");
inline constexpr TResString rsSystemLoadError = KELMA_MSG("Ошибка загрузки системы #%d!\n\n%s");
inline constexpr TResString rsSystemSaveError = KELMA_MSG("Ошибка сохранения системы #%d!\n\n%s");
inline constexpr TResString rsSystemListUnavailable = KELMA_MSG("Список систем не доступен!");
inline constexpr TResString rsSystemListError = KELMA_MSG("Ошибка загрузки списка систем!\n\n%s");
inline constexpr TResString rsSystemCombCountMismatch = KELMA_MSG(
    "Количество скачанных комбинаций ( %d ) отличается от ожидаемого значения ( %d )");
inline constexpr TResString rsSystemNotLoaded = KELMA_MSG(
    "Система для %d чисел не найдена или не загружена на компьютер!\n\n"
    "Перед системной игрой необходимо предварительно загрузить системы на Ваш компьютер через "
    "меню \"Системы\" - \"Загрузить\".");
// The system dialog is titled with the word a system stake shows as its origin.
inline constexpr TResString rsSystemCaption = rsOriginSystem;
inline constexpr TResString rsColNums = KELMA_MSG("Числа");
inline constexpr TResString rsColBlock = KELMA_MSG("Блок");
inline constexpr TResString rsColCreatedDate = KELMA_MSG("Дата создания");
inline constexpr TResString rsColStatus = KELMA_MSG("Статус");
inline constexpr TResString rsColLink = KELMA_MSG("Ссылка");
inline constexpr TResString rsSystemLoaded = KELMA_MSG("Загружена");
inline constexpr TResString rsLoadingSystems = KELMA_MSG("Загрузка списка систем...");
inline constexpr TResString rsOnlyOwnSystems = KELMA_MSG("Вы можете удалять только свои системы!");
inline constexpr TResString rsAskDeleteSystem = KELMA_MSG(
    "Вы действительно хотите удалить систему \"%s\"?");
inline constexpr TResString rsSystemTitleRequired = KELMA_MSG(
    "Название системы должно быть указано обязательно!");
inline constexpr TResString rsBadNumsCount = KELMA_MSG(
    "Указано недопустмое количество используемых чисел!");
inline constexpr TResString rsBadBlockSize = KELMA_MSG("Указан недопустмый размер блока!");
inline constexpr TResString rsSystemDescrRequired = KELMA_MSG(
    "Описание системы должно быть указано обязательно!");
inline constexpr TResString rsSystemContentRequired = KELMA_MSG(
    "Содержимое системы должно быть указано обязательно!");
inline constexpr TResString rsSystemStakeCombsComment = KELMA_MSG(
    "Системная игра для %d чисел [комбинации]: %s");
inline constexpr TResString rsSystemStakeWholeComment = KELMA_MSG(
    "Системная игра для %d чисел [вся система]: %s");
