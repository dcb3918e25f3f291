#include "views/palette/PaletteColorGridDelegate.h"

#include "views/palette/PaletteColorGridModel.h"
#include "views/palette/PaletteColorGridView.h"

#include <QPainter>
#include <QPainterPath>

QString PaletteColorGridDelegate::fittedCaption(const QString &caption, const QFontMetrics &metrics,
                                                int width) {
    if (metrics.horizontalAdvance(caption) <= width)
        return caption;
    // " C <count>" tells the colours of a palette apart from nothing, the name tells them apart
    // from each other: the name's end gives way, the count stays whole.
    const qsizetype split = caption.lastIndexOf(QStringLiteral(" C "));
    if (split < 0)
        return metrics.elidedText(caption, Qt::ElideRight, width);
    const QString suffix = caption.mid(split);
    const QString name = caption.left(split);
    const int room = width - metrics.horizontalAdvance(suffix);
    const QString shortName = room > 0 ? metrics.elidedText(name, Qt::ElideRight, room) : QString();
    return (shortName.isEmpty() && !name.isEmpty() ? QString(QChar(0x2026)) : shortName) + suffix;
}

PaletteColorGridDelegate::PaletteColorGridDelegate(PaletteColorGridView *view)
    : QStyledItemDelegate(view)
    , m_view(view) {
}

QSize PaletteColorGridDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const {
    return {m_view->drawCellSize(), m_view->rowHeight()};
}

void PaletteColorGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const {
    const int size = m_view->drawCellSize();
    const int contentHeight = m_view->rowHeight();
    // Items of a taller row (the one holding the editor) sit in its middle.
    const QRect cell(option.rect.x(), option.rect.y() + (option.rect.height() - contentHeight) / 2,
                     size, contentHeight);
    const QRectF square(cell.x(), cell.y(), size, size);
    const bool focused = option.state.testFlag(QStyle::State_HasFocus);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);

    if (index.data(PaletteColorGridModel::IsAddCellRole).toBool()) {
        // Stands in for a "plus.square" symbol: half the cell, centred, in the text colour.
        const qreal side = size * 0.5;
        const QRectF symbol(square.center().x() - side / 2, square.center().y() - side / 2, side,
                            side);
        QPen pen(option.palette.color(QPalette::WindowText), qMax(1.0, side / 16));
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        const qreal inset = pen.widthF() / 2;
        const QRectF outline = symbol.adjusted(inset, inset, -inset, -inset);
        painter->drawRoundedRect(outline, side * 0.2, side * 0.2);
        const QPointF c = symbol.center();
        const qreal arm = side * 0.25;
        painter->drawLine(QPointF(c.x() - arm, c.y()), QPointF(c.x() + arm, c.y()));
        painter->drawLine(QPointF(c.x(), c.y() - arm), QPointF(c.x(), c.y() + arm));
        if (focused) {
            painter->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
            painter->drawRoundedRect(square.adjusted(1, 1, -1, -1), side * 0.2, side * 0.2);
        }
        painter->restore();
        return;
    }

    const qreal radius = m_view->drawCornerRadius();
    QPainterPath path;
    path.addRoundedRect(square, radius, radius);
    painter->fillPath(path, index.data(PaletteColorGridModel::SwatchColorRole).value<QColor>());
    if (focused) {
        // Inside the swatch, so neighbouring cells and the view's edge never clip it; a light
        // inner line keeps it visible on blue swatches.
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), 3));
        const qreal inner = qMax<qreal>(0, radius - 1.5);
        painter->drawRoundedRect(square.adjusted(1.5, 1.5, -1.5, -1.5), inner, inner);
        painter->setPen(QPen(QColor(255, 255, 255, 200), 1));
        const qreal innermost = qMax<qreal>(0, radius - 3.5);
        painter->drawRoundedRect(square.adjusted(3.5, 3.5, -3.5, -3.5), innermost, innermost);
    }

    const QRect captionRect(cell.x(), cell.y() + size + PaletteColorGridView::captionGap, size,
                            contentHeight - size - PaletteColorGridView::captionGap);
    painter->setPen(option.palette.color(QPalette::WindowText));
    const QString caption = fittedCaption(index.data(Qt::DisplayRole).toString(),
                                          option.fontMetrics, captionRect.width());
    painter->drawText(captionRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, caption);
    painter->restore();
}
