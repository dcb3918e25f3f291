#include "views/palette/PaletteColorGridModel.h"

#include "model/ColorText.h"
#include "views/blocks/ShownColor.h"

PaletteColorGridModel::PaletteColorGridModel(QObject *parent)
    : QAbstractListModel(parent) {
}

void PaletteColorGridModel::setPalette(const Palette &palette) {
    beginResetModel();
    m_palette = palette;
    endResetModel();
}

int PaletteColorGridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : colorCount() + 1;
}

QString PaletteColorGridModel::caption(int i) const {
    if (i < 0 || i >= colorCount())
        return {};
    return m_palette.palColors.at(i).colName + QStringLiteral(" C ") +
           QString::number(colorCount());
}

QString PaletteColorGridModel::description(int i) const {
    if (i < 0 || i >= colorCount())
        return tr("Add color");
    const PaletteColor &color = m_palette.palColors.at(i);
    return color.colName + QStringLiteral(" #") + hexText(color.colColor);
}

QVariant PaletteColorGridModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() > colorCount())
        return {};
    const int i = index.row();
    const bool addCell = i == colorCount();
    switch (role) {
    case Qt::DisplayRole:
        return addCell ? QString() : caption(i);
    case Qt::ToolTipRole:
        // The whole caption, which the cell may show shortened.
        return addCell ? description(i) : caption(i) + QLatin1Char('\n') + description(i);
    case Qt::AccessibleTextRole:
        return description(i);
    case SwatchColorRole: {
        if (addCell)
            return {};
        const SerializableColor &c = m_palette.palColors.at(i).colColor;
        return shownColor(c.red, c.green, c.blue);
    }
    case IsAddCellRole:
        return addCell;
    default:
        return {};
    }
}

Qt::ItemFlags PaletteColorGridModel::flags(const QModelIndex &index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
