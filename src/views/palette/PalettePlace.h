#pragma once

#include "model/Palette.h"
#include "views/blocks/Binding.h"

#include <QObject>
#include <QPointer>
#include <QString>

class PalettesOO;

// The place of one palette in the shared collection, as a window sees it. The collection is
// rebuilt wholesale on reload, delete and rename, so a bare index could end up past the end or
// on another palette. The place remembers the name it shows: when the element at its index
// no longer carries that name it moves to the first palette that does, and when none does it
// reports the palette gone. Reads then give an empty palette and writes are dropped, so one
// palette's colours never land in another.
class PalettePlace : public QObject {
    Q_OBJECT
public:
    PalettePlace(PalettesOO *collection, int index, QObject *parent = nullptr);

    // Current index in the collection, or -1 once the palette is gone.
    int index() const;
    QString palName() const { return m_name; }
    bool isGone() const { return index() < 0; }

    Palette read() const;
    void write(const Palette &palette);
    Binding<Palette> binding();

signals:
    // The palette may have changed; emitted once per burst of collection changes, unless the
    // palette is still the very one last seen (other palettes changed).
    void changed();
    // The palette is no longer in the collection.
    void gone();
    // The palette was given a new name; the place follows it.
    void renamed(const QString &newName);

private:
    int resolve() const;
    void scheduleCheck();
    void check();

    QPointer<PalettesOO> m_collection;
    mutable int m_index;
    QString m_name;
    // The palette as last seen, shared with the collection's copy: no colour is compared.
    Palette m_seen;
    bool m_checkPending = false;
    bool m_gone = false;
};
