#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

// Lets go of large values on a thread of its own. The last copy of a 50,000-colour palette
// frees 50,000 names, scattered over the heap: several milliseconds the UI thread should not
// spend when an edit replaces the palette. Values whose parts are shared through atomic
// counts (Qt's implicitly shared types) may be dropped from any thread.
class LateRelease {
public:
    template <typename T> static void drop(T &&value) {
        instance().push(std::make_unique<Held<std::decay_t<T>>>(std::forward<T>(value)));
    }
    // Waits until everything dropped so far is gone.
    static void flush();

private:
    struct Holder {
        virtual ~Holder() = default;
    };
    template <typename T> struct Held final : Holder {
        explicit Held(T &&v)
            : value(std::move(v)) {}
        explicit Held(const T &v)
            : value(v) {}
        T value;
    };

    LateRelease() = default;
    ~LateRelease();
    static LateRelease &instance();
    void push(std::unique_ptr<Holder> held);
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::unique_ptr<Holder>> m_queue;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};
