#include "views/blocks/BoundedScrollArea.h"

#include <QEvent>
#include <QScrollBar>
#include <QStyle>

BoundedScrollArea::BoundedScrollArea(QWidget *parent)
    : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Not a tab stop of its own: the keys go to the content, which keeps its cell in view.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setAutoFillBackground(false);
}

void BoundedScrollArea::setLimit(const QSize &limit) {
    if (limit == m_limit)
        return;
    m_limit = limit;
    updateGeometry();
}

QSize BoundedScrollArea::sizeHint() const {
    const QWidget *content = widget();
    if (!content)
        return {0, 0};
    QSize size = content->sizeHint().expandedTo(content->minimumSize());
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const bool tall = size.height() > m_limit.height();
    const bool wide = size.width() > m_limit.width();
    if (tall)
        size.rwidth() += bar;
    if (wide)
        size.rheight() += bar;
    return size.boundedTo(m_limit);
}

QSize BoundedScrollArea::minimumSizeHint() const {
    return sizeHint();
}

bool BoundedScrollArea::eventFilter(QObject *watched, QEvent *event) {
    // The content changed its size: so does the area, within its limit.
    if (watched == widget() &&
        (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}
