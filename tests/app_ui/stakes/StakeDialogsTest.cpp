// The dialogs of one stake, of stakes for several combinations and of deleting stakes by a
// condition on their matches.

#include "app/ui/stakes/UnitMulti.h"
#include "app/ui/stakes/UnitStake.h"
#include "app/ui/stakes/UnitStakeFilter.h"
#include "app/ui/stakes/UnitTable.h"
#include "support/RDialogsScripted.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/support_ui/KeyInput.h"
#include "tests/app_ui/AppUiTestEnv.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr std::int32_t kMaxDraw = 2147483647;
const char* const kLastDrawError = "Номер последнего тиража превышает 2147483647!";
const char* const kLongComment = "Очень длинный комментарий к ставке, в котором ровно 64 символа!!";

// Presses OK of a dialog shown without a modal loop; true when the dialog accepted.
// A scenario stake with a balance, so that every field the dialog must keep differs from a
// fresh record's.
TStakeRec GivenStake()
{
    TStakeRec rec = StakeOn(soScript, 1200, 4, 6, "01.002:line@step", -30, 57);
    rec.DrawResult = C(4, 1);
    return rec;
}

void ExpectLabelsShowInFull(const QWidget& form)
{
    for (const QLabel* label : form.findChildren<QLabel*>())
        EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text()))
            << label->objectName().toStdString();
}

void ExpectTextShowsInFull(const QLineEdit* edit)
{
    EXPECT_GE(edit->contentsRect().width() - 4, edit->fontMetrics().horizontalAdvance(edit->text()))
        << edit->objectName().toStdString();
}

class StakeDialogTest : public ::testing::Test {
protected:
    TScriptedBoxes FBoxes;
    TFormStake FForm;
};

TEST_F(StakeDialogTest, TextsAndLimits)
{
    EXPECT_EQ(FForm.windowTitle(), U("Добавление ставки"));
    const std::pair<const char*, const char*> labels[] = {
        {"lblDrawNumber", "Номер тиража:"}, {"lblStakeData", "Ставка:"}, {"lblComment", "Комментарий к ставке:"},
        {"lblDrawsCount", "Кол-во тиражей:"}, {"lblStakeSum", "Сумма:"}};
    for (const auto& [name, text] : labels) {
        const auto* label = FForm.findChild<QLabel*>(QLatin1String(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), U(text)) << name;
    }
    EXPECT_EQ(FForm.DrawNumberEdit()->toolTip(), U("Номер первого тиража"));
    EXPECT_EQ(FForm.StakeDataEdit()->toolTip(), U("Введите числа, разделенные точкой с запятой или запятой"));
    EXPECT_EQ(FForm.DrawsCountEdit()->toolTip(),
              U("Количество тиражей, на которые нужно сделать ставку (начиная с указанного)"));
    EXPECT_TRUE(FForm.StakeSumEdit()->isReadOnly());
    EXPECT_EQ(FForm.DrawNumberEdit()->maximum(), kMaxDraw);
    FForm.CommentEdit()->setText(QString(70, QLatin1Char('x')));
    EXPECT_EQ(FForm.CommentEdit()->text().size(), 64);
}

