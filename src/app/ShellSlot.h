#pragma once

#include <QObject>
#include <QPointer>

// A process-wide variable of the shell that owns one object at a time: storing a new value
// releases the previous one. The release waits for the event loop, so an object can be
// replaced from inside its own handlers. A released object is gone from the slot at once.
template <typename T> class ShellSlot {
public:
    ShellSlot() = default;
    ShellSlot(const ShellSlot &) = delete;
    ShellSlot &operator=(const ShellSlot &) = delete;

    T *get() const { return m_object.data(); }
    T *operator->() const { return m_object.data(); }
    explicit operator bool() const { return !m_object.isNull(); }

    void reset(T *object = nullptr) {
        T *previous = m_object.data();
        m_object = object;
        if (previous && previous != object)
            previous->deleteLater();
    }

private:
    QPointer<T> m_object;
};
