#include "model/SharedName.h"

#include <QArrayData>
#include <new>
#include <utility>

// Layout of a block, allocated the way QString allocates its own data:
//   [QArrayData header][a QString object, 24 bytes][the characters][terminating zero]
// The embedded QString points at the characters without holding a reference, so the block's
// reference count is that of the names and the QString copies made from it; whichever lets go
// last frees it, as Qt frees any string data. The embedded object is never destroyed: it owns
// nothing of its own.

namespace {

using Data = QTypedArrayData<char16_t>;
constexpr qsizetype kAlignment = alignof(Data::AlignmentDummy);
// The QString object's room counted in characters, ahead of the characters themselves.
constexpr qsizetype kHeadUnits = qsizetype(sizeof(QString) / sizeof(char16_t));

static_assert(sizeof(QString) % sizeof(char16_t) == 0);
static_assert(alignof(QString) <= kAlignment);

QString *embedded(QArrayData *block) {
    return std::launder(reinterpret_cast<QString *>(Data::dataStart(block, kAlignment)));
}

const QString &emptyName() {
    static const QString empty;
    return empty;
}

} // namespace

char16_t *SharedName::allocate(qsizetype size) {
    // One unit more than the characters for the terminating zero QString keeps after them.
    auto [block, start] = Data::allocate(kHeadUnits + size + 1);
    Q_CHECK_PTR(block);
    char16_t *chars = start + kHeadUnits;
    chars[size] = u'\0';
    new (start) QString(QString::DataPointer(block, chars, size));
    m_block = block;
    return chars;
}

SharedName::SharedName(const QString &text)
    : SharedName(QStringView(text)) {
}

SharedName::SharedName(QStringView text) {
    if (text.isEmpty())
        return;
    char16_t *chars = allocate(text.size());
    std::copy_n(text.utf16(), text.size(), chars);
}

SharedName::SharedName(QLatin1StringView text) {
    if (text.isEmpty())
        return;
    char16_t *chars = allocate(text.size());
    const char *latin = text.data();
    for (qsizetype k = 0; k < text.size(); ++k)
        chars[k] = static_cast<unsigned char>(latin[k]);
}

SharedName::SharedName(const SharedName &other) noexcept
    : m_block(other.m_block) {
    if (m_block)
        m_block->ref();
}

SharedName &SharedName::operator=(const SharedName &other) noexcept {
    QArrayData *const block = other.m_block; // other may be this name
    if (block)
        block->ref();
    release();
    m_block = block;
    return *this;
}

SharedName &SharedName::operator=(SharedName &&other) noexcept {
    if (this != &other) {
        release();
        m_block = std::exchange(other.m_block, nullptr);
    }
    return *this;
}

SharedName::~SharedName() {
    release();
}

void SharedName::release() noexcept {
    if (m_block && !m_block->deref())
        Data::deallocate(m_block);
    m_block = nullptr;
}

const QString &SharedName::toString() const noexcept {
    return m_block ? *embedded(m_block) : emptyName();
}
