// The shell in one process, as the program runs it: the launch sequence, the popover toggle,
// the dock-icon timer and the preferences window.
#include "StdoutCapture.h"
#include "TestPlatform.h"
#include "TestSupport.h"

#include "app/AppDelegate.h"
#include "app/PreferencesView.h"
#include "app/PreferencesWindow.h"
#include "app/Shell.h"
#include "platform/Autostart.h"
#include "platform/PopoverWindow.h"
#include "platform/StatusItem.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"
#include "views/popover/MenuItemView.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
QString palettesFolder() {
    return Manager::supportSubfolder(QStringLiteral("Palettes"), true).value_or(QString());
}

void writePalette(const QString &name) {
    QFile file(palettesFolder() + QLatin1Char('/') + name + QStringLiteral(".json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\"palName\":\"" + name.toUtf8() +
               "\",\"palColors\":[{\"colName\":\"a\",\"colColor\":{\"red\":1,\"green\":0.5,"
               "\"blue\":0,\"alpha\":1}}]}");
}

// The program's own lines printed while fn runs (Qt Test's messages left out).
template <typename Fn> QStringList programLines(Fn &&fn) {
    QStringList lines = capturedLines(std::forward<Fn>(fn));
    lines.removeIf([](const QString &line) { return line.startsWith(QLatin1Char('Q')); });
    return lines;
}

// Waits out the dock-icon delay with room to spare.
void waitForDockPolicy() {
    QTest::qWait(450);
}
} // namespace

class ShellTest : public QObject {
    Q_OBJECT

    TestPlatform *platform = nullptr;
    AppDelegate *delegate = nullptr;
    QStringList launchLines;

private slots:
    void initTestCase() {
        auto owned = std::make_unique<TestPlatform>();
        platform = owned.get();
        Platform::setInstance(std::move(owned));
        // A stored value of its own stays; missing ones get their defaults before the root
        // view reads them.
        Settings::setInteger(QString::fromLatin1(SettingsKeys::menuCellColCount), 7);
        writePalette(QStringLiteral("Alpha"));
        writePalette(QStringLiteral("Beta"));
        delegate = new AppDelegate;
        // Work that waits for the launch to settle (the single-instance socket) runs then,
        // once, before the popover is made; asked for later, it runs at once.
        QStringList settled;
        delegate->afterLaunch([&settled] {
            settled << (popover ? QStringLiteral("after the popover")
                                : QStringLiteral("before the popover"));
        });
        launchLines = programLines([&] { delegate->applicationDidFinishLaunching(); });
        // The popover is made once the launch has settled, not during it.
        QVERIFY(!popover);
        QVERIFY(settled.isEmpty());
        QVERIFY(QTest::qWaitFor([] { return bool(popover); }, 5000));
        QCOMPARE(settled, QStringList{QStringLiteral("before the popover")});
        delegate->afterLaunch([&settled] { settled << QStringLiteral("at once"); });
        QCOMPARE(settled.size(), 2);
    }

    void launchWritesDefaultsBeforeTheRootViewReadsThem() {
        QVERIFY(menuView);
        QCOMPARE(menuView->gridColCount.get(), 4);
        QCOMPARE(menuView->gridCellSize.get(), 100.0);
        QCOMPARE(menuView->gridCellSpacing.get(), 25.0);
        QCOMPARE(menuView->gridCellRadius.get(), 25.0);
        QCOMPARE(menuView->cellColCount.get(), 7);
        QCOMPARE(Settings::integer(QString::fromLatin1(SettingsKeys::menuCellColCount)), 7);
    }

    void launchLoadsPalettesIntoTheCollectionThePopoverShows() {
        QCOMPARE(launchLines,
                 QStringList{QStringLiteral("Successfully loaded all(2) color palettes!")});
        QVERIFY(popover);
        QCOMPARE(PalettesOO::shared(), menuView->palettesOO());
        QCOMPARE(popover->contentWidget(), static_cast<QWidget *>(menuView.get()));
        QCOMPARE(menuView->palettesOO()->count(), 2);
        QStringList names;
        for (const Palette &p : menuView->palettesOO()->palettes())
            names << p.palName;
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta")}));
        QCOMPARE(popover->contentSize(), QSize(400, 400));
    }

