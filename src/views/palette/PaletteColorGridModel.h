#pragma once

#include "model/Palette.h"

#include <QAbstractListModel>

// The items of a palette's colour grid: one per colour, then the add cell. Holds a copy of
// the palette (cheap: Qt containers share their data) that the grid refreshes after changes.
class PaletteColorGridModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        SwatchColorRole = Qt::UserRole + 1, // QColor, opaque
        IsAddCellRole,                      // bool
    };

    explicit PaletteColorGridModel(QObject *parent = nullptr);

    // Changes only the rows of the colours that differ.
    void setPalette(const Palette &palette);
    const Palette &palette() const { return m_palette; }
    int colorCount() const { return static_cast<int>(m_palette.palColors.size()); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // "<colName> C <count>" under each swatch.
    QString caption(int i) const;
    // Colour name and hex text, for tooltips and assistive tools.
    QString description(int i) const;

private:
    Palette m_palette;
    int m_captionCount = 0;
};