TEST_F(StakeDialogTest, EmptyStakeIsRefusedUntilTwoDigitsAreTyped)
{
    // A stake made over an empty combination list has no digits.
    TStakeRec rec = StakeOn(soManual, 35, 0, 0, "Ставка \"вручную\"");
    rec.Digits = TDigitsRec{};
    FForm.LoadStake(rec, 1);
    ASSERT_TRUE(ActivateWindow(&FForm));
    EXPECT_EQ(FForm.StakeDataEdit()->text(), "");
    EXPECT_EQ(FForm.StakeSumEdit()->text(), "0");

    FForm.DrawNumberEdit()->setFocus();
    EXPECT_FALSE(PressOk(FForm));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Введена некорректная комбинация!"));
    EXPECT_EQ(FBoxes.Last().Title, U("Ошибка"));
    EXPECT_EQ(QApplication::focusWidget(), FForm.StakeDataEdit());

    // The sum follows every key; one digit is not a combination yet.
    TypeKey(FForm.StakeDataEdit(), Qt::Key_8, Qt::NoModifier, QStringLiteral("8"));
    EXPECT_EQ(FForm.StakeSumEdit()->text(), "8");
    EXPECT_FALSE(PressOk(FForm));
    TypeKey(FForm.StakeDataEdit(), Qt::Key_Semicolon, Qt::NoModifier, QStringLiteral(";"));
    TypeKey(FForm.StakeDataEdit(), Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
    EXPECT_EQ(FForm.StakeSumEdit()->text(), "15");
    EXPECT_TRUE(PressOk(FForm));
    EXPECT_EQ(FBoxes.Boxes().size(), 2);

    int count = 0;
    FForm.StoreStake(rec, count);
    EXPECT_EQ(rec.Digits, (TDigitsRec{2, {8, 7, 0, 0}}));
}

TEST_F(StakeDialogTest, OkChecksTheCombinationThenTheCommentThenTheLastDraw)
{
    FForm.LoadStake(GivenStake(), 1);
    ASSERT_TRUE(ActivateWindow(&FForm));
    struct TCase {
        const char* Digits;
        const char* Comment;
        std::int32_t Draw;
        int Count;
        const char* Box;   // nullptr: accepted
        QWidget* Focus;
    };
    const TCase cases[] = {
        // A bad combination is named first even when the comment is missing too.
        {"10;2", "", 5, 1, "Введена некорректная комбинация!", FForm.StakeDataEdit()},
        {"a;1", "c", 5, 1, "Введена некорректная комбинация!", FForm.StakeDataEdit()},
        {"0 , 9", " c ", kMaxDraw, 1, nullptr, nullptr},
    };
    for (const TCase& c : cases) {
        FBoxes.Clear();
        FForm.StakeDataEdit()->setText(QString::fromLatin1(c.Digits));
        FForm.CommentEdit()->setText(QString::fromLatin1(c.Comment));
        FForm.DrawNumberEdit()->setValue(c.Draw);
        FForm.DrawsCountEdit()->setValue(c.Count);
        FForm.DrawNumberEdit()->setFocus();
        const std::string name = std::string(c.Digits) + " / " + c.Comment + " / " + std::to_string(c.Draw);
        EXPECT_EQ(PressOk(FForm), c.Box == nullptr) << name;
        ASSERT_EQ(FBoxes.Boxes().size(), c.Box ? 1 : 0) << name;
        if (c.Box) {
            EXPECT_EQ(FBoxes.Last().Text, U(c.Box)) << name;
            EXPECT_EQ(QApplication::focusWidget(), c.Focus) << name;
        }
    }
}

TEST_F(StakeDialogTest, ReturnedRecordReplacesOnlyDrawCommentAndDigits)
{
    const TStakeRec given = GivenStake();
    FForm.LoadStake(given, 3);
    EXPECT_EQ(FForm.StakeDataEdit()->text(), "4;6");
    EXPECT_EQ(FForm.StakeSumEdit()->text(), "10");
    FForm.DrawNumberEdit()->setValue(1305);
    FForm.StakeDataEdit()->setText(QStringLiteral(" 9 , 0 "));
    FForm.CommentEdit()->setText(U("Моя ставка"));
    FForm.DrawsCountEdit()->setValue(4);
    ASSERT_TRUE(PressOk(FForm));

    TStakeRec back = given;
    int count = 0;
    FForm.StoreStake(back, count);
    EXPECT_EQ(count, 4);
    TStakeRec expected = given;   // balance, origin, selection size, draw result as given
    expected.DrawNumber = 1305;
    expected.Digits = TDigitsRec{2, {9, 0, 0, 0}};
    expected.Comment.Set(U("Моя ставка"));
    EXPECT_EQ(back, expected);

    // A comment left as it was keeps its stored bytes, even those past its length.
    TStakeRec raw = given;
    raw.Comment.Bytes.fill(0);
    raw.Comment.Bytes[0] = 1;
    raw.Comment.Bytes[1] = 'a';
    raw.Comment.Bytes[2] = 'z';
    FForm.LoadStake(raw, 1);
    TStakeRec rawBack = raw;
    FForm.StoreStake(rawBack, count);
    EXPECT_EQ(rawBack.Comment, raw.Comment);
}

TEST_F(StakeDialogTest, ScreenshotShowsEveryTextInFull)
{
    TStakeRec rec = GivenStake();
    rec.DrawNumber = kMaxDraw;
    rec.Comment.Set(U(kLongComment));
    FForm.LoadStake(rec, 65535);
    const QString path = SaveScreenshot(&FForm, QStringLiteral("FormStake"), FForm.size());
    ASSERT_FALSE(path.isEmpty());
    ExpectLabelsShowInFull(FForm);
    for (const QLineEdit* edit : FForm.findChildren<QLineEdit*>())
        ExpectTextShowsInFull(edit);   // the spin boxes' lines among them
    EXPECT_EQ(QImage(path).size(), FForm.size() * FForm.devicePixelRatio());
}

TEST(StakeDialogFunctions, EditStakeDataHandsBackTheRecordOnlyOnOk)
{
    const TStakeRec given = GivenStake();
    TStakeRec rec = given;
    int count = 2;
    WhenModal([](TDialogSTemplate& dialog) {
        static_cast<TFormStake&>(dialog).StakeDataEdit()->setText(QStringLiteral("5;5"));
        dialog.CancelBtn()->click();
    });
    EXPECT_FALSE(EditStakeData(nullptr, rec, count));
    EXPECT_EQ(rec, given);

    WhenModal([](TDialogSTemplate& dialog) {
        auto& form = static_cast<TFormStake&>(dialog);
        EXPECT_EQ(form.DrawsCountEdit()->value(), 2);
        form.StakeDataEdit()->setText(QStringLiteral("5;5"));
        form.DrawsCountEdit()->setValue(7);
        form.OkBtn()->click();
    });
    EXPECT_TRUE(EditStakeData(nullptr, rec, count));
    EXPECT_EQ(rec.Digits, (TDigitsRec{2, {5, 5, 0, 0}}));
    EXPECT_EQ(count, 7);
}

TEST(StakeDialogFunctions, EditMultiStakeRequiresACommentAndRefusesThePassedLastDraw)
{
    TScriptedBoxes boxes;
    std::int32_t draw = kMaxDraw - 1;
    int count = 1;
    QString comment = QStringLiteral("multi");
    WhenModal([&boxes](TDialogSTemplate& dialog) {
        auto& form = static_cast<TFormMulti&>(dialog);
        EXPECT_EQ(form.windowTitle(), U("Добавление мультиставки"));
        form.CommentEdit()->clear();
        form.OkBtn()->click();
        EXPECT_EQ(boxes.Last().Text, U("Необходимо ввести комментарий!"));
        EXPECT_EQ(form.focusWidget(), form.CommentEdit());

        form.CommentEdit()->setText(U(kLongComment));
        form.DrawsCountEdit()->setValue(3);
        form.OkBtn()->click();
        EXPECT_EQ(boxes.Last().Text, U(kLastDrawError));
        EXPECT_EQ(form.focusWidget(), form.DrawsCountEdit());
        ExpectLabelsShowInFull(form);
        ExpectTextShowsInFull(form.CommentEdit());

        form.DrawsCountEdit()->setValue(2);
        form.OkBtn()->click();
    });
    ASSERT_TRUE(EditMultiStake(nullptr, draw, count, comment));
    EXPECT_EQ(boxes.Boxes().size(), 2);
    EXPECT_EQ(draw, kMaxDraw - 1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(comment, U(kLongComment));

    WhenModal([](TDialogSTemplate& dialog) {
        static_cast<TFormMulti&>(dialog).DrawNumberEdit()->setValue(5);
        dialog.CancelBtn()->click();
    });
    EXPECT_FALSE(EditMultiStake(nullptr, draw, count, comment));
    EXPECT_EQ(draw, kMaxDraw - 1);
}

// The checks and limits the stake and multi-stake dialogs share, run the same on both.
TEST(StakeDialogShared, BothDialogsCheckTheCommentThenTheLastDrawAndClampWhatTheyLoad)
{
    TScriptedBoxes boxes;
    TFormStake stake;
    stake.LoadStake(GivenStake(), 1);
    stake.StakeDataEdit()->setText(QStringLiteral("1;2"));
    TFormMulti multi;
    multi.LoadMulti(10, 1, QStringLiteral("c"));
    TStakeDialogBase* const dialogs[] = {&stake, &multi};
    for (TStakeDialogBase* form : dialogs) {
        SCOPED_TRACE(form->objectName().toStdString());
        ASSERT_TRUE(ActivateWindow(form));
        EXPECT_EQ(form->DrawNumberEdit()->minimum(), 1);
        EXPECT_EQ(form->DrawsCountEdit()->maximum(), 65535);
        EXPECT_EQ(form->CommentEdit()->maxLength(), 64);

        struct TCase {
            const char* Comment;
            std::int32_t Draw;
            int Count;
            const char* Box;   // nullptr: accepted
            QWidget* Focus;
        } const cases[] = {
            {"", 5, 1, "Необходимо ввести комментарий!", form->CommentEdit()},
            // Blanks alone make no comment.
            {"   ", 5, 1, "Необходимо ввести комментарий!", form->CommentEdit()},
            {" \t ", 5, 1, "Необходимо ввести комментарий!", form->CommentEdit()},
            // The comment is told first even when the last draw passes the largest too.
            {"", kMaxDraw, 2, "Необходимо ввести комментарий!", form->CommentEdit()},
            {"c", kMaxDraw, 2, kLastDrawError, form->DrawsCountEdit()},
            // The last draw one past the largest, and just at it.
            {"c", kMaxDraw - 65533, 65535, kLastDrawError, form->DrawsCountEdit()},
            {"c", kMaxDraw - 65534, 65535, nullptr, nullptr},
            {"c", kMaxDraw, 1, nullptr, nullptr},
        };
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(c.Comment) + " / " + std::to_string(c.Draw) + " / " + std::to_string(c.Count));
            boxes.Clear();
            form->CommentEdit()->setText(QString::fromLatin1(c.Comment));
            form->DrawNumberEdit()->setValue(c.Draw);
            form->DrawsCountEdit()->setValue(c.Count);
            form->DrawNumberEdit()->setFocus();
            EXPECT_EQ(PressOk(*form), c.Box == nullptr);
            ASSERT_EQ(boxes.Boxes().size(), c.Box ? 1 : 0);
            if (c.Box) {
                EXPECT_EQ(boxes.Last().Text, U(c.Box));
                EXPECT_EQ(QApplication::focusWidget(), c.Focus);
            }
        }
    }

    // What they are loaded with is brought into the editors' ranges (a separator's draw is -1).
    struct TLoad {
        std::int32_t Draw;
        int Count;
        std::int32_t ShownDraw;
        int ShownCount;
    } const loads[] = {{0, 0, 1, 1},          {-5, -1, 1, 1},        {-1, -3, 1, 1},
                       {7, 65535, 7, 65535}, {7, 65536, 7, 65535}, {7, 70000, 7, 65535},
                       {kMaxDraw, 3, kMaxDraw, 3}};
    for (const TLoad& l : loads) {
        SCOPED_TRACE(std::to_string(l.Draw) + " / " + std::to_string(l.Count));
        TStakeRec rec = GivenStake();
        rec.DrawNumber = l.Draw;
        stake.LoadStake(rec, l.Count);
        multi.LoadMulti(l.Draw, l.Count, QStringLiteral("c"));
        for (TStakeDialogBase* form : dialogs) {
            EXPECT_EQ(form->DrawNumberEdit()->value(), l.ShownDraw);
            EXPECT_EQ(form->DrawsCountEdit()->value(), l.ShownCount);
        }
    }
}

