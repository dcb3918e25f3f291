#pragma once

#include "model/ColorEdit.h"
#include "model/Palette.h"

#include <QSet>
#include <QString>
#include <functional>
#include <optional>

// The palettes folder store: operations only, no state. Reaches the collection through
// PalettesOO::shared().
class Manager {
public:
    Manager() = delete;

    static std::optional<QString> supportSubfolder(const QString &name, bool create);
    static std::optional<Palette> loadPalette(const QString &name);
    // False when the file was not written (the reason is logged). A file that another
    // program changed since this one last read or wrote it is never overwritten.
    static bool savePalette(const Palette &palette);

    enum class EditResult {
        Saved,       // applied and written
        WriteFailed, // applied in the collection; the file keeps its old content
        Refused,     // not applied: the edited colour can no longer be told (logged)
    };
    // Applies a colour edit to the palette at index of the shared collection and saves it.
    // When another program changed the file, its content is read first and the edit is made
    // on that, if the edited colour is still there; otherwise nothing changes.
    static EditResult editColors(int index, const ColorEdit &edit);
    // Appends the palette to the collection and saves it; false when the file was not written.
    static bool addPalette(const Palette &palette);
    // Palettes with a position key come first in the keys' order, the others after them in
    // the folder's listing order. then: run once the load is done (later, when loads run in
    // the background).
    static void loadAllPalettes(std::function<void()> then = {});
    // Starts reading the folder for the first loadAllPalettes on a thread of its own, so that
    // the reading overlaps whatever comes before that load (the toolkit's start). Opens the
    // settings here. The load uses what was read only when nothing was written in between.
    static void startFirstScan();
    // From now on the folder is scanned on a worker thread for reloads, deletes, renames and
    // changes made by other programs; the rest of each load, and its lines, follow on this
    // thread once the scan is done. Deletes and renames show in the collection at once. Off:
    // what is still to do is done now.
    static void setBackgroundLoads(bool enabled);
    // From now on the files a load writes back (not in their written form) are written on the
    // writer thread; the load's lines and keys follow once they are. Off: waits for them.
    static void setBackgroundWrites(bool enabled);
    // Whether a load asked for is not done yet (its keys included), or a write on the writer
    // thread.
    static bool backgroundLoadsPending();
    // A load after other programs changed files: unchanged files are not read again, only
    // palettes that changed are replaced, and nothing happens when every named file is as this
    // program last read or wrote it (its own writes). everything: the folder was replaced.
    static void refreshPalettes(const QSet<QString> &fileNames, bool everything);
    // Moves the palette's file to the desktop trash (or removes it where there is none).
    static void deletePalette(const QString &name);
    // Writes the palette under its new name first (false, and nothing else changes, when that
    // fails), then removes the old file and key, reloads the others and appends the renamed
    // palette last with its key. The same name runs the same steps without losing the file.
    static bool renamePalette(const QString &oldName, const Palette &renamed);
    // Waits for the saves still being written in the background (large palettes) and reports
    // their failures, and finishes the loads still to do; at quit.
    static void finishWrites();
    // Moves a palette to another place in the collection and rewrites every position key.
    static void movePalette(int from, int to);
    // Where the last deleted file went in the trash; empty when it was removed outright.
    static QString lastTrashedFile();
    // The bytes of "<name>.json" as they are now; nullopt when it cannot be read.
    static std::optional<QByteArray> paletteFileBytes(const QString &name);
    // Puts a deleted palette's file back byte-identical, from the trash when it is still there
    // unchanged, else from bytes; never over an existing file. False (logged) when it cannot.
    static bool restorePalette(const QString &name, const QByteArray &bytes,
                               const QString &inTrash);
    static void revealInFileViewer(const std::optional<QString> &location);

    // A name that can be a plain file name inside the palettes folder.
    static bool isValidPaletteName(const QString &name);
    // Short reason why a name is refused, or empty when it is fine.
    static QString invalidNameReason(const QString &name);

    // How a folder is shown in the file viewer; installed by the platform layer.
    using FileViewer = std::function<void(const QString &location)>;
    static void setFileViewer(FileViewer viewer);
    // How a file is moved to the trash (QFile::moveToTrash); tests replace it, nullptr
    // restores it.
    using TrashFunction = bool (*)(const QString &path, QString *pathInTrash);
    static void setTrashFunction(TrashFunction function);

    // How many threads read and decode files during a load; 0 (the default) uses one per
    // core, at most two. Tests compare a one-thread load with the default.
    static void setLoadThreads(int count);
    // With loads in the background, a load's position keys are set a few milliseconds' worth
    // per turn of the event loop; a count > 0 sets that many per turn instead (tests).
    static void setKeySliceSteps(int steps);

private:
    // A refresh for files that each still hold the palette already shown under their name:
    // those palettes are read and replaced, nothing else. False (nothing done) otherwise.
    static bool refreshInPlace(const QString &folder, const QSet<QString> &fileNames);
    // leftOut: a file name (without ".json") the load skips, the new file of a rename, whose
    // palette is appended after the others.
    static void load(bool refresh, const std::optional<QString> &leftOut = std::nullopt,
                     const std::optional<Palette> &appended = std::nullopt,
                     std::function<void()> then = {});
    static void deleteAndReload(const QString &name, const std::optional<QString> &leftOut,
                                const std::optional<Palette> &appended, std::function<void()> then);
    // With loads in the background: what a delete or rename will show, shown before its load.
    static void showAtOnce(const std::optional<QString> &removed,
                           const std::optional<Palette> &appended);
};
