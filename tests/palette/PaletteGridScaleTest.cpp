#include "StdoutCapture.h"
#include "TestSupport.h"

#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"
#include "views/palette/PaletteColorGridModel.h"
#include "views/palette/PaletteColorGridView.h"
#include "views/palette/PalettePlace.h"
#include "views/palette/PaletteView.h"
#include "views/palette/PaletteWindow.h"

#include <QAbstractItemModelTester>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalSpy>

namespace {

constexpr int bigCount = 50000;

// Colour i carries i in its red and green channels, so a pixel tells which swatch it is.
PaletteColor numbered(int i) {
    return PaletteColor{QStringLiteral("N%1").arg(i),
                        {(i % 256) / 255.0, (i / 256 % 256) / 255.0, 0.5, {}}};
}

int numberOf(const QColor &pixel) {
    return pixel.red() + 256 * pixel.green();
}

Palette big(const QString &name) {
    Palette palette{name, {}};
    palette.palColors.reserve(bigCount);
    for (int i = 0; i < bigCount; ++i)
        palette.palColors.append(numbered(i));
    return palette;
}

} // namespace

class PaletteGridScaleTest : public QObject {
    Q_OBJECT

private slots:
    // An edit changes the rows it touches and nothing else: no reset, the keyboard's cell
    // follows its colour, and the counts in the captions follow the new length.
    void editsChangeOnlyTheirRows() {
        PaletteColorGridModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QItemSelectionModel selection(&model);
        Palette palette = big(QStringLiteral("Big"));
        model.setPalette(palette);
        selection.setCurrentIndex(model.index(40000), QItemSelectionModel::Select);

        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);

