#include "store/Manager.h"

#include "core/Log.h"
#include "core/SafeFile.h"
#include "model/PaletteCodec.h"
#include "settings/Settings.h"
#include "store/BackgroundWriter.h"
#include "store/FileStamp.h"
#include "store/FolderWatcher.h"
#include "store/PalettesOO.h"
#include "store/UndoStack.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTimer>
#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <future>
#include <latch>
#include <memory>
#include <pthread.h>
#include <sched.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Palettes with this many colours (about 1 MiB of file) are encoded, written and synced off
// the calling thread: that takes long enough to be felt.
constexpr qsizetype backgroundEncodeColors = 16384;

// Larger files are refused rather than read into memory; real palettes are far smaller.
constexpr qint64 maxPaletteFileSize = qint64(64) * 1024 * 1024;

const QString jsonSuffix = QStringLiteral(".json");
constexpr qsizetype maxFileNameBytes = 255;
const QString palettesFolderName = QStringLiteral("Palettes");

Manager::FileViewer &fileViewer() {
    static Manager::FileViewer viewer;
    return viewer;
}

QString errnoText(int error) {
    return QString::fromStdString(std::generic_category().message(error));
}

// What this program last read or wrote at each palette file's path; anything else found
// there was written by another program. File times tick only every few milliseconds, so a
// rewrite of the same size within the tick of our own read or write leaves the stamp as it
// was: for such a file the content is compared as well.
struct Known {
    FileStamp stamp;
    size_t contentHash = 0;
    qint64 recordedAt = 0; // wall clock, nanoseconds
};

// Content is hashed in fixed pieces, so that a file can be hashed as it is read, a piece at a
// time, with the same result as its bytes in memory.
constexpr qsizetype hashPiece = 64 * 1024;

size_t contentHash(QByteArrayView bytes) {
    size_t hash = 0;
    for (qsizetype at = 0; at < bytes.size(); at += hashPiece)
        hash = qHash(bytes.sliced(at, qMin(hashPiece, bytes.size() - at)), hash);
    return hash;
}

constexpr qint64 kClockTick = 20 * 1000 * 1000;

// Whether a file whose status changed at that time, recorded at recordedAt, could be rewritten
// without its stamp showing it: only then does its content count.
bool withinClockTick(qint64 changed, qint64 recordedAt) {
    return changed + kClockTick >= recordedAt;
}

QHash<QByteArray, Known> &knownStamps() {
    static QHash<QByteArray, Known> stamps;
    return stamps;
}

// Moves on whenever the store writes, reads or removes a file or reorders the collection: a
// load whose scan ran across such a change scans again rather than undo it.
quint64 &storeGeneration() {
    static quint64 generation = 0;
    return generation;
}

void touchStore() {
    ++storeGeneration();
}

qint64 wallClockNanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void remember(const QByteArray &nativePath, const FileStamp &stamp, QByteArrayView content) {
    touchStore();
    if (stamp.isValid())
        knownStamps().insert(nativePath,
                             Known{stamp, contentHash(content), wallClockNanoseconds()});
    else
        knownStamps().remove(nativePath);
}

enum class OnDisk { AsKnown, Missing, Changed };

QString readFile(const QString &path, QByteArray &bytes, FileStamp *stamp = nullptr);
QString readNative(const QByteArray &native, QByteArray &bytes, FileStamp *stamp = nullptr);
std::optional<size_t> fileContentHash(const QByteArray &native);

// *seen: the stamp judged, when the file was looked at (not while our own write is on its way).
// looked: the file's stamp when the caller has just taken it.
OnDisk onDisk(const QByteArray &nativePath, std::optional<FileStamp> *seen = nullptr,
              const std::optional<FileStamp> &looked = std::nullopt) {
    // Our own write is on its way; what the collection holds is what the file will hold.
    if (BackgroundWriter::instance().isPending(nativePath))
        return OnDisk::AsKnown;
    const FileStamp now = looked ? *looked : FileStamp::ofPath(nativePath);
    if (seen)
        *seen = now;
    if (!now.isValid())
        return OnDisk::Missing;
    const auto known = knownStamps().constFind(nativePath);
    if (known == knownStamps().cend() || !(known->stamp == now))
        return OnDisk::Changed;
    if (!withinClockTick(known->stamp.changed, known->recordedAt))
        return OnDisk::AsKnown;
    const std::optional<size_t> hash = fileContentHash(nativePath);
    return hash && *hash == known->contentHash ? OnDisk::AsKnown : OnDisk::Changed;
}

bool refuseName(const QString &name) {
    const QString reason = Manager::invalidNameReason(name);
    if (reason.isEmpty())
        return false;
    logLine(QStringLiteral("Invalid palette name \"%1\": %2").arg(printable(name), reason));
    return true;
}

std::optional<QString> palettesFolder() {
    return Manager::supportSubfolder(palettesFolderName, true);
}

QString filePath(const QString &folder, const QString &name) {
    return folder + QLatin1Char('/') + name + jsonSuffix;
}

QString symlinkRefusal() {
    return QStringLiteral(
        "it is a symbolic link; only plain files in the palettes folder are used");
}

// Reads the whole file into bytes, reusing their memory; empty bytes on failure. Returns the
// error text, empty when the whole file was read; *stamp tells what was read.
QString readFile(const QString &path, QByteArray &bytes, FileStamp *stamp) {
    return readNative(QFile::encodeName(path), bytes, stamp);
}

// Opens a palette file for reading. A link is not followed (nothing outside the palettes
// folder is read), and a FIFO that happens to end in ".json" cannot block. -1, with the reason
// in error, unless it is a regular file of a palette's size.
int openPaletteFile(const QByteArray &native, struct stat &info, QString &error) {
    const int fd =
        ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        error = errno == ELOOP ? symlinkRefusal() : errnoText(errno);
        return -1;
    }
    if (::fstat(fd, &info) != 0)
        error = errnoText(errno);
    else if (S_ISDIR(info.st_mode))
        error = errnoText(EISDIR);
    else if (!S_ISREG(info.st_mode))
        error = QStringLiteral("Not a regular file");
    else if (info.st_size > maxPaletteFileSize)
        error = QStringLiteral("File is larger than 64 MiB");
    if (error.isEmpty())
        return fd;
    ::close(fd);
    return -1;
}

// Reads up to size bytes, fewer only at the end of the file; -1 (errno set) when reading fails.
qsizetype readUpTo(int fd, char *data, qsizetype size) {
    qsizetype filled = 0;
    while (filled < size) {
        const ssize_t n = ::read(fd, data + filled, static_cast<size_t>(size - filled));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        filled += n;
    }
    return filled;
}

QString readNative(const QByteArray &native, QByteArray &bytes, FileStamp *stamp) {
    bytes.truncate(0);
    QString error;
    struct stat info {};
    const int fd = openPaletteFile(native, info, error);
    if (fd < 0)
        return error;
    // Reads the size fstat gave: a file that grows meanwhile is being written by someone else,
    // and its first part fails to decode and is left alone.
    bytes.resize(static_cast<qsizetype>(info.st_size));
    const qsizetype filled = readUpTo(fd, bytes.data(), bytes.size());
    if (filled < 0)
        error = errnoText(errno);
    bytes.truncate(qMax<qsizetype>(filled, 0));
    if (stamp && error.isEmpty())
        *stamp = FileStamp::of(info);
    ::close(fd);
    return error;
}

// The content hash of the file at native, read a piece at a time into a small buffer rather
// than whole: this runs on the user interface's thread each time the watcher reports the
// program's own write, and a large palette's file (megabytes) read whole cost it a fresh
// allocation's page faults, tens of milliseconds. Nothing when it cannot be read as a palette.
std::optional<size_t> fileContentHash(const QByteArray &native) {
    QString error;
    struct stat info {};
    const int fd = openPaletteFile(native, info, error);
    if (fd < 0)
        return std::nullopt;
    std::vector<char> piece(static_cast<size_t>(hashPiece));
    size_t hash = 0;
    qsizetype filled = hashPiece;
    while (filled == hashPiece) {
        filled = readUpTo(fd, piece.data(), hashPiece);
        if (filled > 0)
            hash = qHash(QByteArrayView(piece.data(), filled), hash);
    }
    ::close(fd);
    return filled < 0 ? std::nullopt : std::optional<size_t>(hash);
}

struct LoadedFile {
    std::optional<Palette> palette;
    bool inWrittenForm = false; // the file holds exactly what saving its palette would write
};

