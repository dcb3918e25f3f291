#include "platform/WindowFocus.h"

#include <QGuiApplication>
#include <QList>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace {
xcb_connection_t *x11Connection() {
    if (!qGuiApp)
        return nullptr;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name) {
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
            nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Qt always offers WM_TAKE_FOCUS, through which the window manager would hand the window the
// focus anyway; a declining window withdraws it.
void setTakeFocusProtocol(xcb_connection_t *connection, xcb_window_t window, bool offered) {
    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t takeFocus = atom(connection, "WM_TAKE_FOCUS");
    if (protocols == XCB_ATOM_NONE || takeFocus == XCB_ATOM_NONE)
        return;
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, protocols, XCB_ATOM_ATOM, 0, 64),
            nullptr),
        &std::free);
    QList<xcb_atom_t> atoms;
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *data = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        const int count =
            xcb_get_property_value_length(reply.get()) / static_cast<int>(sizeof(xcb_atom_t));
        for (int i = 0; i < count; ++i)
            atoms.append(data[i]);
    }
    if (atoms.contains(takeFocus) == offered)
        return;
    if (offered)
        atoms.append(takeFocus);
    else
        atoms.removeAll(takeFocus);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, protocols, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.constData());
    xcb_flush(connection);
}
} // namespace

bool WindowFocus::isSupported() {
    return x11Connection() != nullptr;
}

void WindowFocus::setAcceptsFocus(QWidget *window, bool accepts) {
    if (!window || !isSupported())
        return;
    window->winId(); // the native window must exist to carry the hints
    QWindow *handle = window->windowHandle();
    if (!handle)
        return;
    // Set on the native window directly: a widget's setWindowFlags would unmap a window on
    // screen.
    handle->setFlag(Qt::WindowDoesNotAcceptFocus, !accepts);
    setTakeFocusProtocol(x11Connection(), static_cast<xcb_window_t>(window->winId()), accepts);
}

bool WindowFocus::acceptsFocus(const QWidget *window) {
    if (!window || !window->windowHandle())
        return true;
    return !window->windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus);
}
