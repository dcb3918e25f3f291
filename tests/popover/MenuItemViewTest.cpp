#include "TestSupport.h"

#include "PopoverFixture.h"
#include "StdoutCapture.h"
#include "store/UndoStack.h"
#include "views/popover/GridMetrics.h"
#include "views/popover/MenuItemModifyView.h"
#include "views/popover/PaletteGridView.h"
#include "views/popover/PalettePreviewView.h"

#include "views/blocks/BoundedScrollArea.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QUrl>
#include <QWheelEvent>
#include <cmath>
#include <limits>

using namespace popover;

namespace {
const SerializableColor red{1, 0, 0, std::nullopt};
const SerializableColor green{0, 1, 0, 1.0};
const SerializableColor blue{0, 0, 1, std::nullopt};
const SerializableColor clear{0, 1, 0, 0.0};

void loadPalettes(const QList<Palette> &palettes) {
    QList<Palette> list = palettes;
    PalettesOO::shared()->setPalettes(list);
}

QRgb pixel(const QImage &image, QPoint at) {
    return image.pixel(at);
}
} // namespace

class MenuItemViewTest : public QObject {
    Q_OBJECT
private slots:
    void init() { resetStore(); }
    void cleanup() { takeViewingWindows(); }

    void readsItsSettingsOnce();
    void gridItemsFillRowByRow();
    void gridFollowsTheCollectionAndStateAtOnce();
    void clickOpensThePaletteAndPlusStartsAdding();
    void keyboardMovesAndOpens();
    void contextMenuRenamesAndDeletes();
    void staleMenuEntriesDoNothing();
    void paletteChangesUndoAndRedo();
    void editorFollowsListChanges();
    void optionsToggleBuildsPanelAndStoresFloats();
    void optionControlsWriteTheirSettings();
    void steppersStopAtTheirLimits();
    void badStoredValuesAreDrawnSanely();
    void hugeValuesWithManyPalettesStayCheap();
    void renderedCellsShowColoursAndCorners();
    void previewScrollsItsSquare();
    void collectionChangeKeepsOrderAndScroll();
    void filterFollowsChangedPalettes();
    void findByTyping();
    void dragReordersAndRewritesPositions();
    void controlsStayWithinTheScreen();
    void droppedFilesAreImportedAndExportWrites();
};

void MenuItemViewTest::readsItsSettingsOnce() {
    Settings::setFloat(SettingsKeys::menuGridCellSize, 33.3);
    Settings::setFloat(SettingsKeys::menuGridCellSpacing, 12);
    Settings::setFloat(SettingsKeys::menuGridCellRadius, 40);
    Settings::setInteger(SettingsKeys::menuGridColCount, 3);
    Settings::setInteger(SettingsKeys::menuCellColCount, 7);
    auto view = makeView();
    QCOMPARE(view->gridCellSize.get(), double(33.3f));
    QCOMPARE(view->gridCellSpacing.get(), 12.0);
    QCOMPARE(view->gridCellRadius.get(), 40.0);
    QCOMPARE(view->gridColCount.get(), 3);
    QCOMPARE(view->cellColCount.get(), 7);
    QCOMPARE(view->showOptions.get(), false);
    QCOMPARE(view->modifyType.get(), ModifyType::None);
    QCOMPARE(view->modifyColorIdx.get(), -1);
    QCOMPARE(view->newPaletteName.get(), QString());
    QCOMPARE(view->palettesOO()->count(), 0);

    // Not re-read while the view lives.
    Settings::setInteger(SettingsKeys::menuGridColCount, 9);
    QCOMPARE(view->gridColCount.get(), 3);
    QCOMPARE(view->gridView()->metrics().columns, 3);
}

void MenuItemViewTest::gridItemsFillRowByRow() {
    auto view = makeView();
    PaletteGridView *grid = view->gridView();
    QCOMPARE(grid->itemCount(), 1); // only the new-palette cell
    QCOMPARE(grid->cellRect(0).topLeft(), QPoint(0, 0));

    view->gridColCount.set(3);
    loadPalettes({palette("a"), palette("b"), palette("c"), palette("d"), palette("e")});
    QCOMPARE(grid->itemCount(), 6);
    QCOMPARE(grid->plusItem(), 5);
    const int pitch = 100 + 25;
    const int rowPitch = grid->cellRect(0).height() + 25;
    for (int item = 0; item < 6; ++item) {
        const QRect cell = grid->cellRect(item);
        QCOMPARE(cell.topLeft(), QPoint((item % 3) * pitch, (item / 3) * rowPitch));
        QCOMPARE(cell.width(), 100);
        QCOMPARE(grid->itemAt(cell.center()), item);
    }
    QCOMPARE(grid->itemAt(QPoint(110, 10)), -1); // the spacing between cells
    QCOMPARE(grid->itemAt(grid->cellRect(5).center() + QPoint(pitch, 0)), -1);
    QCOMPARE(grid->size(), QSize(3 * 100 + 2 * 25, 2 * grid->cellRect(0).height() + 25));

    // Four columns of 100 with spacing 25 make the grid 475 wide.
    view->gridColCount.set(4);
    QCOMPARE(grid->width(), 475);
    QCOMPARE(grid->cellRect(4).topLeft(), QPoint(0, rowPitch));
}