// One file of a load: read and decoded on whichever thread gets to it, without touching
// shared state; what it found is reported and remembered afterwards on the calling thread.
struct FileJob {
    QByteArray native;
    QString name; // without ".json"
    bool cacheHit = false;
    QString readError;
    QString decodeError; // empty when decoded
    std::optional<Palette> palette;
    bool inWrittenForm = false;
    FileStamp stamp;
    size_t contentHash = 0;
    qint64 readAt = 0;
    // Where a load places the palette, worked out on the job's thread.
    QString shownName; // its name in the collection (a conflict copy goes by its file's)
    qint64 rank = 0;   // the position stored there, or past every position
    std::optional<QByteArray> encoded; // not in written form: what writing it back writes
};

// bytes: scratch memory of the thread, kept for its next file.
void decodeJob(FileJob &job, bool checkWrittenForm, QByteArray &bytes, const FileStamp &stamp) {
    // Files this program wrote (nearly all) are read in one pass that also proves them in
    // written form; the rest are parsed in full and then compared with their encoding.
    std::optional<Palette> palette = PaletteCodec::decodeWrittenForm(bytes);
    bool writtenForm = palette.has_value();
    if (!palette) {
        PaletteCodec::DecodeResult decoded = PaletteCodec::decode(bytes);
        if (!decoded.palette) {
            job.decodeError = decoded.error;
            return;
        }
        palette = std::move(decoded.palette);
        // Checked while the bytes are at hand, so a load never holds every file's bytes at once.
        writtenForm = checkWrittenForm && PaletteCodec::encodesTo(*palette, bytes);
    }
    job.stamp = stamp;
    job.readAt = wallClockNanoseconds();
    // Hashing every file would cost a seventh of the load; only recent ones need it.
    job.contentHash = withinClockTick(stamp.changed, job.readAt) ? contentHash(bytes) : 0;
    job.inWrittenForm = checkWrittenForm && writtenForm && palette->palName == job.name;
    job.palette = std::move(palette);
}

void readJob(FileJob &job, bool checkWrittenForm, QByteArray &bytes) {
    FileStamp stamp;
    job.readError = readNative(job.native, bytes, &stamp);
    decodeJob(job, checkWrittenForm, bytes, stamp);
}

// Prints the load and decode failures; a decoded file is remembered as read.
LoadedFile reportJob(FileJob &job) {
    const QString fileName = printable(job.name) + jsonSuffix;
    if (!job.readError.isEmpty())
        logLine(QStringLiteral("Failed to load file %1 : %2").arg(fileName, job.readError));
    if (!job.palette) {
        logLine(QStringLiteral("Failed to decode file %1 : %2").arg(fileName, job.decodeError));
        return {};
    }
    // From now on a save may replace what was read here, and only that.
    touchStore();
    if (job.stamp.isValid())
        knownStamps().insert(job.native, Known{job.stamp, job.contentHash, job.readAt});
    else
        knownStamps().remove(job.native);
    return LoadedFile{std::move(job.palette), job.inWrittenForm};
}

// Reads and decodes "<name>.json", printing the load and decode failures. bytes is scratch
// memory, kept by the caller for the next file.
LoadedFile loadFile(const QString &folder, const QString &name, bool checkWrittenForm,
                    QByteArray &bytes) {
    FileJob job;
    job.native = QFile::encodeName(filePath(folder, name));
    job.name = name;
    readJob(job, checkWrittenForm, bytes);
    return reportJob(job);
}

QString encodeFailure(const Palette &palette) {
    return QStringLiteral("Failed to encode palette \"%1\" : a colour component is not a "
                          "finite number; its file is left as it was")
        .arg(printable(palette.palName));
}

std::optional<QByteArray> encodeOrReport(const Palette &palette) {
    std::optional<QByteArray> json = PaletteCodec::encode(palette);
    if (!json)
        logLine(encodeFailure(palette));
    return json;
}

QString changedElsewhere() {
    return QStringLiteral("it was changed by another program since Swatchbar read it");
}

QString saveFailure(const QString &name, const QString &reason) {
    return QStringLiteral("Failed to save file %1%2 : %3").arg(printable(name), jsonSuffix, reason);
}

// Why the file must not be replaced by this program now, or empty, from its status just looked
// up (present: there is a file). Saving through a link would write its target, which may lie
// outside the folder.
QString writeRefusal(const QByteArray &native, bool present, const struct stat &info,
                     bool overwriteChanges, std::optional<FileStamp> *seen) {
    if (present && S_ISLNK(info.st_mode))
        return symlinkRefusal();
    if (!overwriteChanges &&
        onDisk(native, seen, present ? FileStamp::of(info) : FileStamp()) == OnDisk::Changed)
        return changedElsewhere();
    return {};
}

QString writeRefusal(const QString &path, bool overwriteChanges = false,
                     std::optional<FileStamp> *seen = nullptr) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    const bool present = ::lstat(native.constData(), &info) == 0;
    return writeRefusal(native, present, info, overwriteChanges, seen);
}

// False when the file was not written, with one line saying why. The file is replaced whole
// or left as it was. Unless told otherwise, a file that another program changed since this
// one read or wrote it is left alone.
bool writeFile(const QString &folder, const QString &name, const QByteArray &json,
               bool overwriteChanges = false) {
    const QString path = filePath(folder, name);
    const QByteArray native = QFile::encodeName(path);
    const auto fail = [&name](const QString &reason) {
        logLine(saveFailure(name, reason));
        return false;
    };
    // A write of this file still under way on the writer thread goes first: the newer content
    // has to land last.
    if (BackgroundWriter::instance().isPending(native))
        BackgroundWriter::instance().flush();
    if (const QString refusal = writeRefusal(path, overwriteChanges); !refusal.isEmpty())
        return fail(refusal);
    QString error;
    struct stat written {};
    if (!SafeFile::write(path, json, &error, &written))
        return fail(error);
    remember(native, FileStamp::of(written), json);
    return true;
}

bool existsOnDisk(const QString &path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

struct Listing {
    QStringList names;
    QList<QByteArray> nativePaths; // each entry's path, its name as the file system holds it
    // Entries whose bytes are not UTF-8: no path leads back to them. Told by their own bytes,
    // not by the name they decode to, which a valid name can share.
    std::vector<bool> undecodable;
    QString error; // empty when the folder was listed
};

// Entry names in the order the file system returns them, hidden ones included. nativeFolder:
// the folder's path as the file system holds it.
Listing listFolder(const QByteArray &nativeFolder) {
    Listing listing;
    DIR *dir = ::opendir(nativeFolder.constData());
    if (!dir) {
        listing.error = errnoText(errno);
        return listing;
    }
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0) {
                listing.error = errnoText(errno);
                listing.names.clear();
                listing.nativePaths.clear();
                listing.undecodable.clear();
            }
            break;
        }
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        const QByteArrayView native(entry->d_name);
        // Nearly every name is plain ASCII, which decodes and encodes back unchanged.
        const bool ascii = std::all_of(native.cbegin(), native.cend(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        QString name =
            ascii ? QString::fromLatin1(native) : QFile::decodeName(native.toByteArray());
        listing.undecodable.push_back(!ascii && QFile::encodeName(name) != native);
        // Made once, at its full length: thousands of entries make every allocation count.
        QByteArray path;
        path.reserve(nativeFolder.size() + 1 + native.size());
        path.append(nativeFolder).append('/').append(native);
        listing.names.append(std::move(name));
        listing.nativePaths.append(std::move(path));
    }
    ::closedir(dir);
    return listing;
}

// A sync client keeps the losing side of a conflict as "<stem>.sync-conflict-<date>-<time>-
// <device>.json" with the palette's own name inside. Shown under the file's name, such a copy
// can be told apart, opened, renamed and deleted, and never takes the place of the palette it
// conflicts with.
bool isConflictCopy(const QString &fileStem, const QString &contentName) {
    if (!fileStem.contains(QLatin1String(".sync-conflict-")))
        return false;
    static const QRegularExpression pattern(
        QStringLiteral("^(.*)\\.sync-conflict-\\d{8}-\\d{6}-[A-Z0-9]{7}$"));
    const QRegularExpressionMatch match = pattern.match(fileStem);
    return match.hasMatch() && match.captured(1) == contentName;
}

// What each file held when it was last read, to skip reading it again while it is unchanged.
struct Cached {
    FileStamp stamp;
    Palette palette;
    bool inWrittenForm = false;
};

QHash<QByteArray, Cached> &fileCache() {
    static QHash<QByteArray, Cached> cache;
    return cache;
}

