#include "views/palette/PaletteColorGridView.h"

#include "core/Log.h"
#include "interchange/ColorTextParser.h"
#include "model/ColorText.h"
#include "platform/Clipboard.h"
#include "store/Manager.h"
#include "store/UndoStack.h"
#include "views/blocks/UndoActions.h"
#include "views/palette/PaletteColorGridAccessible.h"
#include "views/palette/PaletteColorGridDelegate.h"
#include "views/palette/PaletteColorGridModel.h"
#include "views/palette/PaletteModifyColorView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <cmath>

namespace {
constexpr int maxColumns = 999;
constexpr double minCellSize = 8;
constexpr double maxCellSize = 1000;
constexpr double maxSpacing = 500;
constexpr double maxRadius = 50;

// Nearest sane value; not-a-number falls back to the given value.
double sane(double value, double low, double high, double fallback) {
    if (std::isnan(value))
        return fallback;
    return value < low ? low : (value > high ? high : value);
}

int clampToWidgetSize(qint64 value) {
    return static_cast<int>(qBound<qint64>(0, value, qint64(QWIDGETSIZE_MAX)));
}
} // namespace

PaletteColorGridView::PaletteColorGridView(
    Binding<Palette> palette, Binding<int> colCount, Binding<double> cellSize,
    Binding<double> cellSpacing, Binding<double> cellRadius, Binding<ModifyType> modifyType,
    Binding<int> modifyColorIdx, Binding<QString> modifyColorName,
    Binding<ColorValue> modifyColorColor, Binding<int> selectedFormatIdx,
    Binding<QStringList> formats, Editor edit, QWidget *parent)
    : QAbstractItemView(parent)
    , palette(std::move(palette))
    , colCount(std::move(colCount))
    , cellSize(std::move(cellSize))
    , cellSpacing(std::move(cellSpacing))
    , cellRadius(std::move(cellRadius))
    , modifyType(std::move(modifyType))
    , modifyColorIdx(std::move(modifyColorIdx))
    , modifyColorName(std::move(modifyColorName))
    , modifyColorColor(std::move(modifyColorColor))
    , selectedFormatIdx(std::move(selectedFormatIdx))
    , formats(std::move(formats))
    , m_edit(edit ? std::move(edit) : PaletteModifyColorView::bindingEditor(this->palette))
    , m_model(new PaletteColorGridModel(this)) {
    PaletteColorGridAccessible::installFactory();
    setModel(m_model);
    setItemDelegate(new PaletteColorGridDelegate(this));
    setSelectionMode(NoSelection);
    setEditTriggers(NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackgroundRole(QPalette::Window);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setCursor(Qt::PointingHandCursor);
    // Colours dropped as text or as application/x-color are added (dropEvent).
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(DropOnly);
    setAccessibleName(tr("Colors"));
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) { activate(index.row()); });
    refresh();
}

PaletteColorGridView::~PaletteColorGridView() = default;

int PaletteColorGridView::itemCount() const {
    return m_model->rowCount();
}

int PaletteColorGridView::editorItem() const {
    switch (modifyType.get()) {
    case ModifyType::Edit: {
        const int i = modifyColorIdx.get();
        return i >= 0 && i < m_model->colorCount() ? i : -1;
    }
    case ModifyType::Add:
        return m_model->colorCount();
    case ModifyType::None:
        break;
    }
    return -1;
}

void PaletteColorGridView::refresh() {
    const Palette current = palette.get();
    // An open edit follows its colour when other windows or programs move it.
    if (modifyType.get() == ModifyType::Edit && m_editOriginal) {
        const int at = ColorEdit::change(modifyColorIdx.get(), *m_editOriginal, {}).locate(current);
        if (at >= 0 && at != modifyColorIdx.get()) {
            modifyColorIdx.set(at);
            return; // the index change refreshes again
        }
    }
    {
        // Only the changed rows change; the keyboard's cell follows its colour without the
        // view scrolling to it.
        m_restoringCurrent = true;
        m_model->setPalette(current);
        m_restoringCurrent = false;
    }
    syncEditor();
    relayout();
    viewport()->update();
}

