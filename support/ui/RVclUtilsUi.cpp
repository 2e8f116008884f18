#include "support/ui/RVclUtilsUi.h"

#include "support/RMsgTypes.h"
#include "support/RVclUtils.h"
#include "support/ui/RDialogsUi.h"
#include "support/ui/RMsgViewer.h"
#include "support/ui/RStatusBar.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

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

} // namespace

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
