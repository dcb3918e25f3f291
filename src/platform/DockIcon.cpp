#include "platform/DockIcon.h"

#include <QApplication>
#include <QEvent>
#include <QVariant>
#include <QWidget>

namespace {
// The type a window had before it became a tool window here.
constexpr const char *ownTypeProperty = "swatchbarWindowType";
} // namespace

DockIcon::DockIcon(QObject *parent)
    : QObject(parent) {
    watchApplication();
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
    watchApplication();
    if (policy == m_policy)
        return;
    m_policy = policy;
    for (QWidget *window : QApplication::topLevelWidgets())
        applyTo(window);
}

void DockIcon::applyTo(QWidget *window) const {
    if (!isManaged(window))
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
    // Changing the type of a window that is on screen takes it off screen; put it back where it
    // was.
    const bool visible = window->isVisible();
    const QRect geometry = window->geometry();
    window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | type);
    if (visible) {
        window->setGeometry(geometry);
        window->show();
    }
}

bool DockIcon::eventFilter(QObject *watched, QEvent *event) {
    // A window is polished once, right before it first goes on screen: the moment to give it
    // the current type without a visible change.
    if (event->type() == QEvent::Polish && watched->isWidgetType())
        applyTo(static_cast<QWidget *>(watched));
    return QObject::eventFilter(watched, event);
}
