#pragma once

#include <cstddef>

class QBackingStore;
class QSize;

// Puts a window's backing store in memory before it is painted. A new store's pages are mapped
// one page fault at a time as the first paint touches them, and where faults are slow (a
// virtual machine: about 14 µs each) a screen-high window pays tens of milliseconds inside
// that paint. One call that maps the whole range costs a fraction of it.
class BackingStorePages {
public:
    BackingStorePages() = delete;

    // Makes the store the given size now, rather than at its first paint, and maps its pages.
    static void prepare(QBackingStore *store, const QSize &size);
    // Maps the pages of a range in the program's memory; false when the system cannot.
    static bool prefault(const void *from, std::size_t bytes);
};
