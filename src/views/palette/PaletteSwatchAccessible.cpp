#include "views/palette/PaletteSwatchAccessible.h"

#include "views/palette/PaletteColorGridModel.h"
#include "views/palette/PaletteColorGridView.h"

PaletteSwatchAccessible::PaletteSwatchAccessible(PaletteColorGridView *grid, int item)
    : m_grid(grid)
    , m_item(item) {
}

bool PaletteSwatchAccessible::isValid() const {
    return m_grid && m_item >= 0 && m_item < m_grid->gridModel()->rowCount();
}

QAccessibleInterface *PaletteSwatchAccessible::parent() const {
    return m_grid ? QAccessible::queryAccessibleInterface(m_grid.data()) : nullptr;
}

QString PaletteSwatchAccessible::text(QAccessible::Text t) const {
    if (!isValid())
        return {};
    const QModelIndex index = m_grid->gridModel()->index(m_item);
    switch (t) {
    case QAccessible::Name:
        return index.data(Qt::AccessibleTextRole).toString();
    case QAccessible::Description:
        return index.data(Qt::DisplayRole).toString();
    default:
        return {};
    }
}

QRect PaletteSwatchAccessible::rect() const {
    if (!isValid())
        return {};
    const QRect cell = m_grid->cellRect(m_item);
    return QRect(m_grid->viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

QAccessible::State PaletteSwatchAccessible::state() const {
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.focusable = true;
    s.selectable = true;
    if (m_grid->currentIndex().row() == m_item) {
        s.active = true;
        s.focused = m_grid->hasFocus();
    }
    if (!m_grid->viewport()->visibleRegion().intersects(m_grid->cellRect(m_item)))
        s.offscreen = true;
    return s;
}