void MenuItemViewTest::gridFollowsTheCollectionAndStateAtOnce() {
    auto view = makeView();
    PaletteGridView *grid = view->gridView();
    loadPalettes({palette("a")});
    QCOMPARE(grid->itemCount(), 2);
    PalettesOO::shared()->append(palette("b"));
    QCOMPARE(grid->itemCount(), 3);
    PalettesOO::shared()->setPalettes({});
    QCOMPARE(grid->itemCount(), 1);

    view->gridCellSize.set(80);
    view->gridCellSpacing.set(5);
    QCOMPARE(grid->cellRect(0).width(), 80);
    QCOMPARE(grid->width(), 4 * 80 + 3 * 5);
    QCOMPARE(grid->cellRect(0).height(),
             PalettePreviewView::previewHeight(80, grid->fontMetrics()));
    // The root view keeps itself at its content size.
    QVERIFY(view->sizeHint().width() >= grid->width());
}

void MenuItemViewTest::clickOpensThePaletteAndPlusStartsAdding() {
    auto view = makeView();
    loadPalettes({palette("Warm"), palette("Cool")});
    view->show();
    PaletteGridView *grid = view->gridView();

    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(1).center());
    QCOMPARE(takeViewingWindows(), QStringList{"Viewing: Cool"});
    // A press that ends on another cell is not a click.
    QTest::mousePress(grid, Qt::LeftButton, {}, grid->cellRect(0).center());
    QTest::mouseRelease(grid, Qt::LeftButton, {}, grid->cellRect(1).center());
    QVERIFY(takeViewingWindows().isEmpty());
    QTest::mouseClick(grid, Qt::RightButton, {}, grid->cellRect(0).center());
    QVERIFY(takeViewingWindows().isEmpty());

    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(2).center());
    QCOMPARE(view->modifyType.get(), ModifyType::Add);
    QCOMPARE(view->modifyColorIdx.get(), -1);
    QCOMPARE(view->newPaletteName.get(), QString("New palette"));
    MenuItemModifyView *editor = view->modifyView();
    QVERIFY(editor->isVisible());
    QCOMPARE(grid->editorItem(), 2);
    QVERIFY(editor->geometry().contains(grid->cellRect(2).center()));
    QCOMPARE(editor->nameField()->text(), QString("New palette"));
    QCOMPARE(editor->nameField()->selectedText(), QString("New palette"));
    QVERIFY(takeViewingWindows().isEmpty());
}

void MenuItemViewTest::keyboardMovesAndOpens() {
    auto view = makeView();
    view->gridColCount.set(2);
    loadPalettes({palette("a"), palette("b"), palette("c")});
    view->show();
    PaletteGridView *grid = view->gridView();
    grid->setFocus(Qt::TabFocusReason);
    QSignalSpy menus(grid, &PaletteGridView::paletteContextMenuRequested);

    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down); // no row below "c" in its column
    QCOMPARE(grid->currentItem(), 2);
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(takeViewingWindows(), QStringList{"Viewing: c"});
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), grid->mapToGlobal(QPoint()));
    QApplication::sendEvent(grid, &menuKey);
    QCOMPARE(menus.size(), 1);
    QCOMPARE(menus.first().first().toInt(), 2);

    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(grid->currentItem(), 3);
    QApplication::sendEvent(grid, &menuKey); // the plus cell has no menu
    QCOMPARE(menus.size(), 1);
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(view->modifyType.get(), ModifyType::Add);
    // Keys typed into the editor stay there.
    QTest::keyClick(view->modifyView()->nameField(), Qt::Key_Up);
    QCOMPARE(grid->currentItem(), 3);
}

void MenuItemViewTest::contextMenuRenamesAndDeletes() {
    for (const char *name : {"One", "Two", "Three"})
        writePaletteFile(palette(name));
    auto view = makeView();
    capturedLines([] { Manager::loadAllPalettes(); });
    view->show();
    const QStringList order = names(view->palettesOO());
    QCOMPARE(order.size(), 3);

    std::unique_ptr<QMenu> menu(view->createContextMenu(2, nullptr));
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), 5);
    QCOMPARE(actions[0]->text(), QString("Rename"));
    QCOMPARE(actions[1]->text(), QString("Delete"));
    QCOMPARE(actions[2]->text(), QString("Export…"));
    QVERIFY(actions[3]->text().startsWith(QString("Undo")));
    QVERIFY(actions[4]->text().startsWith(QString("Redo")));

    actions[0]->trigger();
    QCOMPARE(view->modifyType.get(), ModifyType::Edit);
    QCOMPARE(view->modifyColorIdx.get(), 2);
    QCOMPARE(view->newPaletteName.get(), order[2]);
    QCOMPARE(view->gridView()->editorItem(), 2);
    QCOMPARE(view->modifyView()->nameField()->text(), order[2]);

    // The plus cell moves the single editor there and refills the text.
    view->addPalette();
    QCOMPARE(view->gridView()->editorItem(), 3);
    QCOMPARE(view->modifyView()->nameField()->text(), QString("New palette"));
    view->modifyView()->cancel();
    QVERIFY(view->modifyView()->isHidden());
    QCOMPARE(view->gridView()->editorItem(), -1);

    std::unique_ptr<QMenu> first(view->createContextMenu(0, nullptr));
    capturedLines([&] { first->actions()[1]->trigger(); });
    QVERIFY(!QFile::exists(palettePath(order[0])));
    QCOMPARE(names(view->palettesOO()).size(), 2);
    QVERIFY(!names(view->palettesOO()).contains(order[0]));
}

