#pragma once

#include "model/ColorValue.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class PalettesOO;
class ScreenPicker;

// Receives the application's launch, the tray icon's clicks and the preferences request.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(QObject *parent = nullptr);

    // How long the launch looks for a tray before it falls back to a window.
    void setTrayWait(int milliseconds) { m_trayWaitMs = milliseconds; }
    // Work that can wait until the launch has settled (the event loop first waits), before
    // the popover is made; at once when it already has.
    void afterLaunch(std::function<void()> work);

public slots:
    void applicationDidFinishLaunching();
    void togglePopover();
    void applicationWillTerminate();
    void OnPreferencesClicked();

    // Brings the popover up (or the window that stands in for it); used when another launch
    // asks this one to show itself.
    void showPopover();

    // Starts the screen picker; the colour goes to the "Picked" palette and the clipboard.
    void pickColor();

public:
    ScreenPicker *screenPicker();
    // Appends a picked colour to the "Picked" palette (made the first time) and copies it in
    // that palette's format.
    static void storePickedColor(const ColorValue &color);

signals:
    // The launch sequence has run.
    void launched();

private:
    void showWithoutTray();
    // Makes the popover and the tray menu, once: right after start-up, or at the first
    // request that needs them if that comes sooner.
    void buildPopover();
    void settle();

    int m_trayWaitMs = 5000;
    bool m_settled = false;
    std::vector<std::function<void()>> m_afterLaunch;
    PalettesOO *m_collection = nullptr;
    QPointer<ScreenPicker> m_picker;
};