void PaletteColorGridView::syncEditor() {
    if (modifyType.get() != ModifyType::Edit) {
        m_editOriginal.reset();
    } else if (!m_editOriginal) {
        const Palette current = palette.get();
        const int i = modifyColorIdx.get();
        if (i >= 0 && i < current.palColors.size())
            m_editOriginal = current.palColors.at(i);
    }
    if (editorItem() < 0) {
        if (m_editor) {
            const bool hadFocus = m_editor->isAncestorOf(QApplication::focusWidget());
            m_editor->hide();
            m_editor->deleteLater();
            m_editor = nullptr;
            if (hadFocus)
                setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    if (!m_editor) {
        m_editor = new PaletteModifyColorView(palette, modifyType, modifyColorIdx, modifyColorName,
                                              modifyColorColor, m_edit, viewport());
        if (m_editOriginal)
            m_editor->setOriginal(*m_editOriginal);
        m_editor->refresh();
        m_editor->show();
        m_editor->focusName();
        return;
    }
    if (m_editOriginal)
        m_editor->setOriginal(*m_editOriginal);
    m_editor->refresh();
}

void PaletteColorGridView::relayout() {
    m_columns = qBound(1, colCount.get(), maxColumns);
    m_cellSize = static_cast<int>(std::lround(sane(cellSize.get(), minCellSize, maxCellSize, 100)));
    m_spacing = static_cast<int>(std::lround(sane(cellSpacing.get(), 0, maxSpacing, 0)));
    m_cornerRadius = m_cellSize / 100.0 * sane(cellRadius.get(), 0, maxRadius, 0);
    m_rowHeight = m_cellSize + captionGap + fontMetrics().height();

    const int items = itemCount();
    m_rows = (items + m_columns - 1) / m_columns;
    const int editorAt = m_editor ? editorItem() : -1;
    int editorWidth = 0;
    if (editorAt >= 0) {
        m_editorRow = editorAt / m_columns;
        // One column: a narrow cell stacks the editor's rows rather than covering neighbours.
        m_editor->setNarrow(m_editor->wideWidth() > m_cellSize);
        if (QLayout *layout = m_editor->layout())
            layout->activate();
        m_editorRowHeight = qMax(m_rowHeight, m_editor->sizeHint().height());
        editorWidth = m_cellSize;
    } else {
        m_editorRow = -1;
        m_editorRowHeight = 0;
    }

    const qint64 gridWidth = qint64(m_columns) * m_cellSize + qint64(m_columns - 1) * m_spacing;
    const qint64 width = qMax<qint64>(gridWidth, editorWidth);
    m_xOffset = static_cast<int>((width - gridWidth) / 2);
    const qint64 height = rowTop(m_rows - 1) + rowSpan(m_rows - 1);
    m_contentSize = QSize(clampToWidgetSize(width), clampToWidgetSize(height));
    setFixedSize(m_contentSize);
    updateGeometry();

    if (editorAt >= 0) {
        const QRect cell = cellRect(editorAt);
        const int x = qBound(0, cell.x() + (cell.width() - editorWidth) / 2,
                             qMax(0, m_contentSize.width() - editorWidth));
        m_editor->setGeometry(x, cell.y(), editorWidth, m_editorRowHeight);
    }
}

qint64 PaletteColorGridView::rowTop(int row) const {
    if (row <= 0)
        return 0;
    const qint64 pitch = m_rowHeight + m_spacing;
    if (m_editorRow < 0 || row <= m_editorRow)
        return row * pitch;
    return row * pitch + (m_editorRowHeight - m_rowHeight);
}

int PaletteColorGridView::rowSpan(int row) const {
    return row == m_editorRow ? m_editorRowHeight : m_rowHeight;
}

int PaletteColorGridView::rowFloor(qint64 y) const {
    if (y <= 0)
        return 0;
    const qint64 pitch = m_rowHeight + m_spacing;
    qint64 row;
    if (m_editorRow < 0 || y < rowTop(m_editorRow + 1))
        row = y / pitch;
    else
        row = m_editorRow + 1 + (y - rowTop(m_editorRow + 1)) / pitch;
    if (m_editorRow >= 0 && row > m_editorRow && y < rowTop(m_editorRow + 1))
        row = m_editorRow;
    return static_cast<int>(qMin<qint64>(row, m_rows - 1));
}

QRect PaletteColorGridView::cellRect(int item) const {
    if (item < 0 || item >= itemCount())
        return {};
    const int row = item / m_columns;
    const int column = item % m_columns;
    const qint64 x = m_xOffset + qint64(column) * (m_cellSize + m_spacing);
    return QRect(clampToWidgetSize(x), clampToWidgetSize(rowTop(row)), m_cellSize, rowSpan(row));
}

QRect PaletteColorGridView::visualRect(const QModelIndex &index) const {
    return index.isValid() && index.model() == m_model ? cellRect(index.row()) : QRect();
}

QModelIndex PaletteColorGridView::indexAt(const QPoint &point) const {
    const int row = rowFloor(point.y());
    const qint64 pitch = m_cellSize + m_spacing;
    const qint64 x = qint64(point.x()) - m_xOffset;
    if (x < 0 || point.y() < 0)
        return {};
    const qint64 column = x / pitch;
    if (column >= m_columns || x - column * pitch >= m_cellSize)
        return {};
    if (point.y() >= rowTop(row) + rowSpan(row))
        return {};
    const qint64 item = qint64(row) * m_columns + column;
    // The editor covers its whole cell: nothing under it can be clicked.
    if (m_editor && item == editorItem())
        return {};
    return item < itemCount() ? m_model->index(static_cast<int>(item)) : QModelIndex();
}

void PaletteColorGridView::scrollTo(const QModelIndex &index, ScrollHint) {
    if (m_restoringCurrent || !index.isValid())
        return;
    const QRect rect = visualRect(index);
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        auto *area = qobject_cast<QScrollArea *>(w);
        if (!area || !area->widget() || !area->widget()->isAncestorOf(this))
            continue;
        const QPoint centre = viewport()->mapTo(area->widget(), rect.center());
        area->ensureVisible(centre.x(), centre.y(), rect.width() / 2 + 8, rect.height() / 2 + 8);
        return;
    }
}

QSize PaletteColorGridView::sizeHint() const {
    return m_contentSize;
}

QSize PaletteColorGridView::minimumSizeHint() const {
    return m_contentSize;
}

QModelIndex PaletteColorGridView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers) {
    const int last = itemCount() - 1;
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return m_model->index(0);
    int item = current.row();
    const int visibleRows = qMax(1, (parentWidget() ? parentWidget()->height() : height()) /
                                        qMax(1, m_rowHeight + m_spacing));
    switch (cursorAction) {
    case MoveLeft:
    case MovePrevious:
        item -= 1;
        break;
    case MoveRight:
    case MoveNext:
        item += 1;
        break;
    case MoveUp:
        item = item >= m_columns ? item - m_columns : item;
        break;
    case MoveDown:
        item = item + m_columns <= last ? item + m_columns : item;
        break;
    case MovePageUp:
        item = qMax(item % m_columns, item - visibleRows * m_columns);
        break;
    case MovePageDown:
        while (item + m_columns <= last && visibleRows > 0) {
            item += m_columns;
            if ((item / m_columns) % visibleRows == 0)
                break;
        }
        break;
    case MoveHome:
        item = 0;
        break;
    case MoveEnd:
        item = last;
        break;
    }
    return m_model->index(qBound(0, item, last));
}