// Creating, renaming and deleting palettes can be taken back; a deleted palette comes back
// byte for byte from the trash, with its position key.
void MenuItemViewTest::paletteChangesUndoAndRedo() {
    for (const char *name : {"One", "Two"})
        writePaletteFile(palette(name, {{0.2, 0.4, 0.6, std::nullopt}}));
    auto view = makeView();
    capturedLines([] { Manager::loadAllPalettes(); });
    UndoStack *stack = UndoStack::forPalettes();
    stack->clear();
    const QByteArray two = fileBytes("Two");
    const int twoKey = Settings::integer(SettingsKeys::paletteIndexKey("Two"));

    view->deletePalette(names(view->palettesOO()).indexOf("Two"));
    QVERIFY(!QFile::exists(palettePath("Two")));
    QCOMPARE(stack->undoText(), QString("Delete palette"));
    capturedLines([&] { QVERIFY(stack->undo()); });
    QCOMPARE(fileBytes("Two"), two);
    QVERIFY(names(view->palettesOO()).contains("Two"));
    QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey("Two")), twoKey);
    capturedLines([&] { QVERIFY(stack->redo()); });
    QVERIFY(!QFile::exists(palettePath("Two")));
    capturedLines([&] { QVERIFY(stack->undo()); });

    // Rename, then undo and redo it.
    view->renamePalette(names(view->palettesOO()).indexOf("One"));
    view->modifyView()->nameField()->setText("Uno");
    emit view->modifyView()->nameField()->textEdited("Uno");
    capturedLines([&] { view->modifyView()->ok(); });
    QVERIFY(QFile::exists(palettePath("Uno")));
    QCOMPARE(stack->undoText(), QString("Rename palette"));
    capturedLines([&] { QVERIFY(stack->undo()); });
    QVERIFY(QFile::exists(palettePath("One")));
    QVERIFY(!QFile::exists(palettePath("Uno")));
    capturedLines([&] { QVERIFY(stack->redo()); });
    QVERIFY(QFile::exists(palettePath("Uno")));

    // A new palette, undone: its file goes away again.
    view->addPalette();
    capturedLines([&] { view->modifyView()->ok(); });
    QVERIFY(QFile::exists(palettePath("New palette")));
    capturedLines([&] { QVERIFY(stack->undo()); });
    QVERIFY(!QFile::exists(palettePath("New palette")));
    QCOMPARE(names(view->palettesOO()).size(), 2);
    // Undo is refused when the name was taken meanwhile, and the stack stays where it was.
    writePaletteFile(palette("New palette"));
    capturedLines([&] { QVERIFY(!stack->redo()); });
    QVERIFY(stack->canRedo());

    // An import is one step: undone to the trash, made again byte for byte.
    QTemporaryDir dir;
    QFile gpl(dir.filePath("Sea.gpl"));
    QVERIFY(gpl.open(QIODevice::WriteOnly));
    gpl.write("GIMP Palette\nName: Sea\n#\n  0 128 128 Teal\n");
    gpl.close();
    capturedLines([&] { QCOMPARE(view->importFiles({gpl.fileName()}), QStringList{"Sea"}); });
    const QByteArray sea = fileBytes("Sea");
    QCOMPARE(stack->undoText(), QString("Import"));
    capturedLines([&] { QVERIFY(stack->undo()); });
    QVERIFY(!QFile::exists(palettePath("Sea")));
    capturedLines([&] { QVERIFY(stack->redo()); });
    QCOMPARE(fileBytes("Sea"), sea);
    QVERIFY(names(view->palettesOO()).contains("Sea"));
}

void MenuItemViewTest::staleMenuEntriesDoNothing() {
    for (const char *name : {"One", "Two"})
        writePaletteFile(palette(name));
    auto view = makeView();
    capturedLines([] { Manager::loadAllPalettes(); });
    const QStringList order = names(view->palettesOO());

    std::unique_ptr<QMenu> menu(view->createContextMenu(1, nullptr));
    // The list changes while the menu is open: index 1 now names nothing.
    PalettesOO::shared()->setPalettes({palette(order[0])});
    const QStringList lines = capturedLines([&] {
        menu->actions()[0]->trigger();
        menu->actions()[1]->trigger();
    });
    QVERIFY(lines.isEmpty());
    QCOMPARE(view->modifyType.get(), ModifyType::None);
    QVERIFY(QFile::exists(palettePath(order[1])));

    // ... or another palette.
    PalettesOO::shared()->setPalettes({palette(order[0]), palette("Other")});
    capturedLines([&] { menu->actions()[1]->trigger(); });
    QVERIFY(QFile::exists(palettePath(order[1])));
    QCOMPARE(PalettesOO::shared()->count(), 2);

    // Direct calls with an index past the end are ignored too.
    view->renamePalette(7);
    view->deletePalette(-1);
    QCOMPARE(view->modifyType.get(), ModifyType::None);
}

void MenuItemViewTest::editorFollowsListChanges() {
    auto view = makeView();
    loadPalettes({palette("a"), palette("b"), palette("c")});
    view->renamePalette(1);
    QCOMPARE(view->gridView()->editorItem(), 1);
    // Another palette is appended: palette 1 is still "b", the editor stays.
    PalettesOO::shared()->append(palette("d"));
    QCOMPARE(view->modifyType.get(), ModifyType::Edit);
    // The list is rebuilt and "c" now sits where "b" was: renaming it would be wrong.
    PalettesOO::shared()->setPalettes({palette("a"), palette("c")});
    QCOMPARE(view->modifyType.get(), ModifyType::None);
    QVERIFY(view->modifyView()->isHidden());

    // An editor adding a palette moves along with the plus cell and keeps what was typed.
    view->addPalette();
    QLineEdit *field = view->modifyView()->nameField();
    field->selectAll();
    QTest::keyClicks(field, "Typ");
    PalettesOO::shared()->append(palette("e"));
    QCOMPARE(view->gridView()->editorItem(), 3);
    QCOMPARE(field->text(), QString("Typ"));
    QCOMPARE(field->selectedText(), QString());
}

