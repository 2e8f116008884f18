#pragma once

// One section of the message table of engine/KelmaMsg.h:
// scenarios: vocabulary, list, run, log and the online library.
// Include engine/KelmaMsg.h rather than this file.

#include "engine/KelmaMsg.h"

#include <array>

// Scenario start list: long caption for the dialogs, short one for the scenario list.
inline constexpr TResString rsStartFullLong = KELMA_MSG(
    "Исходный список (рекомендуется для тестов)");
inline constexpr TResString rsStartFullShort = KELMA_MSG("Исходный список");
inline constexpr TResString rsStartExclLong = KELMA_MSG(
    "Удалить N последних тиражей (для прогнозов)");
inline constexpr TResString rsStartExclShort = KELMA_MSG("Исключить %d тиражей");
inline constexpr TResString rsStartCurrLong = KELMA_MSG(
    "Текущий список (для последовательного выполнения)");
inline constexpr TResString rsStartCurrShort = KELMA_MSG("Текущий список");

// Scenario action on an ambiguous result: long and short captions.
inline constexpr TResString rsActionRandLong = KELMA_MSG("Выбрать одну случайную комбинацию");
inline constexpr TResString rsActionRandShort = KELMA_MSG("Случайно");
inline constexpr TResString rsActionFirstLong = KELMA_MSG("Выбрать первую комбинацию в списке");
inline constexpr TResString rsActionFirstShort = KELMA_MSG("Первая");
inline constexpr TResString rsActionLastLong = KELMA_MSG("Выбрать последнюю комбинацию в списке");
inline constexpr TResString rsActionLastShort = KELMA_MSG("Последняя");
inline constexpr TResString rsActionAllLong = KELMA_MSG(
    "Выбрать все комбинации (не рекомендуется)");
inline constexpr TResString rsActionAllShort = KELMA_MSG("Все");
inline constexpr TResString rsActionSysALong = KELMA_MSG("Системная игра [вся система]");
inline constexpr TResString rsActionSysAShort = KELMA_MSG("Система [все]");
inline constexpr TResString rsActionSysCLong = KELMA_MSG("Системная игра [система * комбинации]");
inline constexpr TResString rsActionSysCShort = KELMA_MSG("Система [комб]");
inline constexpr TResString rsActionStopLong = KELMA_MSG("Остановить выполнение сценария");
inline constexpr TResString rsActionStopShort = KELMA_MSG("Остановить");
inline constexpr TResString rsActionSkipLong = KELMA_MSG("Пропустить (игнорировать) эту ставку");
inline constexpr TResString rsActionSkipShort = KELMA_MSG("Пропустить");
inline constexpr TResString rsActionNoneLong = KELMA_MSG(
    "Не делать ставок (для последовательного выполнения)");
inline constexpr TResString rsActionNoneShort = KELMA_MSG("Не делать ставок");

// Scenario stake options, and the caption of a stored value outside its table.
inline constexpr TResString rsClearStakesCaption = KELMA_MSG("Удалить ставки");
inline constexpr TResString rsAllStakesCaption = KELMA_MSG("Все создаваемые ставки");
inline constexpr TResString rsNewOnlyCaption = KELMA_MSG("Только новые ставки");
inline constexpr TResString rsScriptCaptionError = KELMA_MSG("# ERROR #");

// Scenario level modes, by their words.
inline constexpr TResString rsLevelModeLNO = KELMA_MSG("Весь список (без условий)");
inline constexpr TResString rsLevelModeLMV = KELMA_MSG("\"Глубина\": не менее заданного значения");
inline constexpr TResString rsLevelModeLMP = KELMA_MSG("\"Глубина\": не менее заданного процента");
inline constexpr TResString rsLevelModeLLV = KELMA_MSG("\"Глубина\": не более заданного значения");
inline constexpr TResString rsLevelModeLLP = KELMA_MSG("\"Глубина\": не более заданного процента");
inline constexpr TResString rsLevelModeLDV = KELMA_MSG("\"Глубина\": из заданного списка значений");
inline constexpr TResString rsLevelModeLDP = KELMA_MSG(
    "\"Глубина\": из заданного списка процентов");
