#pragma once

// One section of the message table of engine/KelmaMsg.h:
// the main window: start-up, files, draw archive, download, settings, views, combination list.
// Include engine/KelmaMsg.h rather than this file.

#include "engine/KelmaMsg.h"

// Start-up and shut-down.
inline constexpr TResString rsStartError = KELMA_MSG("Ошибка запуска программы!\n\n%s");
inline constexpr TResString rsFormStateLoadError = KELMA_MSG(
    "Ошибка загрузки параметров программы!\n\n%s");
inline constexpr TResString rsInitError = KELMA_MSG("Ошибка инициализации программы!\n\n%s");
inline constexpr TResString rsInitializing = KELMA_MSG("Инициализация...");
inline constexpr TResString rsCaptionVersion = KELMA_MSG(" версия ");
inline constexpr TResString rsExclusiveAccessError = KELMA_MSG(
    "Невозможно получить монопольный доступ к файлам данных!\n\n"
    "Возможные причины данной ошибки: \n\n"
    "1) Вы пытаетесь запустить вторую копию программы из одного и того же каталога. "
    "Корректная работа нескольких копий программы возможна только из разных каталогов.\n\n"
    "2) Для программы нет прав на запись в том каталоге, где она расположена, или в её файлах "
    "данных: архив тиражей, ставки и настройки хранятся рядом с файлом программы, в том же "
    "каталоге. Проверьте права на этот каталог и на файлы в нём (в том числе на файл ставок) "
    "либо скопируйте программу в каталог, доступный для записи, и запустите её оттуда.\n\n"
    "Программа будет закрыта!");
inline constexpr TResString rsAskDownloadDraws = KELMA_MSG(
    "Обновить список тиражей?\n\nДля выполнения обновления необходимо действующее подключение "
    "к сети Интернет.");
inline constexpr TResString rsShutdownError = KELMA_MSG("Ошибка завершения программы!\n\n%s");
inline constexpr TResString rsFormStateSaveError = KELMA_MSG(
    "Ошибка сохранения параметров программы!\n\n%s");

// Files and records in general.
inline constexpr TResString rsLoadingFile = KELMA_MSG("Загрузка файла \"%s\"...");
inline constexpr TResString rsSavingFile = KELMA_MSG("Сохранение файла \"%s\"...");
inline constexpr TResString rsFileReadError = KELMA_MSG("Ошибка чтения файла \"%s\"!\n\n%s");
inline constexpr TResString rsFileWriteError = KELMA_MSG("Ошибка записи в файл \"%s\"!\n\n%s");
inline constexpr TResString rsFileDeleteError = KELMA_MSG("Ошибка удаления файла \"%s\"!\n\n%s");
inline constexpr TResString rsRecordNotFound = KELMA_MSG(
    "Запись со индексом %d в файле данных не найдена!");
inline constexpr TResString rsPleaseWait = KELMA_MSG("Подождите пожалуйста...");
inline constexpr TResString rsErrorCaption = KELMA_MSG("Ошибка");
inline constexpr TResString rsCsvFilesFilter = KELMA_MSG("CSV-файлы (*.csv)|*.csv");
inline constexpr TResString rsExportingCsv = KELMA_MSG("Экспорт в CSV-файл...");
inline constexpr TResString rsCreatingCharts = KELMA_MSG("Создание графиков...");
inline constexpr TResString rsCollectingStat = KELMA_MSG("Идет сбор статистики....");

// Draw archive, its list and the draw dialog.
inline constexpr TResString rsLoadingDrawsFile = KELMA_MSG("Загрузка файла тиражей...");
inline constexpr TResString rsSavingDrawsFile = KELMA_MSG("Сохранение файла тиражей...");
inline constexpr TResString rsEnterNextDraw = KELMA_MSG("Введите данные следующего тиража");
inline constexpr TResString rsDeletingDraws = KELMA_MSG("Удаление выделенных тиражей....");
inline constexpr TResString rsStatusDrawCount = KELMA_MSG("Архив тиражей: %d");
inline constexpr TResString rsStatusNextDraw = KELMA_MSG("Следующий тираж: %d");
inline constexpr TResString rsColDraw = KELMA_MSG("Тираж");
inline constexpr TResString rsColDrawDate = KELMA_MSG("Дата тиража");
inline constexpr TResString rsBadCombinationEntered = KELMA_MSG("Введена некорректная комбинация!");
inline constexpr TResString rsDrawNumberTaken = KELMA_MSG(
    "В архиве уже есть тираж с номером %d (\"%s\")!\n\nУкажите другой номер тиража.");
