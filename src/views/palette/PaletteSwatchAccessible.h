#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class PaletteColorGridView;

// One grid item as assistive tools see it: a list item named by its colour name and hex text.
class PaletteSwatchAccessible : public QAccessibleInterface {
public:
    PaletteSwatchAccessible(PaletteColorGridView *grid, int item);

    int item() const { return m_item; }

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

private:
    QPointer<PaletteColorGridView> m_grid;
    int m_item;
};
