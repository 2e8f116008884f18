#include "app/ui/UnitDraw.h"

#include "app/core/DrawArchive.h"
#include "engine/KelmaMsg.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"

#include "ui_FormDraw.h"

#include <QApplication>
#include <QEvent>
#include <QLocale>

#include <algorithm>

namespace {

const TResString SDrawCaption = RESSTR("UnitDraw", "Данные тиража");

constexpr int kWidth = 380;
constexpr int kHeightWithDate = 250;
// Without the date row the dialog is this high.
constexpr int kHeightWithoutDate = 200;

} // namespace

TFormDraw::TFormDraw(QWidget* parent) : TDialogSTemplate(parent), FUi(std::make_unique<Ui::FormDraw>())
{
    setObjectName(QStringLiteral("FormDraw"));
    setWindowTitle(LoadResString(SDrawCaption));
    FUi->setupUi(ClientPanel());
    FUi->edDrawDate->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    setFixedSize(kWidth, kHeightWithDate);
}

TFormDraw::~TFormDraw() = default;

void TFormDraw::LoadDraw(const TDrawRec& draw, bool withDate)
{
    FWithDate = withDate;
    FUi->edDrawNumber->setValue(static_cast<int>(std::min<std::uint32_t>(draw.Number, 2147483647u)));
    FUi->edDrawData->setText(DrawDigitsText(draw));
    FUi->lblDrawDate->setVisible(withDate);
    FUi->edDrawDate->setVisible(withDate);
    FUi->edDrawTime->setVisible(withDate);
    setFixedSize(kWidth, withDate ? kHeightWithDate : kHeightWithoutDate);
    if (!withDate)
        return;
    const QString key = draw.Key.Get();
    const TDateTime when = key.trimmed().isEmpty() ? ClockNow() : ParseDrawDate(key);
    const QDateTime moment = ToQDateTime(when);
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
    TDialogSTemplate::accept();
}

void TFormDraw::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        FUi->retranslateUi(ClientPanel());
    TDialogSTemplate::changeEvent(event);
}

bool EditDrawData(const QString& caption, TDrawRec& draw, bool withDate)
{
    TFormDraw form(QApplication::activeWindow());
    form.setWindowTitle(caption);
    form.LoadDraw(draw, withDate);
    if (form.exec() != QDialog::Accepted)
        return false;
    form.StoreDraw(draw);
    return true;
}