void PaletteColorGridView::setSelection(const QRect &rect,
                                        QItemSelectionModel::SelectionFlags command) {
    QItemSelection selection;
    const QRect area = rect.normalized();
    for (int row = rowFloor(area.top()); row <= rowFloor(area.bottom()); ++row) {
        for (int column = 0; column < m_columns; ++column) {
            const int item = row * m_columns + column;
            if (item < itemCount() && cellRect(item).intersects(area))
                selection.select(m_model->index(item), m_model->index(item));
        }
    }
    selectionModel()->select(selection, command);
}

QRegion PaletteColorGridView::visualRegionForSelection(const QItemSelection &selection) const {
    QRegion region;
    for (const QItemSelectionRange &range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            region += cellRect(row);
    }
    return region;
}

void PaletteColorGridView::doItemsLayout() {
    updateGeometries();
}

bool PaletteColorGridView::viewportEvent(QEvent *event) {
    // The base class paints every visible cell again when the window gains or loses the
    // focus, for selection colours this view does not have. Only a palette whose colours
    // differ between active and inactive windows needs that; the focused cell's ring follows
    // the focus events.
    if ((event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) &&
        QWidget::palette().isEqual(QPalette::Active, QPalette::Inactive))
        return QAbstractScrollArea::viewportEvent(event);
    return QAbstractItemView::viewportEvent(event);
}

