#pragma once

// Keys typed into a window the way the window system delivers them: the shortcut map first,
// then the focus widget (with its shortcut override), then the widget's own handling. Events
// sent straight to a widget skip the shortcut map; these do not.

#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <QWidget>
#include <QWindow>

// Qt's own entry point for a key typed into a window; its test library uses it the same way.
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
                                    const QString& text = QString(), bool autorep = false, ushort count = 1);

// Press and release; the whole of what the key starts runs before this returns.
inline void TypeKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = QString())
{
    QWindow* window = widget->window()->windowHandle();
    qt_handleKeyEvent(window, QEvent::KeyPress, key, modifiers, text);
    qt_handleKeyEvent(window, QEvent::KeyRelease, key, modifiers, text);
}

// Shows the window and makes it the active one (shortcuts of a window work only then).
inline bool ActivateWindow(QWidget* window)
{
    window->show();
    window->activateWindow();
    QElapsedTimer timer;
    timer.start();
    while (QApplication::activeWindow() != window && timer.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return QApplication::activeWindow() == window;
}
