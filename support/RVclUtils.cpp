#include "support/RVclUtils.h"

#include "platform/DelphiText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QThread>

#include <algorithm>
#include <utility>

namespace {

struct TWaitState {
    int Count = 0;
    int NextListenerId = 1;
    QList<std::pair<int, TWaitListener>> Listeners;
};

TWaitState& WaitState()
{
    static TWaitState state;
    return state;
}

void NotifyWaitListeners()
{
    // A listener may add or remove listeners; the ones present when the change happened are told.
    const auto listeners = WaitState().Listeners;
    const int count = WaitState().Count;
    for (const auto& entry : listeners)
        entry.second(count);
}

TStatusSink& StatusSink()
{
    static TStatusSink sink;
    return sink;
}

void ProcessEventsOnce()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

} // namespace

void StartWait()
{
    ++WaitState().Count;
    NotifyWaitListeners();
}

TBusyScope::TBusyScope(const QString& status) : FShowsStatus(!status.isEmpty())
{
    StartWait();
    if (FShowsStatus)
        ShowInStatusBar(status);
}

TBusyScope::~TBusyScope()
{
    if (FShowsStatus)
        ShowInStatusBar(QString());
    StopWait();
}

void StopWait()
{
    if (WaitState().Count > 0)
        --WaitState().Count;
    NotifyWaitListeners();
}

bool IsNotWaiting()
{
    return WaitState().Count == 0;
}

int WaitCount()
{
    return WaitState().Count;
}

int AddWaitListener(TWaitListener listener)
{
    TWaitState& state = WaitState();
    const int id = state.NextListenerId++;
    state.Listeners.append({id, std::move(listener)});
    return id;
}

void RemoveWaitListener(int id)
{
    auto& listeners = WaitState().Listeners;
    listeners.removeIf([id](const auto& entry) { return entry.first == id; });
}

TStatusSink SetStatusSink(TStatusSink sink)
{
    return std::exchange(StatusSink(), std::move(sink));
}

void ShowInStatusBar(const QString& text)
{
    if (const TStatusSink& sink = StatusSink())
        sink(text);
    ProcessEventsOnce();
}

void Delay(int ms)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        ProcessEventsOnce();
        const qint64 left = ms - timer.elapsed();
        if (left <= 0)
            break;
        // Short naps keep the window responsive without spinning a core for the whole wait.
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, 5)));
    }
}

QString BoolToStr01(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

bool StrToBool01(const QString& text)
{
    return text == QLatin1String("1");
}

QString FloatToStrPoint(long double value)
{
    QString text = FloatToStr(value);
    text.replace(DecimalSeparator(), QLatin1Char('.'));
    return text;
}

long double StrToFloatAnyDef(const QString& text, long double defaultValue)
{
    const QChar decimal = DecimalSeparator();
    QString cleaned;
    cleaned.reserve(text.size());
    for (const QChar c : text) {
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-'))
            cleaned += c;
        else if (c == QLatin1Char(',') || c == QLatin1Char('.') || c == decimal)
            cleaned += decimal;
    }
    long double value = 0;
    return TryStrToFloat(cleaned, value) ? value : defaultValue;
}