// What a scan needs of the store, copied (shared, not duplicated) on the calling thread so the
// scan can run on another one while this one goes on changing the originals.
struct StoreSnapshot {
    QHash<QByteArray, Cached> cache;
    QHash<QByteArray, Known> known;
    Settings::IntegerSnapshot positions;
};

struct OpenFolder {
    int fd = -1;
    qsizetype pathLength = 0;
};

// Whether the cached palette of job's file still holds: the file is as this program last
// read or wrote it, judged as onDisk() does. Reads the file only when the stamp cannot tell.
// folder: the folder open, with the length of its path in job.native; -1 when not open.
bool cacheStillHolds(FileJob &job, QByteArray &bytes, const StoreSnapshot &store,
                     const OpenFolder &folder) {
    const auto hit = store.cache.constFind(job.native);
    if (hit == store.cache.cend())
        return false;
    const auto known = store.known.constFind(job.native);
    if (known == store.known.cend() || !(known->stamp == hit->stamp))
        return false;
    // Thousands of files: a walk down the whole path for each would cost a third of the check.
    const FileStamp now =
        folder.fd >= 0
            ? FileStamp::ofEntry(folder.fd, job.native.constData() + folder.pathLength + 1)
            : FileStamp::ofPath(job.native);
    if (!now.isValid() || !(now == hit->stamp))
        return false;
    if (withinClockTick(known->stamp.changed, known->recordedAt) &&
        (!readNative(job.native, bytes).isEmpty() || contentHash(bytes) != known->contentHash))
        return false;
    job.palette = hit->palette;
    job.inWrittenForm = hit->inWrittenForm;
    return true;
}

// Past every stored position: palettes without one come after the others.
constexpr qint64 noPosition = qint64(INT_MAX) + 1;

// Runs on any thread during a load.
void runLoadJob(FileJob &job, QByteArray &bytes, const StoreSnapshot &store,
                const OpenFolder &folder) {
    job.cacheHit = cacheStillHolds(job, bytes, store, folder);
    if (!job.cacheHit)
        readJob(job, true, bytes);
    if (!job.palette)
        return;
    job.shownName =
        isConflictCopy(job.name, job.palette->palName) ? job.name : job.palette->palName;
    // A file that may have to be written back is encoded here, on both threads.
    if (!job.inWrittenForm) {
        Palette shown = *job.palette;
        shown.palName = job.shownName;
        job.encoded = PaletteCodec::encode(shown);
    }
}

// On the calling thread, in listing order.
LoadedFile finishLoadJob(FileJob &job) {
    if (job.cacheHit)
        return LoadedFile{job.palette, job.inWrittenForm};
    LoadedFile loaded = reportJob(job);
    if (loaded.palette) {
        const auto known = knownStamps().constFind(job.native);
        if (known != knownStamps().cend())
            fileCache().insert(job.native,
                               Cached{known->stamp, *loaded.palette, loaded.inWrittenForm});
    } else {
        fileCache().remove(job.native);
    }
    return loaded;
}

int g_loadThreads = 0; // 0: one per core, at most two

// Runs work(i, bytes) for every i in [0, count) on up to two threads (the calling one among
// them), in chunks; bytes is per-thread scratch memory.
template <class Work> void forEachInParallel(qsizetype count, const Work &work) {
    constexpr qsizetype chunk = 16;
    int threads = g_loadThreads > 0 ? g_loadThreads
                                    : std::clamp(int(std::thread::hardware_concurrency()), 1, 2);
    if (count < 2 * chunk)
        threads = 1;
    std::atomic<qsizetype> next{0};
    const auto run = [&next, count, &work] {
        QByteArray bytes;
        for (;;) {
            const qsizetype start = next.fetch_add(chunk, std::memory_order_relaxed);
            if (start >= count)
                return;
            for (qsizetype i = start; i < std::min(count, start + chunk); ++i)
                work(i, bytes);
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(run);
        } catch (const std::system_error &) {
            break; // no thread to spare: the calling thread does it all
        }
    }
    run();
    for (std::thread &helper : helpers)
        helper.join();
}

void publish(PalettesOO &collection, const QList<Palette> &palettes, bool refresh) {
    if (refresh && palettes.size() == collection.count()) {
        const QList<Palette> &current = collection.palettes();
        qsizetype differing = -1;
        qsizetype count = 0;
        for (qsizetype i = 0; i < palettes.size() && count < 2; ++i) {
            if (!(palettes.at(i) == current.at(i))) {
                differing = i;
                ++count;
            }
        }
        if (count == 0)
            return;
        if (count == 1) {
            collection.replace(int(differing), palettes.at(differing));
            return;
        }
    }
    collection.setPalettes(palettes);
}

struct Source {
    QString name;                      // of the file the palette was read from, without ".json"
    bool inWrittenForm;                // that file needs no rewrite if the palette goes back to it
    std::optional<QByteArray> encoded; // when not: the palette as it is written (encoded ahead)
};

// The part of a load that only reads: which entries are palette files, what each holds, and
// the palettes in their order. Runs on any thread; its lines wait for applyScan.
struct LoadScan {
    std::optional<QString> folder;
    std::optional<QString> leftOut; // a file name (without ".json") the load skips
    StoreSnapshot store;
    quint64 generation = 0; // of the store when the snapshot was taken
    // When valid, the stored positions come here once the files are read (store.positions is
    // then empty until they do).
    std::future<Settings::IntegerSnapshot> laterPositions;

    struct Entry {
        QString skipLine;   // printed in place of loading the entry
        qsizetype job = -1; // index in jobs
    };
    QString listError;
    QList<Entry> entries;
    std::vector<FileJob> jobs;
    QList<Palette> palettes;  // in the collection's order
    QList<Source> sources;    // one per palette
    QList<qint64> ranks;      // the stored position of each palette
    bool foldedNames = false; // a file name lost more than one ".json" (two files, one name)

    // Each palette goes back to the file named after its content, but a load never replaces
    // a file it did not read that palette from. The steps are decided here, in order; their
    // files are written and their lines printed and keys set when the scan is applied.
    struct Step {
        QString line;         // printed at this step, when not empty
        qsizetype key = -1;   // palette whose position key is set
        qsizetype write = -1; // index in writes: the key is set only when it was written
    };
    QList<Step> steps;
    QList<QByteArray> writes; // encoded palettes, each for the file named after it
    QList<bool> firstOfName;  // a name seen twice in one load always sets its key

    // Filled when applied: why a write was refused (empty: asked for), and its batch place.
    QList<QString> refusals;
    QList<qsizetype> batchIndex;
};

bool g_backgroundWrites = false;

void decideSteps(LoadScan &scan) {
    const QList<Palette> &palettes = scan.palettes;
    const QList<Source> &sources = scan.sources;
    const std::optional<QString> &folder = scan.folder;
    QList<LoadScan::Step> &steps = scan.steps;
    steps.reserve(palettes.size());
    scan.firstOfName = QList<bool>(palettes.size(), true);
    const auto writeBack = [&scan, &steps](qsizetype i) {
        const std::optional<QByteArray> &json = scan.sources.at(i).encoded;
        if (!json) {
            steps.append({encodeFailure(scan.palettes.at(i))});
            return false;
        }
        steps.append({QString(), i, scan.writes.size()});
        scan.writes.append(*json);
        return true;
    };
    // Mostly every palette comes from the file of its own name, a name already checked and
    // found once: nothing to look up.
    bool plain = !scan.foldedNames;
    for (qsizetype i = 0; plain && i < palettes.size(); ++i)
        plain = palettes.at(i).palName == sources.at(i).name;
    if (plain) {
        for (qsizetype i = 0; i < palettes.size(); ++i) {
            if (sources.at(i).inWrittenForm)
                steps.append({QString(), i});
            else
                writeBack(i);
        }
        return;
    }

    QSet<QString> decodedSources;
    decodedSources.reserve(sources.size());
    for (const Source &source : sources)
        decodedSources.insert(source.name);
    QSet<QString> written;
    for (qsizetype i = 0; i < palettes.size(); ++i) {
        const Palette &palette = palettes.at(i);
        const Source &source = sources.at(i);
        const QString &target = palette.palName;
        const QString reason = Manager::invalidNameReason(target);
        if (!reason.isEmpty()) {
            steps.append({QStringLiteral("Not saving palette \"%1\" from %2%3 : its name %4")
                              .arg(printable(target), printable(source.name), jsonSuffix, reason)});
            continue;
        }
        if (target != source.name) {
            QString holder;
            if (written.contains(target))
                holder = QStringLiteral("it was written earlier in this load");
            else if (decodedSources.contains(target))
                holder = QStringLiteral("it holds another palette");
            else if (existsOnDisk(filePath(*folder, target)))
                holder = QStringLiteral("it is a file that could not be loaded");
            if (!holder.isEmpty()) {
                steps.append(
                    {QStringLiteral("Not saving palette \"%1\" from %2%3 over %1%3 : %4")
                         .arg(printable(target), printable(source.name), jsonSuffix, holder),
                     i});
                continue;
            }
        } else if (written.contains(target)) {
            // "x.json" listed again as "x.json.json": the same file, already handled.
            steps.append({QString(), i});
            continue;
        }

        written.insert(target);
        if (target == source.name && source.inWrittenForm) {
            steps.append({QString(), i});
            continue;
        }
        if (!writeBack(i))
            written.remove(target);
    }

    QSet<QString> keyed;
    keyed.reserve(palettes.size());
    for (const LoadScan::Step &step : std::as_const(steps)) {
        if (step.key < 0)
            continue;
        const QString &name = palettes.at(step.key).palName;
        scan.firstOfName[step.key] = !keyed.contains(name);
        keyed.insert(name);
    }
}

