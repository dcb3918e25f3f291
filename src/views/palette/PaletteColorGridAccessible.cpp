#include "views/palette/PaletteColorGridAccessible.h"

#include "views/palette/PaletteColorGridModel.h"
#include "views/palette/PaletteColorGridView.h"
#include "views/palette/PaletteSwatchAccessible.h"

namespace {
QAccessibleInterface *factory(const QString &key, QObject *object) {
    if (key == QLatin1String("PaletteColorGridView")) {
        if (auto *grid = qobject_cast<PaletteColorGridView *>(object))
            return new PaletteColorGridAccessible(grid);
    }
    return nullptr;
}
} // namespace

PaletteColorGridAccessible::PaletteColorGridAccessible(PaletteColorGridView *grid)
    : QAccessibleWidget(grid, QAccessible::List) {
}

PaletteColorGridAccessible::~PaletteColorGridAccessible() {
    for (const QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

void PaletteColorGridAccessible::installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

PaletteColorGridView *PaletteColorGridAccessible::grid() const {
    return static_cast<PaletteColorGridView *>(widget());
}

int PaletteColorGridAccessible::childCount() const {
    return grid()->gridModel()->rowCount();
}

QAccessibleInterface *PaletteColorGridAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    const auto found = m_children.constFind(index);
    if (found != m_children.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto *item = new PaletteSwatchAccessible(grid(), index);
    m_children.insert(index, QAccessible::registerAccessibleInterface(item));
    return item;
}

int PaletteColorGridAccessible::indexOfChild(const QAccessibleInterface *child) const {
    const auto *item = dynamic_cast<const PaletteSwatchAccessible *>(child);
    return item && item->isValid() ? item->item() : -1;
}

QAccessibleInterface *PaletteColorGridAccessible::childAt(int x, int y) const {
    const QPoint local = grid()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = grid()->indexAt(local);
    return index.isValid() ? child(index.row()) : nullptr;
}

QAccessibleInterface *PaletteColorGridAccessible::focusChild() const {
    const QModelIndex current = grid()->currentIndex();
    return grid()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
}
