#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

struct QArrayData;

// An immutable name in the space of a pointer: a colour holds one of these rather than a
// QString (8 bytes instead of 24), and equal names read from files share a single copy.
//
// The characters and a QString viewing them live in one block that is itself a QString's
// data, so the name converts to const QString & without building anything, and a QString
// copied from it keeps the block alive on its own. Empty names take no block at all.
class SharedName {
public:
    SharedName() noexcept = default;
    SharedName(const QString &text); // implicit, like the QString it stands for
    SharedName(const char *utf8)     // implicit, as QString's
        : SharedName(QString::fromUtf8(utf8)) {}
    explicit SharedName(QStringView text);
    explicit SharedName(QLatin1StringView text);

    SharedName(const SharedName &other) noexcept;
    SharedName(SharedName &&other) noexcept
        : m_block(other.m_block) {
        other.m_block = nullptr;
    }
    SharedName &operator=(const SharedName &other) noexcept;
    SharedName &operator=(SharedName &&other) noexcept;
    ~SharedName();

    const QString &toString() const noexcept;
    operator const QString &() const noexcept { return toString(); }

    bool isEmpty() const noexcept { return m_block == nullptr; }
    qsizetype size() const noexcept { return toString().size(); }
    // Whether both hold the very same block (not merely equal text).
    bool sharesWith(const SharedName &other) const noexcept { return m_block == other.m_block; }

    friend bool operator==(const SharedName &a, const SharedName &b) noexcept {
        return a.m_block == b.m_block || a.toString() == b.toString();
    }
    friend bool operator==(const SharedName &a, const QString &b) noexcept {
        return a.toString() == b;
    }

private:
    char16_t *allocate(qsizetype size);
    void release() noexcept;

    QArrayData *m_block = nullptr;
};

static_assert(sizeof(SharedName) == sizeof(void *));
