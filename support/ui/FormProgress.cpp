#include "support/ui/FormProgress.h"

#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "support/ui/RVclUtilsUi.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace {

const TResString SProgressExists = RESSTR("FormProgress", "Окно индикатора уже создано!");
const TResString SPleaseWait = RESSTR("FormProgress", "Подождите пожалуйста...");
const TResString SCancel = RESSTR("FormProgress", "Отмена");
const TResString SCancelHint = RESSTR("FormProgress", "Прервать операцию");

constexpr int kClientWidth = 416;
constexpr int kHeightPlain = 74;
constexpr int kHeightWithStop = 105;

QPointer<TFormProgress>& ProgressRef()
{
    static QPointer<TFormProgress> form;
    return form;
}

} // namespace

TFormProgress::TFormProgress(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FormProgress"));
    setFont(QApplication::font());
    setFixedSize(kClientWidth, kHeightPlain);

    FPanel = new QFrame(this);
    FPanel->setObjectName(QStringLiteral("Panel"));
    FPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    FPanel->setGeometry(rect());

    FText = new QLabel(LoadResString(SPleaseWait), FPanel);
    FText->setObjectName(QStringLiteral("Text"));
    FText->setTextFormat(Qt::PlainText);
    FText->setAlignment(Qt::AlignCenter);
    FText->setGeometry(12, 10, 393, 19);

    FGauge = new QProgressBar(FPanel);
    FGauge->setObjectName(QStringLiteral("Gauge"));
    FGauge->setGeometry(12, 32, 393, 25);
    FGauge->setTextVisible(false);
    SetMaximum(100);

    FBtnStop = new QPushButton(LoadResString(SCancel), FPanel);
    FBtnStop->setObjectName(QStringLiteral("BtnStop"));
    FBtnStop->setToolTip(LoadResString(SCancelHint));
    FBtnStop->setGeometry(160, 68, 97, 25);
    FBtnStop->hide();
    // A disabled button stands for "the user asked to stop".
    connect(FBtnStop, &QPushButton::clicked, FBtnStop, [this] { FBtnStop->setEnabled(false); });

    CentreOnScreen(this);
}

void TFormProgress::SetStopVisible(bool visible)
{
    if (FBtnStop->isVisibleTo(this) == visible)
        return;
    FBtnStop->setVisible(visible);
    setFixedSize(kClientWidth, visible ? kHeightWithStop : kHeightPlain);
    FPanel->setGeometry(rect());
}

void TFormProgress::SetMaximum(int maximum)
{
    FMaximum = std::max(0, maximum);
    // A range of 0..0 would turn the bar into a busy indicator; an empty gauge stays empty.
    FGauge->setRange(0, std::max(1, FMaximum));
    FGauge->setValue(0);
}

void ShowProgress(const QString& text, int maximum, bool showStop)
{
    QPointer<TFormProgress>& form = ProgressRef();
    if (form)
        throw Exception(LoadResString(SProgressExists));
    form = new TFormProgress();
    form->SetStopVisible(showStop);
    form->BtnStop()->setEnabled(true);
    form->Text()->setText(text);
    form->SetMaximum(maximum);
    form->show();
    RefreshBusyWindow(form);
}

void SetProgressText(const QString& text)
{
    TFormProgress* form = ProgressRef();
    if (!form)
        return;
    form->Text()->setText(text);
    RefreshBusyWindow(form);
}

void StepProgress(int step)
{
    TFormProgress* form = ProgressRef();
    if (!form)
        return;
    QProgressBar* gauge = form->Gauge();
    const qint64 next = static_cast<qint64>(gauge->value()) + step;
    gauge->setValue(static_cast<int>(std::clamp<qint64>(next, 0, form->Maximum())));
    RefreshBusyWindow(form);
}

void HideProgress()
{
    delete ProgressRef().data();
}

TFormProgress* ProgressForm()
{
    return ProgressRef().data();
}

bool ProgressStopRequested()
{
    const TFormProgress* form = ProgressRef();
    return form && !form->BtnStop()->isEnabled();
}

TProgressScope::TProgressScope(const QString& text, int maximum, bool showStop)
{
    if (ProgressForm())
        return;
    ShowProgress(text, maximum, showStop);
    FOwns = true;
}

TProgressScope::~TProgressScope()
{
    Hide();
}

void TProgressScope::Step(int step) const
{
    if (FOwns)
        StepProgress(step);
}

void TProgressScope::Hide()
{
    if (FOwns)
        HideProgress();
    FOwns = false;
}

TProgressFunctions ScopedProgressFunctions()
{
    auto scope = std::make_shared<std::unique_ptr<TProgressScope>>();
    TProgressFunctions functions;
    functions.Show = [scope](const QString& text, int maximum) {
        // The scope before goes first, so that its window does not count as another's.
        scope->reset();
        *scope = std::make_unique<TProgressScope>(text, maximum);
    };
    functions.Step = [scope] {
        if (*scope)
            (*scope)->Step();
    };
    functions.Hide = [scope] { scope->reset(); };
    return functions;
}
