#include "app/ui/shell/FrameClose.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

TFrameCloseFilter::TFrameCloseFilter(QWidget& window, std::uint32_t protocolsAtom, std::uint32_t deleteAtom)
    : FWindow(&window), FProtocolsAtom(protocolsAtom), FDeleteAtom(deleteAtom)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

TFrameCloseFilter::~TFrameCloseFilter()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool TFrameCloseFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || !FWindow || !QApplication::activeModalWidget())
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->format != 32 || client->type != FProtocolsAtom || client->data.data32[0] != FDeleteAtom
        || client->window != FWindow->internalWinId())
        return false;
    // Not from inside the display's event handling: the window's close may ask the user.
    QTimer::singleShot(0, FWindow, [window = FWindow] {
        if (window)
            window->close();
    });
    // Qt goes on and drops it.
    return false;
}

std::unique_ptr<TFrameCloseFilter> InstallFrameCloseFilter(QWidget& window)
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return nullptr;
    const auto atom = [connection](const char* name) -> std::uint32_t {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        const std::uint32_t value = reply ? reply->atom : std::uint32_t{XCB_ATOM_NONE};
        std::free(reply);
        return value;
    };
    const std::uint32_t protocols = atom("WM_PROTOCOLS");
    const std::uint32_t deleteWindow = atom("WM_DELETE_WINDOW");
    if (protocols == XCB_ATOM_NONE || deleteWindow == XCB_ATOM_NONE)
        return nullptr;
    return std::make_unique<TFrameCloseFilter>(window, protocols, deleteWindow);
}
