#include "views/popover/PaletteGridView.h"

#include "store/PalettesOO.h"
#include "views/popover/PalettePreviewView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
int clampToWidgetSize(double length) {
    return static_cast<int>(std::clamp(std::ceil(length), 0.0, double(QWIDGETSIZE_MAX)));
}
} // namespace

PaletteGridView::PaletteGridView(PalettesOO *palettes, QWidget *parent)
    : QWidget(parent)
    , m_palettes(palettes) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    connect(m_palettes, &PalettesOO::palettesChanged, this, &PaletteGridView::onPalettesChanged);
    relayout();
}

void PaletteGridView::setMetrics(const GridMetrics &metrics) {
    m_metrics = metrics;
    relayout();
}

int PaletteGridView::itemCount() const {
    return (isFiltered() ? static_cast<int>(m_shown.size()) : m_palettes->count()) + 1;
}

int PaletteGridView::paletteIndex(int item) const {
    if (item < 0 || item >= itemCount() - 1)
        return -1;
    return isFiltered() ? m_shown.at(item) : item;
}

int PaletteGridView::itemOf(int index) const {
    if (!m_palettes->contains(index))
        return -1;
    return isFiltered() ? static_cast<int>(m_shown.indexOf(index)) : index;
}

void PaletteGridView::setFilter(const PaletteFilter &filter) {
    m_filter = filter;
    m_matchedFrom.clear();
    m_matched.clear();
    applyFilter();
    m_firstRows.clear();
    m_current = itemCount() > 1 ? 0 : -1;
    relayout();
}

void PaletteGridView::applyFilter() {
    m_shown.clear();
    if (!isFiltered()) {
        m_matchedFrom.clear();
        m_matched.clear();
        return;
    }
    // A change to a few palettes of thousands tests only those again: a palette that still
    // shares its colours with the list last tested (held here, so the memory cannot be reused
    // by another) and has the same name matches as it did.
    const QList<Palette> &palettes = m_palettes->palettes();
    const auto same = [](const Palette &a, const Palette &b) {
        return a.palColors.constData() == b.palColors.constData() &&
               a.palColors.size() == b.palColors.size() && a.palName == b.palName;
    };
    QHash<QString, qsizetype> before;
    QList<bool> matched(palettes.size());
    for (qsizetype i = 0; i < palettes.size(); ++i) {
        const Palette &palette = palettes.at(i);
        qsizetype known = -1;
        if (i < m_matchedFrom.size() && same(m_matchedFrom.at(i), palette)) {
            known = i;
        } else if (!m_matchedFrom.isEmpty()) {
            if (before.isEmpty()) {
                before.reserve(m_matchedFrom.size());
                for (qsizetype j = 0; j < m_matchedFrom.size(); ++j)
                    before.insert(m_matchedFrom.at(j).palName, j);
            }
            const auto found = before.constFind(palette.palName);
            if (found != before.constEnd() && same(m_matchedFrom.at(*found), palette))
                known = *found;
        }
        matched[i] = known >= 0 ? m_matched.at(known) : m_filter.matches(palette);
        if (matched[i])
            m_shown.append(static_cast<int>(i));
    }
    m_matchedFrom = palettes;
    m_matched = matched;
}

int PaletteGridView::cellHeight() const {
    return PalettePreviewView::previewHeight(m_metrics.cellSize, fontMetrics());
}

QSize PaletteGridView::contentSize() const {
    const int cols = m_metrics.columns;
    const qint64 rows = (static_cast<qint64>(itemCount()) + cols - 1) / cols;
    const double width = cols * m_metrics.cellSize + (cols - 1) * m_metrics.spacing;
    const double height = static_cast<double>(rows) * cellHeight() +
                          static_cast<double>(rows - 1) * m_metrics.spacing;
    return {clampToWidgetSize(width), clampToWidgetSize(height)};
}

QRect PaletteGridView::cellRect(int item) const {
    if (item < 0 || item >= itemCount())
        return {};
    const int row = item / m_metrics.columns;
    const int col = item % m_metrics.columns;
    const double x = col * (m_metrics.cellSize + m_metrics.spacing);
    const double y = row * (cellHeight() + m_metrics.spacing);
    return QRectF(x, y, m_metrics.cellSize, cellHeight()).toAlignedRect();
}