    void launchInstallsTheStatusItemWithItsIcon() {
        QVERIFY(statusItem);
        QVERIFY(statusItem->isInstalled());
        // Every drawing decoded, panel sizes included.
        const QList<QSize> sizes = statusItem->trayIcon()->icon().availableSizes();
        for (int size : {16, 22, 24, 32, 48, 64})
            QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        // The drawings built into the program are the resources', pixel for pixel.
        const QIcon icon = statusItem->trayIcon()->icon();
        for (int size : {16, 22, 24, 32, 48, 64}) {
            const QString resource = size == 64
                                         ? QStringLiteral(":/Icon")
                                         : QStringLiteral(":/icons/swatchbar-%1.png").arg(size);
            const QImage drawn =
                QImage(resource).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QVERIFY2(!drawn.isNull(), qPrintable(resource));
            QCOMPARE(
                icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                drawn);
        }
        // The launch's own dock-icon request: "hideDockIcon" is false by default.
        QTRY_VERIFY_WITH_TIMEOUT(!platform->applied.isEmpty(), 1000);
        QCOMPARE(platform->applied.last(), DockIconPolicy::Regular);
    }

    void trayMenuPicksBetweenPreferencesAndQuit() {
        QMenu *menu = statusItem->trayIcon()->contextMenu();
        QVERIFY(menu);
        QStringList texts;
        for (const QAction *action : menu->actions())
            if (!action->isSeparator())
                texts.append(action->text());
        QCOMPARE(texts, (QStringList{QStringLiteral("Preferences"), QStringLiteral("Pick color"),
                                     QStringLiteral("Quit")}));
    }

    void pickedColoursGoToThePickedPalette() {
        PalettesOO *collection = PalettesOO::shared();
        const int before = collection->count();
        // The first pick makes the palette, like any new palette; later picks append.
        QStringList lines = programLines(
            [] { AppDelegate::storePickedColor(ColorValue::fromSrgb(0.4, 0.2, 0.6, 1.0)); });
        QCOMPARE(lines, (QStringList{QStringLiteral("Picked col: #663399 sRGB 0.4 0.2 0.6 1"),
                                     QStringLiteral("Copied: 102, 51, 153")}));
        QCOMPARE(collection->count(), before + 1);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("102, 51, 153"));
        Settings::setInteger(SettingsKeys::formatIdxKey(QStringLiteral("Picked")), 3);
        lines = programLines(
            [] { AppDelegate::storePickedColor(ColorValue::fromSrgb(1.0, 0.0, 0.0, 1.0)); });
        QCOMPARE(lines.last(), QStringLiteral("Copied: #FF0000"));
        QCOMPARE(collection->count(), before + 1);
        QFile file(palettesFolder() + QStringLiteral("/Picked.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(
            file.readAll(),
            QByteArray(
                R"({"palName":"Picked","palColors":[)"
                R"({"colName":"#663399","colColor":{"red":0.4,"green":0.2,"blue":0.6,"alpha":1}},)"
                R"({"colName":"#FF0000","colColor":{"red":1,"green":0,"blue":0,"alpha":1}}]})"));
        // Later tests count the palettes.
        programLines([] { Manager::deletePalette(QStringLiteral("Picked")); });
        QCOMPARE(collection->count(), before);
    }

    void toggleShowsAndCloses() {
        QVERIFY(!popover->isShown());
        emit statusItem->clicked();
        QVERIFY(popover->isShown());
        QVERIFY(!popover->isWindowMode());
        const QRect available = popover->screen()->availableGeometry();
        QVERIFY2(available.contains(popover->geometry()), "the popover is not wholly on screen");
        QVERIFY(popover->width() >= 400 && popover->height() >= 400);
        emit statusItem->clicked();
        QVERIFY(!popover->isShown());
        // Hiding keeps the popover and its content.
        QVERIFY(popover);
        QVERIFY(menuView);
    }

    void clickOutsideClosesAndIsNotTakenForTheNextToggle() {
        delegate->togglePopover();
        QVERIFY(popover->isShown());
        // A press outside the pop-up closes it. When that press was on the tray icon, the
        // icon's click arrives next: it must not open the pop-up again.
        QTest::mousePress(popover.get(), Qt::LeftButton, {}, QPoint(-10, -10));
        QVERIFY(!popover->isShown());
        delegate->togglePopover();
        QVERIFY(!popover->isShown());
        // A later click opens it as usual.
        QTest::qWait(300);
        delegate->togglePopover();
        QVERIFY(popover->isShown());
        delegate->togglePopover();
        QVERIFY(!popover->isShown());
    }

    void popoverGrowsWithItsContentAndScrollsBeyondTheScreen() {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        PopoverWindow window;
        auto *content = new QWidget;
        content->setMinimumSize(600, available.height() * 2);
        window.setContentWidget(content);
        const QSize fitted = window.fittedSize(QGuiApplication::primaryScreen());
        QCOMPARE(fitted.height(), available.height());
        QVERIFY(fitted.width() > 600); // room for the scroll bar
        content->setMinimumSize(100, 100);
        QCOMPARE(window.fittedSize(QGuiApplication::primaryScreen()), QSize(402, 402));
    }

    void onlyTheLastOfQuickDockRequestsApplies() {
        waitForDockPolicy();
        platform->applied.clear();
        scheduleDockIconPolicy(false);
        scheduleDockIconPolicy(true);
        scheduleDockIconPolicy(false);
        QTest::qWait(150);
        QVERIFY(platform->applied.isEmpty());
        waitForDockPolicy();
        QCOMPARE(platform->applied, QList<DockIconPolicy>{DockIconPolicy::Accessory});
        QCOMPARE(platform->dockIconPolicy(), DockIconPolicy::Accessory);
        scheduleDockIconPolicy(true);
        waitForDockPolicy();
        QCOMPARE(platform->dockIconPolicy(), DockIconPolicy::Regular);
    }

    void accessoryKeepsWindowsOutOfTheTaskbar() {
        QWidget shown;
        shown.resize(200, 100);
        shown.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown));
        const WId shownId = shown.winId();
        PopoverWindow fallback;
        fallback.showAsWindow();
        applyDockIconPolicy(false);
        // A window on screen is not taken down and put up again for the change.
        QVERIFY2(shown.isVisible(), "a window on screen stays on screen");
        QCOMPARE(shown.winId(), shownId);
        QCOMPARE(shown.windowType(), Qt::Window);
        QCOMPARE(fallback.windowType(), Qt::Window); // the only way in without a tray
        // A window opened while accessory is a tool window from the start.
        QWidget later;
        later.show();
        QCOMPARE(later.windowType(), Qt::Tool);
        const WId laterId = later.winId();
        applyDockIconPolicy(true);
        QCOMPARE(Platform::instance().dockIconPolicy(), DockIconPolicy::Regular);
        QCOMPARE(later.winId(), laterId);
        QCOMPARE(shown.winId(), shownId);
        QVERIFY(later.isVisible());
        // Off screen, a window follows the next change.
        later.hide();
        applyDockIconPolicy(false);
        QCOMPARE(later.windowType(), Qt::Tool);
        applyDockIconPolicy(true);
        QCOMPARE(later.windowType(), Qt::Window);
        QVERIFY(!later.isVisible());
        QCOMPARE(Platform::instance().dockIconPolicy(), DockIconPolicy::Regular);
    }

