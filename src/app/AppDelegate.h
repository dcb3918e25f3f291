#pragma once

#include <QObject>

// Receives the application's launch, the tray icon's clicks and the preferences request.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(QObject *parent = nullptr);

    // How long the launch looks for a tray before it falls back to a window.
    void setTrayWait(int milliseconds) { m_trayWaitMs = milliseconds; }

public slots:
    void applicationDidFinishLaunching();
    void togglePopover();
    void applicationWillTerminate();
    void OnPreferencesClicked();

    // Brings the popover up (or the window that stands in for it); used when another launch
    // asks this one to show itself.
    void showPopover();

signals:
    // The launch sequence has run.
    void launched();

private:
    void showWithoutTray();

    int m_trayWaitMs = 5000;
};
