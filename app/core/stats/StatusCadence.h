#pragma once

#include <QElapsedTimer>

// When work that shows itself in the status line runs in a quick row (the tables and filter
// passes of a scenario run), the status, and the window's events let through with it, come at
// most once in an interval: the first time, then once the interval has passed. An interval
// of 0 shows every time.
class TStatusCadence {
public:
    explicit TStatusCadence(int intervalMs = 0) : FInterval(intervalMs) {}

    void SetInterval(int ms) { FInterval = ms; }
    // True when this time is to show; it then starts the next interval.
    bool Due()
    {
        if (FInterval > 0 && FTimer.isValid() && FTimer.elapsed() < FInterval)
            return false;
        FTimer.start();
        return true;
    }
    // Starts the next interval now, for a status that was shown regardless.
    void Restart() { FTimer.start(); }

private:
    int FInterval = 0;
    QElapsedTimer FTimer;
};
