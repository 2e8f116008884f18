// The dialogs of one stake, of stakes for several combinations and of deleting stakes by a
// condition on their matches.

#include "app/ui/UnitMulti.h"
#include "app/ui/UnitStake.h"
#include "app/ui/UnitStakeFilter.h"
#include "support/RDialogsScripted.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/support_ui/KeyInput.h"

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

void Settle()
{
    for (int pass = 0; pass < 3; ++pass) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

// Presses OK of a dialog shown without a modal loop; true when the dialog accepted.
bool PressOk(TDialogSTemplate& form)
{
    form.setResult(QDialog::Rejected);
    form.OkBtn()->click();
    return form.result() == QDialog::Accepted;
}

// A scored stake, so that every field a dialog must keep differs from a fresh record's.
TStakeRec GivenStake()
{
    TStakeRec rec = Scored(StakeOn(soScript, 1200, 4, 6, "01.002:line@step", -30, 57), 4, 1, {1, {4}}, 570);
    rec.Checked = 0;   // a stake about to be made is never checked; the rest must still survive
    return rec;
}

class StakeDialogTest : public ::testing::Test {
protected:
    // Every visible label and editor of the dialog shows its whole text.
    void ExpectNothingClipped(const std::string& where)
    {
        for (const QLabel* label : FForm.findChildren<QLabel*>()) {
            if (!label->isVisible())
                continue;
            const std::string name = where + " " + label->objectName().toStdString();
            EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text())) << name;
            EXPECT_GE(label->height(), label->sizeHint().height()) << name;
        }
        for (const QSpinBox* spin : FForm.findChildren<QSpinBox*>()) {
            const QLineEdit* line = spin->findChild<QLineEdit*>();
            ASSERT_NE(line, nullptr);
            EXPECT_GE(line->contentsRect().width() - 4, line->fontMetrics().horizontalAdvance(line->text()))
                << where << " " << spin->objectName().toStdString();
        }
        for (const QLineEdit* edit : {FForm.StakeDataEdit(), FForm.StakeSumEdit(), FForm.CommentEdit()})
            EXPECT_GE(edit->contentsRect().width() - 4, edit->fontMetrics().horizontalAdvance(edit->text()))
                << where << " " << edit->objectName().toStdString();
    }

    TScriptedBoxes FBoxes;
    TFormStake FForm;
};

TEST_F(StakeDialogTest, ControlsCarryTheirNamesTextsAndLimits)
{
    EXPECT_EQ(FForm.windowTitle(), U("Добавление ставки"));
    const std::pair<const char*, const char*> labels[] = {{"lblDrawNumber", "Номер тиража:"},
                                                          {"lblStakeData", "Ставка:"},
                                                          {"lblComment", "Комментарий к ставке:"},
                                                          {"lblDrawsCount", "Кол-во тиражей:"},
                                                          {"lblStakeSum", "Сумма:"}};
    for (const auto& [name, text] : labels) {
        const auto* label = FForm.findChild<QLabel*>(QLatin1String(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), U(text)) << name;
        EXPECT_NE(label->buddy(), nullptr) << name;
    }
    EXPECT_EQ(FForm.findChild<QSpinBox*>(QStringLiteral("edDrawNumber")), FForm.DrawNumberEdit());
    EXPECT_EQ(FForm.findChild<QLineEdit*>(QStringLiteral("edStakeData")), FForm.StakeDataEdit());
    EXPECT_EQ(FForm.findChild<QLineEdit*>(QStringLiteral("edComment")), FForm.CommentEdit());
    EXPECT_EQ(FForm.findChild<QSpinBox*>(QStringLiteral("edDrawsCount")), FForm.DrawsCountEdit());
    EXPECT_EQ(FForm.findChild<QLineEdit*>(QStringLiteral("edStakeSum")), FForm.StakeSumEdit());

    EXPECT_EQ(FForm.DrawNumberEdit()->toolTip(), U("Номер первого тиража"));
    EXPECT_EQ(FForm.StakeDataEdit()->toolTip(), U("Введите числа, разделенные точкой с запятой или запятой"));
    EXPECT_EQ(FForm.DrawsCountEdit()->toolTip(),
              U("Количество тиражей, на которые нужно сделать ставку (начиная с указанного)"));

    EXPECT_EQ(FForm.DrawNumberEdit()->minimum(), 1);
    EXPECT_EQ(FForm.DrawNumberEdit()->maximum(), kMaxDraw);
    EXPECT_EQ(FForm.DrawsCountEdit()->minimum(), 1);
    EXPECT_EQ(FForm.DrawsCountEdit()->maximum(), 65535);
    EXPECT_TRUE(FForm.StakeSumEdit()->isReadOnly());

    // The draw count and the comment are held to their limits whatever is loaded or typed.
    const std::pair<int, int> counts[] = {{0, 1}, {-3, 1}, {1, 1}, {65535, 65535}, {65536, 65535}, {2000000, 65535}};
    for (const auto& [given, shown] : counts) {
        FForm.LoadStake(GivenStake(), given);
        EXPECT_EQ(FForm.DrawsCountEdit()->value(), shown) << given;
    }
    TStakeRec separator = InitStakeRec();   // draw number -1
    FForm.LoadStake(separator, 1);
    EXPECT_EQ(FForm.DrawNumberEdit()->value(), 1);
    FForm.CommentEdit()->setText(QString(70, QLatin1Char('x')));
    EXPECT_EQ(FForm.CommentEdit()->text().size(), 64);
}