void MenuItemViewTest::optionsToggleBuildsPanelAndStoresFloats() {
    Settings::setFloat(SettingsKeys::menuGridCellSize, 70);
    auto view = makeView();
    QCOMPARE(view->optionsButton()->text(), QString("Show options"));
    QVERIFY(!view->optionsPanel());
    // Settings changed behind the view's back are written over with its own values once the
    // panel is drawn.
    Settings::setFloat(SettingsKeys::menuGridCellSize, 1);
    Settings::setFloat(SettingsKeys::menuGridCellSpacing, 2);
    Settings::setFloat(SettingsKeys::menuGridCellRadius, 3);

    view->optionsButton()->click();
    QCOMPARE(view->optionsButton()->text(), QString("Hide options"));
    QVERIFY(view->optionsPanel());
    QCOMPARE(Settings::floatValue(SettingsKeys::menuGridCellSize), 70.0);
    QCOMPARE(Settings::floatValue(SettingsKeys::menuGridCellSpacing), 25.0);
    QCOMPARE(Settings::floatValue(SettingsKeys::menuGridCellRadius), 25.0);
    QCOMPARE(view->sizeField()->placeholderText(), QString("Size"));
    QCOMPARE(view->spacingField()->placeholderText(), QString("Spacing"));
    QCOMPARE(view->radiusField()->placeholderText(), QString("Radius"));
    QCOMPARE(view->sizeField()->text(), QString("70"));
    QVERIFY(view->radiusField()->maximumWidth() <= 40);
    QCOMPARE(view->radiusSlider()->value(), 250);

    view->optionsButton()->click();
    QCOMPARE(view->optionsButton()->text(), QString("Show options"));
    QVERIFY(!view->optionsPanel());
    QVERIFY(!view->sizeField());
}

void MenuItemViewTest::optionControlsWriteTheirSettings() {
    auto view = makeView();
    view->show();
    view->showOptions.set(true);
    PaletteGridView *grid = view->gridView();

    QLineEdit *size = view->sizeField();
    size->selectAll();
    QTest::keyClicks(size, "80");
    QCOMPARE(view->gridCellSize.get(), 80.0);
    QCOMPARE(Settings::floatValue(SettingsKeys::menuGridCellSize), 80.0);
    QCOMPARE(grid->cellRect(0).width(), 80);
    QCOMPARE(size->text(), QString("80")); // the field is not rewritten under the cursor

    // Text that is not a number is not taken; leaving the field shows the value in use.
    size->selectAll();
    QTest::keyClicks(size, "x");
    QCOMPARE(view->gridCellSize.get(), 80.0);
    emit size->editingFinished();
    QCOMPARE(size->text(), QString("80"));

    QLineEdit *spacing = view->spacingField();
    spacing->selectAll();
    QTest::keyClicks(spacing, "33.3");
    QCOMPARE(view->gridCellSpacing.get(), 33.3);
    // Written as a 32-bit float.
    QCOMPARE(Settings::floatValue(SettingsKeys::menuGridCellSpacing), double(33.3f));

    // Field and slider share the radius.
    view->radiusSlider()->setValue(500);
    QCOMPARE(view->gridCellRadius.get(), 50.0);
    QCOMPARE(view->radiusField()->text(), QString("50"));
    QCOMPARE(Settings::floatValue(SettingsKeys::menuGridCellRadius), 50.0);
    QCOMPARE(grid->metrics().cornerRadius(), 40.0); // half of the 80 cell
    QLineEdit *radius = view->radiusField();
    radius->selectAll();
    QTest::keyClicks(radius, "12.5");
    QCOMPARE(view->radiusSlider()->value(), 125);
    QCOMPARE(Settings::floatValue(SettingsKeys::menuGridCellRadius), 12.5);

    view->gridColCountStepper()->stepUp();
    QCOMPARE(view->gridColCount.get(), 5);
    QCOMPARE(Settings::integer(SettingsKeys::menuGridColCount), 5);
    QCOMPARE(grid->metrics().columns, 5);
    view->cellColCountStepper()->stepDown();
    QCOMPARE(view->cellColCount.get(), 4);
    QCOMPARE(Settings::integer(SettingsKeys::menuCellColCount), 4);
    QCOMPARE(grid->metrics().cellColumns, 4);
}

void MenuItemViewTest::steppersStopAtTheirLimits() {
    auto view = makeView();
    view->showOptions.set(true);
    QSpinBox *cols = view->gridColCountStepper();
    cols->setValue(998);
    cols->stepUp();
    cols->stepUp();
    QCOMPARE(view->gridColCount.get(), 999);
    QCOMPARE(Settings::integer(SettingsKeys::menuGridColCount), 999);
    QSpinBox *cellCols = view->cellColCountStepper();
    cellCols->setValue(2);
    cellCols->stepDown();
    cellCols->stepDown();
    QCOMPARE(view->cellColCount.get(), 1);
    QCOMPARE(Settings::integer(SettingsKeys::menuCellColCount), 1);
}