inline constexpr TResString rsLevelModeDMV = KELMA_MSG(
    "\"Отклонение\": не менее заданного значения");
inline constexpr TResString rsLevelModeDMP = KELMA_MSG(
    "\"Отклонение\": не менее заданного процента");
inline constexpr TResString rsLevelModeDLV = KELMA_MSG(
    "\"Отклонение\": не более заданного значения");
inline constexpr TResString rsLevelModeDLP = KELMA_MSG(
    "\"Отклонение\": не более заданного процента");
inline constexpr TResString rsLevelModeDDV = KELMA_MSG(
    "\"Отклонение\": из заданного списка значений");
inline constexpr TResString rsLevelModeDDP = KELMA_MSG(
    "\"Отклонение\": из заданного списка процентов");
inline constexpr TResString rsLevelModeCMV = KELMA_MSG(
    "\"Количество\": не менее заданного значения");
inline constexpr TResString rsLevelModeCMP = KELMA_MSG(
    "\"Количество\": не менее заданного процента");
inline constexpr TResString rsLevelModeCLV = KELMA_MSG(
    "\"Количество\": не более заданного значения");
inline constexpr TResString rsLevelModeCLP = KELMA_MSG(
    "\"Количество\": не более заданного процента");
inline constexpr TResString rsLevelModeCDV = KELMA_MSG(
    "\"Количество\": из заданного списка значений");
inline constexpr TResString rsLevelModeCDP = KELMA_MSG(
    "\"Количество\": из заданного списка процентов");
inline constexpr TResString rsLevelModeWMV = KELMA_MSG("\"Вес\": не менее заданного значения");
inline constexpr TResString rsLevelModeWLV = KELMA_MSG("\"Вес\": не более заданного значения");
inline constexpr TResString rsLevelModeWDV = KELMA_MSG("\"Вес\": из заданного списка значений");
inline constexpr TResString rsLevelModePIM = KELMA_MSG(
    "\"Период min\": не менее заданного значения");
inline constexpr TResString rsLevelModePIL = KELMA_MSG(
    "\"Период min\": не более заданного значения");
inline constexpr TResString rsLevelModePIR = KELMA_MSG(
    "\"Период min\": из заданного списка значений");
inline constexpr TResString rsLevelModePAM = KELMA_MSG("\"Период\": не менее заданного значения");
inline constexpr TResString rsLevelModePAL = KELMA_MSG("\"Период\": не более заданного значения");
inline constexpr TResString rsLevelModePAR = KELMA_MSG("\"Период\": из заданного списка значений");
inline constexpr TResString rsLevelModePXM = KELMA_MSG(
    "\"Период max\": не менее заданного значения");
inline constexpr TResString rsLevelModePXL = KELMA_MSG(
    "\"Период max\": не более заданного значения");
inline constexpr TResString rsLevelModePXR = KELMA_MSG(
    "\"Период max\": из заданного списка значений");
inline constexpr TResString rsLevelModeLVA = KELMA_MSG(
    "\"Значения\": из заданного списка значений");

// Scenario stop modes, by their words.
inline constexpr TResString rsStopModeSF = KELMA_MSG("Обработать все записи");
inline constexpr TResString rsStopModeSC = KELMA_MSG("Количеству оставшихся комбинаций");
inline constexpr TResString rsStopModeSZ = KELMA_MSG("Пока список не будет пуст и откатить на шаг");
inline constexpr TResString rsStopModeST = KELMA_MSG("Количеству шагов");
inline constexpr TResString rsStopModeSV = KELMA_MSG("Значению в списке статистики");
inline constexpr TResString rsStopModeSP = KELMA_MSG("Процентному соотношению в списке статистики");