inline constexpr TResString rsDrawKeyTaken = KELMA_MSG(
    "В архиве уже есть тираж с датой и временем \"%s\" (тираж %d)!\n\nУкажите другие дату или время тиража.");
inline constexpr TResString rsDrawNotNewer = KELMA_MSG(
    "Новый тираж \"%s\" должен быть позже последнего тиража архива (тираж %d, \"%s\")!\n\n"
    "Укажите более поздние дату или время тиража.");
inline constexpr TResString rsDrawBadNumber = KELMA_MSG(
    "Некорректный номер тиража: %d!\n\nУкажите номер от 1 до 2147483647.");
inline constexpr TResString rsDrawBadDate = KELMA_MSG(
    "Некорректная дата тиража: \"%s\"!\n\nУкажите дату с 1901 по 2998 год.");
inline constexpr TResString rsDrawDateAfterToday = KELMA_MSG(
    "Дата и время тиража \"%s\" позже текущих!\n\nТираж еще не проведен: укажите дату и время не позже текущих.");
inline constexpr TResString rsDrawNumberNotAbove = KELMA_MSG(
    "Номер нового тиража %d должен быть больше номера последнего тиража архива (тираж %d, \"%s\")!\n\n"
    "Укажите больший номер тиража.");
inline constexpr TResString rsDrawNotAfterPrevious = KELMA_MSG(
    "Тираж \"%s\" должен быть позже предыдущего тиража архива (тираж %d, \"%s\")!\n\n"
    "Укажите более поздние дату или время тиража.");
inline constexpr TResString rsDrawNotBeforeNext = KELMA_MSG(
    "Тираж \"%s\" должен быть раньше следующего тиража архива (тираж %d, \"%s\")!\n\n"
    "Укажите более ранние дату или время тиража.");

// Results download and proxies.
inline constexpr TResString rsDownloadingDraws = KELMA_MSG("Загрузка архива тиражей...");
inline constexpr TResString rsAskRetryDownload = KELMA_MSG(
    "Ошибка загрузки архива тиражей с сайта: \"%s\"\n\nПовторить попытку?");
inline constexpr TResString rsDownloadingRange = KELMA_MSG("Загрузка тиражей %s - %s...");
inline constexpr TResString rsDownloadingDrawsDetail = KELMA_MSG(
    "Загрузка архива тиражей...\n\n%s");
inline constexpr TResString rsProxyAttempt = KELMA_MSG("Попытка %d, proxy %s : %d");
inline constexpr TResString rsSearchingProxies = KELMA_MSG("Поиск proxy-серверов");
inline constexpr TResString rsNoProxyFound = KELMA_MSG(
    "Не найдено ни одного proxy-сервера с заданными параметрами");
inline constexpr TResString rsProxyListError = KELMA_MSG(
    "Ошибка получения списка proxy-серверов!\n\n%s");
inline constexpr TResString rsProxyAutoSelectError = KELMA_MSG(
    "Ошибка автоматического выбора proxy сервера!\n\n%s");

// Settings file and the engine settings dialogs.
inline constexpr TResString rsLoadingConfig = KELMA_MSG("Загрузка файла конфигурации...");
inline constexpr TResString rsConfigReadError = KELMA_MSG(
    "Ошибка чтения файла конфигурации!\n\n%s");
inline constexpr TResString rsSavingConfig = KELMA_MSG("Сохранение файла конфигурации...");
inline constexpr TResString rsConfigWriteError = KELMA_MSG(
    "Ошибка записи в файл конфигурации!\n\n%s");
