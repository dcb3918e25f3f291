#pragma once

#include <QByteArray>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Points HOME and the XDG folders at a fresh temporary folder and turns on Qt's test mode
// before anything reads a path, so no test ever touches the real home folder.
class TestHome {
public:
    TestHome() {
        QStandardPaths::setTestModeEnabled(true);
        const QByteArray root = m_dir.path().toUtf8();
        qputenv("HOME", root);
        qputenv("XDG_CONFIG_HOME", root + "/config");
        // The system-wide settings QSettings falls back to are read from here, not from /etc.
        qputenv("XDG_CONFIG_DIRS", root + "/system-config");
        qputenv("XDG_DATA_HOME", root + "/data");
        qputenv("XDG_CACHE_HOME", root + "/cache");
        qputenv("XDG_RUNTIME_DIR", root + "/runtime");
        QDir(m_dir.path()).mkpath("runtime");
        QFile::setPermissions(m_dir.path() + "/runtime",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// Like QTEST_MAIN / QTEST_GUILESS_MAIN, but with the temporary home set up first.
#define SWATCHBAR_TEST_MAIN_IMPL(TestObject, AppType)                                              \
    int main(int argc, char *argv[]) {                                                             \
        TestHome home;                                                                             \
        AppType app(argc, argv);                                                                   \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#define SWATCHBAR_TEST_CORE_MAIN(TestObject) SWATCHBAR_TEST_MAIN_IMPL(TestObject, QCoreApplication)
#define SWATCHBAR_TEST_GUI_MAIN(TestObject) SWATCHBAR_TEST_MAIN_IMPL(TestObject, QApplication)
