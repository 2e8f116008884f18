#include "app/ui/archive/UnitDraw.h"

#include "engine/KelmaMsg.h"
#include "engine/PrjConst.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"

#include "ui_FormDraw.h"

#include <QApplication>
#include <QDateEdit>
#include <QEvent>
#include <QFontMetrics>
#include <QLayout>
#include <QLocale>

#include <algorithm>
#include <exception>

namespace {

const TResString SDrawCaption = RESSTR("UnitDraw", "Данные тиража");

// The designed size: the least the dialog takes. The texts of the interface language and the
// dates of the locale make it wider or higher as they need.
constexpr int kDesignedWidth = 380;
constexpr int kDesignedHeightWithDate = 250;
// Without the date row the dialog is this high.
constexpr int kHeightWithoutDate = 200;

// Qt sizes a date editor after the texts of the first and the last date of its range, but in a
// long format the names of weekdays and months make other dates wider ("воскресенье,
// 28 сентября" against "четверг, 14 сентября"). The editor takes the width of the widest date,
// measured the way Qt measures the two ends of the range.
void FitDateEditor(QDateEdit* edit)
{
    edit->ensurePolished();
    const QFontMetrics metrics = edit->fontMetrics();
    const QLocale locale = edit->locale();
    const QString format = edit->displayFormat();
    const auto textWidth = [&](QDate date) {
        return metrics.horizontalAdvance(locale.toString(date, format) + QLatin1Char(' '));
    };
    const int rangeWidth = std::max(textWidth(edit->minimumDate()), textWidth(edit->maximumDate()));
    int widest = rangeWidth;
    // Days 22 to 28 of every month: each weekday with each month name and a two-digit day.
    for (int month = 1; month <= 12; ++month)
        for (int day = 22; day <= 28; ++day)
            widest = std::max(widest, textWidth(QDate(2000, month, day)));
    edit->setMinimumWidth(0);
    edit->setMinimumWidth(edit->sizeHint().width() + widest - rangeWidth);
}

// The moment a stored key names, or for a key that names none (empty, or damaged before such
// keys were refused) the newest draw the clock has seen: the pickers show a moment the dialog
// can store, never a draw still to come.
TDateTime ShownMoment(const QString& key)
{
    TDateTime when = 0;
    try {
        when = ParseDrawDate(key);
    } catch (const std::exception&) {
        when = 0;   // "02/30/2016 E": a day the month does not have
    }
    return when >= 1 ? when : LatestDrawBy(ClockNow());
}

} // namespace

TFormDraw::TFormDraw(QWidget* parent) : TDialogSTemplate(parent), FUi(std::make_unique<Ui::FormDraw>())
{
    setObjectName(QStringLiteral("FormDraw"));
    setWindowTitle(LoadResString(SDrawCaption));
    FUi->setupUi(ClientPanel());
    FUi->edDrawDate->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    FitToContents();
}

TFormDraw::~TFormDraw() = default;

void TFormDraw::LoadDraw(const TDrawRec& draw, bool withDate)
{
    FWithDate = withDate;
    FLoaded = draw;
    FUi->edDrawNumber->setValue(static_cast<int>(std::min<std::uint32_t>(draw.Number, 2147483647u)));
    FUi->edDrawData->setText(DrawDigitsText(draw));
    FUi->lblDrawDate->setVisible(withDate);
    FUi->edDrawDate->setVisible(withDate);
    FUi->edDrawTime->setVisible(withDate);
    FitToContents();
    if (!withDate)
        return;
    const QDateTime moment = ToQDateTime(ShownMoment(draw.Key.Get()));
    FUi->edDrawDate->setDate(moment.date());
    FUi->edDrawTime->setTime(moment.time());
}

void TFormDraw::StoreDraw(TDrawRec& draw) const
{
    draw.Number = static_cast<std::uint32_t>(FUi->edDrawNumber->value());
    std::uint8_t digit1 = 0;
    std::uint8_t digit2 = 0;
    if (ParseDrawDigitsText(FUi->edDrawData->text(), digit1, digit2)) {
        draw.Digits[0] = digit1;
        draw.Digits[1] = digit2;
    }
    if (FWithDate) {
        const TDateTime date = FromQDate(FUi->edDrawDate->date());
        const QTime clock = FUi->edDrawTime->time();
        const TDateTime time = EncodeTime(clock.hour(), clock.minute(), clock.second(), clock.msec());
        draw.Key.Set(MakeDrawKey(date, time));
    }
}

void TFormDraw::accept()
{
    std::uint8_t digit1 = 0;
    std::uint8_t digit2 = 0;
    if (!ParseDrawDigitsText(FUi->edDrawData->text(), digit1, digit2)) {
        ErrorBox(LoadResString(rsBadCombinationEntered));
        FUi->edDrawData->setFocus();
        return;
    }
    if (FChecker) {
        TDrawRec draw = FLoaded;
        StoreDraw(draw);
        const TDrawCheck check = FChecker(draw);
        if (check.Refused()) {
            ErrorBox(check.Message);
            const bool onNumber = check.Refusal == TDrawRefusal::NumberTaken || check.Refusal == TDrawRefusal::NumberNotAbove
                                  || check.Refusal == TDrawRefusal::NumberOutOfOrder
                                  || check.Refusal == TDrawRefusal::BadNumber || !FWithDate;
            if (onNumber)
                FUi->edDrawNumber->setFocus();
            else
                FUi->edDrawDate->setFocus();
            return;
        }
    }
    TDialogSTemplate::accept();
}

void TFormDraw::FitToContents()
{
    FitDateEditor(FUi->edDrawDate);
    // The dialog's layout keeps the panel's last size hint until told that it changed.
    ClientPanel()->layout()->invalidate();
    ClientPanel()->updateGeometry();
    layout()->invalidate();
    // As wide as every row wants; as high as designed, unless the rows cannot fit in that.
    const QSize designed(kDesignedWidth, FWithDate ? kDesignedHeightWithDate : kHeightWithoutDate);
    setFixedSize(designed.expandedTo(QSize(sizeHint().width(), minimumSizeHint().height())));
}

void TFormDraw::changeEvent(QEvent* event)
{
    const bool languageChange = event->type() == QEvent::LanguageChange;
    if (languageChange)
        FUi->retranslateUi(ClientPanel());
    TDialogSTemplate::changeEvent(event);
    // Texts of another language have other widths.
    if (languageChange)
        FitToContents();
}

bool EditDrawData(const QString& caption, TDrawRec& draw, bool withDate, TDrawChecker checker)
{
    TFormDraw form(QApplication::activeWindow());
    form.setWindowTitle(caption);
    form.LoadDraw(draw, withDate);
    form.SetChecker(std::move(checker));
    if (form.exec() != QDialog::Accepted)
        return false;
    form.StoreDraw(draw);
    return true;
}
