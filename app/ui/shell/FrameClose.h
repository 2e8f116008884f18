#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>

// The close box of a window's frame on an X11 display: the window manager sends the window the
// protocol message WM_DELETE_WINDOW. Qt drops that request while a modal window (a question, a
// dialog) blocks the window, so a close asked for then would be lost; this filter passes it on
// as a close of the window's own, which the window carries out once the question is answered.
// It installs itself for its lifetime.
class TFrameCloseFilter : public QAbstractNativeEventFilter {
public:
    // The atoms that name WM_PROTOCOLS and WM_DELETE_WINDOW on the display.
    TFrameCloseFilter(QWidget& window, std::uint32_t protocolsAtom, std::uint32_t deleteAtom);
    ~TFrameCloseFilter() override;
    TFrameCloseFilter(const TFrameCloseFilter&) = delete;
    TFrameCloseFilter& operator=(const TFrameCloseFilter&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QPointer<QWidget> FWindow;
    std::uint32_t FProtocolsAtom;
    std::uint32_t FDeleteAtom;
};

// The filter for the window when the program runs on an X11 display; none on other platforms.
std::unique_ptr<TFrameCloseFilter> InstallFrameCloseFilter(QWidget& window);
