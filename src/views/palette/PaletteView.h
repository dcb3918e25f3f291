#pragma once

#include "model/ColorValue.h"
#include "model/ModifyType.h"
#include "model/Palette.h"
#include "store/Manager.h"
#include "views/blocks/Binding.h"

#include <QStringList>
#include <QWidget>
#include <functional>

class PaletteColorGridView;
class PaletteOptionsView;
class PalettesOO;
class QComboBox;
class QLineEdit;
class QLabel;
class QPushButton;
class ScreenPicker;
class SectionView2C;

// Opens a floating "Viewing: <name>" window for the palette at index of the collection.
void openPaletteWindow(PalettesOO *collection, int index);

// One palette at work: the "Colors" section with the copy-format picker and the options
// toggle, the swatch grid, and the view options while they are shown. Owns all editing state of
// its window and hands bindings to it down to the grid, the editor and the options panel.
class PaletteView : public QWidget {
    Q_OBJECT
public:
    using Editor = std::function<Manager::EditResult(const ColorEdit &)>;

    PaletteView(Binding<Palette> palette, int colCount, double cellSize, double cellSpacing,
                double cellRadius, ModifyType modifyType, int modifyColorIdx,
                QString modifyColorName, ColorValue modifyColorColor, bool showOptions,
                Editor edit = {}, QWidget *parent = nullptr);

    void restoreFormatIdx();
    // "Edit formats…", the picker's last entry.
    void openFormatEditor();
    void storeFormatIdx(int i);
    // Reads the palette again after the collection changed.
    void refresh();

    // State, readable for the window and for tests.
    int colCountValue() const { return colCount; }
    double cellSizeValue() const { return cellSize; }
    double cellSpacingValue() const { return cellSpacing; }
    double cellRadiusValue() const { return cellRadius; }
    ModifyType modifyTypeValue() const { return modifyType; }
    int modifyColorIdxValue() const { return modifyColorIdx; }
    QString modifyColorNameValue() const { return modifyColorName; }
    ColorValue modifyColorColorValue() const { return modifyColorColor; }
    bool showOptionsValue() const { return showOptions; }
    int selectedFormatIdxValue() const { return selectedFormatIdx; }
    QStringList formatsValue() const { return formats; }

    PaletteColorGridView *grid() const { return m_grid; }
    PaletteOptionsView *options() const { return m_options; }
    QComboBox *formatPicker() const { return m_picker; }
    // "Find by typing" over the colours; Return copies the first match.
    QLineEdit *filterField() const { return m_filter; }

    bool eventFilter(QObject *watched, QEvent *event) override;
    QPushButton *optionsToggle() const { return m_toggle; }
    SectionView2C *section() const { return m_section; }
    QPushButton *pickButton() const { return m_pick; }
    // A short message under the title (e.g. why a pick failed); empty when none is shown.
    QString messageText() const;

    // Starts the screen picker; the colour is added to this palette and copied.
    void pickColor();
    ScreenPicker *screenPicker();
    void showMessage(const QString &text);

signals:
    // The content's ideal size may have changed.
    void contentResized();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void stateChanged();
    void toggleOptions();

    Binding<Palette> palette;
    int colCount;
    double cellSize;
    double cellSpacing;
    double cellRadius;
    ModifyType modifyType;
    int modifyColorIdx;
    QString modifyColorName;
    ColorValue modifyColorColor;
    bool showOptions;
    int selectedFormatIdx = 0;
    void fillPicker();
    QStringList formats;

    SectionView2C *m_section = nullptr;
    PaletteColorGridView *m_grid = nullptr;
    PaletteOptionsView *m_options = nullptr;
    QComboBox *m_picker = nullptr;
    QLineEdit *m_filter = nullptr;
    QPushButton *m_toggle = nullptr;
    QPushButton *m_pick = nullptr;
    QLabel *m_message = nullptr;
    ScreenPicker *m_screenPicker = nullptr;
    bool m_building = true;
};
