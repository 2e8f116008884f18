#include "app/ui/stakes/UnitTestCnt.h"

#include "app/core/scenarios/ScriptDialogs.h"
#include "platform/ResString.h"

#include <QEvent>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const TResString SCaption = RESSTR("UnitTestCnt", "Количество тестов");
const TResString SPrompt = RESSTR("UnitTestCnt", "Укажите количество тестов:");
const TResString SHint = RESSTR("UnitTestCnt",
    "Укажите количество последних тиражей, на которых будет производится тестирование");

constexpr int kDesignedWidth = 260;

} // namespace

TFormTestCnt::TFormTestCnt(QWidget* parent) : TDialogSTemplate(parent)
{
    setObjectName(QStringLiteral("FormTestCnt"));
    setWindowFlag(Qt::Tool);
    FLabel = new QLabel(ClientPanel());
    FLabel->setObjectName(QStringLiteral("lblTestCount"));
    edTestCount = new QSpinBox(ClientPanel());
    edTestCount->setObjectName(QStringLiteral("edTestCount"));
    FLabel->setBuddy(edTestCount);
    auto* layout = new QVBoxLayout(ClientPanel());
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(4);
    layout->addWidget(FLabel);
    layout->addWidget(edTestCount);
    layout->addStretch(1);
    TranslateTexts();
    SetLargest(DefaultTestCount);
    FitToLayout(kDesignedWidth);
}

void TFormTestCnt::SetLargest(int largest)
{
    const TTestCountRange range = TestCountRange(largest);
    edTestCount->setRange(range.Minimum, std::max(range.Maximum, range.Minimum));
    edTestCount->setValue(range.Valid() ? range.Initial : range.Minimum);
}

int TFormTestCnt::TestCount() const
{
    return edTestCount->value();
}

void TFormTestCnt::TranslateTexts()
{
    setWindowTitle(LoadResString(SCaption));
    FLabel->setText(LoadResString(SPrompt));
    edTestCount->setToolTip(LoadResString(SHint));
}

void TFormTestCnt::changeEvent(QEvent* event)
{
    TDialogSTemplate::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        TranslateTexts();
}

int AskTestCount(QWidget* owner, int largest)
{
    if (!TestCountRange(largest).Valid())
        return 0;
    TFormTestCnt form(owner);
    form.SetLargest(largest);
    return form.exec() == QDialog::Accepted ? form.TestCount() : 0;
}
