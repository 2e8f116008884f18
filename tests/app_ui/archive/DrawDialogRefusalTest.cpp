// "Добавить" and "Изменить" of the draw list through the real dialog over the main window: a
// number or a date-and-time key that another stored draw has, a newest draw not later than the
// one before it, and a date that does not read or lies after today are refused on OK with a
// real message box; the dialog stays open with the field focused, takes the corrected draw, and
// nothing is stored before. Offscreen.

#include "tests/app_ui/shell/MainWindowTestEnv.h"

#include "app/core/archive/DrawFile.h"
#include "app/ui/archive/UnitDraw.h"
#include "tests/common/ModalBoxes.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// What the person types into the dialog before pressing OK.
struct TTyped {
    int Number;
    const char* Digits;
    QDate Date;
    QTime Time;
};

// The player's archive: 300 draws from 08/01/2016 M to 12/28/2016 E; today is 01/10/2017.
class DrawDialogRefusalTest : public MainWindowTest {
protected:
    DrawDialogRefusalTest()
    {
        SetClock([] { return QDateTime(QDate(2017, 1, 10), QTime(12, 0)); });
        FFolder.WriteArchive(MakeArchive(300));
    }

    struct TPlayed {
        int BoxesAtRefusal = -1;
        bool OpenAfterRefusal = false;
        QString Focus;   // the dialog's focus widget after the box, or the field it lies in
    };

    // Runs the command; in its dialog types `wrong` and presses OK, then, once the box is
    // gone, notes what the dialog shows, types `right` and presses OK again.
    TPlayed Play(TFormMain& form, const char* command, const TTyped& wrong, const TTyped& right)
    {
        TPlayed played;
        int step = 0;
        QTimer player;
        int ticks = 0;
        QObject::connect(&player, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<TFormDraw*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            // A dialog that cannot be played is closed rather than waited on for ever.
            if (++ticks > 500) {
                dialog->reject();
                return;
            }
            // The focus a box leaves is the dialog's own record; offscreen no window manager
            // gives the dialog back the activation, so only the first step waits for it.
            if (step == 0 && QApplication::activeWindow() != dialog)
                return;
            if (step == 0) {
                step = 1;
                Type(*dialog, wrong);
                // A click on OK takes the focus to the button, away from every field.
                dialog->OkBtn()->setFocus();
                dialog->OkBtn()->click();   // the box runs and closes inside
                played.BoxesAtRefusal = static_cast<int>(FModal.Boxes.size());
                return;
            }
            if (step == 1) {
                step = 2;
                played.OpenAfterRefusal = dialog->isVisible();
                // The dialog active again, as the window manager leaves it once the box is gone.
                ActivateWindow(dialog);
                QWidget* focus = QApplication::focusWidget();
                // A date or number editor may hand its focus to its inner line edit.
                for (QWidget* w = focus; w && w != dialog; w = w->parentWidget())
                    if (w->objectName().startsWith(QLatin1String("edDraw"))) {
                        focus = w;
                        break;
                    }
                played.Focus = focus ? focus->objectName() : QString();
                Type(*dialog, right);
                dialog->OkBtn()->click();
            }
        });
        player.start(20);
        EXPECT_TRUE(Run(form, command));
        player.stop();
        EXPECT_EQ(step, 2) << "the dialog was not played to its end";
        return played;
    }

    static void Type(TFormDraw& dialog, const TTyped& typed)
    {
        dialog.findChild<QSpinBox*>(QStringLiteral("edDrawNumber"))->setValue(typed.Number);
        dialog.findChild<QLineEdit*>(QStringLiteral("edDrawData"))->setText(QLatin1String(typed.Digits));
        dialog.findChild<QDateEdit*>(QStringLiteral("edDrawDate"))->setDate(typed.Date);
        dialog.findChild<QTimeEdit*>(QStringLiteral("edDrawTime"))->setTime(typed.Time);
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
        {"add: the newest number", "DrawsAdd", -1, {300, "1;2", QDate(2017, 1, 10), noon},
         {301, "1;2", QDate(2017, 1, 10), noon}, numberTaken.arg(300).arg("12/28/2016 E"), "edDrawNumber",
         Draw(301, 1, 2, "01/10/2017 M")},
        {"add: the newest draw's date and time", "DrawsAdd", -1, {301, "3;4", dec28, evening},
         {301, "3;4", dec29, evening}, keyTaken.arg("12/28/2016 E").arg(300), "edDrawDate",
         Draw(301, 3, 4, "12/29/2016 E")},
        {"add: before the newest draw", "DrawsAdd", -1, {301, "5;6", QDate(2016, 7, 31), evening},
         {301, "5;6", dec29, noon},
         U("Новый тираж \"07/31/2016 E\" должен быть позже последнего тиража архива (тираж 300, \"12/28/2016 E\")!"
           "\n\nУкажите более поздние дату или время тиража."),
         "edDrawDate", Draw(301, 5, 6, "12/29/2016 M")},
        {"add: tomorrow", "DrawsAdd", -1, {301, "7;8", QDate(2017, 1, 11), noon}, {301, "7;8", dec29, noon},
         U("Дата тиража \"01/11/2017 M\" позже сегодняшней!\n\nТираж еще не проведен: укажите дату не позже "
           "сегодняшней."),
         "edDrawDate", Draw(301, 7, 8, "12/29/2016 M")},
        // The date editor holds only the years a draw key can name: 1800 is taken as 1901.
        {"add: a year no key can name", "DrawsAdd", -1, {301, "9;0", QDate(1800, 1, 1), noon},
         {301, "9;0", dec29, noon},
         U("Новый тираж \"01/01/1901 M\" должен быть позже последнего тиража архива (тираж 300, \"12/28/2016 E\")!"
           "\n\nУкажите более поздние дату или время тиража."),
         "edDrawDate", Draw(301, 9, 0, "12/29/2016 M")},
        // "Изменить" of the newest draw (row 0, number 300) and of 12/26/2016 M (row 5, number 295).
        {"edit: the number of the draw before", "DrawsEdit", 0, {299, "1;1", dec28, evening},
         {300, "1;1", dec28, evening}, numberTaken.arg(299).arg("12/28/2016 M"), "edDrawNumber",
         Draw(300, 1, 1, "12/28/2016 E")},
        {"edit: another draw's date and time", "DrawsEdit", 5, {295, "2;2", dec28, noon},
         {295, "2;2", QDate(2016, 12, 26), noon}, keyTaken.arg("12/28/2016 M").arg(299), "edDrawDate",
         Draw(295, 2, 2, "12/26/2016 M")},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        FModal.Boxes.clear();
        FFolder.WriteArchive(MakeArchive(300));
        auto form = Open();
        if (c.Row >= 0)
            DrawsList(*form)->SetItemSelected(c.Row, true);

        const TPlayed played = Play(*form, c.Command, c.Wrong, c.Right);

        EXPECT_EQ(played.BoxesAtRefusal, 1);
        EXPECT_TRUE(played.OpenAfterRefusal);
        EXPECT_EQ(played.Focus, QLatin1String(c.Field));
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

} // namespace