// On the calling thread: what the scan starts from, but the stored positions.
std::shared_ptr<LoadScan> newScan(const std::optional<QString> &leftOut) {
    auto scan = std::make_shared<LoadScan>();
    scan->folder = palettesFolder();
    scan->leftOut = leftOut;
    scan->store = StoreSnapshot{fileCache(), knownStamps(), {}};
    scan->generation = storeGeneration();
    return scan;
}

// On the calling thread: what the scan starts from.
std::shared_ptr<LoadScan> prepareScan(const std::optional<QString> &leftOut) {
    std::shared_ptr<LoadScan> scan = newScan(leftOut);
    scan->store.positions = Settings::integerSnapshot();
    return scan;
}

void runScan(LoadScan &scan) {
    Listing listing;
    const QByteArray nativeFolder = scan.folder ? QFile::encodeName(*scan.folder) : QByteArray();
    if (scan.folder) {
        listing = listFolder(nativeFolder);
        scan.listError = listing.error;
    }
    // Which entries are palette files; then every file is read and decoded on up to two
    // threads; then, in listing order, the palettes are gathered as one thread would.
    std::vector<FileJob> &jobs = scan.jobs;
    jobs.reserve(size_t(listing.names.size()));
    for (qsizetype k = 0; k < listing.names.size(); ++k) {
        QString &entryName = listing.names[k];
        if (!entryName.endsWith(jsonSuffix))
            continue;
        if (listing.undecodable[size_t(k)]) {
            scan.entries.append({QStringLiteral("Skipped file %1 : its name is not valid UTF-8")
                                     .arg(printable(entryName)),
                                 -1});
            continue;
        }
        const qsizetype entrySize = entryName.size();
        // The listing's own string, no longer needed there: the suffix goes without a copy.
        QString name = std::move(entryName);
        name.remove(jsonSuffix);
        if (scan.leftOut && name == *scan.leftOut)
            continue;
        if (const QString reason = Manager::invalidNameReason(name); !reason.isEmpty()) {
            scan.entries.append(
                {QStringLiteral("Invalid palette name \"%1\": %2").arg(printable(name), reason),
                 -1});
            continue;
        }
        FileJob job;
        // The name without every ".json" in it: "x.json.json" is read as "x.json".
        const bool folded = name.size() + jsonSuffix.size() != entrySize;
        scan.foldedNames |= folded;
        job.native = folded ? QFile::encodeName(filePath(*scan.folder, name))
                            : std::move(listing.nativePaths[k]);
        job.name = std::move(name);
        scan.entries.append({QString(), qsizetype(jobs.size())});
        jobs.push_back(std::move(job));
    }
    const StoreSnapshot &store = scan.store;
    OpenFolder folder;
    if (!jobs.empty() && !store.cache.isEmpty()) {
        folder.fd = ::open(nativeFolder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        folder.pathLength = nativeFolder.size();
    }
    forEachInParallel(qsizetype(jobs.size()),
                      [&jobs, &store, &folder](qsizetype i, QByteArray &bytes) {
                          runLoadJob(jobs[size_t(i)], bytes, store, folder);
                      });
    if (folder.fd >= 0)
        ::close(folder.fd);

    // Palettes with a stored position first, in its order; the rest keep the listing order.
    if (scan.laterPositions.valid())
        scan.store.positions = scan.laterPositions.get();
    const QHash<QStringView, int> positions =
        store.positions.under(QLatin1StringView(SettingsKeys::paletteIndexPrefix));
    QList<const FileJob *> found;
    found.reserve(qsizetype(jobs.size()));
    for (const LoadScan::Entry &entry : std::as_const(scan.entries)) {
        if (entry.job < 0 || !jobs[size_t(entry.job)].palette)
            continue;
        FileJob &job = jobs[size_t(entry.job)];
        const auto position = positions.constFind(SettingsKeys::keyPart(job.shownName));
        job.rank = position != positions.cend() ? qint64(*position) : noPosition;
        found.append(&job);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const FileJob *a, const FileJob *b) { return a->rank < b->rank; });
    scan.palettes.reserve(found.size());
    scan.sources.reserve(found.size());
    scan.ranks.reserve(found.size());
    for (const FileJob *job : std::as_const(found)) {
        Palette palette = *job->palette;
        palette.palName = job->shownName;
        scan.palettes.append(std::move(palette));
        scan.sources.append({job->name, job->inWrittenForm, job->encoded});
        scan.ranks.append(job->rank);
    }
    decideSteps(scan);
}

// On the calling thread: prints the scan's lines, remembers what was read, shows the palettes
// (appended last: a renamed palette) and writes back what is not in its written form.
// then: run when everything is done, which may be later (the keys).
void finishSteps(const std::shared_ptr<LoadScan> &scanned, QList<SafeFile::BatchItem> &writes,
                 std::function<void()> then);

