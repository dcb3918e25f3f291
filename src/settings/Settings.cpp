#include "settings/Settings.h"

#include "core/Log.h"
#include "settings/IniCodec.h"
#include "settings/SettingsFile.h"

#include <QHash>
#include <QStandardPaths>
#include <QUrl>
#include <QVariant>
#include <cfloat>
#include <climits>
#include <cmath>
#include <optional>
#include <sys/stat.h>

namespace {

constexpr auto ownName = "Swatchbar";

// One long-lived store: the user's file, which answers the reads and writes the changes back
// at most once a second off this thread, and the files read when it lacks a key: the
// organisation's and the system-wide ones, where QSettings looks for them. Never destroyed.
struct Store {
    SettingsFile *file;
    QList<IniCodec::Map> fallbacks;
};

// What the store is made from: the user's file with its status when read, then the wider ones.
struct Files {
    QString path;
    IniCodec::Map values;
    struct stat info {};
    QList<IniCodec::Map> fallbacks;
};

IniCodec::Map readOrEmpty(const QString &path) {
    struct stat info {};
    return SettingsFile::read(path, &info).value_or(IniCodec::Map());
}

// On any thread.
Files readFiles() {
    const QString app =
        QLatin1String(ownName) + QLatin1Char('/') + QLatin1String(ownName) + QLatin1String(".conf");
    const QString organisation = QLatin1String(ownName) + QLatin1String(".conf");
    const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    Files files;
    files.path = home + QLatin1Char('/') + app;
    SettingsFile::clearStaleLock(files.path);
    files.values = SettingsFile::read(files.path, &files.info).value_or(IniCodec::Map());
    QStringList wider{home + QLatin1Char('/') + organisation};
    // The system-wide folders ($XDG_CONFIG_DIRS) after the user's own: every application file,
    // then every organisation file.
    QStringList system = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    if (!system.isEmpty())
        system.removeFirst();
    for (const QString &dir : std::as_const(system))
        wider << dir + QLatin1Char('/') + app;
    for (const QString &dir : std::as_const(system))
        wider << dir + QLatin1Char('/') + organisation;
    for (const QString &file : std::as_const(wider)) {
        IniCodec::Map read = readOrEmpty(file);
        if (!read.isEmpty())
            files.fallbacks.append(std::move(read));
    }
    return files;
}

// The files as read ahead on another thread, until the store takes them.
std::future<Files> &filesAhead() {
    static std::future<Files> ahead;
    return ahead;
}

bool storeMade = false;

Store &store() {
    static Store made = [] {
        storeMade = true;
        std::future<Files> &ahead = filesAhead();
        std::optional<Files> files;
        if (ahead.valid()) {
            try {
                files = ahead.get();
            } catch (const std::future_error &) {
                // The thread that was to read them never did.
            }
        }
        if (!files)
            files = readFiles();
        return Store{new SettingsFile(files->path, std::move(files->values), files->info),
                     std::move(files->fallbacks)};
    }();
    return made;
}

QVariant valueOf(const QString &key) {
    const Store &s = store();
    if (std::optional<QVariant> value = s.file->value(key))
        return *std::move(value);
    for (const IniCodec::Map &values : s.fallbacks) {
        const auto it = values.constFind(key);
        if (it != values.cend())
            return *it;
    }
    return {};
}

void put(const QString &key, const QVariant &value) {
    store().file->set(key, value);
}

} // namespace