int PaletteGridView::itemAt(const QPoint &pos) const {
    if (pos.x() < 0 || pos.y() < 0)
        return -1;
    const double colPitch = m_metrics.cellSize + m_metrics.spacing;
    const double rowPitch = cellHeight() + m_metrics.spacing;
    const double col = std::floor(pos.x() / colPitch);
    const double row = std::floor(pos.y() / rowPitch);
    if (col >= m_metrics.columns || row * m_metrics.columns + col >= itemCount())
        return -1;
    const int item = static_cast<int>(row) * m_metrics.columns + static_cast<int>(col);
    return cellRect(item).contains(pos) ? item : -1;
}

void PaletteGridView::setEditor(QWidget *editor, int item) {
    if (m_editor && m_editor != editor)
        m_editor->hide();
    m_editor = editor;
    m_editorItem = editor && item >= 0 && item < itemCount() ? item : -1;
    if (m_editor && m_editorItem >= 0 && m_editor->parentWidget() != this)
        m_editor->setParent(this);
    applySize();
    placeEditor();
}

void PaletteGridView::applySize() {
    QSize size = contentSize();
    // The editor needs room for its buttons even in a grid of tiny cells.
    if (m_editor && m_editorItem >= 0)
        size = size.expandedTo(m_editor->minimumSizeHint());
    setFixedSize(size);
}

void PaletteGridView::placeEditor() {
    update();
    if (!m_editor)
        return;
    if (m_editorItem < 0) {
        m_editor->hide();
        return;
    }
    // In a small cell the editor overlaps its neighbours rather than squeezing its buttons.
    const QRect cell = cellRect(m_editorItem);
    const QSize minimum = m_editor->minimumSizeHint();
    QRect area(0, 0, std::max(cell.width(), minimum.width()),
               std::max(cell.height(), minimum.height()));
    area.moveCenter(cell.center());
    area.moveLeft(std::clamp(area.left(), 0, std::max(0, width() - area.width())));
    area.moveTop(std::clamp(area.top(), 0, std::max(0, height() - area.height())));
    m_editor->setGeometry(area);
    m_editor->show();
    m_editor->raise();
}

void PaletteGridView::onPalettesChanged() {
    // Previews keep how far they were scrolled: the rows are kept by palette name, so a change
    // elsewhere in the collection leaves them where the user put them.
    applyFilter();
    m_pressed = -1;
    relayout();
}

void PaletteGridView::relayout() {
    if (m_editorItem >= itemCount())
        m_editorItem = itemCount() - 1;
    m_current = std::min(m_current, itemCount() - 1);
    applySize();
    placeEditor();
    setHovered(underMouse() ? itemAt(mapFromGlobal(QCursor::pos())) : -1);
}

void PaletteGridView::setHovered(int item) {
    if (item == m_hovered)
        return;
    update(cellRect(m_hovered));
    m_hovered = item;
    update(cellRect(m_hovered));
}

void PaletteGridView::paintPlus(QPainter &painter, const QRectF &cell) const {
    // A plus in a rounded square, half the cell wide, centred in a cell-sized frame.
    const double side = m_metrics.cellSize * 0.5;
    QRectF box(0, 0, side * 0.86, side * 0.86);
    box.moveCenter(cell.center());
    const double stroke = std::max(1.0, side / 18.0);
    QPen pen(palette().color(QPalette::WindowText), stroke);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const double inset = stroke / 2.0;
    painter.drawRoundedRect(box.adjusted(inset, inset, -inset, -inset), side * 0.2, side * 0.2);
    const double arm = box.width() * 0.26;
    const QPointF c = box.center();
    painter.drawLine(QPointF(c.x() - arm, c.y()), QPointF(c.x() + arm, c.y()));
    painter.drawLine(QPointF(c.x(), c.y() - arm), QPointF(c.x(), c.y() + arm));
}

void PaletteGridView::paintFocus(QPainter &painter, int item, const QRectF &cell,
                                 double radius) const {
    // Shown while the keys work on the grid, from the grid itself or from the filter field.
    if (item != m_current || !m_showCurrent)
        return;
    painter.save();
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(cell.adjusted(1, 1, -1, -1), radius, radius);
    painter.restore();
}

