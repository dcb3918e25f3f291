#pragma once

class QWidget;

// Whether a click may make one of our windows the active one. On X11 a window that declines
// input focus (no input hint, no WM_TAKE_FOCUS) is left inactive by the window manager when
// clicked, so a copy does not take the keyboard from the user's application. Other window
// systems decide activation themselves: there the calls change nothing.
class WindowFocus {
public:
    WindowFocus() = delete;

    static bool isSupported();
    // Declining windows stay inactive on clicks; accepting ones behave as usual.
    static void setAcceptsFocus(QWidget *window, bool accepts);
    static bool acceptsFocus(const QWidget *window);
};