TEST_F(StakeDialogTest, SumFollowsEveryChangeOfTheStakeText)
{
    FForm.LoadStake(GivenStake(), 1);
    EXPECT_EQ(FForm.StakeDataEdit()->text(), "4;6");
    EXPECT_EQ(FForm.StakeSumEdit()->text(), "10");
    const std::pair<const char*, const char*> cases[] = {
        {"", "0"}, {"9", "9"}, {"9;8", "17"}, {" 1 , 2 ; 3", "6"}, {"a;5", "5"}, {"-4;1", "-3"}, {"x", "0"},
    };
    for (const auto& [text, sum] : cases) {
        FForm.StakeDataEdit()->setText(QString::fromLatin1(text));
        EXPECT_EQ(FForm.StakeSumEdit()->text(), QString::fromLatin1(sum)) << text;
    }
}

TEST_F(StakeDialogTest, EmptyStakeIsRefusedUntilTwoDigitsAreTyped)
{
    // A stake made over an empty combination list has no digits.
    TStakeRec rec = StakeOn(soManual, 35, 0, 0, "Ставка \"вручную\"");
    rec.Digits = TDigitsRec{};
    FForm.LoadStake(rec, 1);
    ASSERT_TRUE(ActivateWindow(&FForm));
    EXPECT_EQ(FForm.StakeDataEdit()->text(), "");

    FForm.DrawNumberEdit()->setFocus();
    EXPECT_FALSE(PressOk(FForm));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Введена некорректная комбинация!"));
    EXPECT_EQ(FBoxes.Last().Title, U("Ошибка"));
    EXPECT_EQ(QApplication::focusWidget(), FForm.StakeDataEdit());

    // One digit is not a combination yet.
    TypeKey(FForm.StakeDataEdit(), Qt::Key_3, Qt::NoModifier, QStringLiteral("3"));
    EXPECT_EQ(FForm.StakeSumEdit()->text(), "3");
    EXPECT_FALSE(PressOk(FForm));
    EXPECT_EQ(FBoxes.Boxes().size(), 2);

    TypeKey(FForm.StakeDataEdit(), Qt::Key_Semicolon, Qt::NoModifier, QStringLiteral(";"));
    TypeKey(FForm.StakeDataEdit(), Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
    EXPECT_EQ(FForm.StakeDataEdit()->text(), "3;7");
    EXPECT_EQ(FForm.StakeSumEdit()->text(), "10");
    EXPECT_TRUE(PressOk(FForm));
    EXPECT_EQ(FBoxes.Boxes().size(), 2);

    TStakeRec back = rec;
    int count = 0;
    FForm.StoreStake(back, count);
    EXPECT_EQ(back.Digits, (TDigitsRec{2, {3, 7, 0, 0}}));
    EXPECT_EQ(count, 1);
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
        {"1;2;3", "c", 5, 1, "Введена некорректная комбинация!", FForm.StakeDataEdit()},
        {"a;1", "c", 5, 1, "Введена некорректная комбинация!", FForm.StakeDataEdit()},
        {"1;2", "", 5, 1, "Необходимо ввести комментарий!", FForm.CommentEdit()},
        {"1;2", "c", kMaxDraw, 2, "Номер последнего тиража превышает 2147483647!", FForm.DrawsCountEdit()},
        {"1;2", "c", kMaxDraw - 65533, 65535, "Номер последнего тиража превышает 2147483647!", FForm.DrawsCountEdit()},
        {"1;2", "c", kMaxDraw - 65534, 65535, nullptr, nullptr},
        {"1;2", "c", kMaxDraw, 1, nullptr, nullptr},
        {"0 , 9", " ", 1, 65535, nullptr, nullptr},
    };
    for (const TCase& c : cases) {
        FBoxes.Clear();
        FForm.StakeDataEdit()->setText(QString::fromLatin1(c.Digits));
        FForm.CommentEdit()->setText(QString::fromLatin1(c.Comment));
        FForm.DrawNumberEdit()->setValue(c.Draw);
        FForm.DrawsCountEdit()->setValue(c.Count);
        FForm.DrawNumberEdit()->setFocus();
        const std::string name = std::string(c.Digits) + " / " + c.Comment + " / " + std::to_string(c.Draw);
        if (!c.Box) {
            EXPECT_TRUE(PressOk(FForm)) << name;
            EXPECT_TRUE(FBoxes.Boxes().isEmpty()) << name;
            continue;
        }
        EXPECT_FALSE(PressOk(FForm)) << name;
        ASSERT_EQ(FBoxes.Boxes().size(), 1) << name;
        EXPECT_EQ(FBoxes.Last().Text, U(c.Box)) << name;
        EXPECT_EQ(QApplication::focusWidget(), c.Focus) << name;
    }
}