// Scenario list: columns, status, line dialog titles, files.
inline constexpr TResString rsColComments = KELMA_MSG("Комментарии");
inline constexpr TResString rsColOptions = KELMA_MSG("Опции");
inline constexpr TResString rsColFilter1 = KELMA_MSG("Фильтр 1");
inline constexpr TResString rsColFilter2 = KELMA_MSG("Фильтр 2");
inline constexpr TResString rsColFilter3 = KELMA_MSG("Фильтр 3");
inline constexpr TResString rsColFilter4 = KELMA_MSG("Фильтр 4");
inline constexpr TResString rsColFilter5 = KELMA_MSG("Фильтр 5");
inline constexpr TResString rsColFilter6 = KELMA_MSG("Фильтр 6");
inline constexpr TResString rsColFilter7 = KELMA_MSG("Фильтр 7");
inline constexpr TResString rsStatusLineCount = KELMA_MSG("Строк: %d");
inline constexpr TResString rsNewLineTitle = KELMA_MSG("Создание новой строки");
inline constexpr TResString rsEditLineTitle = KELMA_MSG("Редактирование строки");
inline constexpr TResString rsDeletingLines = KELMA_MSG("Удаление строк...");
inline constexpr TResString rsScriptFilesFilter = KELMA_MSG("Файлы сценариев (*.lsc)|*.lsc");

// Scenario run: status panels, progress, questions and errors.
inline constexpr TResString rsStatusCycle = KELMA_MSG("Цикл: %d");
inline constexpr TResString rsStatusStakes = KELMA_MSG("Ставок: %d");
inline constexpr TResString rsStatusLine = KELMA_MSG("Строка: %d");
inline constexpr TResString rsStatusFilterOf = KELMA_MSG("Фильтр %d из %d: %s");
inline constexpr TResString rsRunningScript = KELMA_MSG("Выполнение сценария...");
inline constexpr TResString rsScriptFinished = KELMA_MSG("Сценарий завершен!");
inline constexpr TResString rsScriptStopped = KELMA_MSG("Выполнение сценария прервано!");
inline constexpr TResString rsAskStopScript = KELMA_MSG("Остановить выполнение сценария?");
inline constexpr TResString rsCreatingFilterVariants = KELMA_MSG(
    "Создание всех вариантов фильтров...");
inline constexpr TResString rsTooManyFilterVariants = KELMA_MSG(
    "Вы задали слишком много вариантов фильтров - программа не сможет обработать их все!\n"
    "Пожалуйста, уменьшите в каждом из фильтров количество вариантов длины выборки и глубины, "
    "а затем повторите попытку.");
inline constexpr TResString rsBadFilterDescription = KELMA_MSG(
    "Некорректное описание фильтра: %s!");
inline constexpr TResString rsMethodNotFound = KELMA_MSG(
    "Метод расчета статистики \"%s\" на найден!\n"
    "%s\n\nВозможно, Вы отключили данных метод расчета либо использовали сценарий от другой "
    "модификации программы.");
inline constexpr TResString rsScriptAmbiguousStop = KELMA_MSG(
    "Выполнение сценария прервано, т.к. после применения всех фильтров в списке комбинаций их "
    "осталось более одной: %d!\n\nФильтры: %s");
inline constexpr TResString rsBadValueRange = KELMA_MSG("Введен некорректный диапазон значений!");
inline constexpr TResString rsListModeNotAvailable = KELMA_MSG(
    "Для данного вида статистики не доступен режим выделения по списку значений!");
inline constexpr TResString rsMultiSelectStopRefused = KELMA_MSG(
    "В режиме мультивыделения остановка сценария по количеству комбинаций или чисел не может "
    "быть выполнена!\nВыберите другой способ останова.");
inline constexpr TResString rsDirectionTopDown = KELMA_MSG("Сверху-вниз");
inline constexpr TResString rsDirectionBottomUp = KELMA_MSG("Снизу-вверх");