// Each dialog where a stake's comment is typed, with what it stores.
TEST(StakeDialogComments, AreStoredWithoutBlanksAtEitherEnd)
{
    TScriptedBoxes boxes;
    const auto type = [](QLineEdit* edit, const char* text) {
        edit->setFocus();
        edit->selectAll();
        for (const QChar c : U(text))
            TypeKey(edit, c.unicode(), Qt::NoModifier, QString(c));
    };
    const char* const typed[] = {"  утро ", "утро\u00a0", " утро"};   // the second ends in a no-break space
    for (const char* text : typed) {
        SCOPED_TRACE(text);
        TFormStake stake;
        stake.LoadStake(GivenStake(), 1);
        ASSERT_TRUE(ActivateWindow(&stake));
        type(stake.CommentEdit(), text);
        ASSERT_TRUE(PressOk(stake));
        TStakeRec rec = GivenStake();
        int count = 0;
        stake.StoreStake(rec, count);
        EXPECT_EQ(rec.Comment.Get(), U("утро"));

        TFormMulti multi;
        multi.LoadMulti(10, 1, QString());
        ASSERT_TRUE(ActivateWindow(&multi));
        type(multi.CommentEdit(), text);
        ASSERT_TRUE(PressOk(multi));
        EXPECT_EQ(multi.Comment(), U("утро"));

        // A regular stake's comment names it: the trimmed one is what must be free.
        TFormTable table;
        TTableRec rule;
        rule.StakesMade = 1;
        table.LoadTable(rule, {U("вечер")});
        ASSERT_TRUE(ActivateWindow(&table));
        table.edCombStart->setText(QStringLiteral("1;2"));
        type(table.edComment, text);
        ASSERT_TRUE(PressOk(table));
        table.StoreTable(rule);
        EXPECT_EQ(rule.Comment.Get(), U("утро"));
    }
    EXPECT_TRUE(boxes.Boxes().isEmpty());

    TFormTable taken;
    TTableRec rule;
    rule.StakesMade = 1;
    taken.LoadTable(rule, {U("вечер")});
    taken.edCombStart->setText(QStringLiteral("1;2"));
    taken.edComment->setText(U(" вечер "));
    EXPECT_FALSE(PressOk(taken));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    taken.edComment->setText(QStringLiteral("  "));
    EXPECT_FALSE(PressOk(taken));
    ASSERT_EQ(boxes.Boxes().size(), 2);
    EXPECT_EQ(boxes.Last().Text, U("Необходимо ввести комментарий!"));
}