void MenuItemViewTest::badStoredValuesAreDrawnSanely() {
    Settings::setFloat(SettingsKeys::menuGridCellSize, -5);
    Settings::setFloat(SettingsKeys::menuGridCellSpacing, -10);
    Settings::setFloat(SettingsKeys::menuGridCellRadius, 80);
    Settings::setInteger(SettingsKeys::menuGridColCount, 0);
    Settings::setInteger(SettingsKeys::menuCellColCount, -3);
    auto view = makeView();
    loadPalettes({palette("a", {red, green}), palette("b")});

    const GridMetrics &m = view->gridView()->metrics();
    QCOMPARE(m.cellSize, GridMetrics::minCellSize);
    QCOMPARE(m.spacing, 0.0);
    QCOMPARE(m.radiusPercent, 50.0);
    QCOMPARE(m.columns, 1);
    QCOMPARE(m.cellColumns, 1);
    QCOMPARE(view->gridView()->cellRect(2).left(), 0); // one column
    QVERIFY(!view->grab().isNull());
    // The editor keeps its buttons usable in such tiny cells and stays inside the grid.
    view->addPalette();
    const QRect editor = view->modifyView()->geometry();
    QVERIFY(editor.width() >= view->modifyView()->minimumSizeHint().width());
    QVERIFY(view->gridView()->rect().contains(editor));
    view->modifyView()->cancel();

    // The state and the store keep what was stored, even once the panel shows the limits.
    view->showOptions.set(true);
    QCOMPARE(view->gridColCountStepper()->value(), 1);
    QCOMPARE(view->radiusSlider()->value(), 500);
    QVERIFY(!view->grab().isNull());
    QCOMPARE(view->gridColCount.get(), 0);
    QCOMPARE(Settings::integer(SettingsKeys::menuGridColCount), 0);
    QCOMPARE(Settings::integer(SettingsKeys::menuCellColCount), -3);
    QCOMPARE(Settings::floatValue(SettingsKeys::menuGridCellSize), -5.0);
    QCOMPARE(Settings::floatValue(SettingsKeys::menuGridCellRadius), 80.0);

    QCOMPARE(GridMetrics::sane(1e9, 1e9, -1, 5000, 0).cellSize, GridMetrics::maxCellSize);
    QCOMPARE(GridMetrics::sane(1e9, 1e9, -1, 5000, 0).spacing, GridMetrics::maxSpacing);
    QCOMPARE(GridMetrics::sane(1e9, 1e9, -1, 5000, 0).radiusPercent, 0.0);
    QCOMPARE(GridMetrics::sane(1e9, 1e9, -1, 5000, 0).columns, 999);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QCOMPARE(GridMetrics::sane(nan, nan, nan, 4, 5).cellSize, 100.0);
    QCOMPARE(GridMetrics::sane(nan, nan, nan, 4, 5).spacing, 25.0);
    // More swatch columns than fit wrap at the smallest swatch size.
    QCOMPARE(GridMetrics::previewColumns(999, 100), 10);
    QCOMPARE(GridMetrics::previewColumns(0, 100), 1);
    QCOMPARE(GridMetrics::previewColumns(5, 100), 5);
}

