#include "support/ui/RStatusBar.h"

#include <QEvent>
#include <QLabel>

#include <algorithm>

namespace {

void SetPanelLook(QLabel* label)
{
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
}

// A panel that asks for its width, or for the room of its sample or its text when wider, and
// gives way down to its text.
class TPanelLabel : public QLabel {
public:
    TPanelLabel(int width, TStatusBar::TSampleText sample, QWidget* parent)
        : QLabel(parent), FWidth(width), FSample(std::move(sample))
    {
        SetPanelLook(this);
        MeasureSample();
    }

    QSize sizeHint() const override
    {
        QSize hint = QLabel::sizeHint();
        hint.setWidth(std::max({hint.width(), FWidth, FSampleWidth}));
        return hint;
    }

protected:
    void changeEvent(QEvent* event) override
    {
        QLabel::changeEvent(event);
        switch (event->type()) {
        case QEvent::FontChange:
        case QEvent::StyleChange:
        case QEvent::LanguageChange: MeasureSample(); break;
        default: break;
        }
    }

private:
    // The sample measured the way the label measures its own text: in a label of the same
    // font, frame and indent.
    void MeasureSample()
    {
        int width = 0;
        if (FSample) {
            QLabel probe;
            SetPanelLook(&probe);
            probe.setFont(font());
            probe.setIndent(indent());
            probe.setMargin(margin());
            probe.setText(FSample());
            width = probe.sizeHint().width();
        }
        if (width != FSampleWidth) {
            FSampleWidth = width;
            updateGeometry();
        }
    }

    int FWidth;
    TStatusBar::TSampleText FSample;
    int FSampleWidth = 0;
};

} // namespace

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
    FSimpleLabel = new QLabel(this);
    SetPanelLook(FSimpleLabel);
    // A long status text must not widen the window.
    FSimpleLabel->setMinimumWidth(1);
    addWidget(FSimpleLabel, 1);
    FSimpleLabel->hide();
    // Outside the layout, over the panels it covers.
    FOverflow = new QLabel(this);
    SetPanelLook(FOverflow);
    FOverflow->setAutoFillBackground(true);
    FOverflow->hide();
}

int TStatusBar::AddPanel(int width, TSampleText sample)
{
    QLabel* label = nullptr;
    if (width >= 0) {
        label = new TPanelLabel(width, std::move(sample), this);
        addWidget(label, 0);
    } else {
        label = new QLabel(this);
        SetPanelLook(label);
        // A long status text must not widen the window.
        label->setMinimumWidth(1);
        addWidget(label, 1);
        label->installEventFilter(this);
    }
    label->setVisible(!FSimplePanel);
    FPanels.push_back(label);
    return PanelCount() - 1;
}

QLabel* TStatusBar::PanelLabel(int index) const
{
    if (index < 0 || index >= PanelCount())
        return nullptr;
    return FPanels[static_cast<size_t>(index)];
}

QString TStatusBar::PanelText(int index) const
{
    const QLabel* label = PanelLabel(index);
    return label ? label->text() : QString();
}

void TStatusBar::SetPanelText(int index, const QString& text)
{
    if (QLabel* label = PanelLabel(index)) {
        label->setText(text);
        if (index == FTag)
            PlaceOverflow();
    }
}

int TStatusBar::PanelWidth(int index) const
{
    const auto* panel = dynamic_cast<const TPanelLabel*>(PanelLabel(index));
    return panel ? panel->sizeHint().width() : 0;
}

void TStatusBar::SetSimplePanel(bool simple)
{
    if (simple == FSimplePanel)
        return;
    FSimplePanel = simple;
    for (QLabel* label : FPanels)
        label->setVisible(!simple);
    FSimpleLabel->setVisible(simple);
    PlaceOverflow();
}

QString TStatusBar::SimpleText() const
{
    return FSimpleLabel->text();
}

void TStatusBar::SetSimpleText(const QString& text)
{
    FSimpleLabel->setText(text);
}

bool TStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PanelLabel(FTag) && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        PlaceOverflow();
    return QStatusBar::eventFilter(watched, event);
}

void TStatusBar::PlaceOverflow()
{
    QLabel* panel = PanelLabel(FTag);
    // Only the panel that takes the space left can be short of it: the others widen.
    const bool stretches = panel && !dynamic_cast<TPanelLabel*>(panel);
    const int wanted = stretches ? panel->sizeHint().width() : 0;
    if (!stretches || FSimplePanel || panel->text().isEmpty() || wanted <= panel->width()) {
        FOverflow->hide();
        return;
    }
    const QRect room = panel->geometry();
    int left = std::max(contentsRect().left(), room.right() + 1 - wanted);
    // Panels are covered whole, not left with half a word showing.
    for (const QLabel* other : FPanels)
        if (other->isVisible() && other->geometry().left() < left && other->geometry().right() >= left)
            left = other->geometry().left();
    FOverflow->setFont(panel->font());
    FOverflow->setText(panel->text());
    FOverflow->setGeometry(left, room.top(), room.right() + 1 - left, room.height());
    FOverflow->show();
    FOverflow->raise();
}
