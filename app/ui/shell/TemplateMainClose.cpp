// The main window's shut-down and its events: every close of the window comes here, and the
// program ends with the close that is accepted.

#include "app/ui/shell/TemplateMain.h"

#include "app/core/scenarios/ScriptRunner.h"
#include "platform/DelphiText.h"
#include "support/RVclUtils.h"

#include "ui_FormMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QStatusTipEvent>
#include <QTimer>

void TTemplateMain::FormDestroy()
{
    if (FDestroyed)
        return;
    FDestroyed = true;
    FStartup.Destroy();
}

void TTemplateMain::EndApplication(int exitCode)
{
    if (!FEndRequested)
        FExitCode = exitCode;
    FEndRequested = true;
    // The window closes through the event loop, as a close by the user would.
    QTimer::singleShot(0, this, [this] { CloseWhenIdle(); });
}

void TTemplateMain::CloseWhenIdle()
{
    FCloseRequested = false;
    // A window that was never shown has no event loop to leave: the program's entry looks at
    // EndRequested before it starts one.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            close();
    });
}

void TTemplateMain::ScriptStopExecute()
{
    FScriptRunner->ScriptStop();
}

bool TTemplateMain::event(QEvent* event)
{
    // Hints of commands and controls go to the message panel, unless a long operation is
    // using it for its progress.
    if (event->type() == QEvent::StatusTip) {
        if (IsNotWaiting())
            ShowStatus(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TTemplateMain::closeEvent(QCloseEvent* event)
{
    event->ignore();
    // A running scenario is asked to stop first; the window closes once the run has ended.
    if (FState.FScriptRunning) {
        if (FStartup.CloseQuery([this] { ScriptStopExecute(); }))
            FCloseRequested = true;
        return;
    }
    // A long operation runs inside this window's event handling, or a question waits for its
    // answer in a loop of its own: the close waits for its end (the wait listener, the start-up
    // timer or the modal window's going call CloseWhenIdle).
    if (FInitRunning || !IsNotWaiting() || WaitForModalWindow()) {
        FCloseRequested = true;
        return;
    }
    if (!FStartup.CloseQuery([this] { ScriptStopExecute(); }))
        return;
    event->accept();
    FCloseRequested = false;
    // Every close of the window ends here, and with it the program: whatever windows are still
    // open (the message viewer has no owner), none of them keeps the process and its folder.
    emit Closed();
}

bool TTemplateMain::WaitForModalWindow()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    if (modal != FModalWindow) {
        if (FModalWindow)
            FModalWindow->removeEventFilter(this);
        FModalWindow = modal;
        modal->installEventFilter(this);
    }
    return true;
}

bool TTemplateMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FModalWindow && event->type() == QEvent::Hide) {
        FModalWindow->removeEventFilter(this);
        FModalWindow = nullptr;
        // Another modal window below it, or an operation still running, keeps the close waiting.
        if (FCloseRequested)
            CloseWhenIdle();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TTemplateMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        FUi->retranslateUi(this);
        FAppTitle = windowTitle();
        if (!FCaptionVersion.isEmpty())
            setWindowTitle(windowTitle() + LoadResString(rsCaptionVersion) + FCaptionVersion);
        TranslateActions();
    }
    QMainWindow::changeEvent(event);
}
