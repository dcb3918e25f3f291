#pragma once

#include <QStyledItemDelegate>

class PaletteColorGridView;

// Paints one grid item: an opaque swatch with rounded corners and its caption, or the add
// cell's plus-in-a-square symbol.
class PaletteColorGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit PaletteColorGridDelegate(PaletteColorGridView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The caption as drawn in width: the name's end elided, " C <count>" kept whole.
    static QString fittedCaption(const QString &caption, const QFontMetrics &metrics, int width);

private:
    PaletteColorGridView *m_view;
};
