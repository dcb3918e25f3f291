#pragma once

#include "model/ColorValue.h"
#include "model/ModifyType.h"
#include "model/Palette.h"
#include "model/PaletteFilter.h"
#include "views/blocks/Binding.h"

#include <QAbstractItemView>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <optional>

class PaletteColorGridModel;
#include "views/palette/PaletteModifyColorView.h"
class QMenu;
class QMimeData;

// The swatches of one palette, row by row in colCount columns, then the add cell. Only the
// items on screen are painted, so a palette with thousands of colours stays cheap; the one
// open colour editor is a real widget placed over its cell. The view does not scroll by itself:
// it takes its whole content size and lives in the window's scroll area.
class PaletteColorGridView : public QAbstractItemView {
    Q_OBJECT
public:
    using Editor = PaletteModifyColorView::Editor;

    PaletteColorGridView(Binding<Palette> palette, Binding<int> colCount, Binding<double> cellSize,
                         Binding<double> cellSpacing, Binding<double> cellRadius,
                         Binding<ModifyType> modifyType, Binding<int> modifyColorIdx,
                         Binding<QString> modifyColorName, Binding<ColorValue> modifyColorColor,
                         Binding<int> selectedFormatIdx, Binding<QStringList> formats,
                         Editor edit = {}, QWidget *parent = nullptr);
    ~PaletteColorGridView() override;

    // Rereads the palette and the display values and places the editor.
    void refresh();

    void copyColor(int i);
    // Colours the filter does not match are drawn faint; matches keep their places.
    void setFilter(const PaletteFilter &filter);
    bool matchesFilter(int i) const;
    // The first colour the filter matches, or -1.
    int firstMatch() const;
    void startColorEdit(int i);
    void startColorAdd();
    void deleteColor(int i);

    // Appends colours in one save, each logged as added; false when nothing was added.
    bool addColors(const QList<PaletteColor> &colors);
    // Adds every colour found in the clipboard's text (each named by its own text), else its
    // application/x-color; one line and nothing written when there is none. Returns how many.
    int pasteFromClipboard();
    // A colour from the screen picker: appended under its hex text and copied.
    void addPickedColor(const ColorValue &color);

    PaletteColorGridModel *gridModel() const { return m_model; }
    PaletteModifyColorView *editor() const { return m_editor; }
    QRect cellRect(int item) const;
    // The "Edit" / "Delete" menu of swatch i (owned by the view, deleted when closed).
    QMenu *contextMenuFor(int i);

    // Display values as drawn: stored values that make no sense are drawn as the nearest sane
    // value, so a typed size of 0 or a column count of -1 can neither crash nor hang the grid.
    int drawColumns() const { return m_columns; }
    int drawCellSize() const { return m_cellSize; }
    int drawSpacing() const { return m_spacing; }
    qreal drawCornerRadius() const { return m_cornerRadius; }
    int rowHeight() const { return m_rowHeight; }
    static constexpr int captionGap = 4;

    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The cells are placed by relayout() and drawn again by refresh(), so the base class's
    // layout (run from a timer after every model change) has nothing to add but a second
    // paint of every visible cell, which a 50,000-colour window feels as it opens.
    void doItemsLayout() override;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override { return 0; }
    bool isIndexHidden(const QModelIndex &) const override { return false; }
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void updateGeometries() override;
    bool viewportEvent(QEvent *event) override;

    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

public:
    // What a drag of swatch i carries: its text in the copy format as text/plain, and the
    // colour as application/x-color. Null for no swatch.
    QMimeData *dragData(int i) const;

private:
    // Nothing is copied: the drop target takes the colour.
    void startColorDrag(int i);
    QPoint m_pressAt;
    int m_pressItem = -1;

    void activate(int item);
    // Colours a drop would add: from its text, else from its application/x-color.
    QList<PaletteColor> colorsIn(const QMimeData *mime) const;
    void relayout();
    void syncEditor();
    int editorItem() const;
    qint64 rowTop(int row) const;
    int rowSpan(int row) const;
    // The last row that starts at or above y.
    int rowFloor(qint64 y) const;
    int itemCount() const;

    Binding<Palette> palette;
    Binding<int> colCount;
    Binding<double> cellSize;
    Binding<double> cellSpacing;
    Binding<double> cellRadius;
    Binding<ModifyType> modifyType;
    Binding<int> modifyColorIdx;
    Binding<QString> modifyColorName;
    Binding<ColorValue> modifyColorColor;
    Binding<int> selectedFormatIdx;
    Binding<QStringList> formats;
    bool updater = false;
    Editor m_edit;
    // The colour being edited as it was when the edit began.
    std::optional<PaletteColor> m_editOriginal;

    PaletteColorGridModel *m_model;
    QPointer<PaletteModifyColorView> m_editor;
    int m_columns = 1;
    int m_cellSize = 100;
    int m_spacing = 0;
    qreal m_cornerRadius = 0;
    int m_rowHeight = 100;
    int m_rows = 1;
    int m_editorRow = -1;
    int m_editorRowHeight = 0;
    int m_xOffset = 0;
    QSize m_contentSize;
    bool m_restoringCurrent = false;
    PaletteFilter m_filter;
};
