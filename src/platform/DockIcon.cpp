#include "platform/DockIcon.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QList>
#include <QVariant>
#include <QWidget>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <xcb/xcb.h>

namespace {
// The type a window had before it became a tool window here.
constexpr const char *ownTypeProperty = "swatchbarWindowType";

// The X11 connection, or nullptr on any other windowing system.
xcb_connection_t *x11Connection() {
    if (!qGuiApp)
        return nullptr;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

template <typename T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> XcbReply<T> xcbReply(T *reply) {
    return XcbReply<T>(reply, &std::free);
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name) {
    const auto reply = xcbReply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr));
    if (!reply)
        return XCB_ATOM_NONE;
    return reply->atom;
}

// Asks the window manager to add or remove the skip-taskbar state of X11 windows, and writes
// the state itself where nobody else will: on windows not yet mapped, and when no window
// manager runs.
class SkipTaskbar {
public:
    explicit SkipTaskbar(xcb_connection_t *connection)
        : m_connection(connection)
        , m_state(internAtom(connection, "_NET_WM_STATE"))
        , m_skipTaskbar(internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"))
        , m_wmCheck(internAtom(connection, "_NET_SUPPORTING_WM_CHECK")) {}

    void onMapped(xcb_window_t window, bool skip) const {
        if (!valid())
            return;
        const xcb_window_t root = rootOf(window);
        if (root == XCB_WINDOW_NONE)
            return;
        if (!hasWindowManager(root))
            write(window, skip);
        xcb_client_message_event_t message;
        std::memset(&message, 0, sizeof message);
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = m_state;
        message.data.data32[0] = skip ? 1 : 0; // add / remove
        message.data.data32[1] = m_skipTaskbar;
        message.data.data32[3] = 1; // from a normal application
        xcb_send_event(m_connection, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&message));
        xcb_flush(m_connection);
    }

    void onUnmapped(xcb_window_t window, bool skip) const {
        if (!valid())
            return;
        write(window, skip);
        xcb_flush(m_connection);
    }

private:
    bool valid() const { return m_state != XCB_ATOM_NONE && m_skipTaskbar != XCB_ATOM_NONE; }

    xcb_window_t rootOf(xcb_window_t window) const {
        const auto reply = xcbReply(
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
        if (!reply)
            return XCB_WINDOW_NONE;
        return reply->root;
    }

    bool hasWindowManager(xcb_window_t root) const {
        if (m_wmCheck == XCB_ATOM_NONE)
            return false;
        const auto reply = xcbReply(xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, root, m_wmCheck, XCB_ATOM_WINDOW, 0, 1),
            nullptr));
        return reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) >= 4;
    }

    // Rewrites the window's state list with the skip-taskbar state added or removed, keeping
    // every other state.
    void write(xcb_window_t window, bool skip) const {
        const auto reply = xcbReply(xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, window, m_state, XCB_ATOM_ATOM, 0, 1024), nullptr));
        QList<xcb_atom_t> atoms;
        if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto *data = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
            const int count =
                xcb_get_property_value_length(reply.get()) / static_cast<int>(sizeof(xcb_atom_t));
            for (int i = 0; i < count; ++i)
                atoms.append(data[i]);
        }
        if (atoms.contains(m_skipTaskbar) == skip)
            return;
        if (skip)
            atoms.append(m_skipTaskbar);
        else
            atoms.removeAll(m_skipTaskbar);
        if (atoms.isEmpty())
            xcb_delete_property(m_connection, window, m_state);
        else
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_state, XCB_ATOM_ATOM,
                                32, static_cast<uint32_t>(atoms.size()), atoms.constData());
    }

    xcb_connection_t *m_connection;
    xcb_atom_t m_state;
    xcb_atom_t m_skipTaskbar;
    xcb_atom_t m_wmCheck;
};

// The X11 helper with its atoms looked up once, or nullptr on any other windowing system.
const SkipTaskbar *skipTaskbar() {
    static xcb_connection_t *cachedFor = nullptr;
    static std::optional<SkipTaskbar> cached;
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return nullptr;
    if (connection != cachedFor) {
        cached.emplace(connection);
        cachedFor = connection;
    }
    return &*cached;
}
} // namespace

DockIcon::DockIcon(QObject *parent)
    : QObject(parent) {
}

void DockIcon::watchApplication() {
    if (m_watching || !qApp)
        return;
    qApp->installEventFilter(this);
    m_watching = true;
}

bool DockIcon::isManaged(const QWidget *widget) {
    if (!widget || !widget->isWindow() || widget->parentWidget())
        return false;
    if (widget->property(keepInTaskbarProperty).toBool())
        return false;
    const Qt::WindowFlags flags = widget->windowFlags();
    if (flags.testFlag(Qt::BypassWindowManagerHint) ||
        flags.testFlag(Qt::X11BypassWindowManagerHint))
        return false; // the tray icon's own embedded window, among others
    const Qt::WindowType type = widget->windowType();
    if (type == Qt::Tool) // only ours: a window that is a tool window by its own choice stays one
        return widget->property(ownTypeProperty).isValid();
    return type == Qt::Window || type == Qt::Dialog;
}

void DockIcon::setPolicy(DockIconPolicy policy) {
    if (policy == m_policy)
        return;
    // Until the policy first changes every window is as Qt makes it: nothing to watch.
    watchApplication();
    m_policy = policy;
    const bool skip = policy == DockIconPolicy::Accessory;
    const SkipTaskbar *x11 = skipTaskbar();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!isManaged(window))
            continue;
        // Changing the type of a window on screen would take it down and put it up again.
        if (x11) {
            // Hidden windows get the state when they are shown next.
            if (window->isVisible() && window->testAttribute(Qt::WA_WState_Created))
                x11->onMapped(static_cast<xcb_window_t>(window->winId()), skip);
        } else if (!window->isVisible()) {
            retype(window);
        }
    }
}

void DockIcon::retype(QWidget *window) const {
    if (!isManaged(window) || window->isVisible())
        return;
    const bool tool = m_policy == DockIconPolicy::Accessory;
    if ((window->windowType() == Qt::Tool) == tool)
        return;
    if (tool)
        window->setProperty(ownTypeProperty, static_cast<int>(window->windowType()));
    const QVariant own = window->property(ownTypeProperty);
    const Qt::WindowType type = tool            ? Qt::Tool
                                : own.isValid() ? static_cast<Qt::WindowType>(own.toInt())
                                                : Qt::Window;
    window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | type);
}

bool DockIcon::eventFilter(QObject *watched, QEvent *event) {
    if (!watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    if (event->type() == QEvent::Polish) {
        // A window is polished once, right before it first goes on screen: the moment to give
        // it the current type without a visible change.
        if (isManaged(widget) && !skipTaskbar())
            retype(widget);
    } else if (event->type() == QEvent::Show && !event->spontaneous()) {
        // Sent after the native window exists and before it is mapped, when the state is still
        // the window's own to set.
        if (isManaged(widget) && widget->testAttribute(Qt::WA_WState_Created)) {
            if (const SkipTaskbar *x11 = skipTaskbar())
                x11->onUnmapped(static_cast<xcb_window_t>(widget->winId()),
                                m_policy == DockIconPolicy::Accessory);
        }
    }
    return QObject::eventFilter(watched, event);
}
