#include "support/ui/RVclUtilsUi.h"

#include "support/RMsgTypes.h"
#include "support/RVclUtils.h"
#include "support/ui/RDialogsUi.h"
#include "support/ui/RMsgViewer.h"
#include "support/ui/RStatusBar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringList>
#include <QWidget>

#include <algorithm>

namespace {

QPointer<QWidget>& MainFormRef()
{
    static QPointer<QWidget> form;
    return form;
}

struct THourglass {
    int ListenerId = 0;
    bool Held = false;
};

THourglass& Hourglass()
{
    static THourglass state;
    return state;
}

void FollowWaitCount(int count)
{
    THourglass& state = Hourglass();
    if (count > 0 && !state.Held) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        state.Held = true;
    } else if (count == 0 && state.Held) {
        QApplication::restoreOverrideCursor();
        state.Held = false;
    }
}

constexpr char kLiveProperty[] = "tavrixLiveWhileBusy";

// One per guarded window; filters the application's events only while the counter is above 0.
class TBusyInputGuard : public QObject {
public:
    explicit TBusyInputGuard(QWidget* window);
    ~TBusyInputGuard() override;

    QWidget* Window() const { return FWindow; }
    bool Blocks(const QWidget* widget) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowWaitCount(int count);

    QWidget* FWindow;
    int FListenerId = 0;
    bool FFiltering = false;
};

QList<TBusyInputGuard*>& Guards()
{
    static QList<TBusyInputGuard*> guards;
    return guards;
}

TBusyInputGuard* GuardOf(const QWidget* window)
{
    for (TBusyInputGuard* guard : Guards())
        if (guard->Window() == window)
            return guard;
    return nullptr;
}

TBusyInputGuard::TBusyInputGuard(QWidget* window) : QObject(window), FWindow(window)
{
    setObjectName(QStringLiteral("BusyInputGuard"));
    Guards().append(this);
    FListenerId = AddWaitListener([this](int count) { FollowWaitCount(count); });
    FollowWaitCount(WaitCount());
}

TBusyInputGuard::~TBusyInputGuard()
{
    RemoveWaitListener(FListenerId);
    if (FFiltering)
        qApp->removeEventFilter(this);
    Guards().removeAll(this);
}

void TBusyInputGuard::FollowWaitCount(int count)
{
    if (count > 0 && !FFiltering) {
        qApp->installEventFilter(this);
        FFiltering = true;
        // A button pressed before the wait began would click when the release comes through
        // (releases pass, so that spin boxes and drags end): it is let go without a click.
        if (FWindow) {
            for (QAbstractButton* button : FWindow->findChildren<QAbstractButton*>())
                if (button->isDown() && Blocks(button))
                    button->setDown(false);
        }
    } else if (count == 0 && FFiltering) {
        qApp->removeEventFilter(this);
        FFiltering = false;
    }
}

bool TBusyInputGuard::Blocks(const QWidget* widget) const
{
    if (widget->window() != FWindow)
        return false;
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w->property(kLiveProperty).toBool() || qobject_cast<const QMenuBar*>(w))
            return false;
        if (w == FWindow)
            break;
    }
    return true;
}

bool TBusyInputGuard::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:   // dropped unaccepted: the window's live shortcuts still match
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
        break;
    default:
        return false;
    }
    return watched->isWidgetType() && Blocks(static_cast<QWidget*>(watched));
}

} // namespace

void InstallBusyInputGuard(QWidget* window)
{
    if (window && !GuardOf(window))
        new TBusyInputGuard(window);
}

void SetLiveWhileBusy(QWidget* widget, bool live)
{
    widget->setProperty(kLiveProperty, live);
}

bool InputBlockedByWait(const QWidget* widget)
{
    if (!widget || IsNotWaiting())
        return false;
    const TBusyInputGuard* guard = GuardOf(widget->window());
    return guard && guard->Blocks(widget);
}

void SetMainForm(QWidget* form)
{
    MainFormRef() = form;
}

QWidget* MainForm()
{
    return MainFormRef().data();
}

void WriteStatusLine(const QString& text)
{
    QWidget* form = MainForm();
    if (!form)
        return;
    auto* bar = form->findChild<TStatusBar*>(QStringLiteral("StatusBar"));
    if (!bar)
        return;
    if (bar->SimplePanel())
        bar->SetSimpleText(text);
    else
        bar->SetPanelText(bar->Tag(), text);
}

void InstallStatusLine()
{
    SetStatusSink(WriteStatusLine);
}

void CentreOnScreen(QWidget* window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - window->rect().center());
    }
}

void RefreshBusyWindow(QWidget* window)
{
    window->repaint();
    window->raise();
    QCoreApplication::processEvents();
}

void InstallHourglass()
{
    THourglass& state = Hourglass();
    if (state.ListenerId != 0)
        return;
    state.ListenerId = AddWaitListener(FollowWaitCount);
    FollowWaitCount(WaitCount());
}

void RemoveHourglass()
{
    THourglass& state = Hourglass();
    if (state.ListenerId == 0)
        return;
    RemoveWaitListener(state.ListenerId);
    state.ListenerId = 0;
    if (state.Held) {
        QApplication::restoreOverrideCursor();
        state.Held = false;
    }
}

bool HourglassShown()
{
    return Hourglass().Held;
}

void InstallSupportUi(QWidget* mainForm)
{
    SetMainForm(mainForm);
    InstallQtMessageBoxes();
    InstallStatusLine();
    InstallHourglass();
    InstallMessageViewer();
}

QColor ColorFromBgr(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

void RefillComboBox(QComboBox* box, const QStringList& items)
{
    const int current = std::max(box->currentIndex(), 0);
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(std::min(current, static_cast<int>(box->count()) - 1));
}