void PaletteGridView::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect exposed = event->rect();
    const double colPitch = m_metrics.cellSize + m_metrics.spacing;
    const double rowPitch = cellHeight() + m_metrics.spacing;
    const int cols = m_metrics.columns;
    const int count = itemCount();
    // Only the cells inside the exposed area are painted.
    const int firstRow = std::max(0, static_cast<int>(std::floor(exposed.top() / rowPitch)));
    const int lastRow = static_cast<int>(std::floor(exposed.bottom() / rowPitch));
    const int firstCol = std::max(0, static_cast<int>(std::floor(exposed.left() / colPitch)));
    const int lastCol =
        std::min(cols - 1, static_cast<int>(std::floor(exposed.right() / colPitch)));
    const QColor text = palette().color(QPalette::WindowText);
    QColor hover = palette().color(QPalette::Highlight);
    hover.setAlphaF(0.18f);
    const double radius = m_metrics.cornerRadius();

    for (int row = firstRow; row <= lastRow; ++row) {
        for (int col = firstCol; col <= lastCol; ++col) {
            const qint64 item = static_cast<qint64>(row) * cols + col;
            if (item >= count)
                return;
            const int i = static_cast<int>(item);
            if (i == m_editorItem)
                continue;
            const QRectF cell = cellRect(i);
            if (i == count - 1) {
                if (i == m_hovered) {
                    QRectF frame(0, 0, m_metrics.cellSize, m_metrics.cellSize);
                    frame.moveCenter(cell.center());
                    painter.setPen(Qt::NoPen);
                    painter.setBrush(hover);
                    painter.drawRoundedRect(frame, radius, radius);
                }
                paintPlus(painter, cell);
                paintFocus(painter, i, cell, radius);
                continue;
            }
            QPainterPath clip;
            clip.addRoundedRect(cell, radius, radius);
            painter.save();
            painter.setClipPath(clip);
            if (i == m_hovered)
                painter.fillRect(cell, hover);
            PalettePreviewView::paint(&painter, cell, m_palettes->palettes().at(paletteIndex(i)),
                                      m_metrics.cellColumns, m_metrics.cellSize, text,
                                      previewFirstRow(i), radius);
            painter.restore();
            paintFocus(painter, i, cell, radius);
            if (m_dragging && i == m_dropItem) {
                painter.save();
                painter.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::DashLine));
                painter.setBrush(Qt::NoBrush);
                painter.drawRoundedRect(cell.adjusted(1, 1, -1, -1), radius, radius);
                painter.restore();
            }
        }
    }
}

int PaletteGridView::previewFirstRow(int item) const {
    const int index = paletteIndex(item);
    if (index < 0 || m_firstRows.isEmpty())
        return 0;
    const Palette &shown = m_palettes->palettes().at(index);
    const auto found = m_firstRows.constFind(shown.palName);
    if (found == m_firstRows.constEnd())
        return 0;
    // The palette may have lost colours since.
    return std::min(
        *found, PalettePreviewView::hiddenRows(shown, m_metrics.cellColumns, m_metrics.cellSize));
}

void PaletteGridView::setCurrent(int item) {
    item = std::clamp(item, 0, itemCount() - 1);
    m_showCurrent = true;
    update(cellRect(m_current));
    m_current = item;
    update(cellRect(m_current));
    scrollToCurrent();
}

void PaletteGridView::scrollToCurrent() {
    if (m_current < 0)
        return;
    // The cell the keys work on stays in view, however large the grid.
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(w)) {
            const QRect cell = cellRect(m_current);
            const QPoint centre = mapTo(area->widget(), cell.center());
            area->ensureVisible(centre.x(), centre.y(), cell.width() / 2 + 4,
                                cell.height() / 2 + 4);
            break;
        }
    }
}

void PaletteGridView::moveCurrent(int key) {
    const int cols = m_metrics.columns;
    const int current = std::max(0, m_current);
    switch (key) {
    case Qt::Key_Left:
        setCurrent(current - 1);
        break;
    case Qt::Key_Right:
        setCurrent(current + 1);
        break;
    case Qt::Key_Up:
        setCurrent(current >= cols ? current - cols : current);
        break;
    case Qt::Key_Down:
        setCurrent(current + cols < itemCount() ? current + cols : current);
        break;
    case Qt::Key_Home:
        setCurrent(0);
        break;
    case Qt::Key_End:
        setCurrent(plusItem());
        break;
    default:
        break;
    }
}

void PaletteGridView::activateCurrent() {
    activate(m_current < 0 ? 0 : m_current);
}

