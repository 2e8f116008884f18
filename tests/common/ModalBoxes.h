#pragma once

// Message boxes shown for real: each box is a modal Qt message box over the active window,
// runs its own event loop while the window below loses the focus to it, and is closed with its
// default button once it has been the active window for a while. Scripted boxes answer at once
// and so never show what a box does to the controls behind it (an open cell editor, a field
// that is left); these do.

#include "support/RDialogs.h"
#include "support/ui/RDialogsUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <memory>

class TModalBoxes {
public:
    TModalBoxes()
    {
        FPrevious = SetMessageBoxHandler([this](const TBoxRequest& box) { return Show(box); });
    }
    ~TModalBoxes() { SetMessageBoxHandler(FPrevious); }
    TModalBoxes(const TModalBoxes&) = delete;
    TModalBoxes& operator=(const TModalBoxes&) = delete;

    // Every box shown so far, oldest first.
    QList<TBoxRequest> Boxes;
    // The most boxes that were open at one time (a box over a box counts 2).
    int MostOpen = 0;
    // Whether the box became the active window (the focus left the window below).
    bool EveryBoxActive = true;

private:
    int Show(const TBoxRequest& request)
    {
        Boxes.append(request);
        const std::unique_ptr<QMessageBox> box = CreateQtMessageBox(request, QApplication::activeWindow());
        ++FOpen;
        MostOpen = std::max(MostOpen, FOpen);
        const QPointer<QMessageBox> shown = box.get();
        QTimer::singleShot(0, box.get(), [this, shown] {
            QElapsedTimer timer;
            timer.start();
            while (shown && QApplication::activeWindow() != shown && timer.elapsed() < 3000) {
                QApplication::processEvents(QEventLoop::AllEvents, 20);
                QThread::msleep(2);
            }
            if (shown && QApplication::activeWindow() != shown)
                EveryBoxActive = false;
            // A while in the box's loop: whatever the window below does on losing the focus
            // (and whatever it deletes later) happens now.
            for (int i = 0; i < 20 && shown; ++i) {
                QApplication::processEvents(QEventLoop::AllEvents, 5);
                QThread::msleep(1);
            }
            if (shown && shown->defaultButton())
                shown->defaultButton()->click();
            else if (shown)
                shown->accept();
        });
        box->exec();
        --FOpen;
        return QtMessageBoxResult(*box);
    }

    int FOpen = 0;
    TMessageBoxHandler FPrevious;
};
