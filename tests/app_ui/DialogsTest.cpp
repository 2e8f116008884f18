// The draw and proxy dialogs, and the boxes of runs without a person.

#include "app/core/AppStartup.h"
#include "app/ui/ProgramEnv.h"
#include "app/ui/UnitDraw.h"
#include "app/ui/UnitProxy.h"
#include "support/RDateUtils.h"
#include "support/RDialogsScripted.h"
#include "tests/app_ui/AppUiTestEnv.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>

#include <gtest/gtest.h>

namespace {

TDrawRec Draw(std::uint32_t number, int d1, int d2, const char* key)
{
    TDrawRec draw;
    draw.Number = number;
    draw.Digits = {static_cast<std::uint8_t>(d1), static_cast<std::uint8_t>(d2)};
    draw.Key.Set(QString::fromLatin1(key));
    return draw;
}

class DrawDialogTest : public ::testing::Test {
protected:
    DrawDialogTest()
    {
        InstallDrawDateHooks();
        FPreviousClock = SetClock([] { return QDateTime(QDate(2016, 8, 10), QTime(20, 5)); });
    }
    ~DrawDialogTest() override { SetClock(FPreviousClock); }

    QLineEdit* Digits() { return FForm.findChild<QLineEdit*>(QStringLiteral("edDrawData")); }
    // Presses OK with the text; true when the dialog accepted it.
    bool PressOk(const QString& text)
    {
        FForm.setResult(QDialog::Rejected);
        Digits()->setText(text);
        FForm.OkBtn()->click();
        return FForm.result() == QDialog::Accepted;
    }

