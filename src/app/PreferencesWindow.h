#pragma once

#include <QWidget>

class PreferencesView;

// The floating preferences window. Made and shown by its constructor; closing it hides it
// (the object lives on in preferencesWindow) and hands the dock icon back to the setting.
class PreferencesWindow : public QWidget {
    Q_OBJECT
public:
    PreferencesWindow();

    PreferencesView *view() const { return m_view; }

    // The name the window's frame is kept under.
    static QString autosaveName() { return QStringLiteral("Preferences"); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void saveFrame() const;

    PreferencesView *m_view;
};