TEST_F(StakeDialogTest, ReturnedRecordReplacesOnlyDrawCommentAndDigits)
{
    const TStakeRec given = GivenStake();
    FForm.LoadStake(given, 3);
    EXPECT_EQ(FForm.DrawNumberEdit()->value(), 1200);
    EXPECT_EQ(FForm.CommentEdit()->text(), "01.002:line@step");
    EXPECT_EQ(FForm.DrawsCountEdit()->value(), 3);

    FForm.DrawNumberEdit()->setValue(1305);
    FForm.StakeDataEdit()->setText(QStringLiteral(" 9 , 0 "));
    FForm.CommentEdit()->setText(U("Моя ставка"));
    FForm.DrawsCountEdit()->setValue(4);
    ASSERT_TRUE(PressOk(FForm));

    TStakeRec back = given;
    int count = 0;
    FForm.StoreStake(back, count);
    EXPECT_EQ(count, 4);
    TStakeRec expected = given;
    expected.DrawNumber = 1305;
    expected.Digits = TDigitsRec{2, {9, 0, 0, 0}};
    expected.Comment.Set(U("Моя ставка"));
    // Balance, origin, selection size, version, check state, draw result and matches as given.
    EXPECT_EQ(back, expected);
    EXPECT_EQ(back.Balance.Raw(), given.Balance.Raw());
    EXPECT_EQ(back.Origin, soScript);
    EXPECT_EQ(back.SelectionSize, 57);

    // A comment left as it was keeps its stored bytes, even those no text round trip gives back.
    TStakeRec raw = given;
    raw.Comment.Bytes.fill(0);
    raw.Comment.Bytes[0] = 3;
    raw.Comment.Bytes[1] = 'a';
    raw.Comment.Bytes[2] = 'b';
    raw.Comment.Bytes[3] = 'c';
    raw.Comment.Bytes[4] = 'z';   // past the length: kept only when the bytes are kept
    FForm.LoadStake(raw, 1);
    TStakeRec rawBack = raw;
    FForm.StoreStake(rawBack, count);
    EXPECT_EQ(rawBack.Comment, raw.Comment);
}