// Scenario log lines.
inline constexpr TResString rsLogScriptStart = KELMA_MSG(
    "### ЗАПУСК СЦЕНАРИЯ "
    "##########################################################################");
inline constexpr TResString rsLogScriptOffset = KELMA_MSG(
    "=== Выполнение сценария для смещения %.6d "
    "==================================================");
inline constexpr TResString rsLogScriptEnd = KELMA_MSG(
    "### ЗАВЕРШЕНИЕ СЦЕНАРИЯ "
    "######################################################################");
inline constexpr TResString rsLogScriptAborted = KELMA_MSG(
    "### ВЫПОЛНЕНИЕ СЦЕНАРИЯ ПРЕРВАНО "
    "#############################################################");
inline constexpr TResString rsLogRunningLine = KELMA_MSG("Выполнение строки %.3d: \"%s\"");
inline constexpr TResString rsLogVariantsCreated = KELMA_MSG("Создано %d вариантов фильтров.");
inline constexpr TResString rsLogNoFilters = KELMA_MSG("{ERROR} Фильтры не применялись!");
inline constexpr TResString rsLogMakingStartList = KELMA_MSG(
    "Создание начального списка комбинаций...");
inline constexpr TResString rsLogCombCount = KELMA_MSG("Количество комбинаций в списке: %d");
inline constexpr TResString rsLogApplyingFilterSet = KELMA_MSG(
    "Применение набора фильтров %.3d: \"%s\"");
inline constexpr TResString rsLogComputingStat = KELMA_MSG(
    "Анализ тиражей и расчет статистики \"%s\" для выборки в %d тиражей...");
inline constexpr TResString rsLogStatRow = KELMA_MSG(
    "< [%s] кол-во: %s (%s %%), отклонение: %s (%s %%), глубина: %s (%s %%), вес: %s >");
inline constexpr TResString rsLogSelectRow = KELMA_MSG(
    "Шаг %.3d. Выделение строки: < [%s] кол-во: %s (%s %%), отклонение: %s (%s %%), глубина: "
    "%s (%s %%), вес: %s >");
inline constexpr TResString rsLogKeepSelected = KELMA_MSG("Оставляем выделенные значения...");
inline constexpr TResString rsLogDeleteSelected = KELMA_MSG("Удаляем выделенные значения...");
inline constexpr TResString rsLogUndo = KELMA_MSG("{UNDO} Откат изменений...");
inline constexpr TResString rsLogAddStake = KELMA_MSG("{*} Добавление ставки, режим: \"%s\"");
inline constexpr TResString rsLogScriptStopped = KELMA_MSG("{!} Сценарий остановлен!");
inline constexpr TResString rsLogStakeSkipped = KELMA_MSG("{-} Ставка игнорирована!");
inline constexpr TResString rsLogStakeExists = KELMA_MSG(
    "{-} Ставка на тираж %d не добавлена, так как уже имеется в списке ставок: [%s]");
inline constexpr TResString rsLogStakeAdded = KELMA_MSG(
    "{+} Ставка на тираж %d добавлена в список ставок: [%s]");
inline constexpr TResString rsLogSystemError = KELMA_MSG(
    "{#} Системная игра для %d чисел [ОШИБКА]: \"%s\"");
inline constexpr TResString rsLogSystemCombined = KELMA_MSG(
    "{#} Системная игра для %d чисел [система * комбинации]: загружен файл \"%s\"");
inline constexpr TResString rsLogSystemWhole = KELMA_MSG(
    "{#} Системная игра для %d чисел [все система]: загружен файл \"%s\"");
inline constexpr TResString rsSearchingLogFiles = KELMA_MSG("Поиск файлов журналов...");
inline constexpr TResString rsNoLogFilesFound = KELMA_MSG("Файлы журналов не найдены!");
inline constexpr TResString rsLogWriteError = KELMA_MSG("Ошибка записи журнала: %s!");

