// The scenario log of a run and what a run tells when it or its log fails.

#include "tests/app_core/scenarios/ScriptRunnerTestEnv.h"

TEST_F(ScriptRunnerTest, LogOfOneSmallRun)
{
    FLog.Enabled = [] { return true; };
    SetList({{1, 2}, {3, 4}});
    SetLines({Line("CURR:0#FIRST", {"TSF1#NUMS:10#LDV:1#SF:0"}, "log"), Line("FULL:0#SKIP")});
    FRunner.ScriptRun();
    // Line 1 keeps 2 (one left), then 4 would empty the list and is undone; line 2 has no
    // filters and skips its hundred combinations.
    const char* const expected[] = {
        "### ЗАПУСК СЦЕНАРИЯ ##########################################################################",
        "==============================================================================================",
        "=== Выполнение сценария для смещения 000000 ==================================================",
        "==============================================================================================",
        "----------------------------------------------------------------------------------------------",
        "Выполнение строки 001: \"CURR:0#FIRST|TSF1#NUMS:10#LDV:1#SF:0| | | | | | |log\"",
        "----------------------------------------------------------------------------------------------",
        "Создание всех вариантов фильтров...",
        "Создано 1 вариантов фильтров.",
        "",
        "----------------------------------------------------------------------------------------------",
        "Применение набора фильтров 001: \"TSF#NUMS:10#LDV:1#SF:0\"",
        "----------------------------------------------------------------------------------------------",
        "Создание начального списка комбинаций...",
        "Количество комбинаций в списке: 2",
        "Анализ тиражей и расчет статистики \"Числа тиража\" для выборки в 10 тиражей...",
        "< [2] кол-во: 4 (20,00000 %), отклонение: - (- %), глубина: 1 (14,29 %), вес: 1,00 >",
        "< [1] кол-во: 4 (20,00000 %), отклонение: - (- %), глубина: 3 (42,86 %), вес: 3,00 >",
        "< [6] кол-во: 3 (15,00000 %), отклонение: - (- %), глубина: 2 (28,57 %), вес: 2,00 >",
        "< [9] кол-во: 2 (10,00000 %), отклонение: - (- %), глубина: 5 (71,43 %), вес: 5,00 >",
        "< [5] кол-во: 2 (10,00000 %), отклонение: - (- %), глубина: 6 (85,71 %), вес: 6,00 >",
        "< [4] кол-во: 2 (10,00000 %), отклонение: - (- %), глубина: 1 (14,29 %), вес: 1,00 >",
        "< [3] кол-во: 2 (10,00000 %), отклонение: - (- %), глубина: 3 (42,86 %), вес: 3,00 >",
        "< [7] кол-во: 1 (5,00000 %), отклонение: - (- %), глубина: 7 (100,00 %), вес: 7,00 >",
        "< [8] кол-во: 0 (0,00000 %), отклонение: - (- %), глубина: - (- %), вес: - >",
        "< [0] кол-во: 0 (0,00000 %), отклонение: - (- %), глубина: - (- %), вес: - >",
        "Шаг 001. Выделение строки: < [2] кол-во: 4 (20,00000 %), отклонение: - (- %), глубина: 1 (14,29 %), вес: 1,00 >",
        "Оставляем выделенные значения...",
        "Количество комбинаций в списке: 1",
        "Шаг 002. Выделение строки: < [4] кол-во: 2 (10,00000 %), отклонение: - (- %), глубина: 1 (14,29 %), вес: 1,00 >",
        "Оставляем выделенные значения...",
        "Количество комбинаций в списке: 0",
        "{UNDO} Откат изменений...",
        "{*} Добавление ставки, режим: \"Выбрать первую комбинацию в списке\"",
        "{+} Ставка на тираж 11 добавлена в список ставок: [1;2]",
        "----------------------------------------------------------------------------------------------",
        "----------------------------------------------------------------------------------------------",
        "Выполнение строки 002: \"FULL:0#SKIP| | | | | | | |\"",
        "----------------------------------------------------------------------------------------------",
        "Создание всех вариантов фильтров...",
        "Создано 0 вариантов фильтров.",
        "{ERROR} Фильтры не применялись!",
        "",
        "Создание начального списка комбинаций...",
        "Количество комбинаций в списке: 100",
        "{*} Добавление ставки, режим: \"Пропустить (игнорировать) эту ставку\"",
        "{-} Ставка игнорирована!",
        "### ЗАВЕРШЕНИЕ СЦЕНАРИЯ ######################################################################",
    };
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(std::size(expected)));
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], U(expected[i])) << i;
    EXPECT_EQ(FOpenedLogs.size(), 1);
}