    TScriptedBoxes FBoxes;
    TFormDraw FForm;
    TClock FPreviousClock;
};

TEST_F(DrawDialogTest, AcceptsExactlyTwoDigitsSplitByCommaOrSemicolon)
{
    FForm.LoadDraw(Draw(5, 1, 2, "08/09/2016 M"), true);
    for (const char* good : {"3,7", "3;7", "3 ; 7", " 0 , 9 "})
        EXPECT_TRUE(PressOk(QString::fromLatin1(good))) << good;
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    for (const char* bad : {"3", "3;7;1", "10;2", "a;b", "-1;2", "", ";"})
        EXPECT_FALSE(PressOk(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(FBoxes.Boxes().size(), 7);
    EXPECT_EQ(FBoxes.Last().Text, "Введена некорректная комбинация!");
    EXPECT_EQ(FBoxes.Last().Title, "Ошибка");
}

TEST_F(DrawDialogTest, KeyFollowsTheDateAndTheTimeOfDay)
{
    FForm.LoadDraw(Draw(41, 7, 3, "12/31/2016 E"), true);
    auto* number = FForm.findChild<QSpinBox*>(QStringLiteral("edDrawNumber"));
    auto* date = FForm.findChild<QDateEdit*>(QStringLiteral("edDrawDate"));
    auto* time = FForm.findChild<QTimeEdit*>(QStringLiteral("edDrawTime"));
    EXPECT_EQ(number->value(), 41);
    EXPECT_EQ(Digits()->text(), "7;3");
    EXPECT_EQ(date->date(), QDate(2016, 12, 31));
    // The evening letter reads back as 19:57.
    EXPECT_EQ(time->time(), QTime(19, 57));

    TDrawRec draw;
    FForm.StoreDraw(draw);
    EXPECT_EQ(draw.Key.Get(), "12/31/2016 E");
    EXPECT_EQ(draw.Number, 41u);
    EXPECT_EQ(draw.Digits[0], 7);

    // 1:00 to 13:59 is the midday draw, the rest of the day the evening draw.
    for (const auto& [clock, letter] : {std::pair{QTime(13, 59), "M"}, std::pair{QTime(1, 0), "M"},
                                        std::pair{QTime(14, 0), "E"}, std::pair{QTime(0, 30), "E"}}) {
        time->setTime(clock);
        number->setValue(42);
        Digits()->setText(QStringLiteral("9, 0"));
        FForm.StoreDraw(draw);
        EXPECT_EQ(draw.Key.Get(), QStringLiteral("12/31/2016 ") + QLatin1String(letter)) << clock.toString().toStdString();
        EXPECT_EQ(draw.Number, 42u);
        EXPECT_EQ(draw.Digits[0], 9);
        EXPECT_EQ(draw.Digits[1], 0);
    }
}

TEST_F(DrawDialogTest, NewDrawStartsAtTheClockAndTheShortFormHasNoDate)
{
    FForm.LoadDraw(Draw(1, 0, 0, ""), true);
    EXPECT_EQ(FForm.findChild<QDateEdit*>(QStringLiteral("edDrawDate"))->date(), QDate(2016, 8, 10));
    EXPECT_EQ(FForm.findChild<QTimeEdit*>(QStringLiteral("edDrawTime"))->time(), QTime(20, 5));
    TDrawRec draw;
    FForm.StoreDraw(draw);
    EXPECT_EQ(draw.Key.Get(), "08/10/2016 E");

    // Without the date the key stays as it was.
    FForm.LoadDraw(Draw(3, 1, 1, "08/02/2016 M"), false);
    EXPECT_EQ(FForm.height(), 200);
    EXPECT_TRUE(FForm.findChild<QDateEdit*>(QStringLiteral("edDrawDate"))->isHidden());
    EXPECT_TRUE(FForm.findChild<QLabel*>(QStringLiteral("lblDrawDate"))->isHidden());
    TDrawRec kept = Draw(3, 1, 1, "08/02/2016 M");
    Digits()->setText(QStringLiteral("5;6"));
    FForm.StoreDraw(kept);
    EXPECT_EQ(kept.Key.Get(), "08/02/2016 M");
    EXPECT_EQ(kept.Digits[0], 5);
}

class ProxyDialogTest : public ::testing::Test {
protected:
    template <typename T>
    T* Find(const char* name)
    {
        return FForm.findChild<T*>(QLatin1String(name));
    }
    bool EditsEnabled()
    {
        return Find<QLineEdit>("edServer")->isEnabled() && Find<QSpinBox>("edPort")->isEnabled()
               && Find<QLineEdit>("edUsername")->isEnabled() && Find<QLineEdit>("edPassword")->isEnabled();
    }
    bool EditsDisabled()
    {
        return !Find<QLineEdit>("edServer")->isEnabled() && !Find<QSpinBox>("edPort")->isEnabled()
               && !Find<QLineEdit>("edUsername")->isEnabled() && !Find<QLineEdit>("edPassword")->isEnabled();
    }

    TFormProxy FForm;
};

TEST_F(ProxyDialogTest, ModeChoosesTheRadioAndOnlyTheManualModeEditsFields)
{
    TProxy proxy;
    proxy.Mode = 2;
    proxy.Server = QStringLiteral("proxy.local");
    proxy.Port = 3128;
    proxy.UserName = QStringLiteral("user");
    proxy.Password = QStringLiteral("secret");
    FForm.LoadProxy(proxy);
    EXPECT_EQ(FForm.windowTitle(), "Параметры proxy-сервера");
    EXPECT_TRUE(Find<QRadioButton>("rbProxyManual")->isChecked());
    EXPECT_TRUE(EditsEnabled());
    EXPECT_EQ(Find<QLineEdit>("edServer")->text(), "proxy.local");
    EXPECT_EQ(Find<QSpinBox>("edPort")->value(), 3128);

    Find<QRadioButton>("rbProxyOff")->click();
    EXPECT_TRUE(EditsDisabled());
    TProxyChoice off = FForm.Choice();
    EXPECT_EQ(off.Mode, 0);
    // The fields are kept for the next time the fixed proxy is chosen.
    EXPECT_EQ(off.Server, "proxy.local");
    EXPECT_EQ(off.Port, 3128);

    Find<QRadioButton>("rbProxyAuto")->click();
    EXPECT_TRUE(EditsDisabled());
    const TProxyChoice automatic = FForm.Choice();
    EXPECT_EQ(automatic.Mode, 1);
    EXPECT_EQ(automatic.Server, "");
    EXPECT_EQ(automatic.Port, 0);
    EXPECT_EQ(automatic.UserName, "");
    EXPECT_EQ(automatic.Password, "");

    Find<QRadioButton>("rbProxyManual")->click();
    EXPECT_TRUE(EditsEnabled());
    Find<QLineEdit>("edServer")->setText(QStringLiteral("10.0.0.1"));
    Find<QSpinBox>("edPort")->setValue(8080);
    const TProxyChoice manual = FForm.Choice();
    EXPECT_EQ(manual.Mode, 2);
    EXPECT_EQ(manual.Server, "10.0.0.1");
    EXPECT_EQ(manual.Port, 8080);
    EXPECT_EQ(manual.Password, "secret");
}

TEST_F(ProxyDialogTest, OtherModesLoadAsNoProxy)
{
    TProxy proxy;
    proxy.Mode = 7;
    FForm.LoadProxy(proxy);
    EXPECT_TRUE(Find<QRadioButton>("rbProxyOff")->isChecked());
    EXPECT_TRUE(EditsDisabled());
    proxy.Mode = 1;
    FForm.LoadProxy(proxy);
    EXPECT_TRUE(Find<QRadioButton>("rbProxyAuto")->isChecked());
    EXPECT_EQ(FForm.Choice().Mode, 1);
}

TEST(UnattendedBoxes, AreWrittenAsOneEntryAndNeverAgreeToAQuestion)
{
    TBoxRequest error;
    error.Title = QStringLiteral("Ошибка");
    error.Text = QStringLiteral("Строка 1\n\nСтрока 2");
    EXPECT_EQ(UnattendedBoxEntry(error), "[Ошибка] Строка 1\n\nСтрока 2\n");
    EXPECT_EQ(UnattendedBoxAnswer(error), IDOK);

    TBoxRequest question;
    question.Buttons = TBoxButtons::YesNo;
    question.DefaultButton = IDYES;
    EXPECT_EQ(UnattendedBoxAnswer(question), IDNO);
}

TEST(UnattendedBoxes, FixedTodayTakesOnlyARealDate)
{
    EXPECT_EQ(ParseFixedToday(QStringLiteral("2016-08-10")), QDate(2016, 8, 10));
    EXPECT_EQ(ParseFixedToday(QStringLiteral(" 2020-02-29 ")), QDate(2020, 2, 29));
    EXPECT_FALSE(ParseFixedToday(QStringLiteral("2019-02-29")).isValid());
    EXPECT_FALSE(ParseFixedToday(QStringLiteral("08/10/2016")).isValid());
    EXPECT_FALSE(ParseFixedToday(QString()).isValid());
}

} // namespace