void PaletteColorGridView::updateGeometries() {
    QAbstractItemView::updateGeometries();
    horizontalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setRange(0, 0);
}

void PaletteColorGridView::paintEvent(QPaintEvent *event) {
    QPainter painter(viewport());
    const QRect exposed = event->rect();
    const qint64 pitch = m_cellSize + m_spacing;
    const int firstColumn = static_cast<int>(qBound<qint64>(
        qint64(0), (qint64(exposed.left()) - m_xOffset) / pitch, qint64(m_columns - 1)));
    const int lastColumn = static_cast<int>(qBound<qint64>(
        qint64(0), (qint64(exposed.right()) - m_xOffset) / pitch, qint64(m_columns - 1)));
    const int skip = m_editor ? editorItem() : -1;
    const QModelIndex current = currentIndex();

    QStyleOptionViewItem option;
    initViewItemOption(&option);
    for (int row = rowFloor(exposed.top()); row <= rowFloor(exposed.bottom()); ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const int item = row * m_columns + column;
            if (item >= itemCount() || item == skip)
                continue;
            const QModelIndex index = m_model->index(item);
            option.rect = cellRect(item);
            option.state = QStyle::State_Enabled;
            if (index == current && hasFocus())
                option.state |= QStyle::State_HasFocus;
            const bool faint = !m_filter.isEmpty() && item < m_model->colorCount() &&
                               !m_filter.matches(m_model->palette().palColors.at(item));
            painter.setOpacity(faint ? 0.2 : 1.0);
            itemDelegate()->paint(&painter, option, index);
        }
    }
}

void PaletteColorGridView::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (currentIndex().isValid())
            activate(currentIndex().row());
        event->accept();
        return;
    case Qt::Key_Escape:
        if (modifyType.get() != ModifyType::None) {
            modifyType.set(ModifyType::None);
            refresh();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteFromClipboard();
        event->accept();
        return;
    }
    QAbstractItemView::keyPressEvent(event);
}

void PaletteColorGridView::contextMenuEvent(QContextMenuEvent *event) {
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const QModelIndex index = keyboard ? currentIndex() : indexAt(event->pos());
    QMenu *menu = index.isValid() ? contextMenuFor(index.row()) : nullptr;
    if (!menu)
        return;
    const QPoint at = keyboard ? visualRect(index).center() : event->pos();
    menu->popup(viewport()->mapToGlobal(at));
}

QMenu *PaletteColorGridView::contextMenuFor(int i) {
    if (i < 0 || i >= m_model->colorCount())
        return nullptr;
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(tr("Edit"), this, [this, i] { startColorEdit(i); });
    menu->addAction(tr("Delete"), this, [this, i] { deleteColor(i); });
    UndoActions::addTo(menu, UndoStack::forPalette(palette.get().palName));
    return menu;
}

