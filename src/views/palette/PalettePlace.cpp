#include "views/palette/PalettePlace.h"

#include "store/PalettesOO.h"

#include <QTimer>

PalettePlace::PalettePlace(PalettesOO *collection, int index, QObject *parent)
    : QObject(parent)
    , m_collection(collection)
    , m_index(-1) {
    if (collection && collection->contains(index)) {
        m_index = index;
        m_seen = collection->palettes().at(index);
        m_name = m_seen.palName;
        connect(collection, &PalettesOO::palettesChanged, this, &PalettePlace::scheduleCheck);
        connect(collection, &PalettesOO::paletteRenamed, this,
                [this](const QString &oldName, const QString &newName) {
                    if (m_gone || oldName != m_name || oldName == newName)
                        return;
                    m_name = newName;
                    m_index = -1;
                    emit renamed(newName);
                });
    } else {
        m_gone = true;
    }
}

int PalettePlace::resolve() const {
    if (m_gone || !m_collection)
        return -1;
    const QList<Palette> &list = m_collection->palettes();
    if (m_index >= 0 && m_index < list.size() && list.at(m_index).palName == m_name)
        return m_index;
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).palName == m_name) {
            m_index = i;
            return i;
        }
    }
    return -1;
}

int PalettePlace::index() const {
    return resolve();
}

Palette PalettePlace::read() const {
    const int i = resolve();
    return i < 0 ? Palette{} : m_collection->palettes().at(i);
}

void PalettePlace::write(const Palette &palette) {
    const int i = resolve();
    if (i < 0)
        return;
    m_name = palette.palName;
    m_collection->replace(i, palette);
}

Binding<Palette> PalettePlace::binding() {
    QPointer<PalettePlace> self(this);
    return Binding<Palette>([self] { return self ? self->read() : Palette{}; },
                            [self](const Palette &palette) {
                                if (self)
                                    self->write(palette);
                            });
}

// A reload empties the collection and refills it one palette at a time, with a change signal
// for each step; deciding only once control is back in the event loop sees the final list.
void PalettePlace::scheduleCheck() {
    if (m_checkPending || m_gone)
        return;
    m_checkPending = true;
    QTimer::singleShot(0, this, &PalettePlace::check);
}

void PalettePlace::check() {
    m_checkPending = false;
    if (m_gone)
        return;
    const int at = resolve();
    if (at < 0) {
        m_gone = true;
        PalettesOO::release(std::exchange(m_seen, Palette{}));
        emit gone();
        return;
    }
    const Palette &now = m_collection->palettes().at(at);
    if (now.palName == m_seen.palName && now.palColors.isSharedWith(m_seen.palColors))
        return;
    // Held until the views have moved on, so this is the last copy and goes elsewhere.
    Palette before = std::exchange(m_seen, now);
    emit changed();
    PalettesOO::release(std::move(before));
}
