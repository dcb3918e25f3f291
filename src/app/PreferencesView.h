#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

// The preferences panel: start at login, the dock icon, the palettes folder and the credits.
class PreferencesView : public QWidget {
    Q_OBJECT
public:
    explicit PreferencesView(QWidget *parent = nullptr);

    // Leading inset of the options block.
    const double sectionMargin = 30;
    // Whether the program starts at login: read from the desktop's autostart entries.
    bool isAutoStart = false;
    // The "hideDockIcon" setting, read when the panel is made.
    bool hideDockIcon = false;

    QCheckBox *startAtLoginToggle() const { return m_startAtLogin; }
    QCheckBox *hideDockIconToggle() const { return m_hideDockIcon; }
    QPushButton *openFolderButton() const { return m_openFolder; }
    QPushButton *reloadButton() const { return m_reload; }
    QLabel *versionLabel() const { return m_version; }

    QLabel *folderStatusLabel() const { return m_folderStatus; }

    static QString versionText();
    static QString copyHintText();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setAutoStart(bool on);
    void setHideDockIcon(bool on);
    void storeHideDockIcon() const;
    void openPalettesFolder();

    QCheckBox *m_startAtLogin;
    QCheckBox *m_hideDockIcon;
    QPushButton *m_openFolder;
    QPushButton *m_reload;
    QLabel *m_version;
    QLabel *m_folderStatus;
    bool m_shown = false;
};