inline constexpr TResString rsColProfitAmount = KELMA_MSG("Сумма выигрыша");
inline constexpr TResString rsBadSegmentValue = KELMA_MSG(
    "Некорректное значение: %s!\n\nУкажите любое число от 1 до 9");
inline constexpr TResString rsShreddingVariablesInfo = KELMA_MSG(
    "Используемые переменные:\nn1, n2, n3, ..., nX - числа текущего тиража\n"
    "p1, p2, p3, ..., pX - числа предыдущего тиража");

// Statistics table: columns, progress and chart series.
inline constexpr TResString rsColValue = KELMA_MSG("Значение");
inline constexpr TResString rsColCount = KELMA_MSG("Количество");
inline constexpr TResString rsColCountPercent = KELMA_MSG("Кол-во в %");
inline constexpr TResString rsColNorm = KELMA_MSG("Норма");
inline constexpr TResString rsColDeviation = KELMA_MSG("Отклонение");
inline constexpr TResString rsColDeviationPercent = KELMA_MSG("Откл-ие в %");
inline constexpr TResString rsColDepth = KELMA_MSG("Глубина");
inline constexpr TResString rsColDepthPercent = KELMA_MSG("Глубина в %");
inline constexpr TResString rsColWeight = KELMA_MSG("Вес");
inline constexpr TResString rsColLastDraw = KELMA_MSG("Посл. тираж");
inline constexpr TResString rsColPeriodMin = KELMA_MSG("Период min");
inline constexpr TResString rsColPeriod = KELMA_MSG("Период");
inline constexpr TResString rsColPeriodMax = KELMA_MSG("Период max");
inline constexpr TResString rsColExpectedPrd = KELMA_MSG("Ожд. ПРД");
inline constexpr TResString rsColExpectedStf = KELMA_MSG("Ожд. СТФ");
inline constexpr TResString rsColExpectedKrn = KELMA_MSG("Ожд. КРН");
inline constexpr TResString rsColFact = KELMA_MSG("Факт");
inline constexpr TResString rsColDeltaPrd = KELMA_MSG("+/- ПРД");
inline constexpr TResString rsColDeltaStf = KELMA_MSG("+/- СТФ");
inline constexpr TResString rsColDeltaKrn = KELMA_MSG("+/- КРН");
inline constexpr TResString rsComputingStat = KELMA_MSG("Анализ тиражей и расчет статистики...");
inline constexpr TResString rsSeriesActual = KELMA_MSG("Фактические данные");
inline constexpr TResString rsSeriesAllCombs = KELMA_MSG("Все возможные комбинации");

// Statistic filters of the combination list.
inline constexpr TResString rsKeepSelected = KELMA_MSG("Оставить выделенные");
inline constexpr TResString rsDeleteSelected = KELMA_MSG("Удалить выделенные");
inline constexpr TResString rsNoValuesInSelection = KELMA_MSG(
    "В выделенном диапазоне нет значений для фильтра!");
inline constexpr TResString rsFilteringCombs = KELMA_MSG("Фильтрация комбинаций...");

// Card, layout and weekday views.
inline constexpr TResString rsRefreshingCard = KELMA_MSG("Обновление карты тиражей...");
inline constexpr TResString rsColCountShort = KELMA_MSG("Кол-во");
inline constexpr TResString rsBuildingLayout = KELMA_MSG("Построение схемы выпадения номеров...");
inline constexpr TResString rsBuildingWeekStat = KELMA_MSG(
    "Построение статистики по дням недели...");

// Draws graph and sum distribution.
inline constexpr TResString rsComputingGraphs = KELMA_MSG(
    "Анализ тиражей и построение графиков...");
inline constexpr TResString rsSeriesMean = KELMA_MSG("Среднее значение");
inline constexpr TResString rsSeriesMostFrequent = KELMA_MSG(
    "Наиболее часто встречающееся значение");
inline constexpr TResString rsSeriesActualSums = KELMA_MSG(
    "Фактическое распределение сумм (по тиражам)");
inline constexpr TResString rsSeriesTheoreticalSums = KELMA_MSG(
    "Теоретическое распределение сумм (по комбинациям)");
