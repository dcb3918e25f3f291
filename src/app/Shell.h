#pragma once

#include "app/ShellSlot.h"

// Actions of the shell that views trigger.

// Creates a new preferences window and keeps it in preferencesWindow, as the delegate's
// OnPreferencesClicked does.
void showPreferences();
// Ends the process at once with status 0.
[[noreturn]] void quitApplication();
// Applies the dock-icon policy 0.3 s from now, cancelling any pending request.
void scheduleDockIconPolicy(bool showDockIcon);
// Applies the dock-icon policy now.
void applyDockIconPolicy(bool showDockIcon);

// The shell's process-wide state. Each holds one object; storing a new one releases the
// previous one.
class MenuItemView;
class PopoverWindow;
class StatusItem;
class PreferencesWindow;
class QTimer;

extern ShellSlot<MenuItemView> menuView;
extern ShellSlot<PopoverWindow> popover;
extern ShellSlot<StatusItem> statusItem;
extern ShellSlot<PreferencesWindow> preferencesWindow;
extern ShellSlot<QTimer> dockPolicyTimer;