        // One colour edited: one row changes.
        palette.palColors[123].colName = QStringLiteral("Edited");
        model.setPalette(palette);
        QCOMPARE(resets.size(), 0);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 123);
        QCOMPARE(changed.at(0).at(1).toModelIndex().row(), 123);
        QCOMPARE(model.data(model.index(123), Qt::DisplayRole).toString(),
                 QStringLiteral("Edited C %1").arg(bigCount));
        QCOMPARE(selection.currentIndex().row(), 40000);
        QVERIFY(selection.isSelected(model.index(40000)));

        // A colour deleted before the current one: the current cell and the selection move up
        // with their colour.
        changed.clear();
        palette.palColors.removeAt(10);
        model.setPalette(palette);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.at(0).at(1).toInt(), 10);
        QCOMPARE(removed.at(0).at(2).toInt(), 10);
        QCOMPARE(inserted.size(), 0);
        QCOMPARE(selection.currentIndex().row(), 39999);
        QVERIFY(selection.isSelected(model.index(39999)));
        QCOMPARE(model.data(selection.currentIndex(), Qt::DisplayRole).toString(),
                 QStringLiteral("N40000 C %1").arg(bigCount - 1));

        // A colour added at the end goes in before the add cell.
        palette.palColors.append(numbered(7));
        model.setPalette(palette);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), bigCount - 1);
        QCOMPARE(model.rowCount(), bigCount + 1);
        QVERIFY(model.data(model.index(bigCount), PaletteColorGridModel::IsAddCellRole).toBool());

        // The same colours again (a reload that found nothing new): no signal at all.
        changed.clear();
        inserted.clear();
        removed.clear();
        model.setPalette(Palette{palette.palName, QList<PaletteColor>(palette.palColors)});
        QCOMPARE(changed.size() + inserted.size() + removed.size() + resets.size(), 0);

        // Everything replaced by fewer colours.
        model.setPalette(Palette{palette.palName, {numbered(1), numbered(2)}});
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.data(model.index(1), Qt::DisplayRole).toString(), QStringLiteral("N2 C 2"));
        QCOMPARE(resets.size(), 0);
    }

    // Far down a 50,000-colour palette, the cell under the pointer is the one painted there.
    void farDownTheGridHitsAndPaintsTheRightSwatch() {
        PalettesOO collection;
        PalettesOO::setShared(&collection);
        Settings::setInteger(SettingsKeys::viewGridColCount, 8);
        Settings::setFloat(SettingsKeys::viewGridCellSize, 30);
        Settings::setFloat(SettingsKeys::viewGridCellSpacing, 4);
        Settings::setFloat(SettingsKeys::viewGridCellRadius, 0);
        QVERIFY(Manager::savePalette(big(QStringLiteral("Big"))));
        capturedLines([] { Manager::loadAllPalettes(); });

        std::unique_ptr<PaletteWindow> window(PaletteWindow::open(&collection, 0));
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        PaletteColorGridView *grid = window->view()->grid();
        QScrollBar *bar = window->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);

        for (const int target : {bigCount - 3, 31337, 8}) {
            grid->scrollTo(grid->gridModel()->index(target));
            QCoreApplication::processEvents();
            const QRect cell = grid->cellRect(target);
            const QPoint inWindow = grid->viewport()->mapTo(window.get(), cell.center());
            QVERIFY2(window->viewport()->geometry().contains(inWindow),
                     qPrintable(QStringLiteral("cell %1 not in view").arg(target)));
            QCOMPARE(grid->indexAt(cell.center()).row(), target);
            const QImage shot = window->grab().toImage();
            const QPoint swatch =
                grid->viewport()->mapTo(window.get(), cell.topLeft() + QPoint(12, 12));
            QCOMPARE(numberOf(shot.pixelColor(swatch)), target % 65536);
        }

        // An edit far down repaints that cell with the new colour, and the view stays put.
        const int target = 31337 % bigCount;
        grid->scrollTo(grid->gridModel()->index(target));
        QCoreApplication::processEvents();
        const int before = bar->value();
        Palette edited = collection.palettes().at(0);
        edited.palColors[target] = numbered(1234);
        collection.replace(0, edited);
        QCoreApplication::processEvents(); // the window rereads once control is back
        QCoreApplication::processEvents();
        QCOMPARE(bar->value(), before);
        const QRect cell = grid->cellRect(target);
        const QImage shot = window->grab().toImage();
        QCOMPARE(numberOf(shot.pixelColor(
                     grid->viewport()->mapTo(window.get(), cell.topLeft() + QPoint(12, 12)))),
                 1234);
        window.reset();
        PalettesOO::setShared(nullptr);
    }

    // A big palette's window stays as it is while other palettes change or move around it,
    // and follows its own palette's changes.
    void placeSpeaksOnlyForItsOwnPalette() {
        PalettesOO collection;
        collection.setPalettes({Palette{QStringLiteral("A"), {numbered(1)}},
                                big(QStringLiteral("Big")),
                                Palette{QStringLiteral("C"), {numbered(3)}}});
        PalettePlace place(&collection, 1);
        QSignalSpy changed(&place, &PalettePlace::changed);
        const auto settle = [] {
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        };

        QList<Palette> list = collection.palettes();
        list[0].palColors.append(numbered(2));
        collection.setPalettes(list);
        settle();
        list.removeAt(0);
        list.append(Palette{QStringLiteral("D"), {}});
        collection.setPalettes(list);
        settle();
        QCOMPARE(changed.size(), 0);
        QCOMPARE(place.index(), 0);

        list[0].palColors[49999].colName = QStringLiteral("Edited");
        collection.replace(0, list[0]);
        settle();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(place.read().palColors.at(49999).colName, QStringLiteral("Edited"));

        collection.setPalettes({Palette{QStringLiteral("C"), {}}});
        settle();
        QVERIFY(place.isGone());
        QCOMPARE(changed.size(), 1);
    }

    // The grid is painted again when the window gains or loses the focus only where something
    // drawn changes: the focused cell, not every visible cell.
    void focusChangesDoNotRepaintEveryCell() {
        PalettesOO collection;
        PalettesOO::setShared(&collection);
        QVERIFY(Manager::savePalette(big(QStringLiteral("Focus"))));
        capturedLines([] { Manager::loadAllPalettes(); });
        std::unique_ptr<PaletteWindow> window(PaletteWindow::open(&collection, 0));
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        PaletteColorGridView *grid = window->view()->grid();
        QVERIFY(grid->QWidget::palette().isEqual(QPalette::Active, QPalette::Inactive));
        struct PaintCounter : QObject {
            QRegion painted;
            bool eventFilter(QObject *, QEvent *event) override {
                if (event->type() == QEvent::Paint)
                    painted += static_cast<QPaintEvent *>(event)->region();
                return false;
            }
        } counter;
        grid->viewport()->installEventFilter(&counter);
        QTest::qWait(50);
        counter.painted = QRegion();

        for (const QEvent::Type type : {QEvent::WindowDeactivate, QEvent::WindowActivate}) {
            QEvent event(type);
            QCoreApplication::sendEvent(window.get(), &event);
        }
        QTest::qWait(50);
        const QRect visible = grid->viewport()->visibleRegion().boundingRect();
        QVERIFY(!visible.isEmpty());
        QVERIFY2(!counter.painted.boundingRect().contains(visible),
                 "every visible cell was painted again");
        grid->viewport()->removeEventFilter(&counter);
        window.reset();
        PalettesOO::setShared(nullptr);
    }
};

SWATCHBAR_TEST_GUI_MAIN(PaletteGridScaleTest)
#include "PaletteGridScaleTest.moc"
