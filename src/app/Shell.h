#pragma once

// Actions of the shell that views trigger.

// Creates a new preferences window and keeps it in preferencesWindow, as the delegate's
// OnPreferencesClicked does.
void showPreferences();
// Ends the process at once with status 0.
[[noreturn]] void quitApplication();
// Applies the dock-icon policy 0.3 s from now, cancelling any pending request.
void scheduleDockIconPolicy(bool showDockIcon);
