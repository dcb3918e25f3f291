#pragma once

#include <QAccessibleWidget>
#include <QHash>

class PaletteColorGridView;

// The swatch grid as a list of items for assistive tools. Item interfaces are made on demand
// and kept until the grid goes away.
class PaletteColorGridAccessible : public QAccessibleWidget {
public:
    explicit PaletteColorGridAccessible(PaletteColorGridView *grid);
    ~PaletteColorGridAccessible() override;

    // Installed once; makes Qt use this interface for every PaletteColorGridView.
    static void installFactory();

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

private:
    PaletteColorGridView *grid() const;
    mutable QHash<int, QAccessible::Id> m_children;
};
