#pragma once

#include "model/ModifyType.h"
#include "views/popover/State.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class BoundedScrollArea;
class MenuItemModifyView;
class PaletteGridView;
class PalettesOO;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QSpinBox;
class QVBoxLayout;

// The popover's content: the title, the grid of palettes with its new-palette cell, the grid
// options while shown, and the options / preferences / quit buttons.
class MenuItemView : public QWidget {
    Q_OBJECT
public:
    // Shows collection when given (it must outlive the view), else a collection of its own.
    explicit MenuItemView(QWidget *parent = nullptr, PalettesOO *collection = nullptr);

    static constexpr int optionsMargin = 100;
    static constexpr int maxViewCols = 999;
    static constexpr int maxCellCols = 999;

    // Read once from the settings at construction; the option controls write them back.
    State<double> gridCellSize;
    State<double> gridCellSpacing;
    State<double> gridCellRadius;
    State<int> gridColCount;
    State<int> cellColCount;
    State<bool> showOptions{false};
    State<ModifyType> modifyType{ModifyType::None};
    State<int> modifyColorIdx{-1};
    State<QString> newPaletteName;

    PalettesOO *palettesOO() const { return m_palettesOO; }

    // What a click, the context menu's entries and the plus cell do.
    void openPalette(int index);
    void renamePalette(int index);
    void deletePalette(int index);
    void addPalette();
    // "Rename", "Delete" and "Export…" for palette index; they do nothing once index names
    // another palette.
    QMenu *createContextMenu(int index, QWidget *parent);
    // "Import…": a file dialog for several files; each file becomes a new palette.
    void chooseImportFiles();
    // Imports the files (dropped or chosen); the names of the palettes added.
    QStringList importFiles(const QStringList &paths);
    // "Export…": a file dialog; the extension chosen names the format.
    void chooseExportFile(int index);
    bool exportPalette(int index, const QString &path);
    QPushButton *importButton() const { return m_importButton; }

    PaletteGridView *gridView() const { return m_grid; }
    // "Find by typing": filters the grid; typing in the grid lands here.
    QLineEdit *filterField() const { return m_filter; }
    BoundedScrollArea *gridArea() const { return m_gridArea; }
    // Keeps the grid within room, so the options and buttons stay on screen.
    void setRoom(const QSize &room);

    bool eventFilter(QObject *watched, QEvent *event) override;
    MenuItemModifyView *modifyView() const { return m_modifyView; }
    QPushButton *optionsButton() const { return m_optionsButton; }
    QPushButton *preferencesButton() const { return m_preferencesButton; }
    QPushButton *quitButton() const { return m_quitButton; }
    // The option controls; null while the options are hidden.
    QWidget *optionsPanel() const;
    QLineEdit *sizeField() const;
    QLineEdit *spacingField() const;
    QSpinBox *gridColCountStepper() const;
    QLineEdit *radiusField() const;
    QSlider *radiusSlider() const;
    QSpinBox *cellColCountStepper() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void fitGridToRoom();
    void updateTabOrder();
    void updateGrid();
    void updateEditor(bool modeChanged);
    void updateOptions();
    void onPalettesChanged();
    QWidget *buildOptionsPanel();
    QLineEdit *numberField(const QString &placeholder, State<double> &state, const char *key);
    QSpinBox *stepper(State<int> &state, int maximum, const char *key);
    void syncOptionControls();
    void storeFloatOptions();

    PalettesOO *m_palettesOO;
    QVBoxLayout *m_layout = nullptr;
    PaletteGridView *m_grid = nullptr;
    QLineEdit *m_filter = nullptr;
    BoundedScrollArea *m_gridArea = nullptr;
    QWidget *m_gridSection = nullptr;
    QWidget *m_buttons = nullptr;
    QSize m_room;
    MenuItemModifyView *m_modifyView = nullptr;
    QPushButton *m_optionsButton = nullptr;
    QPushButton *m_preferencesButton = nullptr;
    QPushButton *m_quitButton = nullptr;
    QPushButton *m_importButton = nullptr;
    // Name of the palette whose editor is open, to notice when the list moved under it.
    QString m_editedName;

    QPointer<QWidget> m_optionsPanel;
    QPointer<QLineEdit> m_sizeField;
    QPointer<QLineEdit> m_spacingField;
    QPointer<QSpinBox> m_gridColStepper;
    QPointer<QLineEdit> m_radiusField;
    QPointer<QSlider> m_radiusSlider;
    QPointer<QSpinBox> m_cellColStepper;
};
