#include "views/palette/PaletteColorGridModel.h"

#include "model/ColorText.h"
#include "views/blocks/ShownColor.h"

#include <algorithm>

PaletteColorGridModel::PaletteColorGridModel(QObject *parent)
    : QAbstractListModel(parent) {
}

void PaletteColorGridModel::setPalette(const Palette &palette) {
    const QList<PaletteColor> &before = m_palette.palColors;
    const QList<PaletteColor> &after = palette.palColors;
    if (before.size() == after.size() && before.constData() == after.constData()) {
        m_palette.palName = palette.palName;
        return;
    }
    // An edit touches a run of colours: only that run changes rows, so the current cell, the
    // selection and the rest of the grid stay as they are, however long the palette.
    const qsizetype common = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < common && before.at(head) == after.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < common - head &&
           before.at(before.size() - 1 - tail) == after.at(after.size() - 1 - tail))
        ++tail;
    const int first = static_cast<int>(head);
    const int removed = static_cast<int>(before.size() - head - tail);
    const int inserted = static_cast<int>(after.size() - head - tail);
    const int changed = std::min(removed, inserted);
    const bool countChanged = removed != inserted;

    // Rows that only change keep their old colours until their change is signalled.
    Palette between = palette;
    if (changed > 0 && countChanged) {
        between.palColors = before.mid(0, first + changed);
        between.palColors += after.mid(first + changed, inserted - changed);
        between.palColors += before.mid(first + removed);
    }
    if (removed > changed) {
        beginRemoveRows({}, first + changed, first + removed - 1);
        m_palette = between;
        endRemoveRows();
    } else if (inserted > changed) {
        beginInsertRows({}, first + changed, first + inserted - 1);
        m_palette = between;
        endInsertRows();
    }
    m_palette = palette;
    if (changed > 0)
        emit dataChanged(index(first), index(first + changed - 1));
    // Every caption ends in the colour count; it changes with its own signal, after the rows.
    m_captionCount = colorCount();
    if (countChanged && colorCount() > 0)
        emit dataChanged(index(0), index(colorCount() - 1), {Qt::DisplayRole, Qt::ToolTipRole});
}

int PaletteColorGridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : colorCount() + 1;
}

QString PaletteColorGridModel::caption(int i) const {
    if (i < 0 || i >= colorCount())
        return {};
    return m_palette.palColors.at(i).colName + QStringLiteral(" C ") +
           QString::number(m_captionCount);
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
