#include "store/BackgroundWriter.h"

#include "core/SafeFile.h"

#include <QFile>
#include <QMetaObject>

BackgroundWriter &BackgroundWriter::instance() {
    static BackgroundWriter writer;
    return writer;
}

BackgroundWriter::~BackgroundWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundWriter::write(const QString &path, Produce produce, Done done) {
    const QByteArray native = QFile::encodeName(path);
    {
        std::lock_guard lock(m_mutex);
        bool replaced = false;
        for (Job &job : m_queue) {
            if (job.native == native) {
                job.produce = std::move(produce);
                job.done = std::move(done);
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            m_queue.push_back(Job{path, native, std::move(produce), std::move(done), {}, {}});
            ++m_pending[native];
        }
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_changed.notify_all();
}

void BackgroundWriter::writeBatch(QList<SafeFile::BatchItem> items, BatchDone done) {
    for (const SafeFile::BatchItem &item : std::as_const(items))
        ++m_pending[QFile::encodeName(item.path)];
    {
        std::lock_guard lock(m_mutex);
        Job job;
        job.batch = std::move(items);
        job.batchDone = std::move(done);
        m_queue.push_back(std::move(job));
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_changed.notify_all();
}

bool BackgroundWriter::isPending(const QByteArray &nativePath) const {
    return m_pending.contains(nativePath);
}

void BackgroundWriter::flush() {
    if (m_pending.isEmpty())
        return;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_queue.empty() && !m_busy; });
    }
    deliver();
}

void BackgroundWriter::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        Job job = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        Result result{job.native, false, {}, {}, {}, std::move(job.done), {}, {}};
        if (job.batchDone) {
            SafeFile::writeBatch(job.batch);
            result.batch = std::move(job.batch);
            result.batchDone = std::move(job.batchDone);
        } else {
            result.bytes = job.produce();
            if (result.bytes)
                result.ok =
                    SafeFile::write(job.path, *result.bytes, &result.error, &result.written);
        }
        lock.lock();
        m_results.push_back(std::move(result));
        m_busy = false;
        m_changed.notify_all();
        QMetaObject::invokeMethod(this, &BackgroundWriter::deliver, Qt::QueuedConnection);
    }
}

void BackgroundWriter::deliver() {
    std::vector<Result> results;
    {
        std::lock_guard lock(m_mutex);
        results.swap(m_results);
    }
    const auto release = [this](const QByteArray &native) {
        const auto pending = m_pending.find(native);
        if (pending != m_pending.end() && --*pending <= 0)
            m_pending.erase(pending);
    };
    for (Result &result : results) {
        if (result.batchDone) {
            for (const SafeFile::BatchItem &item : std::as_const(result.batch))
                release(QFile::encodeName(item.path));
            result.batchDone(result.batch);
            continue;
        }
        release(result.native);
        if (result.done)
            result.done(result.bytes, result.ok, result.error, result.written);
    }
}
