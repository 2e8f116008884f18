#include "app/core/online/OnlineScripts.h"
#include "app/core/online/SwSystems.h"
#include "app/core/online/SwTexts.h"
#include "app/core/online/SystemsExchange.h"
#include "tests/common/MarkingTranslator.h"
#include "tests/common/TestHelpers.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

QStringList Us(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list.append(U(text));
    return list;
}

// A catalogue entry that shows every text of its own: mine, universal, hidden by the user.
tScriptInfo OwnHiddenUniversalEntry()
{
    tScriptInfo info;
    info.Mine = true;
    info.Universal = true;
    info.RatingYou = -1;
    return info;
}

// Each text of the online workflow as the program shows it, with its built-in wording.
struct TShown {
    const char* What;
    std::function<QStringList()> Texts;
    QStringList Russian;
};

std::vector<TShown> ShownTexts()
{
    return {
        {"catalogue row: type, program and own rating",
         [] {
             const QStringList texts = ScriptInfoTexts(OwnHiddenUniversalEntry());
             return QStringList{texts.at(0), texts.at(3), texts.at(9)};
         },
         Us({"Мой", "Универсальный", "Скрытый"})},
        {"catalogue row of another user", [] { return QStringList{ScriptInfoTexts(tScriptInfo{}).at(0)}; },
         Us({"Общий"})},
        {"catalogue filter", [] { return TOnlineScripts::FilterCaptions(); },
         Us({"Скрытые", "Все, включая скрытые", "Все, кроме скрытых (по умолчанию)", "Только мои",
             "Только публичные", "С моими оценками", "Без моих оценок", "Новые (24 часа с момента публикации)"})},
        {"systems list columns", [] { return TSystemsExchange::ColumnCaptions(); },
         Us({"Название", "Автор", "Числа", "Блок", "Комбинаций", "Дата создания", "Статус", "Загрузок",
             "Последняя", "Комментарии", "Ссылка"})},
        {"placeholder row of an unreadable systems list", [] { return QStringList{SystemListPlaceholder().Title}; },
         Us({"Список систем не доступен!"})},
    };
}

} // namespace

TEST(SwTexts, ServerTimesShowInOneShapeAndReadBack)
{
    struct TCase {
        const char* Text;
        QDateTime Time;   // invalid: the text names no time
    };
    const TCase cases[] = {
        {"2016-08-02 00:15:00", QDateTime(QDate(2016, 8, 2), QTime(0, 15))},
        // Afternoon hours stay 13..23 whatever the locale says of AM and PM.
        {"2016-08-10 23:59:59", QDateTime(QDate(2016, 8, 10), QTime(23, 59, 59))},
        {"2000-02-29 12:00:01", QDateTime(QDate(2000, 2, 29), QTime(12, 0, 1))},
        {"", QDateTime()},
        {"2016-08-02T00:15:00", QDateTime()},
        {"2016-13-01 00:00:00", QDateTime()},
        {"2016-08-02 24:00:00", QDateTime()},
        {"02.08.2016 00:15:00", QDateTime()},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        const QDateTime read = SwTimeFromText(U(c.Text));
        EXPECT_EQ(read.isValid(), c.Time.isValid());
        if (!c.Time.isValid())
            continue;
        EXPECT_EQ(read, c.Time);
        EXPECT_EQ(SwTimeText(c.Time), U(c.Text));
    }
    // No time shows as nothing, not as a zero date.
    EXPECT_EQ(SwTimeText(QDateTime()), QString());
}

TEST(SwTexts, BoxTextsBreakLinesWithNewLines)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"Ошибка!\r\rнет связи", "Ошибка!\n\nнет связи"},
        {"a\r\nb", "a\n\nb"},   // every CR is a break of its own, as the program wrote them
        {"\r", "\n"},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(SwBoxText(U(text)), U(shown)) << text;
}

TEST(OnlineTexts, BuiltInWordingAndTheLanguageModuleOfTheMessageTable)
{
    // Every one of them is the message table's text: a module that translates the table
    // translates them all, at the next fetch.
    {
        const TMarkingModule module({"KelmaMsg"});
        for (const TShown& shown : ShownTexts())
            EXPECT_EQ(shown.Texts(), TMarkingModule::Marked(shown.Russian)) << shown.What;
    }
    // Without it the built-in wording is back.
    for (const TShown& shown : ShownTexts())
        EXPECT_EQ(shown.Texts(), shown.Russian) << shown.What;
}