void PaletteColorGridView::mousePressEvent(QMouseEvent *event) {
    m_pressItem = -1;
    if (event->button() == Qt::LeftButton) {
        m_pressAt = event->position().toPoint();
        const QModelIndex index = indexAt(m_pressAt);
        if (index.isValid() && index.row() < m_model->colorCount() && index.row() != editorItem())
            m_pressItem = index.row();
    }
    QAbstractItemView::mousePressEvent(event);
}

void PaletteColorGridView::mouseMoveEvent(QMouseEvent *event) {
    if (m_pressItem >= 0 && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - m_pressAt).manhattanLength() >=
            QApplication::startDragDistance()) {
        const int item = m_pressItem;
        m_pressItem = -1;
        startColorDrag(item);
        return;
    }
    QAbstractItemView::mouseMoveEvent(event);
}

QMimeData *PaletteColorGridView::dragData(int i) const {
    const Palette current = palette.get();
    const QStringList templates = formats.get();
    if (i < 0 || i >= current.palColors.size() || templates.isEmpty())
        return nullptr;
    const SerializableColor &color = current.palColors.at(i).colColor;
    const QString format =
        templates.at(qBound(0, selectedFormatIdx.get(), int(templates.size()) - 1));
    auto *data = new QMimeData;
    data->setText(formatColor(format, color));
    const auto unit = [](double c) {
        return c > 0 ? std::min(c, 1.0) : 0.0;
    };
    data->setColorData(QColor::fromRgbF(float(unit(color.red)), float(unit(color.green)),
                                        float(unit(color.blue)),
                                        float(unit(color.alpha.value_or(1.0)))));
    return data;
}

void PaletteColorGridView::startColorDrag(int i) {
    QMimeData *data = dragData(i);
    if (!data)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    QPixmap image(24, 24);
    image.fill(qvariant_cast<QColor>(data->colorData()));
    drag->setPixmap(image);
    drag->setHotSpot(QPoint(12, 12));
    // The release ends the drag, not a click: nothing goes to the clipboard.
    setState(NoState);
    drag->exec(Qt::CopyAction);
}

void PaletteColorGridView::activate(int item) {
    if (item >= 0 && item < m_model->colorCount())
        copyColor(item);
    else if (item == m_model->colorCount())
        startColorAdd();
}

void PaletteColorGridView::copyColor(int i) {
    const Palette current = palette.get();
    const QStringList templates = formats.get();
    const int formatIdx = selectedFormatIdx.get();
    if (i < 0 || i >= current.palColors.size() || formatIdx < 0 || formatIdx >= templates.size())
        return;
    const QString text = formatColor(templates.at(formatIdx), current.palColors.at(i).colColor);
    logLine(QStringLiteral("Copied: ") + text);
    copyPlainText(text);
}

void PaletteColorGridView::setFilter(const PaletteFilter &filter) {
    m_filter = filter;
    const int first = firstMatch();
    if (first >= 0)
        scrollTo(m_model->index(first));
    viewport()->update();
}

bool PaletteColorGridView::matchesFilter(int i) const {
    const Palette &current = m_model->palette();
    return i >= 0 && i < current.palColors.size() && m_filter.matches(current.palColors.at(i));
}

int PaletteColorGridView::firstMatch() const {
    const Palette &current = m_model->palette();
    for (int i = 0; i < current.palColors.size(); ++i) {
        if (m_filter.matches(current.palColors.at(i)))
            return i;
    }
    return -1;
}

void PaletteColorGridView::startColorEdit(int i) {
    const Palette current = palette.get();
    if (i < 0 || i >= current.palColors.size())
        return;
    const PaletteColor &color = current.palColors.at(i);
    m_editOriginal = color;
    modifyColorName.set(color.colName);
    modifyColorColor.set(displayColor(color.colColor));
    modifyColorIdx.set(i);
    modifyType.set(ModifyType::Edit);
    refresh();
}

void PaletteColorGridView::startColorAdd() {
    modifyColorName.set(tr("New color"));
    modifyColorIdx.set(-1);
    modifyType.set(ModifyType::Add);
    refresh();
}

