#include "app/core/stakes/StakeRows.h"
#include "tests/common/MarkingTranslator.h"
#include "tests/common/TestHelpers.h"

#include <gtest/gtest.h>

// The grid's captions and the origin column are texts of the message table, fetched each time
// the grid asks: a language module changes them at the next repaint, and taking it away brings
// the built-in ones back.
TEST(StakeRowsLanguageTest, CaptionsAndOriginsFollowTheLanguageModule)
{
    const QStringList captions = {U("№ тиража"), U("Вид ставки"), U("Моя ставка"), U("Выборка"),
                                  U("Результаты тиража"), U("Совпадений"), U("Совпадения"), U("Профит"),
                                  U("Комментарий")};
    const std::pair<std::uint8_t, const char*> origins[] = {
        {soManual, "Вручную"}, {soRegular, "Регуляр"}, {soScript, "Сценарий"}, {soSystem, "Система"}};
    const auto originText = [](std::uint8_t origin) {
        return StakeRowView(StakeOn(origin, 12, 3, 7, "", -10, 12)).Texts[1];
    };

    ASSERT_EQ(StakeColumnCaptions().size(), StakeColumnCount);
    {
        const TMarkingModule module({"KelmaMsg"});
        QStringList marked;
        for (const QString& caption : captions)
            marked.append(TMarkingModule::Marked(caption));
        EXPECT_EQ(StakeColumnCaptions(), marked);
        for (const auto& [origin, text] : origins)
            EXPECT_EQ(originText(origin), TMarkingModule::Marked(U(text))) << text;
        // A separator row has no origin to translate.
        EXPECT_EQ(originText(soBlank), QString());
    }
    EXPECT_EQ(StakeColumnCaptions(), captions);
    for (const auto& [origin, text] : origins)
        EXPECT_EQ(originText(origin), U(text)) << text;
}
