#pragma once

#include "platform/DockIcon.h"
#include "platform/Platform.h"

// Freedesktop desktops (X11 and Wayland): XEmbed or StatusNotifier tray, the FileManager1
// D-Bus interface and XDG autostart entries.
class LinuxPlatform : public Platform {
public:
    LinuxPlatform();

    bool isSystemTrayAvailable() const override;
    DockIconPolicy dockIconPolicy() const override;
    void setDockIconPolicy(DockIconPolicy policy) override;
    void revealInFileViewer(const QString &location) override;
    bool isAutostartEnabled() const override;
    bool setAutostartEnabled(bool enabled) override;

private:
    DockIcon m_dockIcon;
};
