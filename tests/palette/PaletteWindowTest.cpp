#include "StdoutCapture.h"
#include "TestSupport.h"

#include "model/ColorText.h"
#include "model/PaletteCodec.h"
#include "platform/BackingStorePages.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"
#include "store/UndoStack.h"
#include "views/blocks/SectionView2C.h"
#include "views/palette/PaletteColorGridDelegate.h"
#include "views/palette/PaletteColorGridModel.h"
#include "views/palette/PaletteColorGridView.h"
#include "views/palette/PaletteModifyColorView.h"
#include "views/palette/PaletteOptionsView.h"
#include "views/palette/PalettePlace.h"
#include "views/palette/PaletteView.h"
#include "views/palette/PaletteWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QBackingStore>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

SerializableColor rgb(double r, double g, double b, std::optional<double> a = std::nullopt) {
    return SerializableColor{r, g, b, a};
}

QString folder() {
    return *Manager::supportSubfolder(QStringLiteral("Palettes"), true);
}

QByteArray fileBytes(const QString &name) {
    QFile file(folder() + QLatin1Char('/') + name + QStringLiteral(".json"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Palette onDisk(const QString &name) {
    const auto result = PaletteCodec::decode(fileBytes(name));
    return result.palette.value_or(Palette{});
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void click(PaletteColorGridView *grid, int item) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(item).center());
}

QString clipboardText() {
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    return mime ? mime->text() : QString();
}

} // namespace

class PaletteWindowTest : public QObject {
    Q_OBJECT

private:
    PalettesOO *collection = nullptr;
    QList<QPointer<PaletteWindow>> windows;

    // Writes the palettes to disk and loads them into a fresh shared collection.
    void usePalettes(const QList<Palette> &palettes) {
        for (const QString &entry : QDir(folder()).entryList(QDir::Files))
            QFile::remove(folder() + QLatin1Char('/') + entry);
        for (const Palette &p : palettes)
            Manager::savePalette(p);
        capturedLines([] { Manager::loadAllPalettes(); });
    }

    PaletteWindow *openWindow(const QString &name) {
        for (int i = 0; i < collection->count(); ++i) {
            if (collection->palettes().at(i).palName == name) {
                PaletteWindow *window = PaletteWindow::open(collection, i);
                windows.append(window);
                if (!QTest::qWaitForWindowExposed(window))
                    return nullptr;
                return window;
            }
        }
        return nullptr;
    }

    static Palette threeColors(const QString &name) {
        return Palette{name,
                       {{QStringLiteral("Red"), rgb(1, 0, 0)},
                        {QStringLiteral("Green"), rgb(0, 1, 0, 1.0)},
                        {QStringLiteral("Blue"), rgb(0, 0, 1, 0.5)}}};
    }

private slots:
    void init() {
        collection = new PalettesOO;
        PalettesOO::setShared(collection);
        Settings::setInteger(SettingsKeys::viewGridColCount, 6);
        Settings::setFloat(SettingsKeys::viewGridCellSize, 100);
        Settings::setFloat(SettingsKeys::viewGridCellSpacing, 25);
        Settings::setFloat(SettingsKeys::viewGridCellRadius, 25);
    }

    void cleanup() {
        for (const QPointer<PaletteWindow> &w : std::as_const(windows))
            delete w.data();
        windows.clear();
        PalettesOO::setShared(nullptr);
        delete collection;
        collection = nullptr;
    }

    void windowShowsPaletteWithSettings() {
        Settings::setInteger(SettingsKeys::viewGridColCount, 3);
        Settings::setFloat(SettingsKeys::viewGridCellSize, 40);
        Settings::setFloat(SettingsKeys::viewGridCellSpacing, 12.5);
        Settings::setFloat(SettingsKeys::viewGridCellRadius, 50);
        usePalettes({Palette{QStringLiteral("Flat"), {}}, threeColors(QStringLiteral("Sea"))});
        PaletteWindow *window = openWindow(QStringLiteral("Sea"));
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Viewing: Sea"));
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        PaletteView *view = window->view();
        QCOMPARE(view->colCountValue(), 3);
        QCOMPARE(view->cellSizeValue(), 40.0);
        QCOMPARE(view->cellSpacingValue(), 12.5);
        QCOMPARE(view->cellRadiusValue(), 50.0);
        QCOMPARE(view->modifyTypeValue(), ModifyType::None);
        QCOMPARE(view->modifyColorIdxValue(), -1);
        QCOMPARE(view->modifyColorNameValue(), QString());
        QCOMPARE(view->modifyColorColorValue(), ColorValue::fromSrgb(1, 1, 1, 1));
        QCOMPARE(view->showOptionsValue(), false);
        QCOMPARE(view->formatsValue(), formats());
        QCOMPARE(view->section()->title(), QStringLiteral("Colors"));
        QCOMPARE(view->optionsToggle()->text(), QStringLiteral("Show options"));
        // The six built-in templates, a separator, then "Edit formats…".
        QCOMPARE(view->formatPicker()->count(), 8);
        QCOMPARE(view->formatPicker()->itemText(5), QStringLiteral("#hexA"));
        QCOMPARE(view->formatPicker()->itemText(7), QStringLiteral("Edit formats…"));

        // Three swatches and the add cell; captions count the palette's colours.
        PaletteColorGridView *grid = view->grid();
        QCOMPARE(grid->gridModel()->rowCount(), 4);
        QCOMPARE(grid->gridModel()->index(0).data().toString(), QStringLiteral("Red C 3"));
        QCOMPARE(grid->gridModel()->index(1).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("Green C 3\nGreen #00FF00"));
        // A caption too wide for its cell loses the name's end, never the count.
        const QFontMetrics metrics(grid->font());
        const QString wide = QStringLiteral("Colour with a rather long name C 5000");
        for (const int width : {30, 60, 95, 140}) {
            const QString shown = PaletteColorGridDelegate::fittedCaption(wide, metrics, width);
            QVERIFY2(shown.endsWith(QStringLiteral(" C 5000")), qPrintable(shown));
            QVERIFY2(shown.startsWith(QStringLiteral("C")) || shown.startsWith(QChar(0x2026)),
                     qPrintable(shown));
        }
        QCOMPARE(PaletteColorGridDelegate::fittedCaption(QStringLiteral("Red C 3"), metrics, 500),
                 QStringLiteral("Red C 3"));

        // The window fits its content and stays within the screen.
        QVERIFY(window->size().width() >= view->width());
        QVERIFY(window->size().height() <= window->screen()->availableGeometry().height());
    }

    void gridLayoutRowByRow() {
        Settings::setInteger(SettingsKeys::viewGridColCount, 3);
        Palette seven{QStringLiteral("Seven"), {}};
        for (int i = 0; i < 7; ++i)
            seven.palColors.append({QString::number(i), rgb(i / 7.0, 0, 0)});
        usePalettes({seven});
        PaletteWindow *window = openWindow(QStringLiteral("Seven"));
        QVERIFY(window);
        PaletteColorGridView *grid = window->view()->grid();
        const QRect first = grid->cellRect(0);
        QCOMPARE(first.width(), 100);
        QCOMPARE(grid->cellRect(2).x(), first.x() + 2 * 125);
        QCOMPARE(grid->cellRect(3).x(), first.x());
        QCOMPARE(grid->cellRect(3).y(), first.y() + grid->rowHeight() + 25);
        // Seven swatches and the add cell: rows of 3, 3 and 2.
        QCOMPARE(grid->cellRect(7).y(), grid->cellRect(6).y());
        QCOMPARE(grid->cellRect(7).x(), grid->cellRect(1).x());
        QCOMPARE(grid->width(), 3 * 100 + 2 * 25);
        QCOMPARE(grid->height(), 3 * grid->rowHeight() + 2 * 25);
        // Hits land on cells only, never in the gaps.
        QCOMPARE(grid->indexAt(grid->cellRect(4).center()).row(), 4);
        QVERIFY(!grid->indexAt(QPoint(first.right() + 5, first.center().y())).isValid());
        QVERIFY(!grid->indexAt(
                         QPoint(grid->cellRect(8 - 1).right() + 30, grid->cellRect(7).center().y()))
                     .isValid());
    }

    void copyInEveryFormat() {
        usePalettes({Palette{QStringLiteral("Flat"),
                             {{QStringLiteral("Orange"), rgb(1.0, 0.5, 0.0)},
                              {QStringLiteral("Half"), rgb(1.0, 0.5, 0.0, 0.5)}}}});
        Settings::remove(SettingsKeys::formatIdxKey(QStringLiteral("Flat")));
        PaletteWindow *window = openWindow(QStringLiteral("Flat"));
        QVERIFY(window);
        PaletteView *view = window->view();
        PaletteColorGridView *grid = view->grid();
        QComboBox *picker = view->formatPicker();

        const QStringList opaque = {"255, 127, 0", "255, 127, 0, 255", "FF7F00",
                                    "#FF7F00",     "FF7F00FF",         "#FF7F00FF"};
        const QStringList half = {"255, 127, 0", "255, 127, 0, 127", "FF7F00",
                                  "#FF7F00",     "FF7F007F",         "#FF7F007F"};
        for (int i = 0; i < 6; ++i) {
            if (i > 0) // the user steps through the picker with the keyboard
                QTest::keyClick(picker, Qt::Key_Down);
            QCOMPARE(view->selectedFormatIdxValue(), i);
            QCOMPARE(Settings::integer(SettingsKeys::formatIdxKey(QStringLiteral("Flat"))), i);

            QGuiApplication::clipboard()->setText(QStringLiteral("old"));
            const QStringList lines = capturedLines([&] { click(grid, 0); });
            QCOMPARE(lines, QStringList{QStringLiteral("Copied: ") + opaque.at(i)});
            const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
            QVERIFY(mime);
            QCOMPARE(mime->formats(), QStringList{QStringLiteral("text/plain")});
            QCOMPARE(mime->text(), opaque.at(i));

            // Stored alpha shows up where the template asks for it.
            QCOMPARE(capturedLines([&] { click(grid, 1); }),
                     QStringList{QStringLiteral("Copied: ") + half.at(i)});
            QCOMPARE(clipboardText(), half.at(i));
        }
        // A copy leaves the editing state alone.
        QCOMPARE(view->modifyTypeValue(), ModifyType::None);
    }

    void staleIndicesCopyNothing() {
        usePalettes({threeColors(QStringLiteral("Stale"))});
        PaletteWindow *window = openWindow(QStringLiteral("Stale"));
        QVERIFY(window);
        PaletteColorGridView *grid = window->view()->grid();
        QGuiApplication::clipboard()->setText(QStringLiteral("keep"));
        QStringList lines = capturedLines([&] {
            grid->copyColor(3);
            grid->copyColor(-1);
            grid->startColorEdit(3);
            grid->deleteColor(7);
        });
        QCOMPARE(lines, QStringList());
        QCOMPARE(clipboardText(), QStringLiteral("keep"));
        QCOMPARE(window->view()->modifyTypeValue(), ModifyType::None);
        QCOMPARE(onDisk(QStringLiteral("Stale")).palColors.size(), 3);

        // A format index outside the list copies nothing either.
        Palette one{QStringLiteral("x"), {{QStringLiteral("c"), rgb(0, 0, 0)}}};
        int badFormat = 6;
        PaletteColorGridView lonely(Binding<Palette>::constant(one), Binding<int>::constant(2),
                                    Binding<double>::constant(50), Binding<double>::constant(5),
                                    Binding<double>::constant(0),
                                    Binding<ModifyType>::constant(ModifyType::None),
                                    Binding<int>::constant(-1), Binding<QString>::constant({}),
                                    Binding<ColorValue>::constant({}), Binding<int>::to(&badFormat),
                                    Binding<QStringList>::constant(formats()), {});
        lines = capturedLines([&] {
            lonely.copyColor(0);
            badFormat = -1;
            lonely.copyColor(0);
        });
        QCOMPARE(lines, QStringList());
        QCOMPARE(clipboardText(), QStringLiteral("keep"));
    }

    void formatRestoredAndClamped_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("absent") << QVariant() << 0;
        QTest::newRow("five") << QVariant(5) << 5;
        QTest::newRow("negative") << QVariant(-3) << 0;
        QTest::newRow("too large") << QVariant(99) << 5;
    }

    void formatRestoredAndClamped() {
        QFETCH(QVariant, stored);
        QFETCH(int, shown);
        const QString key = SettingsKeys::formatIdxKey(QStringLiteral("Fmt"));
        if (stored.isValid())
            Settings::setInteger(key, stored.toInt());
        else
            Settings::remove(key);
        usePalettes({threeColors(QStringLiteral("Fmt"))});
        PaletteWindow *window = openWindow(QStringLiteral("Fmt"));
        QVERIFY(window);
        QCOMPARE(window->view()->selectedFormatIdxValue(), shown);
        QCOMPARE(window->view()->formatPicker()->currentIndex(), shown);
        // Restoring never writes the key back.
        QCOMPARE(Settings::contains(key), stored.isValid());
        if (stored.isValid())
            QCOMPARE(Settings::integer(key), stored.toInt());
        const QStringList lines = capturedLines([&] { click(window->view()->grid(), 0); });
        QCOMPARE(lines, QStringList{QStringLiteral("Copied: ") +
                                    formatColor(formats().at(shown), rgb(1, 0, 0))});
    }

    void formatChoicesPerPalette() {
        usePalettes({threeColors(QStringLiteral("One")), threeColors(QStringLiteral("Two"))});
        Settings::remove(SettingsKeys::formatIdxKey(QStringLiteral("One")));
        Settings::remove(SettingsKeys::formatIdxKey(QStringLiteral("Two")));
        PaletteWindow *one = openWindow(QStringLiteral("One"));
        PaletteWindow *two = openWindow(QStringLiteral("Two"));
        QVERIFY(one && two);
        one->view()->storeFormatIdx(3);
        QCOMPARE(Settings::integer(SettingsKeys::formatIdxKey(QStringLiteral("One"))), 3);
        QCOMPARE(two->view()->selectedFormatIdxValue(), 0);
        PaletteWindow *again = openWindow(QStringLiteral("One"));
        QVERIFY(again);
        QCOMPARE(again->view()->selectedFormatIdxValue(), 3);
    }

    void editWithoutTouchingThePickerKeepsTheColour() {
        const double odd = 0.123456789;
        usePalettes({Palette{QStringLiteral("Exact"),
                             {{QStringLiteral("Odd"), rgb(odd, 1.0 / 3.0, 2.0 / 7.0)},
                              {QStringLiteral("Other"), rgb(0.1, 0.2, 0.3, 0.25)}}}});
        PaletteWindow *window = openWindow(QStringLiteral("Exact"));
        QVERIFY(window);
        PaletteView *view = window->view();
        PaletteColorGridView *grid = view->grid();

        QMenu *menu = grid->contextMenuFor(0);
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 4);
        QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("Edit"));
        QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("Delete"));
        QCOMPARE(menu->actions().at(2)->text(), QStringLiteral("Undo"));
        QVERIFY(!menu->actions().at(2)->isEnabled());
        menu->actions().at(0)->trigger();
        delete menu;

        QCOMPARE(view->modifyTypeValue(), ModifyType::Edit);
        QCOMPARE(view->modifyColorIdxValue(), 0);
        PaletteModifyColorView *editor = grid->editor();
        QVERIFY(editor);
        QCOMPARE(editor->nameField()->text(), QStringLiteral("Odd"));
        QCOMPARE(editor->geometry().center().x(), grid->cellRect(0).center().x());

        editor->nameField()->selectAll();
        QTest::keyClicks(editor->nameField(), QStringLiteral("Renamed"));
        QCOMPARE(view->modifyColorNameValue(), QStringLiteral("Renamed"));
        const QStringList lines =
            capturedLines([&] { QTest::mouseClick(editor->okButton(), Qt::LeftButton); });
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.at(0).startsWith(QStringLiteral("Changed col: Renamed ")),
                 qPrintable(lines.at(0)));
        QCOMPARE(view->modifyTypeValue(), ModifyType::None);

        const Palette saved = onDisk(QStringLiteral("Exact"));
        QCOMPARE(saved.palColors.size(), 2);
        QCOMPARE(saved.palColors.at(0).colName, QStringLiteral("Renamed"));
        const SerializableColor &c = saved.palColors.at(0).colColor;
        QVERIFY(sameBits(c.red, odd));
        QVERIFY(sameBits(c.green, 1.0 / 3.0));
        QVERIFY(sameBits(c.blue, 2.0 / 7.0));
        // The colour was loaded as an opaque four-component colour.
        QCOMPARE(c.alpha, std::optional<double>(1.0));
        QCOMPARE(saved.palColors.at(1),
                 (PaletteColor{QStringLiteral("Other"), rgb(0.1, 0.2, 0.3, 0.25)}));
        QCOMPARE(collection->palettes().at(0), saved);

        // A stored alpha below 1 comes back exactly too.
        grid->startColorEdit(1);
        capturedLines([&] { grid->editor()->applyColorChange(); });
        QCOMPARE(onDisk(QStringLiteral("Exact")).palColors.at(1).colColor,
                 rgb(0.1, 0.2, 0.3, 0.25));
    }

    void addWithPickedColour() {
        usePalettes({threeColors(QStringLiteral("Grow"))});
        PaletteWindow *window = openWindow(QStringLiteral("Grow"));
        QVERIFY(window);
        PaletteView *view = window->view();
        PaletteColorGridView *grid = view->grid();

        click(grid, 3); // the add cell
        QCOMPARE(view->modifyTypeValue(), ModifyType::Add);
        QCOMPARE(view->modifyColorIdxValue(), -1);
        PaletteModifyColorView *editor = grid->editor();
        QVERIFY(editor);
        QCOMPARE(editor->nameField()->text(), QStringLiteral("New color"));
        QVERIFY(editor->geometry().intersects(grid->cellRect(3)));

        QTest::mouseClick(editor->colorWell(), Qt::LeftButton);
        QColorDialog *dialog = editor->colorDialog();
        QVERIFY(dialog);
        QVERIFY(!dialog->isModal());
        QVERIFY(dialog->testOption(QColorDialog::ShowAlphaChannel));
        // Opening the picker is not a pick.
        QCOMPARE(view->modifyColorColorValue(), ColorValue::fromSrgb(1, 1, 1, 1));
        dialog->setCurrentColor(QColor::fromRgbF(0.0f, 0.0f, 1.0f, 0.5f));

        editor->nameField()->selectAll();
        QTest::keyClicks(editor->nameField(), QStringLiteral("Sky"));
        QStringList lines =
            capturedLines([&] { QTest::keyClick(editor->nameField(), Qt::Key_Return); });
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.at(0).startsWith(QStringLiteral("Added col: Sky sRGB ")),
                 qPrintable(lines.at(0)));
        QCOMPARE(view->modifyTypeValue(), ModifyType::None);
        QTRY_VERIFY(!grid->editor());

        const Palette saved = onDisk(QStringLiteral("Grow"));
        QCOMPARE(saved.palColors.size(), 4);
        QCOMPARE(saved.palColors.at(3).colName, QStringLiteral("Sky"));
        const SerializableColor &c = saved.palColors.at(3).colColor;
        QCOMPARE(c.blue, 1.0);
        QVERIFY(c.alpha.has_value());
        // The picker works in 8-bit steps.
        QVERIFY2(qAbs(*c.alpha - 0.5) <= 1.0 / 255, qPrintable(QString::number(*c.alpha)));
        QCOMPARE(grid->gridModel()->index(0).data().toString(), QStringLiteral("Red C 4"));

        // An empty name is taken as typed; the colour is the one picked last in this window.
        grid->startColorAdd();
        QCOMPARE(grid->editor()->nameField()->text(), QStringLiteral("New color"));
        grid->editor()->nameField()->selectAll();
        QTest::keyClick(grid->editor()->nameField(), Qt::Key_Backspace);
        capturedLines([&] { QTest::mouseClick(grid->editor()->okButton(), Qt::LeftButton); });
        const Palette after = onDisk(QStringLiteral("Grow"));
        QCOMPARE(after.palColors.size(), 5);
        QCOMPARE(after.palColors.at(4).colName, QString());
        QCOMPARE(after.palColors.at(4).colColor, c);
    }

    // ---- colours typed, pasted and dropped ------------------------------------------------

    void pasteAddsEveryColourInOneSave() {
        Palette palette = threeColors(QStringLiteral("Paste"));
        int saves = 0;
        Palette saved;
        PaletteView view(Binding<Palette>::to(&palette), 6, 100, 25, 25, ModifyType::None, -1,
                         QString(), ColorValue::fromSrgb(1, 1, 1, 1), false,
                         [&](const ColorEdit &edit) {
                             ++saves;
                             edit.applyTo(palette);
                             saved = palette;
                             return Manager::EditResult::Saved;
                         });
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QGuiApplication::clipboard()->setText(
            QStringLiteral("#3A7BD5\nrgb(255 127 0 / 50%); teal,\nhello 255, 0, 102\n"));
        view.grid()->setFocus();
        const QStringList lines =
            capturedLines([&] { QTest::keyClick(view.grid(), Qt::Key_V, Qt::ControlModifier); });
        QCOMPARE(saves, 1);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines.at(0).startsWith(QStringLiteral("Added col: #3A7BD5 sRGB ")),
                 qPrintable(lines.at(0)));
        QCOMPARE(saved.palColors.size(), 7);
        const QList<PaletteColor> added = saved.palColors.mid(3);
        QCOMPARE(added.at(0), (PaletteColor{QStringLiteral("#3A7BD5"),
                                            rgb(0x3a / 255.0, 0x7b / 255.0, 0xd5 / 255.0, 1.0)}));
        QCOMPARE(added.at(1), (PaletteColor{QStringLiteral("rgb(255 127 0 / 50%)"),
                                            rgb(1, 127 / 255.0, 0, 0.5)}));
        QCOMPARE(added.at(2).colName, QStringLiteral("teal"));
        QCOMPARE(added.at(3), (PaletteColor{QStringLiteral("255, 0, 102"), rgb(1, 0, 0.4, 1.0)}));
        QVERIFY(sameBits(added.at(3).colColor.value().blue, 0.4));
        QCOMPARE(palette, saved);
        QCOMPARE(view.grid()->gridModel()->colorCount(), 7);

        // Ctrl+V with the focus on the format picker reaches the grid as well.
        QGuiApplication::clipboard()->setText(QStringLiteral("#000"));
        view.formatPicker()->setFocus();
        capturedLines(
            [&] { QTest::keyClick(view.formatPicker(), Qt::Key_V, Qt::ControlModifier); });
        QCOMPARE(saves, 2);
        QCOMPARE(saved.palColors.size(), 8);
    }

    void pasteOrDropWithoutColoursWritesNothing() {
        Palette palette = threeColors(QStringLiteral("Nothing"));
        const Palette before = palette;
        int saves = 0;
        PaletteView view(Binding<Palette>::to(&palette), 6, 100, 25, 25, ModifyType::None, -1,
                         QString(), ColorValue::fromSrgb(1, 1, 1, 1), false,
                         [&](const ColorEdit &edit) {
                             ++saves;
                             edit.applyTo(palette);
                             return Manager::EditResult::Saved;
                         });
        QGuiApplication::clipboard()->setText(QStringLiteral("no colours here, 12 34 #12"));
        QStringList lines = capturedLines([&] { view.grid()->pasteFromClipboard(); });
        QCOMPARE(lines,
                 QStringList{QStringLiteral("No color found on the clipboard: nothing added")});
        QGuiApplication::clipboard()->clear();
        lines = capturedLines([&] { view.grid()->pasteFromClipboard(); });
        QCOMPARE(lines.size(), 1);

        auto *mime = new QMimeData;
        mime->setText(QStringLiteral("nothing"));
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(view.grid()->viewport(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        lines = capturedLines([&] { QApplication::sendEvent(view.grid()->viewport(), &drop); });
        QCOMPARE(lines, QStringList{QStringLiteral("No color found in the drop: nothing added")});
        QVERIFY(!drop.isAccepted());
        delete mime;
        QCOMPARE(saves, 0);
        QCOMPARE(palette, before);
    }

    void dropAddsTextColoursOrTheDraggedColour() {
        Palette palette{QStringLiteral("Drop"), {}};
        int saves = 0;
        PaletteView view(Binding<Palette>::to(&palette), 6, 100, 25, 25, ModifyType::None, -1,
                         QString(), ColorValue::fromSrgb(1, 1, 1, 1), false,
                         [&](const ColorEdit &edit) {
                             ++saves;
                             edit.applyTo(palette);
                             return Manager::EditResult::Saved;
                         });
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QWidget *target = view.grid()->viewport();

        QMimeData text;
        text.setText(QStringLiteral("hsl(0, 100%, 50%)\n#00FF00\nnavy"));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropText(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, {});
        capturedLines([&] { QApplication::sendEvent(target, &dropText); });
        QCOMPARE(saves, 1);
        QCOMPARE(palette.palColors.size(), 3);
        QCOMPARE(palette.palColors.at(0),
                 (PaletteColor{QStringLiteral("hsl(0, 100%, 50%)"), rgb(1, 0, 0, 1.0)}));
        QCOMPARE(palette.palColors.at(2).colName, QStringLiteral("navy"));

        // application/x-color alone: one colour in 8-bit steps, named by its hex text.
        QMimeData color;
        color.setColorData(QColor(102, 51, 153, 128));
        QDragEnterEvent enterColor(QPoint(5, 5), Qt::CopyAction, &color, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enterColor);
        QVERIFY(enterColor.isAccepted());
        QDropEvent dropColor(QPointF(5, 5), Qt::CopyAction, &color, Qt::LeftButton, {});
        capturedLines([&] { QApplication::sendEvent(target, &dropColor); });
        QCOMPARE(saves, 2);
        QCOMPARE(palette.palColors.size(), 4);
        QCOMPARE(palette.palColors.at(3),
                 (PaletteColor{QStringLiteral("#66339980"), rgb(0.4, 0.2, 0.6, 128 / 255.0)}));
    }

    void colourTextFieldShowsAndTakesColours() {
        const double odd = 0.123456789;
        usePalettes({Palette{QStringLiteral("Typed"),
                             {{QStringLiteral("Odd"), rgb(odd, 1.0 / 3.0, 2.0 / 7.0)},
                              {QStringLiteral("Half"), rgb(0.1, 0.2, 0.3, 0.25)}}}});
        PaletteWindow *window = openWindow(QStringLiteral("Typed"));
        QVERIFY(window);
        PaletteView *view = window->view();
        PaletteColorGridView *grid = view->grid();

        grid->startColorEdit(1);
        PaletteModifyColorView *editor = grid->editor();
        QVERIFY(editor);
        QLineEdit *text = editor->colorTextField();
        QCOMPARE(text->text(), QStringLiteral("#19334C3F"));
        grid->startColorEdit(0);
        QCOMPARE(text->text(), QStringLiteral("#1F5548"));

        // A text that is no colour marks the field and turns Ok off, Return included.
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("rgb(1, 2"));
        QVERIFY(!editor->isColorTextValid());
        QVERIFY(!editor->okButton()->isEnabled());
        QVERIFY(text->palette().color(QPalette::Base) !=
                editor->nameField()->palette().color(QPalette::Base));
        QCOMPARE(capturedLines([&] { QTest::keyClick(text, Qt::Key_Return); }), QStringList());
        QCOMPARE(view->modifyTypeValue(), ModifyType::Edit);

        // Typing the shown text back is no change: the stored colour stays bit for bit.
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("#1f5548"));
        QVERIFY(editor->okButton()->isEnabled());
        capturedLines([&] { QTest::mouseClick(editor->okButton(), Qt::LeftButton); });
        const SerializableColor kept = onDisk(QStringLiteral("Typed")).palColors.at(0).colColor;
        QVERIFY(sameBits(kept.red, odd));
        QVERIFY(sameBits(kept.green, 1.0 / 3.0));
        QVERIFY(sameBits(kept.blue, 2.0 / 7.0));

        // A typed colour is stored from its text, exactly.
        grid->startColorEdit(0);
        editor = grid->editor();
        text = editor->colorTextField();
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("rgba(102, 51, 153, 0.5)"));
        QCOMPARE(view->modifyColorColorValue(), ColorValue::fromSrgb(0.4, 0.2, 0.6, 0.5));
        capturedLines([&] { QTest::keyClick(text, Qt::Key_Return); });
        const SerializableColor typed = onDisk(QStringLiteral("Typed")).palColors.at(0).colColor;
        QVERIFY(sameBits(typed.red, 0.4) && sameBits(typed.green, 0.2));
        QCOMPARE(typed.alpha, std::optional<double>(0.5));
    }

    void colourDialogPicksExactBytesBesideTheEditor() {
        usePalettes({threeColors(QStringLiteral("Dialog"))});
        PaletteWindow *window = openWindow(QStringLiteral("Dialog"));
        QVERIFY(window);
        PaletteColorGridView *grid = window->view()->grid();
        grid->startColorEdit(2);
        PaletteModifyColorView *editor = grid->editor();
        editor->openColorDialog();
        QColorDialog *picker = editor->colorDialog();
        QVERIFY(picker);
        // The picker lives in a window of its own that fits the screen; that window is placed.
        QWidget *dialog = editor->colorDialogWindow();
        QVERIFY(dialog);
        // Opens at the editor's colour, alpha included.
        QCOMPARE(picker->currentColor().alpha(), 128);
        QCOMPARE(picker->currentColor().blue(), 255);
        const QRect editorOnScreen(editor->mapToGlobal(QPoint(0, 0)), editor->size());
        QVERIFY2(!dialog->frameGeometry().intersects(editorOnScreen),
                 qPrintable(QStringLiteral("dialog %1,%2 %3x%4 editor %5,%6 %7x%8 screen %9x%10")
                                .arg(dialog->frameGeometry().x())
                                .arg(dialog->frameGeometry().y())
                                .arg(dialog->frameGeometry().width())
                                .arg(dialog->frameGeometry().height())
                                .arg(editorOnScreen.x())
                                .arg(editorOnScreen.y())
                                .arg(editorOnScreen.width())
                                .arg(editorOnScreen.height())
                                .arg(dialog->screen()->availableGeometry().width())
                                .arg(dialog->screen()->availableGeometry().height())));

        picker->setCurrentColor(QColor(102, 51, 153, 128));
        const QList<double> c = window->view()->modifyColorColorValue().components();
        QCOMPARE(c.size(), 4);
        QVERIFY(sameBits(c.at(0), 0.4) && sameBits(c.at(1), 0.2) && sameBits(c.at(2), 0.6));
        QVERIFY(sameBits(c.at(3), 128 / 255.0));
        QCOMPARE(editor->colorTextField()->text(), QStringLiteral("#66339980"));

        // However the window sits, the dialog leaves the editor in view.
        for (const QPoint corner : {QPoint(0, 0), QPoint(300, 200)}) {
            window->move(corner);
            editor->openColorDialog();
            const QRect now(editor->mapToGlobal(QPoint(0, 0)), editor->size());
            QVERIFY(!dialog->frameGeometry().intersects(now));
        }
    }

    void cancelLeavesPaletteAlone() {
        usePalettes({threeColors(QStringLiteral("Calm"))});
        const QByteArray before = fileBytes(QStringLiteral("Calm"));
        PaletteWindow *window = openWindow(QStringLiteral("Calm"));
        QVERIFY(window);
        PaletteView *view = window->view();
        PaletteColorGridView *grid = view->grid();

        grid->startColorEdit(2);
        QTest::keyClicks(grid->editor()->nameField(), QStringLiteral("typed"));
        QStringList lines =
            capturedLines([&] { QTest::keyClick(grid->editor()->nameField(), Qt::Key_Escape); });
        QCOMPARE(lines, QStringList());
        QCOMPARE(view->modifyTypeValue(), ModifyType::None);
        QCOMPARE(fileBytes(QStringLiteral("Calm")), before);
        QCOMPARE(collection->palettes().at(0), threeColors(QStringLiteral("Calm")));

        // Cancel button, then the add cell starts over with "New color".
        grid->startColorAdd();
        QTest::keyClicks(grid->editor()->nameField(), QStringLiteral("zzz"));
        QTest::mouseClick(grid->editor()->cancelButton(), Qt::LeftButton);
        QCOMPARE(view->modifyTypeValue(), ModifyType::None);
        grid->startColorAdd();
        QCOMPARE(grid->editor()->nameField()->text(), QStringLiteral("New color"));

        // Escape with the focus on the grid closes the editor as well.
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Escape);
        QCOMPARE(view->modifyTypeValue(), ModifyType::None);
        QCOMPARE(fileBytes(QStringLiteral("Calm")), before);

        // "Ok" with no editor open only reports it, and still saves.
        PaletteModifyColorView orphan(
            Binding<Palette>::constant(threeColors(QStringLiteral("Calm"))),
            Binding<ModifyType>::constant(ModifyType::None), Binding<int>::constant(-1),
            Binding<QString>::constant({}), Binding<ColorValue>::constant({}), {});
        lines = capturedLines([&] { orphan.applyColorChange(); });
        QCOMPARE(lines, QStringList{QStringLiteral("ERROR: Invalid col modifyType!")});
    }

    void deleteAndFollowTheEdit() {
        usePalettes({threeColors(QStringLiteral("Cut"))});
        PaletteWindow *window = openWindow(QStringLiteral("Cut"));
        QVERIFY(window);
        PaletteView *view = window->view();
        PaletteColorGridView *grid = view->grid();

        grid->startColorEdit(2); // Blue
        QMenu *menu = grid->contextMenuFor(0);
        const QStringList lines = capturedLines([&] { menu->actions().at(1)->trigger(); });
        delete menu;
        QCOMPARE(lines, QStringList());
        Palette saved = onDisk(QStringLiteral("Cut"));
        QCOMPARE(saved.palColors.size(), 2);
        QCOMPARE(saved.palColors.at(0).colName, QStringLiteral("Green"));
        QCOMPARE(grid->gridModel()->index(1).data().toString(), QStringLiteral("Blue C 2"));
        // The editor stays on Blue, now at index 1, so "Ok" cannot overwrite another colour.
        QCOMPARE(view->modifyTypeValue(), ModifyType::Edit);
        QCOMPARE(view->modifyColorIdxValue(), 1);
        capturedLines([&] { grid->editor()->applyColorChange(); });
        saved = onDisk(QStringLiteral("Cut"));
        QCOMPARE(saved.palColors.at(0), (PaletteColor{QStringLiteral("Green"), rgb(0, 1, 0, 1.0)}));
        QCOMPARE(saved.palColors.at(1).colName, QStringLiteral("Blue"));

        // Deleting the colour being edited closes the editor.
        grid->startColorEdit(0);
        grid->deleteColor(0);
        QCOMPARE(view->modifyTypeValue(), ModifyType::None);
        QCOMPARE(onDisk(QStringLiteral("Cut")).palColors.size(), 1);
        grid->deleteColor(0);
        QCOMPARE(onDisk(QStringLiteral("Cut")).palColors.size(), 0);
        QCOMPARE(grid->gridModel()->rowCount(), 1); // only the add cell
    }

    // Every colour change can be taken back and made again, from the keyboard and the menu,
    // through the same saves; one that another program made impossible is refused.
    void undoAndRedoColourChanges() {
        usePalettes({threeColors(QStringLiteral("Undo"))});
        const QByteArray original = fileBytes(QStringLiteral("Undo"));
        PaletteWindow *window = openWindow(QStringLiteral("Undo"));
        QVERIFY(window);
        UndoStack *stack = UndoStack::forPalette(QStringLiteral("Undo"));
        stack->clear();
        PaletteColorGridView *grid = window->view()->grid();
        grid->startColorEdit(0);
        grid->editor()->nameField()->setText(QStringLiteral("Ruby"));
        emit grid->editor()->nameField()->textEdited(QStringLiteral("Ruby"));
        capturedLines([&] { grid->editor()->applyColorChange(); });
        grid->deleteColor(1);
        grid->startColorAdd();
        capturedLines([&] { grid->editor()->applyColorChange(); });
        const QByteArray edited = fileBytes(QStringLiteral("Undo"));
        QCOMPARE(onDisk(QStringLiteral("Undo")).palColors.size(), 3);
        QCOMPARE(stack->undoText(), QStringLiteral("Add color"));
        QMenu *menu = grid->contextMenuFor(0);
        QCOMPARE(menu->actions().at(2)->text(), QStringLiteral("Undo Add color"));
        delete menu;

        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(fileBytes(QStringLiteral("Undo")), original);
        QVERIFY(!stack->canUndo());
        QTest::keyClick(window, Qt::Key_Y, Qt::ControlModifier);
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(window, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(fileBytes(QStringLiteral("Undo")), edited);

        // Another program changes the colour the last undo would remove: nothing is written.
        Palette theirs = onDisk(QStringLiteral("Undo"));
        theirs.palColors.last().colName = QStringLiteral("Theirs");
        QFile file(folder() + QStringLiteral("/Undo.json"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(*PaletteCodec::encode(theirs));
        file.close();
        const QStringList lines = capturedLines([&] { QVERIFY(!stack->undo()); });
        QVERIFY(lines.last().startsWith(QStringLiteral("Not saving palette \"Undo\"")));
        QCOMPARE(onDisk(QStringLiteral("Undo")), theirs);
        QVERIFY(stack->canUndo());
    }

    void optionsWriteAndReachNewWindows() {
        usePalettes({threeColors(QStringLiteral("Opt"))});
        Settings::remove(SettingsKeys::viewGridCellSize);
        Settings::setFloat(SettingsKeys::viewGridCellSize, 80);
        PaletteWindow *window = openWindow(QStringLiteral("Opt"));
        QVERIFY(window);
        PaletteView *view = window->view();
        PaletteOptionsView *options = view->options();
        QVERIFY(!options->isVisible());

        // Showing the panel writes size, spacing and radius even when nothing changed.
        Settings::remove(SettingsKeys::viewGridCellSpacing);
        QTest::mouseClick(view->optionsToggle(), Qt::LeftButton);
        QCOMPARE(view->optionsToggle()->text(), QStringLiteral("Hide options"));
        QVERIFY(options->isVisible());
        QCOMPARE(Settings::floatValue(SettingsKeys::viewGridCellSpacing), 25.0);
        QCOMPARE(options->sizeField()->text(), QStringLiteral("80"));

        options->sizeField()->selectAll();
        QTest::keyClicks(options->sizeField(), QStringLiteral("12.3"));
        QTest::keyClick(options->sizeField(), Qt::Key_Return);
        QCOMPARE(view->cellSizeValue(), 12.3);
        QCOMPARE(view->grid()->drawCellSize(), 12);
        QCOMPARE(Settings::floatValue(SettingsKeys::viewGridCellSize), double(12.3f));

        const int columns = view->colCountValue();
        QTest::keyClick(options->columnStepper(), Qt::Key_Up);
        QCOMPARE(view->colCountValue(), columns + 1);
        QCOMPARE(Settings::integer(SettingsKeys::viewGridColCount), columns + 1);
        options->columnStepper()->setValue(1);
        QTest::keyClick(options->columnStepper(), Qt::Key_Down);
        QCOMPARE(view->colCountValue(), 1);

        options->radiusSlider()->setValue(50);
        QCOMPARE(view->cellRadiusValue(), 50.0);
        QCOMPARE(Settings::floatValue(SettingsKeys::viewGridCellRadius), 50.0);
        QCOMPARE(view->grid()->drawCornerRadius(), 6.0); // half of the 12-point cell

        // Hiding keeps the values and settings.
        QTest::mouseClick(view->optionsToggle(), Qt::LeftButton);
        QVERIFY(!options->isVisible());
        QCOMPARE(view->cellSizeValue(), 12.3);

        PaletteWindow *next = openWindow(QStringLiteral("Opt"));
        QVERIFY(next);
        QCOMPARE(next->view()->cellSizeValue(), 12.300000190734863);
        QCOMPARE(next->view()->colCountValue(), 1);
        QCOMPARE(next->view()->cellRadiusValue(), 50.0);
        // The first window keeps its own values until reopened.
        QTest::mouseClick(view->optionsToggle(), Qt::LeftButton);
        options->sizeField()->setText(QStringLiteral("60"));
        QTest::keyClick(options->sizeField(), Qt::Key_Return);
        QCOMPARE(view->cellSizeValue(), 60.0);
        QCOMPARE(next->view()->cellSizeValue(), 12.300000190734863);
    }

    void senselessValuesAreDrawnSanely_data() {
        QTest::addColumn<int>("columns");
        QTest::addColumn<double>("size");
        QTest::addColumn<double>("spacing");
        QTest::addColumn<double>("radius");
        QTest::newRow("zero") << 0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("negative") << -4 << -10.0 << -5.0 << -3.0;
        QTest::newRow("huge") << 100000 << 1e9 << 1e9 << 80.0;
    }

    void senselessValuesAreDrawnSanely() {
        QFETCH(int, columns);
        QFETCH(double, size);
        QFETCH(double, spacing);
        QFETCH(double, radius);
        Settings::setInteger(SettingsKeys::viewGridColCount, columns);
        Settings::setFloat(SettingsKeys::viewGridCellSize, size);
        Settings::setFloat(SettingsKeys::viewGridCellSpacing, spacing);
        Settings::setFloat(SettingsKeys::viewGridCellRadius, radius);
        usePalettes({threeColors(QStringLiteral("Odd"))});
        PaletteWindow *window = openWindow(QStringLiteral("Odd"));
        QVERIFY(window);
        PaletteColorGridView *grid = window->view()->grid();
        QVERIFY(grid->drawColumns() >= 1 && grid->drawColumns() <= 999);
        QVERIFY(grid->drawCellSize() >= 1 && grid->drawCellSize() <= 1000);
        QVERIFY(grid->drawSpacing() >= 0);
        QVERIFY(grid->drawCornerRadius() >= 0 &&
                grid->drawCornerRadius() <= grid->drawCellSize() / 2.0);
        QVERIFY(window->width() <= window->screen()->availableGeometry().width());
        window->grab(); // paints without crashing
        QCOMPARE(capturedLines([&] { click(grid, 0); }).size(), 1);
    }

    void keyboardAndAssistiveNames() {
        usePalettes({threeColors(QStringLiteral("Keys"))});
        PaletteWindow *window = openWindow(QStringLiteral("Keys"));
        QVERIFY(window);
        PaletteColorGridView *grid = window->view()->grid();
        Settings::remove(SettingsKeys::formatIdxKey(QStringLiteral("Keys")));
        window->view()->restoreFormatIdx();

        // Tab reaches the grid from the toggle button.
        window->activateWindow();
        window->view()->optionsToggle()->setFocus();
        QTest::keyClick(window->view()->optionsToggle(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), grid);
        QVERIFY(grid->currentIndex().isValid());
        grid->setCurrentIndex(grid->gridModel()->index(0));
        QTest::keyClick(grid, Qt::Key_Right);
        QCOMPARE(grid->currentIndex().row(), 1);
        QCOMPARE(capturedLines([&] { QTest::keyClick(grid, Qt::Key_Return); }),
                 QStringList{QStringLiteral("Copied: 0, 255, 0")});
        QTest::keyClick(grid, Qt::Key_Right);
        QCOMPARE(capturedLines([&] { QTest::keyClick(grid, Qt::Key_Space); }),
                 QStringList{QStringLiteral("Copied: 0, 0, 255")});
        // Enter on the add cell opens the editor there.
        QTest::keyClick(grid, Qt::Key_End);
        QTest::keyClick(grid, Qt::Key_Enter);
        QCOMPARE(window->view()->modifyTypeValue(), ModifyType::Add);

        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(grid);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::List);
        QCOMPARE(iface->childCount(), 4);
        QStringList names;
        for (int i = 0; i < iface->childCount(); ++i)
            names << iface->child(i)->text(QAccessible::Name);
        QVERIFY2(names.contains(QStringLiteral("Red #FF0000")), qPrintable(names.join('|')));
        QVERIFY(names.contains(QStringLiteral("Blue #0000FF")));
    }

    void swatchesPaintOpaqueWithRadius() {
        Settings::setFloat(SettingsKeys::viewGridCellRadius, 50);
        usePalettes(
            {Palette{QStringLiteral("Paint"), {{QStringLiteral("Clear"), rgb(0, 0, 1, 0.0)}}}});
        PaletteWindow *window = openWindow(QStringLiteral("Paint"));
        QVERIFY(window);
        PaletteColorGridView *grid = window->view()->grid();
        const QImage image = grid->grab().toImage();
        const QRect cell = grid->cellRect(0);
        const int size = grid->drawCellSize();
        const int top = cell.y() + (cell.height() - grid->rowHeight()) / 2;
        // A stored alpha of 0 still paints solid blue; radius 50 makes a circle.
        QCOMPARE(image.pixelColor(cell.x() + size / 2, top + size / 2), QColor(0, 0, 255));
        QVERIFY(image.pixelColor(cell.x() + 1, top + 1) != QColor(0, 0, 255));
    }

    void windowFollowsItsPaletteThroughRebuilds() {
        usePalettes({threeColors(QStringLiteral("A")), threeColors(QStringLiteral("B")),
                     threeColors(QStringLiteral("C"))});
        QPointer<PaletteWindow> window = openWindow(QStringLiteral("B"));
        QVERIFY(window);
        const QByteArray cBefore = fileBytes(QStringLiteral("C"));

        capturedLines([] { Manager::deletePalette(QStringLiteral("A")); });
        QCoreApplication::processEvents();
        QVERIFY(window);
        const int at = window->place()->index();
        QVERIFY(collection->contains(at));
        QCOMPARE(collection->palettes().at(at).palName, QStringLiteral("B"));
        PaletteColorGridView *grid = window->view()->grid();
        grid->deleteColor(0);
        QCOMPARE(onDisk(QStringLiteral("B")).palColors.size(), 2);
        QCOMPARE(fileBytes(QStringLiteral("C")), cBefore);

        // Mid-rebuild the collection is empty: nothing is read past its end, nothing written.
        collection->setPalettes({});
        capturedLines([&] {
            grid->copyColor(0);
            grid->deleteColor(0);
            grid->startColorAdd();
            grid->editor()->applyColorChange();
        });
        QVERIFY(!QFile::exists(folder() + QStringLiteral("/.json")));
        QCOMPARE(onDisk(QStringLiteral("B")).palColors.size(), 2);

        // Reloading brings B back and the window stays on it.
        capturedLines([] { Manager::loadAllPalettes(); });
        QCoreApplication::processEvents();
        QVERIFY(window);
        QCOMPARE(window->view()->grid()->gridModel()->colorCount(), 2);

        // A new name: the window follows the palette, title and edits included.
        const Palette b = collection->palettes().at(window->place()->index());
        capturedLines([&] {
            Manager::renamePalette(b.palName, Palette{QStringLiteral("Bee"), b.palColors});
        });
        QCoreApplication::processEvents();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Viewing: Bee"));
        QCOMPARE(window->place()->palName(), QStringLiteral("Bee"));
        window->view()->grid()->deleteColor(0);
        QCOMPARE(onDisk(QStringLiteral("Bee")).palColors.size(), 1);
        QVERIFY(!QFile::exists(folder() + QStringLiteral("/B.json")));

        // Once it is gone for good, its window closes.
        capturedLines([] { Manager::deletePalette(QStringLiteral("Bee")); });
        QTRY_VERIFY(!window);
        QCOMPARE(fileBytes(QStringLiteral("C")), cBefore);
    }

    void frameRememberedPerPalette() {
        usePalettes({threeColors(QStringLiteral("Frame"))});
        PaletteWindow *window = openWindow(QStringLiteral("Frame"));
        QVERIFY(window);
        window->move(window->pos() + QPoint(7, 9));
        window->resize(window->size() - QSize(40, 30));
        const QPoint moved = window->pos();
        const QSize smaller = window->size();
        QVERIFY(!Settings::windowFrame(QStringLiteral("Viewing: Frame")).isEmpty());
        window->close();
        PaletteWindow *again = openWindow(QStringLiteral("Frame"));
        QVERIFY(again);
        QCOMPARE(again->pos(), moved);
        QCOMPARE(again->size(), smaller);
        // A change of the content's size fits the window to it again.
        QTest::mouseClick(again->view()->optionsToggle(), Qt::LeftButton);
        QVERIFY(again->height() > smaller.height());
    }

    // Each step of the column count sizes the window for that step, not the one before; a
    // frame that was only fitted gives way to new content, one the user chose does not.
    void windowFollowsTheOptionsAtOnce() {
        Palette wide{QStringLiteral("Wide"), {}};
        for (int i = 0; i < 16; ++i)
            wide.palColors.append({QStringLiteral("c%1").arg(i), rgb(i / 16.0, 0.2, 0.4)});
        usePalettes({wide});
        Settings::setInteger(SettingsKeys::viewGridColCount, 6);
        Settings::setFloat(SettingsKeys::viewGridCellSize, 80);
        Settings::setFloat(SettingsKeys::viewGridCellSpacing, 10);
        PaletteWindow *window = openWindow(QStringLiteral("Wide"));
        QVERIFY(window);
        PaletteView *view = window->view();
        QTest::mouseClick(view->optionsToggle(), Qt::LeftButton);
        QSpinBox *stepper = view->options()->columnStepper();
        QCoreApplication::processEvents();
        QList<int> widths{window->width()};
        const auto step = [&](Qt::Key key) {
            QTest::keyClick(stepper, key);
            QCOMPARE(window->width(), view->sizeHint().width());
            QVERIFY(window->widget()->geometry().top() <= 0);
            widths.append(window->width());
        };
        for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down})
            step(key);
        QCOMPARE(view->colCountValue(), 6);
        // One column and its spacing per step (the first step may also settle the title row).
        QVERIFY2(
            widths.at(1) - widths.at(0) >= 80 && widths.at(2) - widths.at(1) == 90,
            qPrintable(
                QStringLiteral("%1 %2 %3").arg(widths.at(0)).arg(widths.at(1)).arg(widths.at(2))));
        QCOMPARE(widths.at(3), widths.at(1));
        QCOMPARE(widths.at(4), widths.at(1) - 90);
        QVERIFY(!window->isUserSized());
        window->close();

        // A fitted frame: the next window takes the size of what it shows now.
        Settings::setInteger(SettingsKeys::viewGridColCount, 8);
        PaletteWindow *again = openWindow(QStringLiteral("Wide"));
        QVERIFY(again);
        QCOMPARE(again->width(), again->view()->sizeHint().width());
        QVERIFY(again->width() > widths.at(0));
    }

    void largePaletteScrolls() {
        Palette big{QStringLiteral("Big"), {}};
        for (int i = 0; i < 3000; ++i)
            big.palColors.append({QStringLiteral("c%1").arg(i), rgb((i % 255) / 255.0, 0.5, 0.5)});
        usePalettes({big});
        PaletteWindow *window = openWindow(QStringLiteral("Big"));
        QVERIFY(window);
        const QRect room = window->screen()->availableGeometry();
        QVERIFY(window->height() <= room.height());
        QVERIFY(window->view()->height() > room.height());
        PaletteColorGridView *grid = window->view()->grid();
        // Keyboard moves to the end scroll the window along.
        grid->setFocus();
        grid->setCurrentIndex(grid->gridModel()->index(0));
        QTest::keyClick(grid, Qt::Key_End);
        QVERIFY(window->verticalScrollBar()->value() > 0);
        QCOMPARE(capturedLines([&] { QTest::keyClick(grid, Qt::Key_Return); }).size(), 0);
        QCOMPARE(window->view()->modifyTypeValue(), ModifyType::Add);

        // Still scrolling after the content grows: the window keeps the height it has.
        window->resize(window->width(), 300);
        QCoreApplication::processEvents();
        const QSize before = window->view()->sizeHint();
        capturedLines([&] {
            for (int i = 0; i < 12; ++i)
                QVERIFY(grid->addColors({{QStringLiteral("more %1").arg(i), rgb(0.1, 0.2, 0.3)}}));
        });
        QTRY_VERIFY(window->view()->sizeHint().height() > before.height());
        QCoreApplication::processEvents();
        QCOMPARE(window->height(), 300);
    }

    // The store's pages are mapped as the window is shown, not one fault at a time inside the
    // first paint.
    void backingStoreIsMappedBeforeTheFirstPaint() {
        const long page = ::sysconf(_SC_PAGESIZE);
        const auto resident = [page](const void *from, std::size_t bytes) {
            const auto start = reinterpret_cast<std::uintptr_t>(from) & ~std::uintptr_t(page - 1);
            const std::size_t length = reinterpret_cast<std::uintptr_t>(from) + bytes - start;
            std::vector<unsigned char> pages((length + page - 1) / page);
            if (::mincore(reinterpret_cast<void *>(start), length, pages.data()) != 0)
                return -1;
            return int(
                std::count_if(pages.begin(), pages.end(), [](unsigned char p) { return p & 1; }));
        };
        const std::size_t bytes = 64 * std::size_t(page);
        void *fresh =
            ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        QVERIFY(fresh != MAP_FAILED);
        QCOMPARE(resident(fresh, bytes), 0);
        const bool mapped = BackingStorePages::prefault(fresh, bytes);
        QCOMPARE(resident(fresh, bytes), mapped ? 64 : 0);
        ::munmap(fresh, bytes);
        QVERIFY(!BackingStorePages::prefault(nullptr, bytes));
        BackingStorePages::prepare(nullptr, QSize(100, 100));

        Palette big{QStringLiteral("Tall"), {}};
        for (int i = 0; i < 600; ++i)
            big.palColors.append({QStringLiteral("c%1").arg(i), rgb(0.2, (i % 255) / 255.0, 0.4)});
        usePalettes({big});
        QPointer<PaletteWindow> window = PaletteWindow::open(collection, 0);
        windows.append(window);
        QVERIFY(window && window->backingStore());
        // Nothing painted yet, and the store already has the window's size.
        QBackingStore *store = window->backingStore();
        QCOMPARE(store->size(), window->size());
        const QPaintDevice *device = store->paintDevice();
        QVERIFY(device && device->devType() == QInternal::Image);
        const auto *image = static_cast<const QImage *>(device);
        const int pages = int((image->sizeInBytes() + page - 1) / page);
        if (mapped)
            QVERIFY(resident(image->constBits(), std::size_t(image->sizeInBytes())) >= pages);
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
};

SWATCHBAR_TEST_GUI_MAIN(PaletteWindowTest)
#include "PaletteWindowTest.moc"
