#pragma once

#include <functional>
#include <memory>
#include <utility>

// Two-way access to a value owned elsewhere: a getter and a setter.
template <typename T> class Binding {
public:
    using Getter = std::function<T()>;
    using Setter = std::function<void(const T &)>;

    Binding() = default;
    Binding(Getter getter, Setter setter)
        : m_get(std::move(getter))
        , m_set(std::move(setter)) {}

    // A binding to a variable that lives at least as long as the binding; onChange runs after
    // every write.
    static Binding to(T *variable, std::function<void()> onChange = {}) {
        return Binding([variable] { return *variable; },
                       [variable, onChange](const T &value) {
                           *variable = value;
                           if (onChange)
                               onChange();
                       });
    }
    // A binding that owns its value; handy for tests and previews.
    static Binding constant(T value) {
        auto shared = std::make_shared<T>(std::move(value));
        return Binding([shared] { return *shared; }, [shared](const T &v) { *shared = v; });
    }

    bool isValid() const { return static_cast<bool>(m_get); }
    T get() const { return m_get ? m_get() : T{}; }
    void set(const T &value) const {
        if (m_set)
            m_set(value);
    }

private:
    Getter m_get;
    Setter m_set;
};
