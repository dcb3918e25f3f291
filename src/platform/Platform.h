#pragma once

#include <QString>
#include <memory>

// Whether the application's windows show up in the taskbar (regular) or stay out of it
// (accessory), the desktop's nearest match to having a dock icon or not.
enum class DockIconPolicy { Regular, Accessory };

// What the shell needs from the desktop it runs on. There is one implementation per desktop
// family; tests may install their own.
class Platform {
public:
    virtual ~Platform();

    // A tray host is running that can show a status icon.
    virtual bool isSystemTrayAvailable() const = 0;

    virtual DockIconPolicy dockIconPolicy() const = 0;
    virtual void setDockIconPolicy(DockIconPolicy policy) = 0;

    // Shows a file or folder in the file viewer.
    virtual void revealInFileViewer(const QString &location) = 0;

    // Starting at login. setAutostart returns whether the change was made; a failure has been
    // reported in one line.
    virtual bool isAutostartEnabled() const = 0;
    virtual bool setAutostartEnabled(bool enabled) = 0;

    // The platform in use: the one installed last, or the native one on first use.
    static Platform &instance();
    static void setInstance(std::unique_ptr<Platform> platform);
};
