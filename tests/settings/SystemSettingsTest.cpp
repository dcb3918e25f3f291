#include "TestSupport.h"
#include "settings/Settings.h"

#include "settings/IniCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <thread>

// QSettings also reads the organisation's file and the system-wide one, as fallbacks. The
// store is made once per process, so this test runs several times: with the user's own file
// there from the start (SWATCHBAR_TEST_OWN_FILE_FIRST) and without it; and with the files
// read ahead on another thread (SWATCHBAR_TEST_READ_AHEAD=run) or a read ahead dropped
// before it ran (=drop).
namespace {

const bool ownFileFirst = qEnvironmentVariableIsSet("SWATCHBAR_TEST_OWN_FILE_FIRST");
const QString readAhead = qEnvironmentVariable("SWATCHBAR_TEST_READ_AHEAD");

QString userFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString ownFile() {
    return userFolder() + QStringLiteral("/Swatchbar/Swatchbar.conf");
}

QString organisationFile() {
    return userFolder() + QStringLiteral("/Swatchbar.conf");
}

QString systemFile() {
    return qEnvironmentVariable("XDG_CONFIG_DIRS") + QStringLiteral("/Swatchbar/Swatchbar.conf");
}

// Written as another program would: a new file renamed into place.
void writeFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    QVERIFY(file.commit());
}

QByteArray bytesOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file's keys and values as integers.
QMap<QString, int> onDisk(const QString &path) {
    QMap<QString, int> out;
    const IniCodec::Map values = IniCodec::read(bytesOf(path));
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        out.insert(it.key(), it.value().toInt());
    return out;
}

const QByteArray systemBytes = "[General]\nsystemOnly=1\nshared=9\n";
const QByteArray organisationBytes = "[General]\norganisationOnly=1\n";

} // namespace

class SystemSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        writeFile(systemFile(), systemBytes);
        writeFile(organisationFile(), organisationBytes);
        if (ownFileFirst)
            writeFile(ownFile(), "[General]\nuserOnly=1\nshared=3\n");
        if (readAhead == QLatin1String("run")) {
            std::packaged_task<Settings::IntegerSnapshot()> task = Settings::readAhead();
            QVERIFY(task.valid());
            std::future<Settings::IntegerSnapshot> integers = task.get_future();
            std::thread(std::move(task)).join();
            // The user's own integers, as the store first holds them.
            QCOMPARE(integers.get()(QStringLiteral("shared")), std::optional<int>(3));
        } else if (readAhead == QLatin1String("drop")) {
            QVERIFY(Settings::readAhead().valid());
        }
        // One read ahead at most.
        if (!readAhead.isEmpty())
            QVERIFY(!Settings::readAhead().valid());
    }

    // The wider files answer the reads the user's file does not; a write holds the user's
    // keys and the change, never a copy of theirs.
    void writesHoldOnlyTheUsersOwnKeys() {
        QCOMPARE(Settings::fileName(), ownFile());
        QCOMPARE(Settings::integer(QStringLiteral("systemOnly")), 1);
        QCOMPARE(Settings::integer(QStringLiteral("organisationOnly")), 1);
        QCOMPARE(Settings::integer(QStringLiteral("shared")), ownFileFirst ? 3 : 9);

        Settings::setInteger(QStringLiteral("probe"), 7);
        Settings::sync();
        QMap<QString, int> expected{{QStringLiteral("probe"), 7}};
        if (ownFileFirst) {
            expected.insert(QStringLiteral("userOnly"), 1);
            expected.insert(QStringLiteral("shared"), 3);
        }
        QCOMPARE(onDisk(ownFile()), expected);
        QCOMPARE(bytesOf(systemFile()), systemBytes);
        QCOMPARE(bytesOf(organisationFile()), organisationBytes);
    }

    // Another program rewrote the user's file: its keys are taken over, and still none of the
    // wider files' keys come into it.
    void fileChangedElsewhereKeepsOnlyOwnKeys() {
        writeFile(ownFile(), "[General]\nhandKey=5\nprobe=7\n");
        Settings::setInteger(QStringLiteral("probe"), 8);
        Settings::sync();
        QMap<QString, int> expected{{QStringLiteral("handKey"), 5}, {QStringLiteral("probe"), 8}};
        QCOMPARE(onDisk(ownFile()), expected);
        // The next write starts from what was taken over.
        Settings::setInteger(QStringLiteral("probe"), 9);
        Settings::sync();
        expected.insert(QStringLiteral("probe"), 9);
        QCOMPARE(onDisk(ownFile()), expected);
        QCOMPARE(Settings::integer(QStringLiteral("systemOnly")), 1);
        QCOMPARE(Settings::integer(QStringLiteral("handKey")), 5);
    }
};

SWATCHBAR_TEST_CORE_MAIN(SystemSettingsTest)
#include "SystemSettingsTest.moc"