// then: run when everything is done, which is later when the writes go to the writer thread.
void applyScan(const std::shared_ptr<LoadScan> &scanned, PalettesOO &collection, bool refresh,
               const std::optional<Palette> &appended, std::function<void()> then) {
    LoadScan &scan = *scanned;
    // The copies go first, so remembering below does not copy the caches.
    scan.store = StoreSnapshot{};
    touchStore();
    if (!scan.listError.isEmpty())
        logLine(QStringLiteral("Failed to read directory: %1").arg(scan.listError));
    // Room for every file read, made once rather than grown step by step.
    const qsizetype read = std::count_if(scan.jobs.cbegin(), scan.jobs.cend(),
                                         [](const FileJob &job) { return !job.cacheHit; });
    knownStamps().reserve(std::max(knownStamps().size(), read));
    fileCache().reserve(std::max(fileCache().size(), read));
    for (const LoadScan::Entry &entry : std::as_const(scan.entries)) {
        if (entry.job < 0)
            logLine(entry.skipLine);
        else if (!scan.jobs[size_t(entry.job)].cacheHit)
            finishLoadJob(scan.jobs[size_t(entry.job)]);
    }
    std::vector<FileJob>().swap(scan.jobs);
    const QList<Palette> &palettes = scan.palettes;
    const std::optional<QString> &folder = scan.folder;

    // One change for the whole list: observers redraw once, not once per palette. The list
    // is shared with the collection, not copied. A refresh that changed one palette replaces
    // only that one, and one that changed nothing says nothing.
    if (appended) {
        QList<Palette> shown = palettes;
        shown.append(*appended);
        publish(collection, shown, refresh);
    } else {
        publish(collection, palettes, refresh);
    }

    // Written together, made durable with one sync; only then are the lines printed and the
    // keys set, as one by one. A file another program changed since it was read stays.
    QList<SafeFile::BatchItem> writes;
    writes.reserve(scan.writes.size());
    scan.batchIndex = QList<qsizetype>(scan.writes.size(), -1);
    scan.refusals = QList<QString>(scan.writes.size());
    // Thousands of hand-edited files are looked at here, on the UI thread, before it first
    // waits: each by its name in the open folder, not by a walk down the whole path.
    OpenFolder open;
    if (!scan.writes.isEmpty()) {
        const QByteArray nativeFolder = QFile::encodeName(*folder);
        open.fd = ::open(nativeFolder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        open.pathLength = nativeFolder.size();
    }
    for (const LoadScan::Step &step : std::as_const(scan.steps)) {
        if (step.write < 0)
            continue;
        const QString path = filePath(*folder, palettes.at(step.key).palName);
        const QByteArray native = QFile::encodeName(path);
        struct stat info {};
        const bool present = open.fd >= 0
                                 ? ::fstatat(open.fd, native.constData() + open.pathLength + 1,
                                             &info, AT_SYMLINK_NOFOLLOW) == 0
                                 : ::lstat(native.constData(), &info) == 0;
        std::optional<FileStamp> seen;
        if (QString refusal = writeRefusal(native, present, info, false, &seen);
            !refusal.isEmpty()) {
            scan.refusals[step.write] = std::move(refusal);
            continue;
        }
        SafeFile::BatchItem item;
        item.path = path;
        // The batch is made durable before any file is renamed into place, which can take a
        // while: a file another program changes meanwhile is looked at again just before.
        if (seen)
            item.stillWanted = [native, seen = *seen] {
                return FileStamp::ofPath(native) == seen ? QString() : changedElsewhere();
            };
        item.bytes = scan.writes.at(step.write);
        scan.batchIndex[step.write] = writes.size();
        writes.append(std::move(item));
    }
    if (open.fd >= 0)
        ::close(open.fd);
    auto rest = [scanned, then = std::move(then)](QList<SafeFile::BatchItem> &written) mutable {
        finishSteps(scanned, written, std::move(then));
    };
    // Many files to write back (hand-edited ones, at start-up) take a while to make durable:
    // that happens on the writer thread, and the lines and keys follow when it is done.
    if (!writes.isEmpty() && g_backgroundWrites) {
        BackgroundWriter::instance().writeBatch(std::move(writes), std::move(rest));
        return;
    }
    SafeFile::writeBatch(writes);
    rest(writes);
}

// A load's position keys, set on this thread after its lines. A rename at twenty thousand
// palettes moves nearly every key, which takes long enough to be felt: when loads run in the
// background the keys are set in slices of a few milliseconds after the load's last line, and
// its follow-up comes after its last key. Whatever reads or changes the store first finishes them
// (settle()), so every step still sees the keys as if they had been set at once.
struct KeySteps {
    struct Step {
        qsizetype palette; // index in the scan's palettes, and the position stored
        bool replace;      // the stored value is known to differ
    };
    std::shared_ptr<LoadScan> scan;
    QList<Step> steps;
    qsizetype next = 0;
    std::function<void()> then;
};

bool loadsInBackground();

std::deque<KeySteps> &pendingKeys() {
    static std::deque<KeySteps> queue;
    return queue;
}

constexpr qint64 keySliceNs = 4 * 1000 * 1000;
int g_keySliceSteps = 0; // 0: slices by time

void finishKeySteps(KeySteps &done) {
    done.scan.reset();
    if (done.then)
        done.then();
}

// Sets the pending keys, the oldest load's first. sliced: stops after one slice of work and
// returns false when some are left.
bool runPendingKeys(bool sliced) {
    QElapsedTimer clock;
    clock.start();
    qsizetype done = 0;
    std::deque<KeySteps> &queue = pendingKeys();
    while (!queue.empty()) {
        KeySteps &front = queue.front();
        const LoadScan &scan = *front.scan;
        while (front.next < front.steps.size()) {
            if (sliced && done > 0 &&
                (g_keySliceSteps > 0 ? done >= g_keySliceSteps
                                     : done % 64 == 0 && clock.nsecsElapsed() >= keySliceNs))
                return false;
            const KeySteps::Step step = front.steps.at(front.next++);
            const QString key =
                SettingsKeys::paletteIndexKey(scan.palettes.at(step.palette).palName);
            if (step.replace)
                Settings::replaceInteger(key, static_cast<int>(step.palette));
            else
                Settings::setInteger(key, static_cast<int>(step.palette));
            ++done;
        }
        // Off the queue before its follow-up, which may settle the store again.
        KeySteps finished = std::move(front);
        queue.pop_front();
        finishKeySteps(finished);
    }
    return true;
}

QPointer<QTimer> &keyTimer() {
    static QPointer<QTimer> timer;
    return timer;
}

void queueKeySteps(KeySteps steps, bool sliced) {
    pendingKeys().push_back(std::move(steps));
    QObject *app = QCoreApplication::instance();
    if (!sliced || !app) {
        runPendingKeys(false);
        return;
    }
    QPointer<QTimer> &timer = keyTimer();
    if (!timer) {
        // A zero timer: each slice is one turn of the event loop, with the user's events and
        // the painting in between.
        timer = new QTimer(app);
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, timer, [] {
            if (runPendingKeys(true) && keyTimer())
                keyTimer()->stop();
        });
    }
    timer->start();
}

// Sets the keys earlier loads left to set, now, without waiting for the writer.
void finishKeys() {
    if (!pendingKeys().empty())
        runPendingKeys(false);
}

// Finishes what earlier loads and writes left to do, now.
void settle() {
    for (int round = 0; round < 100; ++round) {
        BackgroundWriter::instance().flush();
        if (pendingKeys().empty())
            return;
        runPendingKeys(false);
    }
}

void finishSteps(const std::shared_ptr<LoadScan> &scanned, QList<SafeFile::BatchItem> &writes,
                 std::function<void()> then) {
    LoadScan &scan = *scanned;
    const QList<Palette> &palettes = scan.palettes;
    KeySteps keys{scanned, {}, 0, std::move(then)};
    keys.steps.reserve(scan.steps.size());
    for (const LoadScan::Step &step : std::as_const(scan.steps)) {
        if (step.write >= 0) {
            const QString &name = palettes.at(step.key).palName;
            if (!scan.refusals.at(step.write).isEmpty()) {
                logLine(saveFailure(name, scan.refusals.at(step.write)));
                continue;
            }
            const SafeFile::BatchItem &item = writes.at(scan.batchIndex.at(step.write));
            if (!item.ok) {
                // A palette whose file could not be written gets no position key.
                logLine(saveFailure(name, item.error));
                continue;
            }
            remember(QFile::encodeName(item.path), FileStamp::of(item.written), item.bytes);
        } else if (!step.line.isEmpty()) {
            logLine(step.line);
        }
        // A key that already holds the position is left alone (a name seen twice in one load
        // is always written, so the last one wins).
        if (step.key < 0)
            continue;
        if (!scan.firstOfName.at(step.key))
            keys.steps.append({step.key, false});
        else if (scan.ranks.at(step.key) != step.key)
            keys.steps.append({step.key, true});
    }
    logLine(QStringLiteral("Successfully loaded all(%1) color palettes!").arg(palettes.size()));
    queueKeySteps(std::move(keys), loadsInBackground());
}

// A load asked for while loads run in the background: its scan runs on a worker, and the
// rest, with its follow-up, on this thread once the scan is done. Loads run one at a time, in
// the order asked.
struct LoadRequest {
    bool refresh = false;
    std::optional<QString> leftOut;
    std::optional<Palette> appended;
    std::function<void()> then;
};

struct BackgroundLoads {
    bool enabled = false;
    QList<LoadRequest> queue; // the first one is the one running
    std::shared_ptr<LoadScan> running;
    std::thread worker;
    int rescans = 0;
    bool starting = false; // waiting for the writer before a scan

    ~BackgroundLoads() {
        if (worker.joinable())
            worker.join();
    }
};

BackgroundLoads &backgroundLoads() {
    static BackgroundLoads loads;
    return loads;
}

bool loadsInBackground() {
    return backgroundLoads().enabled;
}

// The store changed while this many scans ran: the next one runs here, without a worker.
constexpr int maxRescans = 3;

void finishLoad(const std::shared_ptr<LoadScan> &scan, LoadRequest request) {
    PalettesOO *collection = PalettesOO::shared();
    if (!collection) {
        qWarning("Manager::loadAllPalettes: no palette collection");
        return;
    }
    // The collection already shows what the request changed: only differences are published.
    applyScan(scan, *collection, true, request.appended, std::move(request.then));
}

void startNextLoad();

void scanDone(const std::shared_ptr<LoadScan> &scan) {
    BackgroundLoads &loads = backgroundLoads();
    if (loads.running != scan)
        return; // already finished at quit
    loads.worker.join();
    loads.running.reset();
    if (scan->generation != storeGeneration()) {
        // Something was written or reordered meanwhile: the scan may miss it. Again, from now.
        ++loads.rescans;
        startNextLoad();
        return;
    }
    loads.rescans = 0;
    finishLoad(scan, loads.queue.takeFirst());
    startNextLoad();
}

