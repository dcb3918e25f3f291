#pragma once

#include "model/Palette.h"

#include <QList>
#include <QObject>

// The one shared, ordered palette collection. Every change emits palettesChanged().
class PalettesOO : public QObject {
    Q_OBJECT
public:
    explicit PalettesOO(QObject *parent = nullptr);

    const QList<Palette> &palettes() const { return m_palettes; }
    int count() const { return static_cast<int>(m_palettes.size()); }
    bool contains(int index) const { return index >= 0 && index < count(); }
    // The first palette of that name; -1 when there is none.
    int indexOf(const QString &palName) const;

    void setPalettes(QList<Palette> palettes);
    void append(Palette palette);
    // Ignored when index is outside the list.
    void replace(int index, Palette palette);
    // Tells windows showing oldName that the palette now goes by newName.
    void noteRenamed(const QString &oldName, const QString &newName);

    // Lets go of a palette no longer shown or kept. A large one's last copy is freed on
    // another thread: its tens of thousands of names take milliseconds to free.
    static void release(Palette &&palette);

    // The process-wide collection the store works on (the popover root view's).
    static PalettesOO *shared();
    static void setShared(PalettesOO *collection);

signals:
    void palettesChanged();
    void paletteRenamed(const QString &oldName, const QString &newName);

private:
    QList<Palette> m_palettes;
};
