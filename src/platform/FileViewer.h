#pragma once

#include <QString>

// Shows a file or folder in the desktop's file viewer: selected in its parent folder through
// the FileManager1 D-Bus interface when a file manager offers it, otherwise by opening the
// folder (a folder itself, or the folder that holds a file). No shell is involved.
class FileViewer {
public:
    FileViewer() = delete;

    static void reveal(const QString &location);
    // The fallback: opens the folder in the default file manager.
    static bool openFolder(const QString &location);
    // The folder the fallback opens for a location.
    static QString folderFor(const QString &location);
};
