// The draw and proxy dialogs, and the boxes of runs without a person.

#include "app/core/shell/AppStartup.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/archive/UnitDraw.h"
#include "app/ui/archive/UnitProxy.h"
#include "support/RDateUtils.h"
#include "support/RDialogsScripted.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/Screenshot.h"

#include <QApplication>
#include <QDateEdit>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

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
    // At 20:05 the newest draw held is the evening one of the day.
    EXPECT_EQ(FForm.findChild<QTimeEdit*>(QStringLiteral("edDrawTime"))->time(), QTime(19, 57));
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

// Under the locale of a case, restoring the tests' Russian locale afterwards.
class TDefaultLocale {
public:
    explicit TDefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~TDefaultLocale() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    TDefaultLocale(const TDefaultLocale&) = delete;
    TDefaultLocale& operator=(const TDefaultLocale&) = delete;
};

void Settle()
{
    for (int pass = 0; pass < 3; ++pass) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

// Every visible label shows its whole text, and the date editor its whole date, in the dialog
// as it is laid out now.
void ExpectNothingClipped(const TFormDraw& form, const std::string& where)
{
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        if (!label->isVisible())
            continue;
        const std::string name = where + " " + label->objectName().toStdString();
        EXPECT_GE(label->width(), label->sizeHint().width()) << name;
        EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text())) << name;
    }
    for (const QAbstractSpinBox* editor : form.findChildren<QAbstractSpinBox*>()) {
        if (!editor->isVisible())
            continue;
        const std::string name = where + " " + editor->objectName().toStdString();
        EXPECT_GE(editor->width(), editor->sizeHint().width()) << name;
        // The text sits in the editor's line with a margin of 2 pixels on each side.
        const QLineEdit* line = editor->findChild<QLineEdit*>();
        ASSERT_NE(line, nullptr) << name;
        EXPECT_GE(line->contentsRect().width() - 4, line->fontMetrics().horizontalAdvance(line->text()))
            << name << " \"" << line->text().toStdString() << "\"";
    }
}

TEST(DrawDialogLayout, EveryLabelAndDateShowsInFullInRussianAndEnglishLocales)
{
    InstallDrawDateHooks();
    const QLocale locales[] = {QLocale(QLocale::Russian, QLocale::Russia),
                               QLocale(QLocale::English, QLocale::UnitedStates)};
    // Long weekday and month names, the widest day numbers, and the ends of the year.
    const char* keys[] = {"09/28/2025 E", "09/27/2000 M", "12/31/2016 E", "01/01/2017 M", "02/29/2012 E"};
    for (const QLocale& locale : locales) {
        const TDefaultLocale pinned(locale);
        TFormDraw form;
        form.LoadDraw(Draw(2147483647, 8, 8, keys[0]), true);
        form.show();
        Settle();
        const std::string name = locale.name().toStdString();
        // Never below the designed size.
        EXPECT_GE(form.width(), 380) << name;
        EXPECT_GE(form.height(), 250) << name;
        auto* date = form.findChild<QDateEdit*>(QStringLiteral("edDrawDate"));
        for (const char* key : keys) {
            form.LoadDraw(Draw(2147483647, 8, 8, key), true);
            Settle();
            ASSERT_EQ(date->displayFormat(), locale.dateFormat(QLocale::LongFormat)) << name;
            ExpectNothingClipped(form, name + " " + key);
        }
        // Even squeezed to the least width a layout may give it, the editor shows every date.
        const QSize least = date->minimumSize().expandedTo(date->minimumSizeHint());
        for (const char* key : keys) {
            form.LoadDraw(Draw(1, 0, 0, key), true);
            date->resize(least);
            const QLineEdit* line = date->findChild<QLineEdit*>();
            EXPECT_GE(line->contentsRect().width() - 4, line->fontMetrics().horizontalAdvance(line->text()))
                << name << " " << line->text().toStdString();
        }
        // Without the date row the rest still fits.
        form.LoadDraw(Draw(12, 1, 2, ""), false);
        Settle();
        ExpectNothingClipped(form, name + " without date");
        EXPECT_EQ(form.height(), 200) << name;
    }
}

// Texts of another language, all of them much longer than the built-in ones.
class TLongerTexts : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (qstrcmp(context, "FormDraw") != 0)
            return QString();
        return QString::fromUtf8(source) + QStringLiteral(" (a translation that is a good deal longer)");
    }
    bool isEmpty() const override { return false; }
};

TEST(DrawDialogLayout, GrowsWithTheTextsOfAnotherLanguage)
{
    InstallDrawDateHooks();
    TFormDraw form;
    form.LoadDraw(Draw(7, 1, 2, "08/09/2016 M"), true);
    form.show();
    Settle();
    const int builtInWidth = form.width();
    {
        TLongerTexts longer;
        QCoreApplication::installTranslator(&longer);
        Settle();
        EXPECT_GT(form.width(), builtInWidth);
        ExpectNothingClipped(form, "translated");
        QCoreApplication::removeTranslator(&longer);
    }
    Settle();
    EXPECT_EQ(form.width(), builtInWidth);
}

TEST(DrawDialogLayout, ScreenshotUnderTheRussianLocale)
{
    InstallDrawDateHooks();
    TFormDraw form;
    form.setWindowTitle(QStringLiteral("Введите данные следующего тиража"));
    // A Sunday in September: the widest date of the Russian long format.
    form.LoadDraw(Draw(10234, 7, 3, "09/28/2025 E"), true);
    const QString path = SaveScreenshot(&form, QStringLiteral("FormDraw"), form.size());
    ASSERT_FALSE(path.isEmpty());
    ExpectNothingClipped(form, "screenshot");
    const QImage picture(path);
    EXPECT_EQ(picture.size(), form.size() * form.devicePixelRatio());
    EXPECT_EQ(form.findChild<QDateEdit*>(QStringLiteral("edDrawDate"))->findChild<QLineEdit*>()->text(),
              "воскресенье, 28 сентября 2025 г.");
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
    EXPECT_EQ(automatic.UserName, "user");   // kept for the fixed proxy
    EXPECT_EQ(automatic.Password, "secret");

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

// The host field keeps only what a host name can hold: bidi and zero-width characters, blanks, '/'
// and a lone surrogate go; letters of any plane and script, marks, '_' and IPv6 brackets stay.
TEST_F(ProxyDialogTest, HostFieldTakesOnlyWhatAHostNameCanHold)
{
    Find<QRadioButton>("rbProxyManual")->click();
    Find<QLineEdit>("edServer")->insert(
        QStringView(u"[good\u202Eexe.moc\u202C\u200B\u200B _/\t\uFEFF\U0001D41A\xD800" u"прокси.рф u\u0308:1]").toString());
    EXPECT_EQ(FForm.Choice().Server, QStringView(u"[goodexe.moc_\U0001D41Aпрокси.рфu\u0308:1]").toString());
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
    // What a page said comes with its control characters as escapes and its line breaks as LF.
    error.Text = QStringView(u"a\u0000b\u001b[2J\rc\r\nd\u009b\u202e\u007f\te", 17).toString();
    EXPECT_EQ(UnattendedBoxEntry(error), QString::fromUtf8("[Ошибка] a\\x00b\\x1b[2J\nc\nd\\x9b\\u202e\\x7f\te\n"));

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
