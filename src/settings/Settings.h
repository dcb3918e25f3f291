#pragma once

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <future>
#include <optional>

// Keys of the per-user defaults store.
namespace SettingsKeys {
inline constexpr auto hideDockIcon = "hideDockIcon";
inline constexpr auto menuGridColCount = "menu.grid.colCount";
inline constexpr auto menuGridCellSize = "menu.grid.cell.size";
inline constexpr auto menuGridCellSpacing = "menu.grid.cell.spacing";
inline constexpr auto menuGridCellRadius = "menu.grid.cell.radius";
inline constexpr auto menuCellColCount = "menu.cell.colCount";
inline constexpr auto viewGridColCount = "view.grid.colCount";
inline constexpr auto viewGridCellSize = "view.grid.cell.size";
// Misspelt on purpose: stored settings already use this key.
inline constexpr auto viewGridCellSpacing = "view.grid.cell.spacinyg";
inline constexpr auto viewGridCellRadius = "view.grid.cell.radius";
// The user's own copy templates, after the built-in ones in the "Copy format" picker.
inline constexpr auto userFormats = "formats.user";

QString formatIdxKey(const QString &palName);    // "<palName>.colFormatIdx"
QString paletteIndexKey(const QString &palName); // "palettes.indicies.<palName>"
inline constexpr auto paletteIndexPrefix = "palettes.indicies.";
// How a palette's name stands in its keys (a "/" would start a group).
QString keyPart(const QString &palName);
} // namespace SettingsKeys

// Typed access to the per-user defaults store: Swatchbar/Swatchbar.conf in the user's
// configuration folder, in QSettings' INI form. Missing keys read as 0, 0.0 or false.
class Settings {
public:
    Settings() = delete;

    static void storeMissingDefaults();

    static bool contains(const QString &key);
    static int integer(const QString &key);
    // Stored as a 32-bit float; widened on reading.
    static double floatValue(const QString &key);
    static bool boolean(const QString &key);

    static void setInteger(const QString &key, int value);
    // For a caller that knows the stored value differs (a load that read it): no look-up first.
    static void replaceInteger(const QString &key, int value);
    static void setFloat(const QString &key, double value); // narrowed to 32 bits
    static void setBoolean(const QString &key, bool value);
    // A list of texts; anything else stored under the key reads as an empty list.
    static QStringList stringList(const QString &key);
    static void setStringList(const QString &key, const QStringList &value);
    static void remove(const QString &key);
    // The value as stored, untyped: what was set here, or the text read from the file.
    static QVariant value(const QString &key);
    static void setValue(const QString &key, const QVariant &value);
    // Every key in the store.
    static QStringList keys();

    // Every key that starts with prefix, with its value as integer() reads it: one pass over
    // the store instead of a look-up per key.
    static QHash<QString, int> integersWithPrefix(const QString &prefix);
    // The integers stored now, to be read on any thread (a load's worker); later changes do
    // not reach it. nullopt for a key that is not there.
    class IntegerSnapshot {
    public:
        IntegerSnapshot() = default;
        std::optional<int> operator()(const QString &key) const;
        // Every integer whose key starts with prefix, by the rest of its key: for thousands of
        // look-ups, one pass and a hash table cost a fraction of a tree walk for each. The
        // views are valid while this snapshot is.
        QHash<QStringView, int> under(QLatin1StringView prefix) const;

    private:
        friend class Settings;
        explicit IntegerSnapshot(QMap<QString, QVariant> values)
            : m_values(std::move(values)) {}
        QMap<QString, QVariant> m_values;
    };
    static IntegerSnapshot integerSnapshot();
    // The store's files, read on another thread before the store is first used here: a
    // start-up reads them while this thread starts the toolkit. The task returns the integers
    // as the store will first hold them; run it at most once. Destroyed without running, it
    // leaves the store to read the files itself. An empty task once the store is made or a
    // read was asked for already.
    static std::packaged_task<IntegerSnapshot()> readAhead();

    // Changes reach the disk on their own within about a second, gathered into one write off
    // this thread. This writes whatever is pending now and waits for it (at quit).
    static void sync();
    // Frames of windows, kept under their autosave names.
    static QByteArray windowFrame(const QString &autosaveName);
    static void setWindowFrame(const QString &autosaveName, const QByteArray &geometry);
    // The key a window frame is kept under (the name percent-encoded inside one group).
    static QString windowFrameKey(const QString &autosaveName);
    // Where the store keeps its data.
    static QString fileName();
};