TEST(StakeFilterDialog, ItemsValueLimitAndChoice)
{
    int condition = 0;
    int value = 0;
    WhenModal([](TDialogSTemplate& dialog) {
        auto& form = static_cast<TFormStakeFilter&>(dialog);
        EXPECT_EQ(form.windowTitle(), U("Удаление по условию"));
        EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("lblCondition"))->text(), U("Выберите условие:"));
        EXPECT_EQ(form.OkBtn()->toolTip(), U("Удалить ставки"));
        QStringList items;
        for (int i = 0; i < form.ConditionBox()->count(); ++i)
            items.append(form.ConditionBox()->itemText(i));
        EXPECT_EQ(items, QStringList({U("Равно [ = ]"), U("Более [ > ]"), U("Не менее [ >= ]"), U("Менее [ < ]"),
                                      U("Не более [ <= ]")}));
        EXPECT_EQ(form.Condition(), 0);
        form.ConditionBox()->setCurrentIndex(3);
        // A stake matches at most two digits.
        form.ValueEdit()->setValue(3);
        EXPECT_EQ(form.Value(), 2);
        form.ValueEdit()->setValue(1);
        form.OkBtn()->click();
    });
    ASSERT_TRUE(AskStakeCondition(nullptr, condition, value));
    EXPECT_EQ(condition, 3);
    EXPECT_EQ(value, 1);

    // Values from elsewhere are held to the items and the limits too.
    TFormStakeFilter form;
    form.LoadCondition(9, 7);
    EXPECT_EQ(form.Condition(), 4);
    EXPECT_EQ(form.Value(), 2);
}