// Online scenario library: list items, filter, progress, questions and errors.
inline constexpr TResString rsOnlineMine = KELMA_MSG("Мой");
inline constexpr TResString rsOnlineShared = KELMA_MSG("Общий");
inline constexpr TResString rsOnlineUniversal = KELMA_MSG("Универсальный");
inline constexpr TResString rsOnlineRateHidden = KELMA_MSG("Скрытый");
inline constexpr TResString rsColType = KELMA_MSG("Тип");
inline constexpr TResString rsColTitle = KELMA_MSG("Название");
inline constexpr TResString rsColAuthor = KELMA_MSG("Автор");
inline constexpr TResString rsColProgram = KELMA_MSG("Программа");
inline constexpr TResString rsColVersion = KELMA_MSG("Версия");
inline constexpr TResString rsColLanguage = KELMA_MSG("Язык");
inline constexpr TResString rsColCreated = KELMA_MSG("Создан");
inline constexpr TResString rsColRating = KELMA_MSG("Рейтинг");
inline constexpr TResString rsColRateCount = KELMA_MSG("Оценок");
inline constexpr TResString rsColOwnRate = KELMA_MSG("Ваша оценка");
inline constexpr TResString rsColDownloads = KELMA_MSG("Загрузок");
// One text in a language module: the column of the last download reads as the action does.
inline constexpr TResString rsColLastDownload = rsActionLastShort;
inline constexpr TResString rsColName = KELMA_MSG("Имя");
inline constexpr TResString rsColRate = KELMA_MSG("Оценка");
inline constexpr TResString rsColDate = KELMA_MSG("Дата");
inline constexpr TResString rsOnlineFilterHidden = KELMA_MSG("Скрытые");
inline constexpr TResString rsOnlineFilterAll = KELMA_MSG("Все, включая скрытые");
inline constexpr TResString rsOnlineFilterVisible = KELMA_MSG("Все, кроме скрытых (по умолчанию)");
inline constexpr TResString rsOnlineFilterMine = KELMA_MSG("Только мои");
inline constexpr TResString rsOnlineFilterPublic = KELMA_MSG("Только публичные");
inline constexpr TResString rsOnlineFilterRated = KELMA_MSG("С моими оценками");
inline constexpr TResString rsOnlineFilterUnrated = KELMA_MSG("Без моих оценок");
inline constexpr TResString rsOnlineFilterNew = KELMA_MSG("Новые (24 часа с момента публикации)");
inline constexpr TResString rsLoadingOnlineScripts = KELMA_MSG(
    "Загрузка online-каталога сценариев...");
inline constexpr TResString rsDownloadingOnlineScript = KELMA_MSG(
    "Скачивание сценария из online-каталога...");
inline constexpr TResString rsSendingRate = KELMA_MSG("Отправка оценки на сервер...");
// The box that asks for the comment of a rating is titled as the comment columns are.
inline constexpr TResString rsRateCommentTitle = rsColComment;
inline constexpr TResString rsRateCommentPrompt = KELMA_MSG("Вы можете оставить свой комментарий:");
inline constexpr TResString rsSavingOnlineScript = KELMA_MSG(
    "Сохранение сценария в базе данных...");
inline constexpr TResString rsAskDeleteOnlineScript = KELMA_MSG(
    "Вы действительно хотите удалить сценарий \"%s\"?");
inline constexpr TResString rsDeletingOnlineScript = KELMA_MSG(
    "Удаление сценария из базы данных...");
inline constexpr TResString rsAppModeOnlyIn = KELMA_MSG("Только в \"%s\"");
inline constexpr TResString rsTitleRequired = KELMA_MSG(
    "Название сценария должно быть указано обязательно!");
inline constexpr TResString rsTitleTaken = KELMA_MSG(
    "Сценарий с таким названием уже существует!\nВыберите другое название.");
inline constexpr TResString rsAuthorRequired = KELMA_MSG(
    "Имя автора должно быть указано обязательно!");
