#pragma once

#include "views/blocks/Binding.h"

#include <QWidget>

class QLineEdit;
class QSlider;
class QSpinBox;
class SectionView;

// The "View options" panel under a palette's grid: cell size, spacing, column count and
// corner radius. It edits the section's values and writes each one to its setting, from which
// the next palette window starts.
class PaletteOptionsView : public QWidget {
    Q_OBJECT
public:
    PaletteOptionsView(double optionsMargin, double optionsMinWidth, int maxViewCols,
                       Binding<bool> showOptions, Binding<int> colCount, Binding<double> cellSize,
                       Binding<double> cellSpacing, Binding<double> cellRadius,
                       QWidget *parent = nullptr);

    // Shows or hides the panel and the current values. While shown, size, spacing and radius
    // are written to their settings on every refresh, as each rebuilt row does.
    void refresh();
    // The panel fills the width the section above it takes, and never less than its minimum.
    void setPanelWidth(int width);

    QLineEdit *sizeField() const { return m_size; }
    QLineEdit *spacingField() const { return m_spacing; }
    QSpinBox *columnStepper() const { return m_columns; }
    QLineEdit *radiusField() const { return m_radius; }
    QSlider *radiusSlider() const { return m_slider; }
    // The controls in the order the rows show them.
    QList<QWidget *> tabOrder() const;

private:
    QLineEdit *numberField(const QString &placeholder, Binding<double> value);
    void writeSettings();

    const double optionsMargin;
    const double optionsMinWidth;
    const int maxViewCols;
    Binding<bool> showOptions;
    Binding<int> colCount;
    Binding<double> cellSize;
    Binding<double> cellSpacing;
    Binding<double> cellRadius;

    SectionView *m_section = nullptr;
    QWidget *m_rows = nullptr;
    QLineEdit *m_size = nullptr;
    QLineEdit *m_spacing = nullptr;
    QSpinBox *m_columns = nullptr;
    QLineEdit *m_radius = nullptr;
    QSlider *m_slider = nullptr;
};
