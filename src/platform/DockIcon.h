#pragma once

#include "platform/Platform.h"

#include <QObject>

class QWidget;

// Keeps the application's top-level windows in the taskbar (regular) or out of it
// (accessory). On X11 a window leaves the taskbar through the skip-taskbar window state, which
// the window manager changes in place, so windows on screen are never taken down. Elsewhere
// there is no such state: windows opened later become tool windows, windows on screen keep
// what they have until they are hidden.
class DockIcon : public QObject {
    Q_OBJECT
public:
    explicit DockIcon(QObject *parent = nullptr);

    DockIconPolicy policy() const { return m_policy; }
    void setPolicy(DockIconPolicy policy);

    // A window with this property set to true stays in the taskbar whatever the policy: it is
    // the only way to reach the program when there is no tray.
    static constexpr const char *keepInTaskbarProperty = "swatchbarKeepInTaskbar";
    // Whether the policy applies to this widget.
    static bool isManaged(const QWidget *widget);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchApplication();
    // Gives a window that is not on screen the type that matches the policy (not on X11).
    void retype(QWidget *window) const;

    DockIconPolicy m_policy = DockIconPolicy::Regular;
    bool m_watching = false;
};