inline constexpr TResString rsSeriesSumLevel = KELMA_MSG(
    "Диапазон %d (от %s и выше по оси Y) - суммы %d-%d");

// Draw and combination information.
inline constexpr TResString rsColProperty = KELMA_MSG("Свойство");
inline constexpr TResString rsInfoDrawNumber = KELMA_MSG("Номер тиража:");
inline constexpr TResString rsInfoDrawDate = KELMA_MSG("Дата тиража:");

// Combination list: columns, filter history, undo and buffer.
inline constexpr TResString rsColRowNumber = KELMA_MSG("№ п.п.");
inline constexpr TResString rsColAppliedFilters = KELMA_MSG("Примененные фильтры");
inline constexpr TResString rsColValues = KELMA_MSG("Значения");
inline constexpr TResString rsColCombs = KELMA_MSG("Комбинаций");
inline constexpr TResString rsStatusCombCount = KELMA_MSG("Комбинаций: %d");
inline constexpr TResString rsHistoryUndo = KELMA_MSG("Отмена последней операции");
inline constexpr TResString rsHistoryLastDraws = KELMA_MSG("Последние тиражи");
inline constexpr TResString rsHistorySelectedCombs = KELMA_MSG("Выделенные комбинации");
inline constexpr TResString rsCreatingUndo = KELMA_MSG("Создание файла отката...");
inline constexpr TResString rsUndoing = KELMA_MSG("Отмена изменений...");
inline constexpr TResString rsCreatingBuffer = KELMA_MSG("Создание буфера комбинаций...");
inline constexpr TResString rsLoadingBuffer = KELMA_MSG("Загрузка буфера комбинаций...");
inline constexpr TResString rsBufferLoadError = KELMA_MSG(
    "Ошибка загрузки буфера комбинаций!\n\n%s");
inline constexpr TResString rsDeletingLastDraws = KELMA_MSG(
    "Удаление из списка комбинаций %d последних тиражей...");
inline constexpr TResString rsDeletingLastDrawsProgress = KELMA_MSG(
    "Удаление из списка комбинаций %d последних тиражей ( завершено %.0f %% )...");
inline constexpr TResString rsDeletingSelectedCombs = KELMA_MSG(
    "Удаление выделенных комбинаций...");
inline constexpr TResString rsUniqueNumbersInfo = KELMA_MSG(
    "В текущем списке комбинаций содержится %d уникальных номеров");
inline constexpr TResString rsSearchingDraws = KELMA_MSG("Поиск по архиву тиражей...");
inline constexpr TResString rsCombFoundInDraws = KELMA_MSG(
    "Выделенная комбинация найдена в следующих тиражах:");
inline constexpr TResString rsCombNotFoundInDraws = KELMA_MSG(
    "Выделенная комбинация не найдена архиве тиражей!");
inline constexpr TResString rsCombFilesFilter = KELMA_MSG("Файлы комбинаций (*.lcv)|*.lcv");

// Combination generation.
inline constexpr TResString rsGenModeFull = KELMA_MSG(
    "Полный список (все возможные для данного лото варианты)");
inline constexpr TResString rsGenModeAnyOf = KELMA_MSG(
    "Мои числа - должно присутствовать любое из указанных");
inline constexpr TResString rsGenModeOnlyFrom = KELMA_MSG(
    "Мои числа - комбинации только из списка указанных");
inline constexpr TResString rsGenModeExclude = KELMA_MSG(
    "Мои числа - исключить комбинации с любым из указанных");
inline constexpr TResString rsGenModeCsv = KELMA_MSG(
    "Загрузить список из заранее подготовленного CSV-файла");
inline constexpr TResString rsGeneratingCombs = KELMA_MSG("Генерация возможных комбинаций...");
inline constexpr TResString rsGenerateError = KELMA_MSG("Ошибка генерации файла комбинаций!\n\n%s");
inline constexpr TResString rsBadMyNumber = KELMA_MSG(
    "Некорректное значение в списке моих чисел: \"%s\"!\n\nУкажите цифры от 0 до 9 через "
    "точку с запятой или запятую.");
