#include "app/AppDelegate.h"

#include "app/AppIcon.h"
#include "app/Shell.h"
#include "core/Log.h"
#include "model/ColorText.h"
#include "platform/Clipboard.h"
#include "platform/Platform.h"
#include "platform/PopoverWindow.h"
#include "platform/ScreenPicker.h"
#include "platform/StatusItem.h"
#include "settings/CopyFormats.h"
#include "settings/Settings.h"
#include "store/FolderWatcher.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"
#include "views/popover/MenuItemView.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <utility>

namespace {
const QString pickedPaletteName = QStringLiteral("Picked");
} // namespace

AppDelegate::AppDelegate(QObject *parent)
    : QObject(parent) {
}

void AppDelegate::applicationDidFinishLaunching() {
    Manager::setFileViewer(
        [](const QString &location) { Platform::instance().revealInFileViewer(location); });

    // Defaults first: the root view reads its settings when it is made.
    Settings::storeMissingDefaults();
    // The collection comes first and the popover later: its widgets (and the fonts they load)
    // are not needed until the first click, and the tray icon should not wait for them.
    m_collection = new PalettesOO(this);
    PalettesOO::setShared(m_collection);
    scheduleDockIconPolicy(!Settings::boolean(QString::fromLatin1(SettingsKeys::hideDockIcon)));
    // Files to write back (hand-edited ones) are made durable on the writer thread, not here.
    Manager::setBackgroundWrites(true);
    Manager::loadAllPalettes();
    // Later loads (a reload, a delete, a rename, another program's change) read the folder on
    // a worker: at thousands of palettes that takes longer than a frame.
    Manager::setBackgroundLoads(true);
    // Changes other programs make to the folder show without "Reload palettes".
    if (const std::optional<QString> folder =
            Manager::supportSubfolder(QStringLiteral("Palettes"), false)) {
        auto *watcher = new FolderWatcher(*folder, this);
        connect(watcher, &FolderWatcher::filesChanged, this,
                [](const QSet<QString> &names, bool everything) {
                    Manager::refreshPalettes(names, everything);
                });
    }

    auto *item = new StatusItem(this);
    item->setIcon(appIcon());
    item->setToolTip(QStringLiteral("Swatchbar"));
    connect(item, &StatusItem::clicked, this, &AppDelegate::togglePopover);
    connect(item, &StatusItem::trayUnavailable, this, &AppDelegate::showWithoutTray);
    statusItem.reset(item);
    item->install(m_trayWaitMs);

    // Once the launch has settled (the event loop first waits), the popover is made; a loop
    // that never waits (a busy start) gets it a moment later all the same.
    if (auto *dispatcher = QAbstractEventDispatcher::instance())
        connect(
            dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
            [this] { QTimer::singleShot(0, this, &AppDelegate::settle); },
            Qt::SingleShotConnection);
    QTimer::singleShot(250, this, &AppDelegate::settle);

    emit launched();
}

void AppDelegate::afterLaunch(std::function<void()> work) {
    if (m_settled)
        work();
    else
        m_afterLaunch.push_back(std::move(work));
}

void AppDelegate::settle() {
    if (m_settled)
        return;
    m_settled = true;
    for (const std::function<void()> &work : std::exchange(m_afterLaunch, {}))
        work();
    buildPopover();
}

void AppDelegate::buildPopover() {
    if (popover || !m_collection)
        return;
    // The windows' icon, set once the tray icon is up: set before it, it would also be sent
    // to the X server as the tray icon's own window icon, which no tray shows.
    QApplication::setWindowIcon(appIcon());
    menuView.reset(new MenuItemView(nullptr, m_collection));
    auto *window = new PopoverWindow;
    window->setContentSize(QSize(400, 400));
    window->setContentWidget(menuView.get());
    popover.reset(window);
    if (statusItem) {
        auto *menu = new QMenu(window);
        menu->addAction(tr("Preferences"), this, &AppDelegate::OnPreferencesClicked);
        menu->addAction(tr("Pick color"), this, &AppDelegate::pickColor);
        menu->addAction(tr("Quit"), [] { quitApplication(); });
        statusItem->setContextMenu(menu);
    }
}

void AppDelegate::togglePopover() {
    buildPopover();
    if (!statusItem || !popover)
        return;
    if (popover->isShown()) {
        popover->performClose();
        return;
    }
    // A click on the icon while the pop-up is open first closes it as a click outside; that
    // same click must not open it again.
    const QRect anchor = statusItem->geometry();
    if (popover->wasJustClosedByClickIn(anchor))
        return;
    popover->showRelativeTo(anchor);
}

void AppDelegate::applicationWillTerminate() {
    Manager::finishWrites();
    Settings::sync();
}

void AppDelegate::OnPreferencesClicked() {
    showPreferences();
}

void AppDelegate::showPopover() {
    buildPopover();
    if (!popover)
        return;
    if (popover->isWindowMode()) {
        popover->showAsWindow();
        return;
    }
    if (!popover->isShown())
        popover->showRelativeTo(statusItem ? statusItem->geometry() : QRect());
}

void AppDelegate::showWithoutTray() {
    logLine(QStringLiteral(
        "No system tray found: showing Swatchbar in a window instead (close it and start "
        "Swatchbar again to bring it back)"));
    buildPopover();
    if (popover)
        popover->showAsWindow();
}

ScreenPicker *AppDelegate::screenPicker() {
    if (!m_picker) {
        m_picker = new ScreenPicker(this);
        connect(m_picker, &ScreenPicker::picked, this, &AppDelegate::storePickedColor);
        connect(m_picker, &ScreenPicker::cancelled, this,
                [] { logLine(QStringLiteral("Pick cancelled")); });
        connect(m_picker, &ScreenPicker::failed, this, [](const QString &reason) {
            logLine(QStringLiteral("Failed to pick a color: ") + reason);
            // The tray started it: say it there, without a dialog in the way.
            if (statusItem && statusItem->isInstalled())
                statusItem->trayIcon()->showMessage(tr("Pick color"),
                                                    tr("No screen color picker is available."),
                                                    QSystemTrayIcon::Warning, 5000);
        });
    }
    return m_picker;
}

void AppDelegate::pickColor() {
    if (popover && popover->isShown())
        popover->performClose();
    screenPicker()->start();
}

void AppDelegate::storePickedColor(const ColorValue &color) {
    const PaletteColor picked{QLatin1Char('#') + hexText(colorComponents(color)),
                              colorComponentsWithAlpha(color)};
    logLine(QStringLiteral("Picked col: ") + picked.colName + QLatin1Char(' ') +
            color.description());
    PalettesOO *collection = PalettesOO::shared();
    if (!collection)
        return;
    int index = -1;
    for (int i = 0; i < collection->count(); ++i)
        if (collection->palettes().at(i).palName == pickedPaletteName)
            index = i;
    if (index < 0) {
        Manager::addPalette(Palette{pickedPaletteName, {picked}});
    } else if (Manager::editColors(index, ColorEdit::add(picked)) != Manager::EditResult::Saved) {
        return;
    }
    const QString text = formatColor(
        CopyFormats::at(Settings::integer(SettingsKeys::formatIdxKey(pickedPaletteName))),
        picked.colColor);
    logLine(QStringLiteral("Copied: ") + text);
    copyPlainText(text);
}
