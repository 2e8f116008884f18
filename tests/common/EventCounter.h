#pragma once

// Counts the events of one type that reach the objects it is installed on as an event filter
// (windows shown, language changes, paints), letting every event through.

#include <QEvent>
#include <QObject>

class TEventCounter : public QObject {
public:
    explicit TEventCounter(QEvent::Type type) : FType(type) {}

    int Count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == FType)
            ++Count;
        return QObject::eventFilter(watched, event);
    }

private:
    QEvent::Type FType;
};
