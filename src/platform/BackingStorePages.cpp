#include "platform/BackingStorePages.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QPaintDevice>
#include <cstdint>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#include <unistd.h>
#endif

void BackingStorePages::prepare(QBackingStore *store, const QSize &size) {
    if (!store || size.isEmpty())
        return;
    if (store->size() != size)
        store->resize(size);
    // Only where the image is made with the store: Wayland's buffers come with each paint, and
    // asking for its paint device outside a paint reads a buffer not made yet.
    static const bool imageWithStore =
        QGuiApplication::platformName() == QLatin1String("xcb") ||
        QGuiApplication::platformName() == QLatin1String("offscreen");
    if (!imageWithStore)
        return;
    const QPaintDevice *device = store->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return;
    const auto *image = static_cast<const QImage *>(device);
    prefault(image->constBits(), std::size_t(image->sizeInBytes()));
}

bool BackingStorePages::prefault(const void *from, std::size_t bytes) {
#if defined(Q_OS_LINUX) && defined(MADV_POPULATE_WRITE)
    if (!from || bytes == 0)
        return false;
    static const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(from) & ~std::uintptr_t(page - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(from) + bytes;
    // Older kernels refuse the advice (EINVAL): the first paint maps the pages as before.
    return ::madvise(reinterpret_cast<void *>(start), end - start, MADV_POPULATE_WRITE) == 0;
#else
    Q_UNUSED(from);
    Q_UNUSED(bytes);
    return false;
#endif
}
