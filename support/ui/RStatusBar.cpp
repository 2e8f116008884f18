#include "support/ui/RStatusBar.h"

#include <QLabel>

namespace {

QLabel* MakePanelLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    // A long status text must not widen the window.
    label->setMinimumWidth(1);
    return label;
}

} // namespace

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
    FSimpleLabel = MakePanelLabel(this);
    addWidget(FSimpleLabel, 1);
    FSimpleLabel->hide();
}

int TStatusBar::AddPanel(int width)
{
    TPanel panel;
    panel.Label = MakePanelLabel(this);
    panel.Width = width;
    if (width >= 0) {
        panel.Label->setFixedWidth(width);
        addWidget(panel.Label, 0);
    } else {
        addWidget(panel.Label, 1);
    }
    panel.Label->setVisible(!FSimplePanel);
    FPanels.push_back(panel);
    return PanelCount() - 1;
}

QString TStatusBar::PanelText(int index) const
{
    if (index < 0 || index >= PanelCount())
        return QString();
    return FPanels[static_cast<size_t>(index)].Label->text();
}

void TStatusBar::SetPanelText(int index, const QString& text)
{
    if (index < 0 || index >= PanelCount())
        return;
    FPanels[static_cast<size_t>(index)].Label->setText(text);
}

int TStatusBar::PanelWidth(int index) const
{
    if (index < 0 || index >= PanelCount())
        return 0;
    return FPanels[static_cast<size_t>(index)].Width;
}

void TStatusBar::SetSimplePanel(bool simple)
{
    if (simple == FSimplePanel)
        return;
    FSimplePanel = simple;
    for (const TPanel& panel : FPanels)
        panel.Label->setVisible(!simple);
    FSimpleLabel->setVisible(simple);
}

QString TStatusBar::SimpleText() const
{
    return FSimpleLabel->text();
}

void TStatusBar::SetSimpleText(const QString& text)
{
    FSimpleLabel->setText(text);
}