void startNextLoad() {
    BackgroundLoads &loads = backgroundLoads();
    if (loads.running || loads.queue.isEmpty() || loads.starting)
        return;
    // The writes and keys still under way finish first (their follow-ups may ask for loads).
    loads.starting = true;
    settle();
    loads.starting = false;
    if (loads.running || loads.queue.isEmpty())
        return;
    std::shared_ptr<LoadScan> scan = prepareScan(loads.queue.first().leftOut);
    QObject *receiver = QCoreApplication::instance();
    if (receiver && loads.rescans < maxRescans) {
        loads.running = scan;
        try {
            loads.worker = std::thread([scan, receiver] {
                runScan(*scan);
                QMetaObject::invokeMethod(
                    receiver, [scan] { scanDone(scan); }, Qt::QueuedConnection);
            });
            return;
        } catch (const std::system_error &) {
            loads.running.reset(); // no thread to spare: scanned here
        }
    }
    runScan(*scan);
    loads.rescans = 0;
    finishLoad(scan, loads.queue.takeFirst());
    startNextLoad();
}

// A folder whose listing is at most 8 KB: a few hundred entries at most, read in well under a
// millisecond.
bool isSmallFolder(const QByteArray &folder) {
    struct stat info {};
    return ::stat(folder.constData(), &info) == 0 && info.st_size <= 8192;
}

// A small folder's scan takes well under a millisecond, but a new thread is often queued on
// the processor that made it, here taking its time from the toolkit's start: moved to another
// one, it runs beside it. (A large folder's scan is left where the kernel puts it: beside the
// toolkit for many milliseconds, the two would only contend.) Returns the processors to give
// the thread back once it runs (its own helpers then go anywhere), when it was moved.
std::optional<cpu_set_t> moveAway(std::jthread &worker) {
    cpu_set_t all;
    if (::sched_getaffinity(0, sizeof all, &all) != 0)
        return std::nullopt;
    const int here = ::sched_getcpu();
    if (here < 0 || !CPU_ISSET(here, &all) || CPU_COUNT(&all) < 2)
        return std::nullopt;
    cpu_set_t others = all;
    CPU_CLR(here, &others);
    if (::pthread_setaffinity_np(worker.native_handle(), sizeof others, &others) != 0)
        return std::nullopt;
    return all;
}

// Whether the first scan's thread was moved, settled before it starts its work.
struct Placement {
    std::latch settled{1};
    std::optional<cpu_set_t> giveBack;
};

// A scan started before the first load, on a thread of its own.
struct FirstScan {
    std::shared_ptr<LoadScan> scan;
    std::jthread worker; // joined at exit when no load took the scan
};

FirstScan &firstScan() {
    static FirstScan first;
    return first;
}

// The first scan once it is done, when it still holds for a load from nothing now.
std::shared_ptr<LoadScan> takeFirstScan(const std::optional<QString> &leftOut) {
    FirstScan &first = firstScan();
    if (first.worker.joinable())
        first.worker.join();
    std::shared_ptr<LoadScan> scan = std::move(first.scan);
    // Its folder was found (or reported missing) as the scan began: asking again would say a
    // failure twice.
    if (!scan || leftOut || scan->generation != storeGeneration())
        return nullptr;
    return scan;
}

// Runs what is asked and still running, here and now (at quit, and when loads stop running
// in the background).
void finishBackgroundLoads() {
    BackgroundLoads &loads = backgroundLoads();
    if (loads.running) {
        loads.worker.join();
        std::shared_ptr<LoadScan> scan = std::move(loads.running);
        if (scan->generation != storeGeneration())
            scan.reset();
        if (scan) {
            loads.rescans = 0;
            finishLoad(scan, loads.queue.takeFirst());
        }
    }
    // Follow-ups may ask for more; each round takes one request.
    for (int round = 0; round < 100 && !loads.queue.isEmpty(); ++round) {
        settle();
        std::shared_ptr<LoadScan> scan = prepareScan(loads.queue.first().leftOut);
        runScan(*scan);
        finishLoad(scan, loads.queue.takeFirst());
    }
}

} // namespace

bool Manager::isValidPaletteName(const QString &name) {
    return invalidNameReason(name).isEmpty();
}

QString Manager::invalidNameReason(const QString &name) {
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\".\" and \"..\" cannot be file names");
    if (name.contains(QLatin1Char('/')))
        return QStringLiteral("contains \"/\"");
    if (name.contains(QChar(0)))
        return QStringLiteral("contains a NUL character");
    // The name read back from "<name>.json" drops every ".json" in it.
    if (name.contains(jsonSuffix))
        return QStringLiteral("contains \".json\"");
    // Up to three bytes per UTF-16 unit: most names are clearly short enough.
    if (name.size() * 3 + jsonSuffix.size() > maxFileNameBytes &&
        QFile::encodeName(name + jsonSuffix).size() > maxFileNameBytes)
        return QStringLiteral("is too long for a file name (255 bytes with \".json\")");
    return {};
}

std::optional<QString> Manager::supportSubfolder(const QString &name, bool create) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) {
        logLine(QStringLiteral("The application support directory is not available"));
        return std::nullopt;
    }
    if (name.isEmpty() || !isValidPaletteName(name)) {
        logLine(QStringLiteral("Invalid folder name \"%1\"").arg(printable(name)));
        return std::nullopt;
    }
    const QString location = base + QStringLiteral("/Swatchbar/") + name;
    if (existsOnDisk(location))
        return location;
    if (!create)
        return std::nullopt;
    std::error_code error;
    std::filesystem::create_directories(
        std::filesystem::path(QFile::encodeName(location).toStdString()), error);
    if (error) {
        logLine(QStringLiteral("Failed to create folder %1 : %2")
                    .arg(location, QString::fromStdString(error.message())));
        return std::nullopt;
    }
    return location;
}

std::optional<Palette> Manager::loadPalette(const QString &name) {
    settle();
    if (refuseName(name))
        return std::nullopt;
    const std::optional<QString> folder = palettesFolder();
    if (!folder)
        return std::nullopt;
    QByteArray bytes;
    return loadFile(*folder, name, false, bytes).palette;
}

bool Manager::savePalette(const Palette &palette) {
    if (refuseName(palette.palName))
        return false;
    touchStore();
    // A palette this large is saved on the writer thread; an encoding or write failure is
    // reported when the write comes back.
    if (palette.palColors.size() >= backgroundEncodeColors) {
        const std::optional<QString> folder = palettesFolder();
        if (!folder)
            return false;
        const QString path = filePath(*folder, palette.palName);
        if (const QString refusal = writeRefusal(path); !refusal.isEmpty()) {
            logLine(saveFailure(palette.palName, refusal));
            return false;
        }
        BackgroundWriter::instance().write(
            path, [palette] { return PaletteCodec::encode(palette); },
            [palette, native = QFile::encodeName(path)](const std::optional<QByteArray> &json,
                                                        bool ok, const QString &error,
                                                        const struct stat &written) {
                if (!json)
                    logLine(encodeFailure(palette));
                else if (!ok)
                    logLine(saveFailure(palette.palName, error));
                else
                    remember(native, FileStamp::of(written), *json);
            });
        return true;
    }
    const std::optional<QByteArray> json = encodeOrReport(palette);
    if (!json)
        return false;
    const std::optional<QString> folder = palettesFolder();
    return folder && writeFile(*folder, palette.palName, *json);
}

bool Manager::addPalette(const Palette &palette) {
    PalettesOO *collection = PalettesOO::shared();
    if (!collection) {
        qWarning("Manager::addPalette: no palette collection");
        return false;
    }
    if (refuseName(palette.palName))
        return false;
    finishKeys();
    touchStore();
    collection->append(palette);
    // A palette whose file could not be written gets no position key.
    const int index = collection->count() - 1;
    if (!savePalette(palette))
        return false;
    Settings::setInteger(SettingsKeys::paletteIndexKey(palette.palName), index);
    return true;
}

