#pragma once

#include <QString>
#include <functional>

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
    // Told the folder when no file viewer could show it (after the line on stdout), so the
    // window that asked can say so too.
    static void setFailureListener(std::function<void(const QString &folder)> listener);
};
