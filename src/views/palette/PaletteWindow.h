#pragma once

#include <QPointer>
#include <QScrollArea>

class PalettePlace;
class PaletteView;
class PalettesOO;

// The floating window around one PaletteView. It sizes itself to the view, up to the room
// the screen offers, and scrolls beyond that. Closing it deletes it: every edit was saved when
// it was made, and the editing state is meant to end with the window.
class PaletteWindow : public QScrollArea {
    Q_OBJECT
public:
    // Opens, shows and raises a new window; nullptr when index names no palette.
    static PaletteWindow *open(PalettesOO *collection, int index);

    PaletteWindow(PalettesOO *collection, int index, QWidget *parent = nullptr);

    PaletteView *view() const { return m_view; }
    PalettePlace *place() const { return m_place; }
    QString autosaveName() const { return m_autosaveName; }

    // Whether the user chose the window's size (a size fitted to the content is not kept).
    bool isUserSized() const { return m_userSized; }

    bool eventFilter(QObject *watched, QEvent *event) override;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void fitToContent();
    void keepOnScreen(const QSize &size);
    void saveFrame();
    void takeKeyboard();
    void reserveBackingStore();

    PalettePlace *m_place;
    PaletteView *m_view = nullptr;
    QString m_autosaveName;
    bool m_frameRestored = false;
    QSize m_fittedContent;
    QSize m_fittedSize;
    bool m_fitting = false;
    bool m_userSized = false;
    // Shown by open(), which hands it the keyboard right away.
    bool m_opening = false;
    // The size the window's backing store was last made room for (see reserveBackingStore).
    QSize m_reserved;
};