    void preferencesWindowOpensCentredOnTopAndShowsTheDockIcon() {
        Settings::setBoolean(QString::fromLatin1(SettingsKeys::hideDockIcon), true);
        applyDockIconPolicy(false);
        platform->applied.clear();
        delegate->OnPreferencesClicked();
        QVERIFY(preferencesWindow);
        PreferencesWindow *window = preferencesWindow.get();
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Preferences"));
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
        // Within the width of a window frame.
        QVERIFY(qAbs(window->geometry().center().x() - centre.x()) <= 4);
        QVERIFY(qAbs(window->geometry().center().y() - centre.y()) <= 4);
        QVERIFY(window->view()->hideDockIconToggle()->isChecked());
        waitForDockPolicy();
        QCOMPARE(platform->applied, QList<DockIconPolicy>{DockIconPolicy::Regular});

        // Closing hands the dock icon back to the setting, and keeps the window object.
        window->close();
        QVERIFY(preferencesWindow.get() == window);
        waitForDockPolicy();
        QCOMPARE(platform->dockIconPolicy(), DockIconPolicy::Accessory);
    }

    void openAndCloseWithinTheDelayAppliesOnlyTheClose() {
        Settings::setBoolean(QString::fromLatin1(SettingsKeys::hideDockIcon), true);
        platform->applied.clear();
        showPreferences();
        preferencesWindow->close();
        waitForDockPolicy();
        QCOMPARE(platform->applied, QList<DockIconPolicy>{DockIconPolicy::Accessory});
    }

    void hideDockToggleIsStoredAtOnce() {
        Settings::setBoolean(QString::fromLatin1(SettingsKeys::hideDockIcon), true);
        showPreferences();
        QCheckBox *toggle = preferencesWindow->view()->hideDockIconToggle();
        toggle->click();
        QCOMPARE(Settings::boolean(QString::fromLatin1(SettingsKeys::hideDockIcon)), false);
        toggle->click();
        QCOMPARE(Settings::boolean(QString::fromLatin1(SettingsKeys::hideDockIcon)), true);
        toggle->click();
        platform->applied.clear();
        preferencesWindow->close();
        waitForDockPolicy();
        QCOMPARE(platform->applied, QList<DockIconPolicy>{DockIconPolicy::Regular});
    }