void MenuItemViewTest::hugeValuesWithManyPalettesStayCheap() {
    Settings::setFloat(SettingsKeys::menuGridCellSize, 1e9);
    Settings::setInteger(SettingsKeys::menuGridColCount, 999);
    Settings::setInteger(SettingsKeys::menuCellColCount, 999);
    auto view = makeView();
    QList<Palette> many;
    for (int i = 0; i < 5000; ++i)
        many.append(palette(QString::number(i), QList<SerializableColor>(50, blue)));
    loadPalettes(many);

    PaletteGridView *grid = view->gridView();
    QCOMPARE(grid->metrics().cellSize, GridMetrics::maxCellSize);
    QVERIFY(grid->width() > 0 && grid->width() <= QWIDGETSIZE_MAX);
    QVERIFY(grid->height() > 0 && grid->height() <= QWIDGETSIZE_MAX);
    QCOMPARE(grid->itemAt(grid->cellRect(5000).center()), 5000);

    // Painting a window-sized piece touches only the cells in it.
    QImage image(400, 400, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    grid->render(&image, QPoint(), QRegion(0, 0, 400, 400));
    QCOMPARE(QColor(pixel(image, QPoint(300, 5))), QColor(Qt::blue));

    view->gridColCount.set(1);
    view->gridCellSize.set(100);
    QCOMPARE(grid->width(), 100);
    QVERIFY(grid->height() > 5000 * 100);
    const QRect last = grid->cellRect(5000);
    QImage tail(100, 200, QImage::Format_ARGB32_Premultiplied);
    grid->render(&tail, QPoint(), QRegion(last.adjusted(0, -50, 0, 0)));
}

void MenuItemViewTest::renderedCellsShowColoursAndCorners() {
    Settings::setFloat(SettingsKeys::menuGridCellRadius, 0);
    auto view = makeView();
    loadPalettes({palette("rgb", {red, green, blue, clear}), palette("empty")});
    PaletteGridView *grid = view->gridView();
    const QColor background = grid->palette().color(QPalette::Window);

    QImage image = grid->grab().toImage();
    const QRect cell = grid->cellRect(0);
    // Five swatch columns of 20 in a 100 square, row by row.
    QCOMPARE(QColor(image.pixel(cell.topLeft() + QPoint(10, 10))), QColor(Qt::red));
    QCOMPARE(QColor(image.pixel(cell.topLeft() + QPoint(30, 10))), QColor(Qt::green));
    QCOMPARE(QColor(image.pixel(cell.topLeft() + QPoint(50, 10))), QColor(Qt::blue));
    QCOMPARE(QColor(image.pixel(cell.topLeft() + QPoint(70, 10))), background); // alpha 0
    QCOMPARE(QColor(image.pixel(cell.topLeft() + QPoint(10, 30))), background);
    // The square's corner, just inside the outline.
    QCOMPARE(QColor(image.pixel(cell.topLeft() + QPoint(1, 1))), QColor(Qt::red));
    // A faint line in the text colour outlines every preview, so a swatch of the background's
    // own colour still shows where the square is.
    QVERIFY(QColor(image.pixel(cell.topLeft())) != QColor(Qt::red));
    QVERIFY(QColor(image.pixel(grid->cellRect(1).topLeft() + QPoint(50, 0))) != background);
    // The empty palette's square is empty.
    const QRect emptyCell = grid->cellRect(1);
    QCOMPARE(QColor(image.pixel(emptyCell.topLeft() + QPoint(50, 50))), background);

    // A radius of 50 rounds the corner away; one swatch column fills the width.
    view->gridCellRadius.set(50);
    view->cellColCount.set(1);
    image = grid->grab().toImage();
    QCOMPARE(QColor(image.pixel(cell.topLeft() + QPoint(1, 1))), background);
    QCOMPARE(QColor(image.pixel(cell.topLeft() + QPoint(50, 5))), QColor(Qt::red));
    QCOMPARE(QColor(image.pixel(cell.topLeft() + QPoint(90, 50))), QColor(Qt::red));

    // The plus cell draws its symbol inside the cell-sized frame, centred.
    const QRect plus = grid->cellRect(2);
    bool inked = false;
    for (int x = plus.left(); x <= plus.right(); ++x)
        inked = inked || QColor(image.pixel(x, plus.center().y())) != background;
    QVERIFY(inked);
    QCOMPARE(QColor(image.pixel(plus.topLeft() + QPoint(5, 5))), background);
}

void MenuItemViewTest::previewScrollsItsSquare() {
    Palette many = palette("many", QList<SerializableColor>(25, red));
    many.palColors.append(PaletteColor{"last", blue});
    QCOMPARE(PalettePreviewView::hiddenRows(many, 5, 100), 1);
    QCOMPARE(PalettePreviewView::hiddenRows(palette("x", {red, red, red}), 1, 100), 2);
    QCOMPARE(PalettePreviewView::hiddenRows(palette("x"), 5, 100), 0);

    PalettePreviewView preview(Binding<Palette>::constant(many), Binding<int>::constant(5),
                               Binding<double>::constant(100));
    preview.resize(preview.sizeHint());
    QCOMPARE(preview.sizeHint().width(), 100);
    QImage image = preview.grab().toImage();
    QCOMPARE(QColor(image.pixel(10, 90)), QColor(Qt::red));
    QWheelEvent down(QPointF(50, 50), preview.mapToGlobal(QPointF(50, 50)), {}, {0, -120},
                     Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&preview, &down);
    QCOMPARE(preview.firstRow(), 1);
    image = preview.grab().toImage();
    // The sixth row, holding the 26th colour, now shows at the bottom.
    QCOMPARE(QColor(image.pixel(10, 90)), QColor(Qt::blue));
    QApplication::sendEvent(&preview, &down);
    QCOMPARE(preview.firstRow(), 1);
}

// Another palette changing (a file changed elsewhere, an edit in a window) leaves the popover
// where the user had it: the same palettes at the same places, the same scroll position, and
// a preview scrolled inside its square still scrolled.
void MenuItemViewTest::collectionChangeKeepsOrderAndScroll() {
    auto view = makeView();
    const GridMetrics metrics = view->gridView()->metrics();
    const int perSquare = GridMetrics::previewColumns(metrics.cellColumns, metrics.cellSize);
    QList<Palette> palettes;
    for (int i = 0; i < 2000; ++i) {
        Palette p = palette(QStringLiteral("P%1").arg(i),
                            QList<SerializableColor>(perSquare * perSquare, red));
        p.palColors.append(PaletteColor{"last", blue});
        palettes.append(p);
    }
    QCOMPARE(
        PalettePreviewView::hiddenRows(palettes.first(), metrics.cellColumns, metrics.cellSize), 1);
    loadPalettes(palettes);
    view->setRoom(QSize(600, 700));
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    PaletteGridView *grid = view->gridView();
    QScrollBar *bar = view->gridArea()->verticalScrollBar();
    QVERIFY(bar->maximum() > 1000);
    bar->setValue(bar->maximum() / 2);
    QCoreApplication::processEvents();

    // The first cell wholly in view.
    const QRect visible = grid->visibleRegion().boundingRect();
    int item = -1;
    for (int y = visible.top(); y < visible.bottom() && item < 0; y += 4) {
        const int at = grid->itemAt(QPoint(visible.left() + 5, y));
        if (at >= 0 && visible.contains(grid->cellRect(at)))
            item = at;
    }
    QVERIFY(item > 100);
    const QString name = view->palettesOO()->palettes().at(grid->paletteIndex(item)).palName;
    const QRect cell = grid->cellRect(item);
    QWheelEvent down(QPointF(cell.center()), grid->mapToGlobal(QPointF(cell.center())), {},
                     {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid, &down);
    const auto bottomLeftSwatch = [&] {
        const QImage image = grid->grab(grid->cellRect(item)).toImage();
        const int side = static_cast<int>(metrics.cellSize);
        return QColor(image.pixel((image.width() - side) / 2 + 3, side - 3));
    };
    QCOMPARE(bottomLeftSwatch(), QColor(Qt::blue));

    const int value = bar->value();
    Palette changed = view->palettesOO()->palettes().at(0);
    changed.palColors.append(PaletteColor{"more", red});
    view->palettesOO()->replace(0, changed);
    view->palettesOO()->replace(1, view->palettesOO()->palettes().at(1));
    QCoreApplication::processEvents();
    QCOMPARE(bar->value(), value);
    QCOMPARE(grid->itemAt(cell.center()), item);
    QCOMPARE(view->palettesOO()->palettes().at(grid->paletteIndex(item)).palName, name);
    QCOMPARE(bottomLeftSwatch(), QColor(Qt::blue));
    QCOMPARE(names(view->palettesOO()).mid(0, 3),
             (QStringList{QStringLiteral("P0"), QStringLiteral("P1"), QStringLiteral("P2")}));
}

// While a filter is set, palettes that changed are tested again and the others keep their
// result: a renamed palette sharing its colours with its old self is one that changed.
void MenuItemViewTest::filterFollowsChangedPalettes() {
    auto view = makeView();
    PalettesOO *collection = view->palettesOO();
    loadPalettes({palette("apple", {red}), palette("banana", {red}), palette("cherry", {blue})});
    PaletteGridView *grid = view->gridView();
    const auto shown = [&] {
        QStringList out;
        for (int item = 0; item < grid->itemCount() - 1; ++item)
            out << collection->palettes().at(grid->paletteIndex(item)).palName;
        return out;
    };
    grid->setFilter(PaletteFilter(QStringLiteral("an")));
    QCOMPARE(shown(), QStringList{"banana"});

    Palette apple = collection->palettes().at(0);
    apple.palColors.append(PaletteColor{"tangerine", red});
    collection->replace(0, apple);
    QCOMPARE(shown(), (QStringList{"apple", "banana"}));

    collection->replace(2, Palette{"mango", collection->palettes().at(2).palColors});
    QCOMPARE(shown(), (QStringList{"apple", "banana", "mango"}));

    collection->replace(1, Palette{"berry", collection->palettes().at(1).palColors});
    QCOMPARE(shown(), (QStringList{"apple", "mango"}));

    // A palette gone shifts the others; their results go with them.
    QList<Palette> rest = collection->palettes();
    rest.removeFirst();
    collection->setPalettes(rest);
    QCOMPARE(shown(), QStringList{"mango"});
    QCOMPARE(grid->paletteIndex(0), 1);

    grid->setFilter(PaletteFilter(QStringLiteral("err")));
    QCOMPARE(shown(), QStringList{"berry"});
}

SWATCHBAR_TEST_GUI_MAIN(MenuItemViewTest)
#include "MenuItemViewTest.moc"

// Typing lands in the filter; the grid shows the matches, the arrows move through them,
// Return opens the current one and Escape clears the text. A click still opens what it hits.
void MenuItemViewTest::findByTyping() {
    auto view = makeView();
    view->gridColCount.set(3);
    loadPalettes({palette("Warm", {red}), palette("Cool", {blue}), palette("Grass", {green}),
                  palette("Night", {SerializableColor{1, 0.5, 0, std::nullopt}})});
    view->show();
    PaletteGridView *grid = view->gridView();
    QLineEdit *filter = view->filterField();
    QCOMPARE(view->focusWidget(), static_cast<QWidget *>(filter));

    // Into the grid: the text moves to the filter.
    grid->setFocus();
    QTest::keyClicks(grid, QStringLiteral("o"));
    QCOMPARE(filter->text(), QStringLiteral("o"));
    QCOMPARE(view->focusWidget(), static_cast<QWidget *>(filter));
    QCOMPARE(grid->itemCount(), 1 + 1); // Cool, and the new-palette cell
    QTest::keyClicks(filter, QStringLiteral("O"));
    QCOMPARE(grid->itemCount(), 1 + 1);
    QCOMPARE(grid->paletteIndex(0), 1);

    // Colour texts: hex with and without "#", and component numbers.
    for (const char *text : {"ff7f00", "#ff7f", "255, 127"}) {
        filter->setText(QString::fromLatin1(text));
        QCOMPARE(grid->itemCount(), 1 + 1);
        QCOMPARE(grid->paletteIndex(0), 3);
    }
    filter->setText(QStringLiteral("#0000ff"));
    QCOMPARE(grid->itemCount(), 1 + 1);
    QCOMPARE(grid->paletteIndex(0), 1);
    filter->setText(QStringLiteral("0000ff")); // anywhere: red's FF0000FF holds it too
    QCOMPARE(grid->itemCount(), 2 + 1);

    // The arrows and Return work from the field.
    filter->setText(QStringLiteral("r"));
    QCOMPARE(grid->itemCount(), 2 + 1); // Warm and Grass
    QTest::keyClick(filter, Qt::Key_Right);
    QCOMPARE(grid->currentItem(), 1);
    QTest::keyClick(filter, Qt::Key_Return);
    QCOMPARE(takeViewingWindows(),
             QStringList{"Viewing: " + names(view->palettesOO()).at(grid->paletteIndex(1))});

    // A click opens the palette under it, filtered or not.
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(0).center());
    QCOMPARE(takeViewingWindows(),
             QStringList{"Viewing: " + names(view->palettesOO()).at(grid->paletteIndex(0))});

    QTest::keyClick(filter, Qt::Key_Escape);
    QVERIFY(filter->text().isEmpty());
    QCOMPARE(grid->itemCount(), 4 + 1);

    // 2,000 palettes of 20 colours: each keystroke refilters within a frame.
    QList<Palette> many;
    for (int i = 0; i < 2000; ++i)
        many.append(palette(QStringLiteral("P%1").arg(i), QList<SerializableColor>(20, blue)));
    loadPalettes(many);
    QElapsedTimer timer;
    qint64 slowest = 0;
    for (const char *text : {"p", "p1", "p19", "p199", "#00", "0, 0, 255"}) {
        timer.start();
        filter->setText(QString::fromLatin1(text));
        slowest = qMax(slowest, timer.elapsed());
    }
    qInfo("slowest refilter of 2000 palettes: %lld ms", slowest);
    QCOMPARE(grid->itemCount(), 2000 + 1);
}

// A palette dragged onto another's place moves there; the position keys follow, so the next
// load keeps the order.
void MenuItemViewTest::dragReordersAndRewritesPositions() {
    for (const char *name : {"One", "Two", "Three"})
        writePaletteFile(palette(name, {red}));
    auto view = makeView();
    capturedLines([] { Manager::loadAllPalettes(); });
    view->show();
    const QStringList before = names(view->palettesOO());
    PaletteGridView *grid = view->gridView();
    const QPoint from = grid->cellRect(0).center();
    const QPoint to = grid->cellRect(2).center();
    QTest::mousePress(grid, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), grid->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &move);
    QTest::mouseRelease(grid, Qt::LeftButton, {}, to);
    // A drag is not a click: nothing opens.
    QVERIFY(takeViewingWindows().isEmpty());
    const QStringList after{before.at(1), before.at(2), before.at(0)};
    QCOMPARE(names(view->palettesOO()), after);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey(after.at(i))), i);
    capturedLines([] { Manager::loadAllPalettes(); });
    QCOMPARE(names(view->palettesOO()), after);
}