// In the file a "/" in a key starts a group (and QSettings takes "\" for one on some
// platforms); a name that holds one must not land under another key's group.
QString SettingsKeys::keyPart(const QString &name) {
    if (!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')))
        return name;
    QString part = name;
    part.replace(QLatin1Char('/'), QLatin1String("%2F"));
    part.replace(QLatin1Char('\\'), QLatin1String("%5C"));
    return part;
}

namespace {

// A value written by hand (or by an older version) can be any text; only numbers and the
// usual boolean words count.
bool looksTrue(const QString &text) {
    const QString t = text.trimmed().toLower();
    return t == QLatin1String("true") || t == QLatin1String("yes");
}

std::optional<double> numberOf(const QVariant &value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? 1.0 : 0.0;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        return ok ? std::optional<double>(d) : std::nullopt;
    }
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        const QString text = value.toString().trimmed();
        bool ok = false;
        const double d = text.toDouble(&ok);
        if (ok)
            return d;
        if (looksTrue(text))
            return 1.0;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

// Narrowing a double outside float's range is undefined; clamp it first.
float toFloat(double value) {
    if (!std::isfinite(value))
        return 0.0f;
    if (value > double(FLT_MAX))
        return FLT_MAX;
    if (value < -double(FLT_MAX))
        return -FLT_MAX;
    return static_cast<float>(value);
}

int toInt(double value) {
    if (!std::isfinite(value))
        return 0;
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

// Stored integers are nearly always plain decimal text ("1824"): read those digit by digit,
// which a load does once per palette, rather than through a trimmed copy and a double.
std::optional<int> plainInteger(const QVariant &value) {
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QStringView text = *static_cast<const QString *>(value.constData());
    const bool negative = text.startsWith(u'-');
    const QStringView digits = text.sliced(negative ? 1 : 0);
    if (digits.isEmpty() || digits.size() > 9)
        return std::nullopt; // nine digits always fit
    int number = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        number = number * 10 + (c.unicode() - u'0');
    }
    return negative ? -number : number;
}

int integerOf(const QVariant &value) {
    if (value.typeId() == QMetaType::Int)
        return value.toInt();
    if (const std::optional<int> plain = plainInteger(value))
        return *plain;
    return toInt(numberOf(value).value_or(0.0));
}

} // namespace

namespace SettingsKeys {
QString formatIdxKey(const QString &palName) {
    return keyPart(palName) + QLatin1String(".colFormatIdx");
}

QString paletteIndexKey(const QString &palName) {
    return QLatin1String(paletteIndexPrefix) + keyPart(palName);
}
} // namespace SettingsKeys

void Settings::storeMissingDefaults() {
    using namespace SettingsKeys;
    if (!contains(hideDockIcon))
        setBoolean(hideDockIcon, false);
    if (!contains(menuGridColCount))
        setInteger(menuGridColCount, 4);
    if (!contains(menuGridCellSize))
        setFloat(menuGridCellSize, 100.0);
    if (!contains(menuGridCellSpacing))
        setFloat(menuGridCellSpacing, 25.0);
    if (!contains(menuGridCellRadius))
        setFloat(menuGridCellRadius, 25.0);
    if (!contains(menuCellColCount))
        setInteger(menuCellColCount, 5);
    if (!contains(viewGridColCount))
        setInteger(viewGridColCount, 6);
    if (!contains(viewGridCellSize))
        setFloat(viewGridCellSize, 100.0);
    if (!contains(viewGridCellSpacing))
        setFloat(viewGridCellSpacing, 25.0);
    if (!contains(viewGridCellRadius))
        setFloat(viewGridCellRadius, 25.0);
}

bool Settings::contains(const QString &key) {
    return !key.isEmpty() && valueOf(key).isValid();
}

int Settings::integer(const QString &key) {
    if (key.isEmpty())
        return 0;
    return integerOf(valueOf(key));
}

double Settings::floatValue(const QString &key) {
    if (key.isEmpty())
        return 0.0;
    return double(toFloat(numberOf(valueOf(key)).value_or(0.0)));
}

bool Settings::boolean(const QString &key) {
    if (key.isEmpty())
        return false;
    const std::optional<double> number = numberOf(valueOf(key));
    return number && *number != 0.0 && !std::isnan(*number);
}

void Settings::setInteger(const QString &key, int value) {
    if (key.isEmpty())
        return;
    // Every load rewrites every position key; leave equal values alone.
    const QVariant old = valueOf(key);
    if (old.typeId() == QMetaType::Int && old.toInt() == value)
        return;
    // After a restart the stored value comes back as its text.
    if (old.typeId() == QMetaType::QString && old.toString() == QString::number(value))
        return;
    put(key, value);
}

void Settings::replaceInteger(const QString &key, int value) {
    if (!key.isEmpty())
        put(key, value);
}

void Settings::setFloat(const QString &key, double value) {
    if (key.isEmpty())
        return;
    // Kept as the widened double so the text form reads back as the same 32-bit value.
    put(key, double(toFloat(value)));
}

void Settings::setBoolean(const QString &key, bool value) {
    if (key.isEmpty())
        return;
    put(key, value);
}

QStringList Settings::stringList(const QString &key) {
    if (key.isEmpty())
        return {};
    const QVariant value = valueOf(key);
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList();
    // One entry comes back from the file as a plain text.
    if (value.typeId() == QMetaType::QString)
        return {value.toString()};
    return {};
}

void Settings::setStringList(const QString &key, const QStringList &value) {
    if (key.isEmpty())
        return;
    put(key, value);
}

void Settings::remove(const QString &key) {
    if (key.isEmpty())
        return;
    store().file->remove(key);
}

QVariant Settings::value(const QString &key) {
    return key.isEmpty() ? QVariant() : valueOf(key);
}

void Settings::setValue(const QString &key, const QVariant &value) {
    if (!key.isEmpty())
        put(key, value);
}

QStringList Settings::keys() {
    const Store &s = store();
    QStringList out = s.file->current().keys();
    if (s.fallbacks.isEmpty())
        return out;
    for (const IniCodec::Map &values : s.fallbacks)
        out += values.keys();
    out.sort();
    out.removeDuplicates();
    return out;
}

void Settings::sync() {
    SettingsFile::clearStaleLock(fileName());
    store().file->writeNow();
}

QHash<QString, int> Settings::integersWithPrefix(const QString &prefix) {
    QHash<QString, int> out;
    const IniCodec::Map &values = store().file->current();
    for (auto it = values.lowerBound(prefix); it != values.cend() && it.key().startsWith(prefix);
         ++it)
        out.insert(it.key(), integerOf(it.value()));
    return out;
}

std::packaged_task<Settings::IntegerSnapshot()> Settings::readAhead() {
    if (storeMade || filesAhead().valid())
        return {};
    std::promise<Files> files;
    filesAhead() = files.get_future();
    return std::packaged_task<IntegerSnapshot()>([files = std::move(files)]() mutable {
        Files read = readFiles();
        IntegerSnapshot integers(read.values);
        files.set_value(std::move(read));
        return integers;
    });
}

Settings::IntegerSnapshot Settings::integerSnapshot() {
    // A shared copy: changes made here afterwards detach from it.
    return IntegerSnapshot(store().file->current());
}

std::optional<int> Settings::IntegerSnapshot::operator()(const QString &key) const {
    const auto it = m_values.constFind(key);
    if (it == m_values.cend())
        return std::nullopt;
    return integerOf(it.value());
}

QHash<QStringView, int> Settings::IntegerSnapshot::under(QLatin1StringView prefix) const {
    QHash<QStringView, int> out;
    out.reserve(m_values.size());
    const QString start = prefix;
    for (auto it = m_values.lowerBound(start); it != m_values.cend() && it.key().startsWith(prefix);
         ++it)
        out.insert(QStringView(it.key()).sliced(prefix.size()), integerOf(it.value()));
    return out;
}

QByteArray Settings::windowFrame(const QString &autosaveName) {
    return valueOf(windowFrameKey(autosaveName)).toByteArray();
}

void Settings::setWindowFrame(const QString &autosaveName, const QByteArray &geometry) {
    put(windowFrameKey(autosaveName), geometry);
}

QString Settings::windowFrameKey(const QString &autosaveName) {
    return QLatin1String("windowFrames/") +
           QString::fromLatin1(QUrl::toPercentEncoding(autosaveName));
}

QString Settings::fileName() {
    return store().file->path();
}
