#include "platform/LinuxPlatform.h"

#include "platform/Autostart.h"
#include "platform/FileViewer.h"

#include <QCoreApplication>
#include <QSystemTrayIcon>

LinuxPlatform::LinuxPlatform() = default;

bool LinuxPlatform::isSystemTrayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

DockIconPolicy LinuxPlatform::dockIconPolicy() const {
    return m_dockIcon.policy();
}

void LinuxPlatform::setDockIconPolicy(DockIconPolicy policy) {
    m_dockIcon.setPolicy(policy);
}

void LinuxPlatform::revealInFileViewer(const QString &location) {
    FileViewer::reveal(location);
}

bool LinuxPlatform::isAutostartEnabled() const {
    return Autostart::isEnabled();
}

bool LinuxPlatform::setAutostartEnabled(bool enabled) {
    return Autostart::setEnabled(enabled, QCoreApplication::applicationFilePath());
}