// Runs the action once the modal loop of the next dialog has started.
void WhenModal(const std::function<void(TDialogSTemplate&)>& action)
{
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<TDialogSTemplate*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        action(*dialog);
    });
}

TEST(StakeDialogFunctions, EditStakeDataHandsBackTheRecordOnlyOnOk)
{
    TScriptedBoxes boxes;
    const TStakeRec given = GivenStake();
    TStakeRec rec = given;
    int count = 2;
    WhenModal([](TDialogSTemplate& dialog) {
        auto& form = static_cast<TFormStake&>(dialog);
        form.StakeDataEdit()->setText(QStringLiteral("5;5"));
        form.CancelBtn()->click();
    });
    EXPECT_FALSE(EditStakeData(nullptr, rec, count));
    EXPECT_EQ(rec, given);
    EXPECT_EQ(count, 2);

    WhenModal([](TDialogSTemplate& dialog) {
        auto& form = static_cast<TFormStake&>(dialog);
        EXPECT_EQ(form.DrawsCountEdit()->value(), 2);
        form.StakeDataEdit()->setText(QStringLiteral("5;5"));
        form.DrawsCountEdit()->setValue(7);
        form.OkBtn()->click();
    });
    EXPECT_TRUE(EditStakeData(nullptr, rec, count));
    EXPECT_EQ(rec.Digits, (TDigitsRec{2, {5, 5, 0, 0}}));
    EXPECT_EQ(rec.DrawNumber, 1200);
    EXPECT_EQ(count, 7);
    EXPECT_TRUE(boxes.Boxes().isEmpty());
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
        EXPECT_EQ(form.DrawNumberEdit()->value(), kMaxDraw - 1);
        EXPECT_EQ(form.CommentEdit()->text(), "multi");
        form.CommentEdit()->clear();
        form.OkBtn()->click();
        EXPECT_EQ(boxes.Last().Text, U("Необходимо ввести комментарий!"));
        EXPECT_EQ(form.focusWidget(), form.CommentEdit());

        form.CommentEdit()->setText(U("Все комбинации"));
        form.DrawsCountEdit()->setValue(3);
        form.OkBtn()->click();
        EXPECT_EQ(boxes.Last().Text, U("Номер последнего тиража превышает 2147483647!"));
        EXPECT_EQ(form.focusWidget(), form.DrawsCountEdit());
        EXPECT_EQ(boxes.Boxes().size(), 2);

        form.DrawsCountEdit()->setValue(2);
        form.OkBtn()->click();
    });
    ASSERT_TRUE(EditMultiStake(nullptr, draw, count, comment));
    EXPECT_EQ(boxes.Boxes().size(), 2);
    EXPECT_EQ(draw, kMaxDraw - 1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(comment, U("Все комбинации"));

    // Cancel hands nothing back.
    WhenModal([](TDialogSTemplate& dialog) {
        auto& form = static_cast<TFormMulti&>(dialog);
        form.DrawNumberEdit()->setValue(5);
        form.CommentEdit()->setText(QStringLiteral("other"));
        form.CancelBtn()->click();
    });
    EXPECT_FALSE(EditMultiStake(nullptr, draw, count, comment));
    EXPECT_EQ(draw, kMaxDraw - 1);
    EXPECT_EQ(comment, U("Все комбинации"));
}

