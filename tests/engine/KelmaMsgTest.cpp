#include "engine/KelmaMsg.h"
#include "engine/Vex_Chain.h"
#include "engine/Vex_Shrd.h"

#include "platform/DelphiText.h"
#include "tests/common/MarkingTranslator.h"

#include <gtest/gtest.h>

#include <QString>

TEST(KelmaMsg, TextsComeBackAsWritten)
{
    EXPECT_EQ(LoadResString(rsBadCombination), QStringLiteral("Некорректная комбинация: \"%s\"!"));
    EXPECT_EQ(LoadResString(rsOriginManual), QStringLiteral("Вручную"));
    EXPECT_EQ(LoadResString(rsGroupOgn), QStringLiteral("Характеристическое число Огнева"));
    EXPECT_EQ(LoadResString(rsLevelModeWMV), QStringLiteral("\"Вес\": не менее заданного значения"));
    EXPECT_EQ(LoadResString(rsBadNumsCount), QStringLiteral("Указано недопустмое количество используемых чисел!"));
    EXPECT_EQ(LoadResString(rsLogScriptStart),
              QStringLiteral("### ЗАПУСК СЦЕНАРИЯ ") + QString(74, QLatin1Char('#')));
    // Line breaks are "\n".
    const QString access = LoadResString(rsExclusiveAccessError);
    EXPECT_TRUE(access.startsWith(QStringLiteral("Невозможно получить монопольный доступ к файлам данных!\n\n")));
    EXPECT_TRUE(access.endsWith(QStringLiteral("запустите её оттуда.\n\nПрограмма будет закрыта!")));
    EXPECT_FALSE(access.contains(QLatin1Char('\r')));
}

TEST(KelmaMsg, IndexedTablesFollowTheStoredOrder)
{
    EXPECT_EQ(LoadResString(rsGroupNames[0]), QStringLiteral("Числа тиража"));
    EXPECT_EQ(LoadResString(rsGroupNames[10]), QStringLiteral("Переходы (изменения) значений между тиражами"));
    EXPECT_EQ(LoadResString(rsGroupNames[12]), QStringLiteral("Методы шинковки"));
    EXPECT_EQ(LoadResString(rsStartShortCaptions[1]), QStringLiteral("Исключить %d тиражей"));
    EXPECT_EQ(LoadResString(rsActionShortCaptions[5]), QStringLiteral("Система [комб]"));
    EXPECT_EQ(LoadResString(rsActionLongCaptions[8]),
              QStringLiteral("Не делать ставок (для последовательного выполнения)"));
    EXPECT_EQ(LoadResString(rsLevelModeCaptions[0]), QStringLiteral("Весь список (без условий)"));
    EXPECT_EQ(LoadResString(rsLevelModeCaptions[18]),
              QStringLiteral("\"Количество\": из заданного списка процентов"));
    EXPECT_EQ(LoadResString(rsLevelModeCaptions[22]), QStringLiteral("\"Период min\": не менее заданного значения"));
    EXPECT_EQ(LoadResString(rsLevelModeCaptions[31]), QStringLiteral("\"Значения\": из заданного списка значений"));
    EXPECT_EQ(LoadResString(rsStopModeCaptions[2]), QStringLiteral("Пока список не будет пуст и откатить на шаг"));
}

TEST(KelmaMsg, TemplatesFormat)
{
    // Method captions are formatted with the method's parameter; the shredding caption then
    // takes its formula.
    EXPECT_EQ(StatClassCaption(TstChain2PosClass, 1),
              QStringLiteral("Переходы чисел между 2 тиражами в 1 позиции"));
    EXPECT_EQ(Format(StatClassCaption(TstShreddingStatClass, 3), {QStringLiteral("(n1+n2)/(n1-n2)")}),
              QStringLiteral("Метод шинковки 3: (n1+n2)/(n1-n2)"));
    // An error text follows its message after one empty line.
    EXPECT_EQ(Format(LoadResString(rsInitError), {QStringLiteral("Диск переполнен")}),
              QStringLiteral("Ошибка инициализации программы!\n\nДиск переполнен"));
    EXPECT_EQ(Format(LoadResString(rsCheckingStakesProgress), {12.4}),
              QStringLiteral("Проверка результатов ставок ( завершено 12 % )..."));
    EXPECT_EQ(Format(LoadResString(rsStakesLogLine),
                     {QStringLiteral("7"), QStringLiteral("A"), QStringLiteral("1;2"), 1, QStringLiteral("1;3"),
                      1, 5.5}),
              QStringLiteral("Тираж № 7. Ставка: \"A\" [1;2] {1}. Результаты тиража: [1;3]. Совпадений: 1. "
                             "Профит: 5,50."));
}

TEST(KelmaMsg, LanguageModuleReplacesTextsAtTheNextFetch)
{
    {
        const TMarkingModule module{"KelmaMsg"};
        EXPECT_EQ(LoadResString(rsGroupNum), QStringLiteral("[EN] Числа тиража"));
        EXPECT_EQ(LoadResString(rsOriginSystem), QStringLiteral("[EN] Система"));
        EXPECT_EQ(LoadResString(rsLevelModeCaptions[1]),
                  QStringLiteral("[EN] \"Глубина\": не менее заданного значения"));
        // Texts of other units are not in this module.
        EXPECT_EQ(LoadResString(RESSTR("Parsing", "Деление на нуль")), QStringLiteral("Деление на нуль"));
    }
    EXPECT_EQ(LoadResString(rsGroupNum), QStringLiteral("Числа тиража"));
    EXPECT_EQ(LoadResString(rsOriginSystem), QStringLiteral("Система"));
}
