#pragma once

#include "model/Palette.h"
#include "model/PaletteCodec.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"
#include "views/popover/MenuItemView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWidget>
#include <memory>

namespace popover {

inline QString palettesFolder() {
    return *Manager::supportSubfolder(QStringLiteral("Palettes"), true);
}

inline QString palettePath(const QString &name) {
    return palettesFolder() + QLatin1Char('/') + name + QStringLiteral(".json");
}

inline Palette palette(const QString &name, QList<SerializableColor> colors = {}) {
    Palette p{name, {}};
    int k = 0;
    for (const SerializableColor &c : colors)
        p.palColors.append({QStringLiteral("c%1").arg(k++), c});
    return p;
}

inline void writePaletteFile(const Palette &p) {
    QFile file(palettePath(p.palName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(*PaletteCodec::encode(p));
}

inline QByteArray fileBytes(const QString &name) {
    QFile file(palettePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Empties the palettes folder and puts the popover's settings back to their defaults.
inline void resetStore() {
    QDir(palettesFolder()).removeRecursively();
    palettesFolder();
    // Stored positions order the next load; every test starts without any.
    for (const QString &key : Settings::keys())
        if (key.startsWith(QLatin1String("palettes.indicies.")))
            Settings::remove(key);
    for (const char *key : {SettingsKeys::menuGridColCount, SettingsKeys::menuGridCellSize,
                            SettingsKeys::menuGridCellSpacing, SettingsKeys::menuGridCellRadius,
                            SettingsKeys::menuCellColCount})
        Settings::remove(QString::fromLatin1(key));
    Settings::storeMissingDefaults();
}

// A popover root view wired up as the shell does it.
inline std::unique_ptr<MenuItemView> makeView() {
    auto view = std::make_unique<MenuItemView>();
    PalettesOO::setShared(view->palettesOO());
    return view;
}

inline QStringList names(const PalettesOO *collection) {
    QStringList out;
    for (const Palette &p : collection->palettes())
        out << p.palName;
    return out;
}

// Closes and forgets the "Viewing: ..." windows a click opened.
inline QStringList takeViewingWindows() {
    QStringList titles;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle().startsWith(QStringLiteral("Viewing: "))) {
            titles << w->windowTitle();
            w->close();
            w->deleteLater();
        }
    }
    return titles;
}

} // namespace popover