// With 999 columns the grid scrolls inside its own area; the buttons stay within the room.
void MenuItemViewTest::controlsStayWithinTheScreen() {
    Settings::setInteger(SettingsKeys::menuGridColCount, 999);
    auto view = makeView();
    QList<Palette> many;
    for (int i = 0; i < 1500; ++i)
        many.append(palette(QString::number(i), {red}));
    loadPalettes(many);
    view->setRoom(QSize(1000, 700));
    view->showOptions.set(true);
    view->show();
    QVERIFY(view->gridView()->width() > 10000);
    QVERIFY(view->sizeHint().width() <= 1000);
    QVERIFY(view->sizeHint().height() <= 700);
    QVERIFY(view->gridArea()->width() <= 1000);
    QVERIFY(view->quitButton()->isVisible());
    // Every stop of the tab chain is a control the user can see.
    QWidget *w = view->filterField();
    for (int i = 0; i < 12; ++i) {
        QVERIFY2(w->isVisible() && w->width() > 0, qPrintable(w->metaObject()->className()));
        w = w->nextInFocusChain();
        while (w && !(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        if (!w || w == view->filterField())
            break;
    }
}

// Files dropped on the popover become palettes; "Export…" writes one back out.
void MenuItemViewTest::droppedFilesAreImportedAndExportWrites() {
    writePaletteFile(palette("Web", {{1.0, 0.5, 0.0, std::nullopt}}));
    auto view = makeView();
    capturedLines([] { Manager::loadAllPalettes(); });
    view->show();
    QVERIFY(view->importButton());
    QCOMPARE(view->importButton()->text(), QStringLiteral("Import…"));

    QTemporaryDir dir;
    QFile gpl(dir.filePath("web.gpl"));
    QVERIFY(gpl.open(QIODevice::WriteOnly));
    gpl.write("GIMP Palette\nName: Web\n0 128 255 Sky\n");
    gpl.close();
    QFile bad(dir.filePath("bad.ase"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("ASEF");
    bad.close();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(gpl.fileName()), QUrl::fromLocalFile(bad.fileName()),
                  QUrl(QStringLiteral("https://example.org/x.gpl"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    const QStringList lines = capturedLines([&] { QApplication::sendEvent(view.get(), &drop); });
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], "Imported pal: Web 2 (1 colors) from " + gpl.fileName());
    QVERIFY(lines[1].startsWith("Failed to import " + bad.fileName() + " : "));
    QCOMPARE(names(view->palettesOO()), QStringList({"Web", "Web 2"}));
    QCOMPARE(PaletteCodec::decode(fileBytes("Web 2")).palette->palColors.first().colName,
             QStringLiteral("Sky"));

    // Text alone is no file: not taken.
    QMimeData text;
    text.setText(QStringLiteral("#FF0000"));
    QDragEnterEvent textEnter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton,
                              Qt::NoModifier);
    textEnter.setAccepted(false);
    QApplication::sendEvent(view.get(), &textEnter);
    QVERIFY(!textEnter.isAccepted());

    const QString css = dir.filePath("out.css");
    capturedLines([&] { QVERIFY(view->exportPalette(1, css)); });
    QFile written(css);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(),
             QByteArray("/* Web 2 */\n:root {\n  --sky: #0080FF; /* Sky */\n}\n"));
    QVERIFY(!view->exportPalette(7, css));
}
