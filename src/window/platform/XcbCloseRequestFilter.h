#pragma once

#include <QAbstractNativeEventFilter>
#include <QtGlobal>
#include <functional>

class QWidget;

// Hands the window manager's close of `window` (the WM_DELETE_WINDOW message of X11) to
// `onClose` while a modal box blocks that window. Qt drops such a close, since the box has
// the input, so without this filter the window's close button does nothing while a box is
// up. The close of a window that no box blocks, and every other event, goes on to Qt as
// before. X11 only: install it when QGuiApplication::platformName() is "xcb".
//
// Example:
//   XcbCloseRequestFilter filter(form, [&] { closer.close(); });
//   app.installNativeEventFilter(&filter);
class XcbCloseRequestFilter : public QAbstractNativeEventFilter {
public:
    // Looks up the two atoms on the application's X connection.
    XcbCloseRequestFilter(QWidget& window, std::function<void()> onClose);

    // True (the event is taken) only for a close of `window` while a box blocks it.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QWidget& m_window;
    std::function<void()> m_onClose;
    quint32 m_protocolsAtom = 0;    // WM_PROTOCOLS
    quint32 m_deleteWindowAtom = 0; // WM_DELETE_WINDOW
};