TEST(MultiStakeDialog, LabelsAndLimits)
{
    TFormMulti form;
    const std::pair<const char*, const char*> labels[] = {
        {"lblDrawNumber", "Номер тиража:"}, {"lblComment", "Комментарий к ставке:"}, {"lblDrawsCount", "Кол-во тиражей:"}};
    for (const auto& [name, text] : labels) {
        const auto* label = form.findChild<QLabel*>(QLatin1String(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), U(text)) << name;
    }
    EXPECT_EQ(form.DrawNumberEdit()->minimum(), 1);
    EXPECT_EQ(form.DrawNumberEdit()->maximum(), kMaxDraw);
    EXPECT_EQ(form.DrawsCountEdit()->minimum(), 1);
    EXPECT_EQ(form.DrawsCountEdit()->maximum(), 65535);
    form.LoadMulti(-1, 0, QString(80, QLatin1Char('y')));
    EXPECT_EQ(form.DrawNumber(), 1);
    EXPECT_EQ(form.DrawCount(), 1);
    EXPECT_EQ(form.Comment().size(), 64);
    form.LoadMulti(10, 99999, QStringLiteral("c"));
    EXPECT_EQ(form.DrawCount(), 65535);

    // A comment of the longest length shows without scrolling.
    form.LoadMulti(10, 1, U("Очень длинный комментарий к ставке, в котором ровно 64 символа!!"));
    form.show();
    Settle();
    const QLineEdit* edit = form.CommentEdit();
    EXPECT_GE(edit->contentsRect().width() - 4, edit->fontMetrics().horizontalAdvance(edit->text()));
}

TEST(StakeFilterDialog, ItemsValueLimitAndChoice)
{
    TFormStakeFilter form;
    EXPECT_EQ(form.windowTitle(), U("Удаление по условию"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("lblCondition"))->text(), U("Выберите условие:"));
    EXPECT_EQ(form.OkBtn()->toolTip(), U("Удалить ставки"));
    QComboBox* box = form.ConditionBox();
    ASSERT_EQ(box, form.findChild<QComboBox*>(QStringLiteral("cbCondition")));
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    EXPECT_EQ(items, QStringList({U("Равно [ = ]"), U("Более [ > ]"), U("Не менее [ >= ]"), U("Менее [ < ]"),
                                  U("Не более [ <= ]")}));

    QSpinBox* value = form.ValueEdit();
    ASSERT_EQ(value, form.findChild<QSpinBox*>(QStringLiteral("edValue")));
    EXPECT_EQ(value->minimum(), 0);
    EXPECT_EQ(value->maximum(), 2);
    value->setValue(3);
    EXPECT_EQ(form.Value(), 2);
    value->setValue(-1);
    EXPECT_EQ(form.Value(), 0);

    const struct {
        int Condition, Value, ShownCondition, ShownValue;
    } loads[] = {{0, 0, 0, 0}, {4, 2, 4, 2}, {3, 1, 3, 1}, {9, 7, 4, 2}, {-2, -1, 0, 0}};
    for (const auto& c : loads) {
        form.LoadCondition(c.Condition, c.Value);
        EXPECT_EQ(form.Condition(), c.ShownCondition) << c.Condition;
        EXPECT_EQ(form.Value(), c.ShownValue) << c.Value;
    }
}

TEST(StakeFilterDialog, AskStakeConditionReturnsTheChosenPairOnlyOnOk)
{
    int condition = 0;
    int value = 0;
    WhenModal([](TDialogSTemplate& dialog) {
        auto& form = static_cast<TFormStakeFilter&>(dialog);
        EXPECT_EQ(form.Condition(), 0);
        EXPECT_EQ(form.Value(), 0);
        form.ConditionBox()->setCurrentIndex(3);
        form.ValueEdit()->setValue(1);
        form.OkBtn()->click();
    });
    ASSERT_TRUE(AskStakeCondition(nullptr, condition, value));
    EXPECT_EQ(condition, 3);
    EXPECT_EQ(value, 1);

    WhenModal([](TDialogSTemplate& dialog) {
        auto& form = static_cast<TFormStakeFilter&>(dialog);
        EXPECT_EQ(form.Condition(), 3);
        form.ConditionBox()->setCurrentIndex(1);
        form.CancelBtn()->click();
    });
    EXPECT_FALSE(AskStakeCondition(nullptr, condition, value));
    EXPECT_EQ(condition, 3);
    EXPECT_EQ(value, 1);
}

