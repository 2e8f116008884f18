// "Добавить" and "Изменить" of the draw list through the real dialog over the main window, with
// real message boxes: what the archive cannot take is refused on OK and nothing is stored before.

#include "tests/app_ui/shell/MainWindowTestEnv.h"

#include "app/core/archive/DrawFile.h"
#include "support/ui/TmplDialogSimple.h"
#include "tests/common/ModalBoxes.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>

#include <gtest/gtest.h>

namespace {

// What the person types into the dialog before pressing OK.
struct TTyped {
    int Number;
    const char* Digits;
    QDate Date;
    QTime Time;
};

void Type(QWidget& dialog, const TTyped& typed)
{
    dialog.findChild<QSpinBox*>(QStringLiteral("edDrawNumber"))->setValue(typed.Number);
    dialog.findChild<QLineEdit*>(QStringLiteral("edDrawData"))->setText(QLatin1String(typed.Digits));
    dialog.findChild<QDateEdit*>(QStringLiteral("edDrawDate"))->setDate(typed.Date);
    dialog.findChild<QTimeEdit*>(QStringLiteral("edDrawTime"))->setTime(typed.Time);
}

// The field of the dialog that has the focus (a date or number editor hands it to its inner line).
QString FocusedField(const QWidget& dialog)
{
    const QWidget* focus = QApplication::focusWidget();
    for (const QWidget* w = focus; w && w != &dialog; w = w->parentWidget())
        if (w->objectName().startsWith(QLatin1String("edDraw")))
            return w->objectName();
    return focus ? focus->objectName() : QStringLiteral("<none>");
}

// The player's archive: 300 draws from 08/01/2016 M to 12/28/2016 E; today is 01/10/2017.
class DrawDialogRefusalTest : public MainWindowTest {
protected:
    DrawDialogRefusalTest()
    {
        SetClock([] { return QDateTime(QDate(2017, 1, 10), QTime(12, 0)); });
        FFolder.WriteArchive(MakeArchive(300));
    }