void PaletteGridView::activate(int item) {
    if (item < 0 || item >= itemCount() || item == m_editorItem)
        return;
    if (item == plusItem())
        emit plusClicked();
    else
        emit paletteClicked(paletteIndex(item));
}

void PaletteGridView::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        moveCurrent(event->key());
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        activate(m_current);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    m_showCurrent = true;
    update(cellRect(m_current));
    event->accept();
}

void PaletteGridView::focusInEvent(QFocusEvent *event) {
    QWidget::focusInEvent(event);
    if (m_current < 0)
        m_current = 0;
    m_showCurrent =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (m_showCurrent)
        scrollToCurrent();
    update(cellRect(m_current));
}

void PaletteGridView::focusOutEvent(QFocusEvent *event) {
    QWidget::focusOutEvent(event);
    m_showCurrent = false;
    update(cellRect(m_current));
}

void PaletteGridView::mousePressEvent(QMouseEvent *event) {
    m_pressed = event->button() == Qt::LeftButton ? itemAt(event->position().toPoint()) : -1;
    m_pressPos = event->position().toPoint();
    m_dragging = false;
    if (m_showCurrent) {
        m_showCurrent = false;
        update(cellRect(m_current));
    }
    event->accept();
}

void PaletteGridView::mouseReleaseEvent(QMouseEvent *event) {
    const int pressed = m_pressed;
    m_pressed = -1;
    if (m_dragging) {
        // A drag is a move, never a click.
        m_dragging = false;
        const int target = itemAt(event->position().toPoint());
        const int from = paletteIndex(pressed);
        const int to = paletteIndex(target);
        m_dropItem = -1;
        update();
        if (from >= 0 && to >= 0 && from != to)
            emit paletteMoved(from, to);
        return;
    }
    if (event->button() != Qt::LeftButton || pressed < 0 ||
        itemAt(event->position().toPoint()) != pressed || pressed == m_editorItem)
        return;
    activate(pressed);
}

void PaletteGridView::mouseMoveEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    setHovered(itemAt(pos));
    // A palette pressed and moved past the drag distance is being put somewhere else.
    if (m_pressed >= 0 && m_pressed != plusItem() && m_pressed != m_editorItem &&
        (event->buttons() & Qt::LeftButton) &&
        (m_dragging || (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance())) {
        m_dragging = true;
        const int target = itemAt(pos);
        const int drop = target >= 0 && target != plusItem() ? target : -1;
        if (drop != m_dropItem) {
            m_dropItem = drop;
            update();
        }
    }
}

void PaletteGridView::leaveEvent(QEvent *event) {
    QWidget::leaveEvent(event);
    m_hovered = -1;
    update();
}

void PaletteGridView::contextMenuEvent(QContextMenuEvent *event) {
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const int item = keyboard ? m_current : itemAt(event->pos());
    if (item < 0 || item == plusItem() || item == m_editorItem) {
        event->ignore();
        return;
    }
    emit paletteContextMenuRequested(
        paletteIndex(item), keyboard ? mapToGlobal(cellRect(item).center()) : event->globalPos());
}

void PaletteGridView::wheelEvent(QWheelEvent *event) {
    // A preview with more colours than fit scrolls inside its square; otherwise the wheel
    // belongs to whatever scrolls the popover.
    const int item = itemAt(event->position().toPoint());
    const int steps = event->angleDelta().y() / 120;
    if (item < 0 || item == plusItem() || steps == 0) {
        event->ignore();
        return;
    }
    const Palette &shown = m_palettes->palettes().at(paletteIndex(item));
    const int hidden =
        PalettePreviewView::hiddenRows(shown, m_metrics.cellColumns, m_metrics.cellSize);
    const int current = previewFirstRow(item);
    const int next = std::clamp(current - steps, 0, hidden);
    if (next == current) {
        event->ignore();
        return;
    }
    m_firstRows.insert(shown.palName, next);
    update(cellRect(item));
    event->accept();
}

bool PaletteGridView::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip) {
        // Names too long for their cell are elided; the tooltip shows them whole.
        const auto *help = static_cast<QHelpEvent *>(event);
        const int item = itemAt(help->pos());
        if (item >= 0 && item < plusItem() && item != m_editorItem)
            QToolTip::showText(help->globalPos(),
                               m_palettes->palettes().at(paletteIndex(item)).palName, this,
                               cellRect(item));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void PaletteGridView::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        relayout();
}