TEST_F(StakeDialogTest, ScreenshotShowsEveryTextInFull)
{
    TStakeRec rec = GivenStake();
    rec.DrawNumber = kMaxDraw;
    rec.Comment.Set(U("Очень длинный комментарий к ставке, в котором ровно 64 символа!!"));
    FForm.LoadStake(rec, 65535);
    const QString path = SaveScreenshot(&FForm, QStringLiteral("FormStake"), FForm.size());
    ASSERT_FALSE(path.isEmpty());
    Settle();
    ExpectNothingClipped("screenshot");
    EXPECT_GE(FForm.width(), 400);
    const QImage picture(path);
    EXPECT_EQ(picture.size(), FForm.size() * FForm.devicePixelRatio());
}

// Every text of the stake dialogs and of the message table in another, longer language.
class TLongerTexts : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        for (const char* own : {"FormStake", "FormMulti", "FormStakeFilter", "KelmaMsg", "TmplDialogSimple"})
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
    Settle();
    const int stakeWidth = stake.width();
    const int filterWidth = filter.width();
    {
        TLongerTexts longer;
        QCoreApplication::installTranslator(&longer);
        Settle();
        EXPECT_EQ(stake.windowTitle(), U("Добавление ставки (translated at length)"));
        EXPECT_EQ(stake.findChild<QLabel*>(QStringLiteral("lblStakeSum"))->text(), U("Сумма: (translated at length)"));
        EXPECT_EQ(stake.DrawsCountEdit()->toolTip(),
                  U("Количество тиражей, на которые нужно сделать ставку (начиная с указанного) (translated at length)"));
        EXPECT_GE(stake.width(), stakeWidth);
        // The dialog's own OK hint, not the base dialog's, and the chosen condition kept.
        EXPECT_EQ(filter.OkBtn()->toolTip(), U("Удалить ставки (translated at length)"));
        EXPECT_EQ(filter.ConditionBox()->itemText(4), U("Не более [ <= ] (translated at length)"));
        EXPECT_EQ(filter.Condition(), 3);
        EXPECT_EQ(filter.Value(), 1);
        EXPECT_GT(filter.width(), filterWidth);
        for (const QLabel* label : stake.findChildren<QLabel*>())
            EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text()))
                << label->objectName().toStdString();
        QCoreApplication::removeTranslator(&longer);
    }
    Settle();
    EXPECT_EQ(stake.windowTitle(), U("Добавление ставки"));
    EXPECT_EQ(filter.OkBtn()->toolTip(), U("Удалить ставки"));
    EXPECT_EQ(stake.width(), stakeWidth);
    EXPECT_EQ(filter.width(), filterWidth);
}

TEST(StakeDialogLayout, MultiAndConditionDialogsShowEveryLabelAndItemInFull)
{
    TFormMulti multi;
    multi.LoadMulti(kMaxDraw, 65535, U("Все комбинации"));
    ASSERT_FALSE(SaveScreenshot(&multi, QStringLiteral("FormMulti"), multi.size()).isEmpty());
    TFormStakeFilter filter;
    filter.LoadCondition(2, 2);
    ASSERT_FALSE(SaveScreenshot(&filter, QStringLiteral("FormStakeFilter"), filter.size()).isEmpty());
    for (const QWidget* form : {static_cast<QWidget*>(&multi), static_cast<QWidget*>(&filter)}) {
        for (const QLabel* label : form->findChildren<QLabel*>())
            EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text()))
                << label->objectName().toStdString();
    }
    // The widest condition fits the box, and the box leaves room for the value beside it.
    QComboBox* box = filter.ConditionBox();
    for (int i = 0; i < box->count(); ++i)
        EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(box->itemText(i)) + 20) << i;
    EXPECT_GE(filter.ValueEdit()->width(), filter.ValueEdit()->sizeHint().width());
    EXPECT_FALSE(box->geometry().intersects(filter.ValueEdit()->geometry()));
}

} // namespace