void PaletteColorGridView::deleteColor(int i) {
    const Palette current = palette.get();
    if (i < 0 || i >= current.palColors.size())
        return;
    const PaletteColor deleted = current.palColors.at(i);
    const bool deletesEdited = modifyType.get() == ModifyType::Edit && modifyColorIdx.get() == i &&
                               m_editOriginal == deleted;
    if (m_edit(ColorEdit::remove(i, deleted)) == Manager::EditResult::Refused)
        return;
    // Deleting the colour being edited ends the edit; any other open edit follows its colour
    // to its new place (refresh does that).
    if (deletesEdited)
        modifyType.set(ModifyType::None);
    updater = !updater;
    refresh();
}

bool PaletteColorGridView::addColors(const QList<PaletteColor> &colors) {
    if (colors.isEmpty())
        return false;
    for (const PaletteColor &color : colors)
        logLine(QStringLiteral("Added col: ") + printable(color.colName) + QLatin1Char(' ') +
                displayColor(color.colColor).description());
    if (m_edit(ColorEdit::addAll(colors)) == Manager::EditResult::Refused)
        return false;
    updater = !updater;
    refresh();
    return true;
}

namespace {
QList<PaletteColor> colorsInText(const QString &text) {
    QList<PaletteColor> colors;
    for (const ColorTextParser::Found &found : ColorTextParser::findAll(text))
        colors.append(PaletteColor{found.text, colorComponentsWithAlpha(found.color)});
    return colors;
}
} // namespace

int PaletteColorGridView::pasteFromClipboard() {
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    const QList<PaletteColor> colors = mime ? colorsIn(mime) : QList<PaletteColor>();
    if (colors.isEmpty()) {
        logLine(QStringLiteral("No color found on the clipboard: nothing added"));
        return 0;
    }
    addColors(colors);
    return int(colors.size());
}

QList<PaletteColor> PaletteColorGridView::colorsIn(const QMimeData *mime) const {
    if (mime->hasText()) {
        const QList<PaletteColor> colors = colorsInText(mime->text());
        if (!colors.isEmpty())
            return colors;
    }
    if (mime->hasColor()) {
        const QColor color = qvariant_cast<QColor>(mime->colorData()).toRgb();
        if (color.isValid()) {
            // 8 bits a channel, as every colour from an 8-bit source is stored.
            const SerializableColor components{color.red() / 255.0, color.green() / 255.0,
                                               color.blue() / 255.0, color.alpha() / 255.0};
            const QString name =
                QLatin1Char('#') +
                (color.alpha() == 255 ? hexText(components) : hexTextWithAlpha(components));
            return {PaletteColor{name, components}};
        }
    }
    return {};
}

void PaletteColorGridView::addPickedColor(const ColorValue &color) {
    const PaletteColor picked{QLatin1Char('#') + hexText(colorComponents(color)),
                              colorComponentsWithAlpha(color)};
    logLine(QStringLiteral("Picked col: ") + picked.colName + QLatin1Char(' ') +
            color.description());
    if (m_edit(ColorEdit::add(picked)) == Manager::EditResult::Refused)
        return;
    updater = !updater;
    refresh();
    copyColor(int(palette.get().palColors.size()) - 1);
}

void PaletteColorGridView::dragEnterEvent(QDragEnterEvent *event) {
    // A swatch dragged out and back into its own grid is not a new colour.
    if (event->source() != this && (event->mimeData()->hasText() || event->mimeData()->hasColor()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void PaletteColorGridView::dragMoveEvent(QDragMoveEvent *event) {
    if (event->source() != this && (event->mimeData()->hasText() || event->mimeData()->hasColor()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void PaletteColorGridView::dropEvent(QDropEvent *event) {
    if (event->source() == this) {
        event->ignore();
        return;
    }
    const QList<PaletteColor> colors = colorsIn(event->mimeData());
    if (colors.isEmpty()) {
        logLine(QStringLiteral("No color found in the drop: nothing added"));
        event->ignore();
        return;
    }
    addColors(colors);
    event->acceptProposedAction();
}