// Every text of the stake dialogs and of the message table in another, longer language.
class TLongerTexts : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        for (const char* own : {"FormStake", "FormStakeFilter", "KelmaMsg", "TmplDialogSimple"})
            if (qstrcmp(context, own) == 0)
                return QString::fromUtf8(source) + QStringLiteral(" (translated at length)");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

TEST(StakeDialogLayout, TextsFollowTheInterfaceLanguageAndTheDialogsGrow)
{
    TFormStake stake;
    TFormStakeFilter filter;
    filter.LoadCondition(3, 1);
    stake.show();
    filter.show();
    const int filterWidth = filter.width();
    TLongerTexts longer;
    QCoreApplication::installTranslator(&longer);
    QApplication::sendPostedEvents();
    EXPECT_EQ(stake.windowTitle(), U("Добавление ставки (translated at length)"));
    EXPECT_EQ(stake.findChild<QLabel*>(QStringLiteral("lblStakeSum"))->text(), U("Сумма: (translated at length)"));
    ExpectLabelsShowInFull(stake);
    // The dialog's own OK hint, not the base dialog's; the chosen condition is kept.
    EXPECT_EQ(filter.OkBtn()->toolTip(), U("Удалить ставки (translated at length)"));
    EXPECT_EQ(filter.ConditionBox()->itemText(4), U("Не более [ <= ] (translated at length)"));
    EXPECT_EQ(filter.Condition(), 3);
    EXPECT_GT(filter.width(), filterWidth);
    QCoreApplication::removeTranslator(&longer);
    QApplication::sendPostedEvents();
    EXPECT_EQ(filter.OkBtn()->toolTip(), U("Удалить ставки"));
    EXPECT_EQ(filter.width(), filterWidth);
}

} // namespace