// Labels of the scenario properties dialog that the system dialog shares.
inline constexpr TResString rsAuthorLabel = KELMA_MSG("Автор:");
inline constexpr TResString rsDescrLabel = KELMA_MSG("Описание:");
inline constexpr TResString rsServerReturnCode = KELMA_MSG("Код возврата: %d");
inline constexpr TResString rsOnlineListError = KELMA_MSG(
    "Ошибка загрузки каталога online-сценариев!\n\n%s");
inline constexpr TResString rsOnlineScriptLoadError = KELMA_MSG(
    "Ошибка загрузки online-сценария!\n\n%s");
inline constexpr TResString rsOnlineRateSaveError = KELMA_MSG(
    "Ошибка сохранения оценки online-сценария!\n\n%s");
inline constexpr TResString rsOnlineTitleCheckError = KELMA_MSG(
    "Ошибка проверки уникальности online-сценария!\n\n%s");
inline constexpr TResString rsOnlineScriptSaveError = KELMA_MSG(
    "Ошибка сохранения online-сценария в базе данных!\n\n%s");
inline constexpr TResString rsOnlineScriptDeleteError = KELMA_MSG(
    "Ошибка удаления online-сценария из базы данных!\n\n%s");
inline constexpr TResString rsOnlineRatesViewError = KELMA_MSG(
    "Ошибка просмотра оценок online-сценария!\n\n%s");
inline constexpr TResString rsOnlinePublishError = KELMA_MSG(
    "Ошибка публикации online-сценария!\n\n%s");
inline constexpr TResString rsOnlinePropsViewError = KELMA_MSG(
    "Ошибка просмотра свойств online-сценария!\n\n%s");

// Start list captions indexed by the stored start type.
inline constexpr std::array<TResString, 3> rsStartLongCaptions{
    rsStartFullLong, rsStartExclLong, rsStartCurrLong,
};

inline constexpr std::array<TResString, 3> rsStartShortCaptions{
    rsStartFullShort, rsStartExclShort, rsStartCurrShort,
};

// Ambiguous-result captions indexed by the stored action.
inline constexpr std::array<TResString, 9> rsActionLongCaptions{
    rsActionRandLong, rsActionFirstLong, rsActionLastLong, rsActionAllLong, rsActionSysALong,
    rsActionSysCLong, rsActionStopLong, rsActionSkipLong, rsActionNoneLong,
};

inline constexpr std::array<TResString, 9> rsActionShortCaptions{
    rsActionRandShort, rsActionFirstShort, rsActionLastShort, rsActionAllShort, rsActionSysAShort,
    rsActionSysCShort, rsActionStopShort, rsActionSkipShort, rsActionNoneShort,
};

// Level mode captions indexed by the stored level mode.
inline constexpr std::array<TResString, 32> rsLevelModeCaptions{
    rsLevelModeLNO, rsLevelModeLMV, rsLevelModeLMP, rsLevelModeLLV, rsLevelModeLLP, rsLevelModeLDV,
    rsLevelModeLDP, rsLevelModeDMV, rsLevelModeDMP, rsLevelModeDLV, rsLevelModeDLP, rsLevelModeDDV,
    rsLevelModeDDP, rsLevelModeCMV, rsLevelModeCMP, rsLevelModeCLV, rsLevelModeCLP, rsLevelModeCDV,
    rsLevelModeCDP, rsLevelModeWMV, rsLevelModeWLV, rsLevelModeWDV, rsLevelModePIM, rsLevelModePIL,
    rsLevelModePIR, rsLevelModePAM, rsLevelModePAL, rsLevelModePAR, rsLevelModePXM, rsLevelModePXL,
    rsLevelModePXR, rsLevelModeLVA,
};

// Stop mode captions indexed by the stored stop mode.
inline constexpr std::array<TResString, 6> rsStopModeCaptions{
    rsStopModeSF, rsStopModeSC, rsStopModeSZ, rsStopModeST, rsStopModeSV, rsStopModeSP,
};
