#include "window/platform/XcbCloseRequestFilter.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

// The top bit of response_type marks an event sent by another client (XSendEvent), as a
// window manager sends WM_DELETE_WINDOW.
constexpr quint8 sentEventBit = 0x80;
// WM_PROTOCOLS messages carry 32-bit data: the protocol's atom comes first.
constexpr quint8 protocolsFormat = 32;

xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name) {
    if (connection == nullptr)
        return XCB_ATOM_NONE;
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, quint16(name.size()), name.constData());
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (reply == nullptr)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

} // namespace

XcbCloseRequestFilter::XcbCloseRequestFilter(QWidget& window, std::function<void()> onClose)
    : m_window(window), m_onClose(std::move(onClose)) {
    xcb_connection_t* connection = nullptr;
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        connection = x11->connection();
    m_protocolsAtom = internAtom(connection, QByteArrayLiteral("WM_PROTOCOLS"));
    m_deleteWindowAtom = internAtom(connection, QByteArrayLiteral("WM_DELETE_WINDOW"));
}

bool XcbCloseRequestFilter::nativeEventFilter(const QByteArray& eventType, void* message,
                                              qintptr*) {
    if (eventType != "xcb_generic_event_t" || m_deleteWindowAtom == XCB_ATOM_NONE)
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~sentEventBit) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->format != protocolsFormat || client->type != m_protocolsAtom ||
        client->data.data32[0] != m_deleteWindowAtom)
        return false;
    if (m_window.internalWinId() == 0 || client->window != xcb_window_t(m_window.internalWinId()))
        return false;
    // Not blocked: Qt's own close path handles it.
    const QWindow* modal = QGuiApplication::modalWindow();
    if (modal == nullptr || modal == m_window.windowHandle())
        return false;
    m_onClose();
    return true;
}
