#include "support/ui/FormWait.h"

#include "support/RStrUtils.h"
#include "support/ui/RVclUtilsUi.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QStringList>

#include <algorithm>

namespace {

constexpr int kClientWidth = 355;
constexpr int kClientHeight = 77;
constexpr int kLabelLeft = 4;
constexpr int kLabelWidth = 346;
constexpr int kLabelMinHeight = 10;
constexpr int kLabelMaxHeight = 53;

// A line wider than the window is shortened in its middle, its beginning and its end (an
// attempt's number, a port) kept in sight: a word no break can split (a long host name) would
// otherwise run past both edges, and wrapped lines past the few the window has room for.
QString FittedLines(const QString& text, const QFontMetrics& metrics, int width)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (metrics.horizontalAdvance(line) > width)
            line = metrics.elidedText(line, Qt::ElideMiddle, width);
    return lines.join(QLatin1Char('\n'));
}

QPointer<TFormWait>& WaitFormRef()
{
    static QPointer<TFormWait> form;
    return form;
}

} // namespace

TFormWait::TFormWait(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FormWait"));
    // It only shows a text: the focus stays in the window that is waiting, where the commands
    // meant for long work (stop, close) keep their keys.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(QApplication::font("QMenu"));

    FInfoPanel = new QFrame(this);
    FInfoPanel->setObjectName(QStringLiteral("InfoPanel"));
    FInfoPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    FInfoPanel->setLineWidth(2);
    FInfoPanel->setGeometry(0, 0, kClientWidth, kClientHeight);

    FInfoLabel = new QLabel(FInfoPanel);
    FInfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    FInfoLabel->setTextFormat(Qt::PlainText);
    FInfoLabel->setAlignment(Qt::AlignCenter);
    FInfoLabel->setWordWrap(true);
    FInfoLabel->setGeometry(kLabelLeft, 0, kLabelWidth, kLabelMinHeight);
    CentreOnScreen(this);
}

void TFormWait::SetText(const QString& text)
{
    // A proxy's host is the user's or a list site's text: shown as the boxes show it.
    FInfoLabel->setText(FittedLines(ShownText(text), FInfoLabel->fontMetrics(), kLabelWidth));
    const int height = std::clamp(FInfoLabel->heightForWidth(kLabelWidth), kLabelMinHeight, kLabelMaxHeight);
    FInfoLabel->setGeometry(kLabelLeft, (FInfoPanel->height() - height) / 2, kLabelWidth, height);
}

QString TFormWait::Text() const
{
    return FInfoLabel->text();
}

void ShowWaitForm(const QString& text)
{
    QPointer<TFormWait>& form = WaitFormRef();
    // A tool window of the main window: the window manager keeps it above the main window, so a
    // click there cannot bury it while the wait goes on.
    if (!form)
        form = new TFormWait(MainForm());
    if (!form->isVisible())
        form->show();
    form->SetText(text);
    RefreshBusyWindow(form);
}

void UpdateWaitForm(const QString& text)
{
    TFormWait* form = WaitFormRef();
    if (!form)
        return;
    form->SetText(text);
    RefreshBusyWindow(form);
}

void HideWaitForm()
{
    delete WaitFormRef().data();
}

TFormWait* WaitForm()
{
    return WaitFormRef().data();
}
