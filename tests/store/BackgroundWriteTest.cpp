// Saves of large palettes are written off the calling thread: later edits, reloads and deletes
// must treat that write as this program's own, and its failure must still be reported.
#include "StdoutCapture.h"
#include "TestSupport.h"
#include "core/LateRelease.h"
#include "core/SafeFile.h"
#include "model/PaletteCodec.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <cmath>
#include <thread>
#include <utility>

namespace {

// About 1.6 MB as a file: large enough to be written in the background.
Palette bigPalette() {
    Palette p{QStringLiteral("Big"), {}};
    p.palColors.reserve(20000);
    for (int c = 0; c < 20000; ++c)
        p.palColors.append(
            {QStringLiteral("Colour %1").arg(c), {(c % 256) / 255.0, 0.25, 0.5, 1.0}});
    return p;
}

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class BackgroundWriteTest : public QObject {
    Q_OBJECT

    PalettesOO *m_collection = nullptr;
    QString m_folder;
    QString m_path;

private slots:
    void init() {
        m_folder = Manager::supportSubfolder(QStringLiteral("Palettes"), true).value_or(QString());
        QVERIFY(!m_folder.isEmpty());
        QDir(m_folder).removeRecursively();
        QVERIFY(QDir().mkpath(m_folder));
        m_path = m_folder + QStringLiteral("/Big.json");
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray bytes = PaletteCodec::encode(bigPalette()).value();
        QVERIFY(bytes.size() > 1024 * 1024);
        f.write(bytes);
        f.close();
        m_collection = new PalettesOO(this);
        PalettesOO::setShared(m_collection);
        capturedLines([] { Manager::loadAllPalettes(); });
        QCOMPARE(m_collection->count(), 1);
    }
    void cleanup() {
        Manager::finishWrites();
        SafeFile::setWriteFunction(nullptr);
        PalettesOO::setShared(nullptr);
        delete m_collection;
        m_collection = nullptr;
    }

    // Edits one after another, before the first write is back: neither is taken for another
    // program's change, the file ends with both, and the watcher's refresh for our own write
    // finds nothing to do.
    void editsInARowAreOurOwn() {
        const PaletteColor first{QStringLiteral("first"), {1, 0, 0, 1.0}};
        const PaletteColor second{QStringLiteral("second"), {0, 1, 0, std::nullopt}};
        const QByteArray before = fileBytes(m_path);
        const QStringList lines = capturedLines([&] {
            QCOMPARE(Manager::editColors(0, ColorEdit::add(first)), Manager::EditResult::Saved);
            // The new file is in place but its completion has not run yet (no event loop).
            QElapsedTimer waited;
            waited.start();
            while (fileBytes(m_path) == before && waited.elapsed() < 5000)
                QThread::msleep(5);
            QVERIFY(fileBytes(m_path) != before);
            QCOMPARE(Manager::editColors(
                         0, ColorEdit::change(0, m_collection->palettes().at(0).palColors.at(0),
                                              second)),
                     Manager::EditResult::Saved);
            Manager::refreshPalettes({QStringLiteral("Big.json")}, false);
            Manager::finishWrites();
            Manager::refreshPalettes({QStringLiteral("Big.json")}, false);
        });
        QCOMPARE(lines, QStringList());
        const Palette shown = m_collection->palettes().at(0);
        QCOMPARE(shown.palColors.size(), 20001);
        QCOMPARE(shown.palColors.first(), second);
        QCOMPARE(shown.palColors.last(), first);
        QCOMPARE(fileBytes(m_path), PaletteCodec::encode(shown).value());

        // A reload afterwards reads what was written and rewrites nothing.
        const QByteArray written = fileBytes(m_path);
        QCOMPARE(capturedLines([] { Manager::loadAllPalettes(); }),
                 QStringList{QStringLiteral("Successfully loaded all(1) color palettes!")});
        QCOMPARE(m_collection->palettes().at(0), shown);
        QCOMPARE(fileBytes(m_path), written);
    }

    // A write that fails on the writer thread leaves the file as it was and says why once.
    void failedWriteIsReported() {
        const QByteArray before = fileBytes(m_path);
        SafeFile::setWriteFunction([](int, const void *, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        const QStringList lines = capturedLines([&] {
            QCOMPARE(Manager::editColors(0, ColorEdit::add({QStringLiteral("x"), {0, 0, 0, 1.0}})),
                     Manager::EditResult::Saved);
            Manager::finishWrites();
        });
        QCOMPARE(lines, QStringList{QStringLiteral(
                            "Failed to save file Big.json : No space left on device")});
        QCOMPARE(fileBytes(m_path), before);
        QStringList leftovers = QDir(m_folder).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(leftovers, QStringList{QStringLiteral("Big.json")});
    }

    // Encoded on the writer thread too: a colour that cannot be written gives its own line
    // when the write comes back, and the file stays as it was.
    void unencodableColorIsReported() {
        const QByteArray before = fileBytes(m_path);
        const QStringList lines = capturedLines([&] {
            const PaletteColor bad{QStringLiteral("bad"), {std::nan(""), 0, 0, 1.0}};
            QCOMPARE(Manager::editColors(0, ColorEdit::add(bad)), Manager::EditResult::Saved);
            Manager::finishWrites();
        });
        QCOMPARE(lines, QStringList{QStringLiteral(
                            "Failed to encode palette \"Big\" : a colour component is not a "
                            "finite number; its file is left as it was")});
        QCOMPARE(fileBytes(m_path), before);
    }

    // A delete right after an edit waits for the edit's write: the file does not come back.
    // A large palette that leaves the collection is freed on another thread; names copied from
    // it meanwhile stay whole, and a small one is freed where it is let go.
    void replacedLargePaletteIsFreedElsewhere() {
        struct Witness {
            std::thread::id *where = nullptr;
            explicit Witness(std::thread::id *w)
                : where(w) {}
            Witness(Witness &&other) noexcept
                : where(std::exchange(other.where, nullptr)) {}
            ~Witness() {
                if (where)
                    *where = std::this_thread::get_id();
            }
        };
        std::thread::id freedOn;
        LateRelease::drop(Witness(&freedOn));
        LateRelease::flush();
        QVERIFY(freedOn != std::thread::id());
        QVERIFY(freedOn != std::this_thread::get_id());

        const QString kept = m_collection->palettes().first().palColors.at(123).colName;
        Palette small{QStringLiteral("Small"), {{QStringLiteral("One"), {0, 0, 0, 1.0}}}};
        PalettesOO::release(std::move(small));
        QCOMPARE(small.palColors.size(), 1); // not taken: freed here, when it goes
        Palette large = m_collection->palettes().first();
        PalettesOO::release(std::move(large));
        QVERIFY(large.palColors.isEmpty()); // taken, to be freed elsewhere
        Palette changed = m_collection->palettes().first();
        changed.palColors[5].colName = QStringLiteral("Changed");
        m_collection->replace(0, changed);
        changed = Palette{};
        LateRelease::flush();
        QCOMPARE(kept, QStringLiteral("Colour 123"));
        QCOMPARE(m_collection->palettes().first().palColors.at(123).colName,
                 QStringLiteral("Colour 123"));
        QCOMPARE(m_collection->palettes().first().palColors.at(5).colName,
                 QStringLiteral("Changed"));
    }

    void deleteAfterEditRemovesTheFile() {
        Manager::setTrashFunction([](const QString &path, QString *inTrash) {
            inTrash->clear();
            return QFile::remove(path);
        });
        capturedLines([&] {
            QCOMPARE(Manager::editColors(0, ColorEdit::add({QStringLiteral("y"), {0, 0, 1, 1.0}})),
                     Manager::EditResult::Saved);
            Manager::deletePalette(QStringLiteral("Big"));
        });
        Manager::setTrashFunction(nullptr);
        Manager::finishWrites();
        QCoreApplication::processEvents();
        QVERIFY(!QFile::exists(m_path));
        QCOMPARE(m_collection->count(), 0);
    }
};

SWATCHBAR_TEST_CORE_MAIN(BackgroundWriteTest)
#include "BackgroundWriteTest.moc"
