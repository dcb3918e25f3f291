#include "core/LateRelease.h"

LateRelease &LateRelease::instance() {
    static LateRelease release;
    return release;
}

LateRelease::~LateRelease() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void LateRelease::push(std::unique_ptr<Holder> held) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(held));
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_changed.notify_all();
}

void LateRelease::flush() {
    LateRelease &self = instance();
    std::unique_lock lock(self.m_mutex);
    self.m_changed.wait(lock, [&self] { return self.m_queue.empty() && !self.m_busy; });
}

void LateRelease::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        std::deque<std::unique_ptr<Holder>> batch;
        batch.swap(m_queue);
        m_busy = true;
        lock.unlock();
        batch.clear();
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}
