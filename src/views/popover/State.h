#pragma once

#include "views/blocks/Binding.h"

#include <functional>
#include <utility>

// Mutable state owned by a view: reading is plain, writing a different value runs the view's
// refresh. binding() hands the state to a child view.
template <typename T> class State {
public:
    explicit State(T initial = T{})
        : m_value(std::move(initial)) {}
    State(const State &) = delete;
    State &operator=(const State &) = delete;

    const T &get() const { return m_value; }
    void set(const T &value) {
        if (m_value == value)
            return;
        m_value = value;
        if (m_onChange)
            m_onChange();
    }
    void onChange(std::function<void()> callback) { m_onChange = std::move(callback); }
    Binding<T> binding() {
        return Binding<T>([this] { return m_value; }, [this](const T &value) { set(value); });
    }

private:
    T m_value;
    std::function<void()> m_onChange;
};
