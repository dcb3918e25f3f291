#include "app/Shell.h"

#include "app/PreferencesWindow.h"
#include "platform/Platform.h"
#include "platform/PopoverWindow.h"
#include "platform/StatusItem.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "views/popover/MenuItemView.h"

#include <QTimer>
#include <cstdio>
#include <unistd.h>

ShellSlot<MenuItemView> menuView;
ShellSlot<PopoverWindow> popover;
ShellSlot<StatusItem> statusItem;
ShellSlot<PreferencesWindow> preferencesWindow;
ShellSlot<QTimer> dockPolicyTimer;

namespace {
constexpr int dockPolicyDelayMs = 300;
} // namespace

void showPreferences() {
    // An earlier window still on screen would show stale toggles next to the new one: close it
    // first, so its own dock-icon request comes before the new window's.
    if (preferencesWindow && preferencesWindow->isVisible())
        preferencesWindow->close();
    preferencesWindow.reset(new PreferencesWindow);
}

void quitApplication() {
    // Everything was saved when it changed; only what the settings store still holds in memory
    // goes to disk. Then end without running any teardown.
    Manager::finishWrites();
    Settings::sync();
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(0);
}

void applyDockIconPolicy(bool showDockIcon) {
    Platform::instance().setDockIconPolicy(showDockIcon ? DockIconPolicy::Regular
                                                        : DockIconPolicy::Accessory);
}

void scheduleDockIconPolicy(bool showDockIcon) {
    if (dockPolicyTimer)
        dockPolicyTimer->stop();
    auto *timer = new QTimer;
    timer->setSingleShot(true);
    timer->setInterval(dockPolicyDelayMs);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [showDockIcon] { applyDockIconPolicy(showDockIcon); });
    timer->start();
    dockPolicyTimer.reset(timer);
}