namespace {

// A newest key that does not read (stored before such keys were refused) stops the download,
// whose message asks to mend that draw's date: "Изменить" opens on it at the clock's moment
// rather than failing on the key, and takes the mended date.
TEST_F(DrawDialogRefusalTest, ADrawWhoseKeyDoesNotReadOpensToBeMended)
{
    for (const char* key : {"02/30/2016 E", "13/45/2016 E"}) {
        SCOPED_TRACE(key);
        TDrawsArray draws = MakeArchive(300);
        draws.back().Key.Set(QLatin1String(key));
        FFolder.WriteArchive(draws);
        auto form = Open();
        DrawsList(*form)->SetItemSelected(0, true);
        QDate shownDate;
        QTime shownTime;
        WhenModal([&](TDialogSTemplate& dialog) {
            shownDate = dialog.findChild<QDateEdit*>(QStringLiteral("edDrawDate"))->date();
            shownTime = dialog.findChild<QTimeEdit*>(QStringLiteral("edDrawTime"))->time();
            dialog.findChild<QDateEdit*>(QStringLiteral("edDrawDate"))->setDate(QDate(2016, 12, 29));
            dialog.findChild<QTimeEdit*>(QStringLiteral("edDrawTime"))->setTime(QTime(20, 0));
            dialog.OkBtn()->click();
        });
        EXPECT_TRUE(Run(*form, "DrawsEdit"));
        EXPECT_EQ(shownDate, QDate(2017, 1, 10));
        EXPECT_EQ(shownTime, QTime(12, 0));
        EXPECT_TRUE(FModal.Boxes.isEmpty());
        draws.back().Key.Set(QStringLiteral("12/29/2016 E"));
        EXPECT_EQ(form->State().FDraws, draws);
        EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".ldr")), DrawsToBytes(draws));
    }
}

} // namespace