Manager::EditResult Manager::editColors(int index, const ColorEdit &edit) {
    PalettesOO *collection = PalettesOO::shared();
    if (!collection || !collection->contains(index))
        return EditResult::Refused;
    touchStore();
    Palette current = collection->palettes().at(index);
    const QString name = current.palName;
    if (refuseName(name))
        return EditResult::Refused;
    const std::optional<QString> folder = palettesFolder();
    if (!folder)
        return EditResult::WriteFailed;
    const QByteArray native = QFile::encodeName(filePath(*folder, name));
    const QString shownName = printable(name);

    // Another program changed the file: start from what it wrote, never from the older copy
    // shown here, so its changes survive this one.
    if (onDisk(native) == OnDisk::Changed) {
        QByteArray bytes;
        FileStamp stamp;
        QString error = readFile(filePath(*folder, name), bytes, &stamp);
        std::optional<Palette> fresh;
        if (error.isEmpty()) {
            PaletteCodec::DecodeResult decoded = PaletteCodec::decode(bytes);
            if (!decoded.palette)
                error = decoded.error;
            else if (decoded.palette->palName != name)
                error = QStringLiteral("it now holds the palette \"%1\"")
                            .arg(printable(decoded.palette->palName));
            else
                fresh = std::move(decoded.palette);
        }
        if (!fresh) {
            logLine(QStringLiteral("Not saving palette \"%1\" : its file %1.json was changed by "
                                   "another program and cannot be used now: %2")
                        .arg(shownName, error));
            return EditResult::Refused;
        }
        // Only a read that could be used counts as seen.
        remember(native, stamp, bytes);
        logLine(QStringLiteral("Reread file %1.json : %2").arg(shownName, changedElsewhere()));
        current = *fresh;
        collection->replace(index, current);
    }

    if (!edit.applyTo(current)) {
        logLine(QStringLiteral("Not saving palette \"%1\" : the color \"%2\" was changed or "
                               "removed elsewhere; the edit is kept")
                    .arg(shownName, printable(edit.original.colName)));
        return EditResult::Refused;
    }
    collection->replace(index, current);
    return savePalette(current) ? EditResult::Saved : EditResult::WriteFailed;
}

void Manager::loadAllPalettes(std::function<void()> then) {
    load(false, std::nullopt, std::nullopt, std::move(then));
}

void Manager::startFirstScan() {
    FirstScan &first = firstScan();
    if (first.worker.joinable() || first.scan)
        return;
    std::shared_ptr<LoadScan> scan = newScan(std::nullopt);
    const bool small = scan->folder && isSmallFolder(QFile::encodeName(*scan->folder));
    // A few palettes leave the scan's thread mostly idle: it reads the settings too, while this
    // one starts the toolkit. With thousands (each with its position key) the settings take a
    // while as well, and are read here while that thread reads the files.
    std::packaged_task<Settings::IntegerSnapshot()> readSettings;
    if (small)
        readSettings = Settings::readAhead();
    std::promise<Settings::IntegerSnapshot> positions;
    const bool readThere = readSettings.valid();
    scan->laterPositions = readThere ? readSettings.get_future() : positions.get_future();
    auto placement = std::make_shared<Placement>();
    try {
        first.worker =
            std::jthread([scan, placement, readSettings = std::move(readSettings)]() mutable {
                placement->settled.wait();
                if (placement->giveBack)
                    ::pthread_setaffinity_np(::pthread_self(), sizeof(cpu_set_t),
                                             &*placement->giveBack);
                // Watched before it is listed: what changes after the listing reaches the
                // folder's watcher, made once the toolkit is up.
                if (scan->folder)
                    FolderWatcher::watchAhead(*scan->folder);
                if (readSettings.valid())
                    readSettings();
                runScan(*scan);
            });
    } catch (const std::system_error &) {
        return; // no thread to spare: the load reads the folder itself
    }
    if (small)
        placement->giveBack = moveAway(first.worker);
    placement->settled.count_down();
    first.scan = std::move(scan);
    if (!readThere)
        positions.set_value(Settings::integerSnapshot());
}

void Manager::refreshPalettes(const QSet<QString> &fileNames, bool everything) {
    finishKeys();
    if (!everything) {
        const std::optional<QString> folder = supportSubfolder(palettesFolderName, false);
        if (!folder)
            return;
        // The program's own writes left the stamps it knows: nothing to do for them.
        const bool changed =
            std::any_of(fileNames.cbegin(), fileNames.cend(), [&folder](const QString &name) {
                const QByteArray native = QFile::encodeName(*folder + QLatin1Char('/') + name);
                const OnDisk state = onDisk(native);
                return state == OnDisk::Changed ||
                       (state == OnDisk::Missing && knownStamps().contains(native));
            });
        if (!changed)
            return;
        if (refreshInPlace(*folder, fileNames))
            return;
    }
    load(true);
}

bool Manager::refreshInPlace(const QString &folder, const QSet<QString> &fileNames) {
    PalettesOO *collection = PalettesOO::shared();
    if (!collection || !BackgroundWriter::instance().isIdle())
        return false;
    // Only the plain case: each changed file still holds the palette of its own name, in
    // written form, and that palette is shown once. Anything else (a new, removed, renamed or
    // unreadable file, a conflict copy) takes the whole load.
    struct Change {
        int index;
        FileJob job;
    };
    QList<Change> changes;
    QByteArray bytes;
    for (const QString &fileName : fileNames) {
        const QByteArray native = QFile::encodeName(folder + QLatin1Char('/') + fileName);
        const OnDisk state = onDisk(native);
        if (state == OnDisk::AsKnown ||
            (state == OnDisk::Missing && !knownStamps().contains(native)))
            continue;
        // A file this program never read or wrote may hold a palette shown from another one.
        if (state == OnDisk::Missing || !fileName.endsWith(jsonSuffix) ||
            !knownStamps().contains(native))
            return false;
        const QString name = fileName.chopped(jsonSuffix.size());
        if (!isValidPaletteName(name) || name.contains(QLatin1String(".sync-conflict-")))
            return false;
        FileJob job;
        job.native = native;
        job.name = name;
        readJob(job, true, bytes);
        if (!job.readError.isEmpty() || !job.palette || !job.inWrittenForm)
            return false;
        // Shown twice, the file's palette could be either: the whole load sorts that out.
        const int index = collection->indexOf(name);
        const QList<Palette> &shown = collection->palettes();
        if (index < 0 || std::any_of(shown.cbegin() + index + 1, shown.cend(),
                                     [&name](const Palette &p) { return p.palName == name; }))
            return false;
        changes.append({index, std::move(job)});
    }
    for (Change &change : changes) {
        const LoadedFile loaded = finishLoadJob(change.job);
        if (!(collection->palettes().at(change.index) == *loaded.palette))
            collection->replace(change.index, *loaded.palette);
    }
    logLine(QStringLiteral("Successfully loaded all(%1) color palettes!").arg(collection->count()));
    return true;
}

void Manager::load(bool refresh, const std::optional<QString> &leftOut,
                   const std::optional<Palette> &appended, std::function<void()> then) {
    BackgroundLoads &loads = backgroundLoads();
    if (loads.enabled) {
        loads.queue.append({refresh, leftOut, appended, std::move(then)});
        startNextLoad();
        return;
    }
    settle();
    PalettesOO *collection = PalettesOO::shared();
    if (!collection) {
        qWarning("Manager::loadAllPalettes: no palette collection");
        return;
    }
    if (!refresh)
        collection->setPalettes({});
    std::shared_ptr<LoadScan> scan = takeFirstScan(leftOut);
    if (!scan) {
        scan = prepareScan(leftOut);
        runScan(*scan);
    }
    applyScan(scan, *collection, refresh, std::nullopt, [appended, then = std::move(then)] {
        PalettesOO *shown = PalettesOO::shared();
        if (appended && shown)
            shown->append(*appended);
        if (then)
            then();
    });
}

void Manager::setBackgroundWrites(bool enabled) {
    if (!enabled)
        BackgroundWriter::instance().flush();
    g_backgroundWrites = enabled;
}

void Manager::setBackgroundLoads(bool enabled) {
    if (!enabled) {
        finishBackgroundLoads();
        settle();
    }
    backgroundLoads().enabled = enabled;
    // A scan still running when the application object goes (without finishWrites) must not
    // post its result to it afterwards.
    static bool registered = false;
    if (enabled && !registered && QCoreApplication::instance()) {
        registered = true;
        qAddPostRoutine([] {
            BackgroundLoads &loads = backgroundLoads();
            if (loads.worker.joinable())
                loads.worker.join();
            loads.running.reset();
            loads.queue.clear();
        });
    }
}

bool Manager::backgroundLoadsPending() {
    // A load whose write-backs are still on the writer thread is not done either.
    return !backgroundLoads().queue.isEmpty() || !BackgroundWriter::instance().isIdle() ||
           !pendingKeys().empty();
}

void Manager::showAtOnce(const std::optional<QString> &removed,
                         const std::optional<Palette> &appended) {
    PalettesOO *collection = PalettesOO::shared();
    if (!collection || !backgroundLoads().enabled)
        return;
    QList<Palette> shown = collection->palettes();
    const int at = removed ? collection->indexOf(*removed) : -1;
    if (at >= 0)
        shown.removeAt(at);
    if (appended)
        shown.append(*appended);
    if (at >= 0 || appended)
        collection->setPalettes(shown);
}

