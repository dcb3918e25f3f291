#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QTimer>

class QMenu;
class QSystemTrayIcon;

// The program's icon in the system tray. A left click emits clicked(). When no tray is there
// yet (a tray host that starts a little after the session), it keeps looking for a while
// before it gives up with trayUnavailable().
class StatusItem : public QObject {
    Q_OBJECT
public:
    explicit StatusItem(QObject *parent = nullptr);
    ~StatusItem() override;

    void setIcon(const QIcon &icon);
    void setToolTip(const QString &text);
    void setContextMenu(QMenu *menu);

    // Shows the icon, or starts looking for a tray for up to waitMs.
    void install(int waitMs = 5000);
    bool isInstalled() const { return m_installed; }
    // Where the icon is on screen, in global coordinates; empty when the tray does not say.
    QRect geometry() const;
    QSystemTrayIcon *trayIcon() const { return m_tray; }

signals:
    void clicked();
    void installed();
    void trayUnavailable();

private:
    void tryInstall();

    QSystemTrayIcon *m_tray;
    QTimer m_retry;
    int m_attemptsLeft = 0;
    bool m_installed = false;
};