TEST_F(ScriptRunnerTest, LogThatCannotBeWrittenIsReportedOnceAndTheRunGoesOn)
{
    FLog.Enabled = [] { return true; };
    // A folder where the log file would go.
    ASSERT_TRUE(QDir(FDir.path()).mkdir(TScriptLog::FileBaseName(ClockNow())));
    SetLines({Line("FULL:0#FIRST"), Line("FULL:0#LAST")});
    FRunner.ScriptRun();
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка записи журнала: "))) << FBoxes.Last().Text.toStdString();
    EXPECT_EQ(StakeTexts().size(), 2);
}

TEST_F(ScriptRunnerTest, FailedRunIsLoggedAndItsErrorIsTheOnlyMessage)
{
    // A bad filter in the second line ends the run: the log records why, and the error is
    // the one message, followed by what became of the log when the desktop did not show it.
    FLog.Enabled = [] { return true; };
    SetLines({Line("FULL:0#FIRST"), Line("FULL:0#FIRST", {"TSD1#NUMS:#LNO:#SF:0"})});
    const QString failure = U("Некорректное описание фильтра: TSD1#NUMS:#LNO:#SF:0!");
    for (const bool opens : {true, false}) {
        SCOPED_TRACE(opens);
        for (const QString& file : QDir(FDir.path()).entryList({TScriptLog::FileMask()}, QDir::Files))
            QFile::remove(FDir.filePath(file));
        FLog.OpenFile = [opens](const QString&) {
            if (!opens)
                throw Exception(U("нет программы для файлов этого типа"));
        };
        QString message;
        try {
            FRunner.ScriptRun();
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            message = e.Message();
        }
        const QStringList log = LogLines();
        ASSERT_GE(log.size(), 2);
        EXPECT_EQ(log[log.size() - 2], U("{ERROR} ") + failure);
        EXPECT_EQ(log.last(), U("### ЗАВЕРШЕНИЕ СЦЕНАРИЯ ######################################################################"));
        if (opens) {
            EXPECT_EQ(message, failure);
        } else {
            const QString logName = QDir(FDir.path()).entryList({TScriptLog::FileMask()}, QDir::Files).value(0);
            EXPECT_EQ(message, failure + U("\n\nФайл \"") + QDir::toNativeSeparators(FDir.filePath(logName))
                                   + U("\" сохранён, но ни одна программа его не открыла: нет программы для файлов "
                                       "этого типа."));
        }
        EXPECT_TRUE(FBoxes.Boxes().isEmpty());
        EXPECT_FALSE(FState.FScriptRunning);
    }
}

TEST_F(ScriptRunnerTest, LogTheDesktopDidNotShowIsToldOnceAfterTheRun)
{
    FLog.Enabled = [] { return true; };
    FLog.OpenFile = [](const QString&) { throw Exception(U("нет программы для файлов этого типа")); };
    SetLines({Line("FULL:0#FIRST")});
    FRunner.ScriptRun();
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Файл \""))) << FBoxes.Last().Text.toStdString();
    EXPECT_TRUE(FBoxes.Last().Text.endsWith(U("\" сохранён, но ни одна программа его не открыла: нет программы для "
                                               "файлов этого типа.")));
    EXPECT_EQ(StakeTexts().size(), 1);
}