    TModalBoxes FModal;
};

TEST_F(DrawDialogRefusalTest, OkRefusesWhatTheArchiveHoldsAndKeepsTheDialogOpen)
{
    const QDate dec28(2016, 12, 28);
    const QDate dec29(2016, 12, 29);
    const QTime noon(12, 0);
    const QTime evening(20, 0);
    const QString numberTaken = U("В архиве уже есть тираж с номером %1 (\"%2\")!\n\nУкажите другой номер тиража.");
    const QString keyTaken =
        U("В архиве уже есть тираж с датой и временем \"%1\" (тираж %2)!\n\nУкажите другие дату или время тиража.");
    struct TCase {
        const char* Name;
        const char* Command;
        int Row;   // the selected row for "Изменить"
        TTyped Wrong;
        TTyped Right;
        QString Message;
        const char* Field;
        TDrawRec Result;   // the draw that OK finally stores: appended, or at the row's index
    };
    const TCase cases[] = {
        // The player's report: 300 draws, number 300 with the digits 1;2.
        {"add: the newest number", "DrawsAdd", -1, {300, "1;2", dec29, noon},
         {301, "1;2", dec29, noon}, numberTaken.arg(300).arg("12/28/2016 E"), "edDrawNumber",
         Draw(301, 1, 2, "12/29/2016 M")},
        {"add: the newest draw's date and time", "DrawsAdd", -1, {301, "3;4", dec28, evening},
         {301, "3;4", dec29, evening}, keyTaken.arg("12/28/2016 E").arg(300), "edDrawDate",
         Draw(301, 3, 4, "12/29/2016 E")},
        // The date editor holds only the years a draw key can name: 1800 is taken as 1901.
        {"add: a year no key can name", "DrawsAdd", -1, {301, "9;0", QDate(1800, 1, 1), noon},
         {301, "9;0", dec29, noon},
         U("Новый тираж \"01/01/1901 M\" должен быть позже последнего тиража архива (тираж 300, \"12/28/2016 E\")!"
           "\n\nУкажите более поздние дату или время тиража."),
         "edDrawDate", Draw(301, 9, 0, "12/29/2016 M")},
        // "Изменить" of the newest draw (row 0, number 300). Every other reason, and every reason
        // of "Изменить", is pinned by the archive's own table (DrawCommandTest).
        {"edit: the number of the draw before", "DrawsEdit", 0, {299, "1;1", dec28, evening},
         {300, "1;1", dec28, evening}, numberTaken.arg(299).arg("12/28/2016 M"), "edDrawNumber",
         Draw(300, 1, 1, "12/28/2016 E")},
        {"edit: a number above the draw after", "DrawsEdit", 1, {301, "1;1", dec28, noon}, {299, "1;1", dec28, noon},
         U("Номер тиража 301 должен быть меньше номера следующего тиража архива (тираж 300, \"12/28/2016 E\")!\n\n"
           "Укажите меньший номер тиража."), "edDrawNumber", Draw(299, 1, 1, "12/28/2016 M")},
        {"edit: the number 0", "DrawsEdit", 0, {0, "1;1", dec28, evening}, {300, "4;4", dec28, evening},
         U("Номер тиража 0 должен быть больше номера предыдущего тиража архива (тираж 299, \"12/28/2016 M\")!\n\n"
           "Укажите больший номер тиража."), "edDrawNumber", Draw(300, 4, 4, "12/28/2016 E")},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        FModal.Boxes.clear();
        FFolder.WriteArchive(MakeArchive(300));
        auto form = Open();
        if (c.Row >= 0)
            DrawsList(*form)->SetItemSelected(c.Row, true);

        // OK on the wrong draw: the box runs and closes inside the click, the dialog stays open
        // with the field to mend focused; then OK on the corrected one.
        WhenModal([this, &c](TDialogSTemplate& dialog) {
            EXPECT_TRUE(ActivateWindow(&dialog));
            Type(dialog, c.Wrong);
            // A click on OK takes the focus to the button, away from every field.
            dialog.OkBtn()->setFocus();
            dialog.OkBtn()->click();
            EXPECT_EQ(FModal.Boxes.size(), 1);
            EXPECT_TRUE(dialog.isVisible());
            // Active again, as the window manager leaves it once the box is gone.
            ActivateWindow(&dialog);
            EXPECT_EQ(FocusedField(dialog), QLatin1String(c.Field));
            Type(dialog, c.Right);
            dialog.OkBtn()->click();
            // A dialog that took neither is not waited on for ever.
            if (dialog.isVisible())
                dialog.reject();
        });
        EXPECT_TRUE(Run(*form, c.Command));
        ASSERT_EQ(FModal.Boxes.size(), 1);
        EXPECT_EQ(FModal.Boxes[0].Icon, TBoxIcon::Error);
        EXPECT_EQ(FModal.Boxes[0].Title, U("Ошибка"));
        EXPECT_EQ(FModal.Boxes[0].Text, c.Message);
        EXPECT_TRUE(FModal.EveryBoxActive);

        // Only the corrected draw was stored: the archive holds each number and key once.
        TDrawsArray expected = MakeArchive(300);
        if (c.Row < 0)
            expected.push_back(c.Result);
        else
            expected[static_cast<size_t>(299 - c.Row)] = c.Result;
        EXPECT_EQ(form->State().FDraws, expected);
        EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".ldr")), DrawsToBytes(expected));
    }
}

// A newest key that does not read (stored before such keys were refused) stops the download,
// whose message asks to mend that draw's date: "Изменить" opens on it at the newest draw the
// clock has seen (at noon, the evening draw of the day before) rather than failing on the key,
// and takes the mended date.
TEST_F(DrawDialogRefusalTest, ADrawWhoseKeyDoesNotReadOpensToBeMended)
{
    for (const char* key : {"02/30/2016 E", "13/45/2016 E"}) {
        SCOPED_TRACE(key);
        TDrawsArray draws = MakeArchive(300);
        draws.back().Key.Set(QLatin1String(key));
        FFolder.WriteArchive(draws);
        auto form = Open();
        DrawsList(*form)->SetItemSelected(0, true);
        QDateTime shown;
        WhenModal([&](TDialogSTemplate& dialog) {
            auto* date = dialog.findChild<QDateEdit*>(QStringLiteral("edDrawDate"));
            auto* time = dialog.findChild<QTimeEdit*>(QStringLiteral("edDrawTime"));
            shown = QDateTime(date->date(), time->time());
            date->setDate(QDate(2016, 12, 29));
            time->setTime(QTime(20, 0));
            dialog.OkBtn()->click();
        });
        EXPECT_TRUE(Run(*form, "DrawsEdit"));
        EXPECT_EQ(shown, QDateTime(QDate(2017, 1, 9), QTime(19, 57)));
        EXPECT_TRUE(FModal.Boxes.isEmpty());
        draws.back().Key.Set(QStringLiteral("12/29/2016 E"));
        EXPECT_EQ(form->State().FDraws, draws);
        EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".ldr")), DrawsToBytes(draws));
    }
}

} // namespace