namespace {
Manager::TrashFunction g_trash = nullptr;

bool moveToTrash(const QString &path, QString *inTrash) {
    return g_trash ? g_trash(path, inTrash) : QFile::moveToTrash(path, inTrash);
}

QString &lastTrashed() {
    static QString path;
    return path;
}
} // namespace

std::optional<QByteArray> Manager::paletteFileBytes(const QString &name) {
    settle();
    const std::optional<QString> folder = palettesFolder();
    if (!folder || !isValidPaletteName(name))
        return std::nullopt;
    QByteArray bytes;
    if (!readFile(filePath(*folder, name), bytes).isEmpty())
        return std::nullopt;
    return bytes;
}

bool Manager::restorePalette(const QString &name, const QByteArray &bytes, const QString &inTrash) {
    settle();
    touchStore();
    if (refuseName(name))
        return false;
    const std::optional<QString> folder = palettesFolder();
    if (!folder)
        return false;
    const QString path = filePath(*folder, name);
    const QByteArray native = QFile::encodeName(path);
    const auto fail = [&name](const QString &reason) {
        logLine(QStringLiteral("Not restoring file %1%2 : %3")
                    .arg(printable(name), jsonSuffix, reason));
        return false;
    };
    if (existsOnDisk(path))
        return fail(QStringLiteral("a file with this name exists"));
    QByteArray trashed;
    const bool fromTrash =
        !inTrash.isEmpty() && readFile(inTrash, trashed).isEmpty() && trashed == bytes &&
        ::rename(QFile::encodeName(inTrash).constData(), native.constData()) == 0;
    if (fromTrash) {
        // The trash keeps a note of where each file came from; it goes with the file.
        QString info = inTrash;
        const qsizetype files = info.lastIndexOf(QStringLiteral("/files/"));
        if (files >= 0) {
            info.replace(files, 7, QStringLiteral("/info/"));
            QFile::remove(info + QStringLiteral(".trashinfo"));
        }
        remember(native, FileStamp::ofPath(native), bytes);
        return true;
    }
    QString error;
    struct stat written {};
    if (!SafeFile::write(path, bytes, &error, &written))
        return fail(error);
    remember(native, FileStamp::of(written), bytes);
    return true;
}

QString Manager::lastTrashedFile() {
    return lastTrashed();
}

void Manager::deletePalette(const QString &nameRef) {
    deleteAndReload(nameRef, std::nullopt, std::nullopt, {});
}

void Manager::deleteAndReload(const QString &nameRef, const std::optional<QString> &leftOut,
                              const std::optional<Palette> &appended, std::function<void()> then) {
    settle();
    // Callers may pass a name that lives in the collection, which the reload below replaces.
    const QString name = nameRef;
    if (!PalettesOO::shared()) {
        qWarning("Manager::deletePalette: no palette collection");
        return;
    }
    lastTrashed().clear();
    if (refuseName(name))
        return;
    const std::optional<QString> folder = palettesFolder();
    if (!folder)
        return;
    touchStore();
    const QString path = filePath(*folder, name);
    const QByteArray native = QFile::encodeName(path);
    // Only a file that holds this very palette, as this program last saw it, is removed: a
    // file that holds another palette, or that another program changed since, stays.
    QString keep;
    if (onDisk(native) != OnDisk::Missing) {
        QByteArray bytes;
        const QString error = readFile(path, bytes);
        const PaletteCodec::DecodeResult decoded = PaletteCodec::decode(bytes);
        if (!error.isEmpty())
            keep = error;
        else if (!decoded.palette)
            keep = QStringLiteral("it cannot be read as a palette: ") + decoded.error;
        else if (decoded.palette->palName != name &&
                 !isConflictCopy(name, decoded.palette->palName))
            keep = QStringLiteral("it holds the palette \"%1\"")
                       .arg(printable(decoded.palette->palName));
        else if (onDisk(native) == OnDisk::Changed)
            keep = changedElsewhere();
    }
    if (!keep.isEmpty()) {
        logLine(
            QStringLiteral("Not deleting file %1%2 : %3").arg(printable(name), jsonSuffix, keep));
        showAtOnce(std::nullopt, appended);
        load(false, leftOut, appended, std::move(then));
        return;
    }
    // To the desktop trash, so it can be restored even after the program quits; where there is
    // no trash, removed as a plain file (unlink: the store only ever deletes its own files).
    bool removed = false;
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) {
        logLine(QStringLiteral("Error: %1").arg(errnoText(errno)));
    } else if (QString inTrash; moveToTrash(path, &inTrash)) {
        lastTrashed() = inTrash;
        removed = true;
    } else if (::unlink(native.constData()) == 0) {
        logLine(QStringLiteral("Removed file %1%2 : no trash can be used for it")
                    .arg(printable(name), jsonSuffix));
        removed = true;
    } else {
        logLine(QStringLiteral("Error: %1").arg(errnoText(errno)));
    }
    knownStamps().remove(native);
    if (removed)
        UndoStack::forgetPalette(name);
    showAtOnce(removed ? std::optional<QString>(name) : std::nullopt, appended);
    load(false, leftOut, appended, [name, then = std::move(then)] {
        Settings::remove(SettingsKeys::paletteIndexKey(name));
        if (then)
            then();
    });
}

bool Manager::renamePalette(const QString &oldNameRef, const Palette &renamedRef) {
    // Copies: callers may pass what lives in the collection, which the steps below replace.
    const QString oldName = oldNameRef;
    const Palette renamed = renamedRef;
    PalettesOO *collection = PalettesOO::shared();
    if (!collection)
        return false;
    const QString name = renamed.palName;
    // A file under the new name holds another palette (one an undo or redo would land on,
    // brought back by another program meanwhile): it is never replaced. On a file system that
    // ignores case, a new case of the same name is the old file itself.
    if (name != oldName && isValidPaletteName(name) && isValidPaletteName(oldName)) {
        if (const std::optional<QString> folder = palettesFolder()) {
            const FileStamp target = FileStamp::ofPath(QFile::encodeName(filePath(*folder, name)));
            const FileStamp source =
                FileStamp::ofPath(QFile::encodeName(filePath(*folder, oldName)));
            if (target.isValid() &&
                (target.device != source.device || target.inode != source.inode)) {
                logLine(
                    QStringLiteral("Not renaming palette \"%1\" to \"%2\" : the file %2%3 exists")
                        .arg(printable(oldName), printable(name), jsonSuffix));
                return false;
            }
        }
    }
    // The new file first: if it cannot be written, the old one must still be there.
    if (!savePalette(renamed))
        return false;
    const bool inBackground = backgroundLoads().enabled;
    // After the reload, which leaves the new file out so the palette is counted and placed
    // once, last.
    const auto placeLast = [oldName, name, inBackground] {
        if (PalettesOO *shown = PalettesOO::shared()) {
            Settings::setInteger(SettingsKeys::paletteIndexKey(name), shown->count() - 1);
            if (!inBackground)
                shown->noteRenamed(oldName, name);
        }
    };
    if (name == oldName) {
        showAtOnce(name, renamed);
        load(false, name, renamed, [name, placeLast] {
            Settings::remove(SettingsKeys::paletteIndexKey(name));
            placeLast();
        });
    } else {
        deleteAndReload(oldName, name, renamed, placeLast);
    }
    // Windows follow the new name at once when the reload comes later.
    if (inBackground)
        collection->noteRenamed(oldName, name);
    return true;
}

void Manager::finishWrites() {
    settle();
    finishBackgroundLoads();
    settle();
}

void Manager::movePalette(int from, int to) {
    PalettesOO *collection = PalettesOO::shared();
    if (!collection || !collection->contains(from) || !collection->contains(to) || from == to)
        return;
    finishKeys();
    touchStore();
    QList<Palette> palettes = collection->palettes();
    palettes.move(from, to);
    collection->setPalettes(palettes);
    for (int i = 0; i < palettes.size(); ++i)
        Settings::setInteger(SettingsKeys::paletteIndexKey(palettes.at(i).palName), i);
}

void Manager::revealInFileViewer(const std::optional<QString> &location) {
    if (!location || !fileViewer())
        return;
    fileViewer()(*location);
}

void Manager::setTrashFunction(TrashFunction function) {
    g_trash = function;
}

void Manager::setFileViewer(FileViewer viewer) {
    fileViewer() = std::move(viewer);
}

void Manager::setKeySliceSteps(int steps) {
    g_keySliceSteps = std::max(0, steps);
}

void Manager::setLoadThreads(int count) {
    g_loadThreads = std::max(0, count);
}
