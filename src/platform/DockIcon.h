#pragma once

#include "platform/Platform.h"

#include <QObject>

class QWidget;

// Keeps the application's top-level windows in the taskbar (regular) or out of it
// (accessory). Accessory windows become tool windows, which taskbars leave out. Windows
// opened later follow the current policy; windows on screen are shown again with the change.
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
    void applyTo(QWidget *window) const;

    DockIconPolicy m_policy = DockIconPolicy::Regular;
    bool m_watching = false;
};