    void secondRequestMakesANewWindowAndRestoresTheFrame() {
        showPreferences();
        QPointer<PreferencesWindow> first = preferencesWindow.get();
        first->move(first->pos() + QPoint(40, 30));
        const QPoint moved = first->pos();
        showPreferences();
        QVERIFY(preferencesWindow.get() != first.data());
        QVERIFY(preferencesWindow->isVisible());
        QTRY_VERIFY(first.isNull()); // released once the event loop runs
        QCOMPARE(preferencesWindow->pos(), moved);
        QVERIFY(!Settings::windowFrame(QStringLiteral("Preferences")).isEmpty());
        preferencesWindow->close();
    }

    void reloadAndOpenFolderButtons() {
        showPreferences();
        PreferencesView *view = preferencesWindow->view();
        writePalette(QStringLiteral("Gamma"));
        // The folder is read on a worker; the lines follow once the event loop runs.
        const QStringList lines = programLines([&] {
            view->reloadButton()->click();
            (void)QTest::qWaitFor([&] { return menuView->palettesOO()->count() == 3; }, 5000);
        });
        QCOMPARE(lines, QStringList{QStringLiteral("Successfully loaded all(3) color palettes!")});
        QCOMPARE(menuView->palettesOO()->count(), 3);

        QDir(palettesFolder()).removeRecursively();
        platform->revealed.clear();
        view->openFolderButton()->click();
        QCOMPARE(platform->revealed, QStringList{palettesFolder()});
        QVERIFY(QFileInfo(palettesFolder()).isDir());
        preferencesWindow->close();
    }

    void startAtLoginReflectsAndChangesTheAutostartEntry() {
        const QString entry = Autostart::entryPath();
        QVERIFY(entry.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME") +
                                 QStringLiteral("/autostart/")));
        QFile::remove(entry);
        showPreferences();
        QCheckBox *toggle = preferencesWindow->view()->startAtLoginToggle();
        QVERIFY(!toggle->isChecked());
        toggle->click();
        QVERIFY(QFileInfo::exists(entry));
        QVERIFY(preferencesWindow->view()->isAutoStart);
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains(
            "Exec=" + Autostart::execValue(QCoreApplication::applicationFilePath()).toUtf8() +
            "\n"));
        file.close();

        // A new window shows what is on disk, not a default.
        showPreferences();
        toggle = preferencesWindow->view()->startAtLoginToggle();
        QVERIFY(toggle->isChecked());
        toggle->click();
        QVERIFY(!QFileInfo::exists(entry));
        QVERIFY(!toggle->isChecked());
        preferencesWindow->close();
    }

    void startAtLoginThatCannotBeWrittenStaysOff() {
        const QString folder = QFileInfo(Autostart::entryPath()).absolutePath();
        QDir(folder).removeRecursively();
        QFile blocker(folder); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        showPreferences();
        QCheckBox *toggle = preferencesWindow->view()->startAtLoginToggle();
        const QStringList lines = programLines([&] { toggle->click(); });
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().startsWith(QStringLiteral("Failed to write the autostart entry")));
        QVERIFY(!toggle->isChecked());
        QVERIFY(!preferencesWindow->view()->isAutoStart);
        preferencesWindow->close();
        QFile::remove(folder);
    }

    void withoutATrayTheIconKeepsLookingBeforeGivingUp() {
        platform->trayAvailable = false;
        StatusItem late;
        QSignalSpy installed(&late, &StatusItem::installed);
        QSignalSpy unavailable(&late, &StatusItem::trayUnavailable);
        late.install(2000);
        QTest::qWait(300);
        QVERIFY(installed.isEmpty() && unavailable.isEmpty());
        platform->trayAvailable = true; // the tray host came up a little after the session
        QTRY_COMPARE_WITH_TIMEOUT(installed.size(), 1, 1000);
        QVERIFY(unavailable.isEmpty());

        platform->trayAvailable = false;
        StatusItem never;
        QSignalSpy gaveUp(&never, &StatusItem::trayUnavailable);
        never.install(500);
        QTRY_COMPARE_WITH_TIMEOUT(gaveUp.size(), 1, 2000);
        QVERIFY(!never.isInstalled());
        platform->trayAvailable = true;
    }

    void withoutATrayThePopoverContentOpensAsAWindow() {
        PopoverWindow window;
        auto *content = new QWidget;
        content->setMinimumSize(300, 200);
        window.setContentWidget(content);
        window.showAsWindow();
        QVERIFY(window.isWindowMode());
        QCOMPARE(window.windowType(), Qt::Window);
        QVERIFY(window.isVisible());
        QVERIFY(window.width() >= 400 && window.height() >= 400);
        window.close();
        // Asking again (a second launch) brings it back.
        window.showRelativeTo(QRect());
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowType(), Qt::Window);
    }
};

SWATCHBAR_TEST_GUI_MAIN(ShellTest)
#include "ShellTest.moc"
