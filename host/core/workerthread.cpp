#include "host/core/workerthread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <utility>

namespace quib {

struct WorkerRegistry::Slot {
    const WorkerThread* key;
    std::weak_ptr<WorkerThread> worker;
    std::thread thread;
    bool finished = false;
};

struct WorkerRegistry::Call {
    const std::function<void()>* fn;
    std::exception_ptr error;
    bool done = false;
};

WorkerRegistry::WorkerRegistry() = default;

WorkerRegistry::~WorkerRegistry()
{
    StopAll();
    WaitAll();
}

void WorkerRegistry::Launch(std::shared_ptr<WorkerThread> worker)
{
    std::lock_guard lock(m_mutex);
    ReapFinished();
    Slot& slot = m_slots.emplace_back();
    slot.key = worker.get();
    slot.worker = worker;
    // The thread holds the only owning reference: the worker lives exactly as long as it runs.
    slot.thread = std::thread([this, self = std::move(worker)]() mutable {
        try {
            self->Execute();
        } catch (...) {
            // Execute reports its own failures; nothing may escape a thread.
        }
        const WorkerThread* key = self.get();
        self.reset();
        Finished(key);
    });
}

void WorkerRegistry::Finished(const WorkerThread* worker)
{
    std::lock_guard lock(m_mutex);
    for (Slot& slot : m_slots)
        if (slot.key == worker && !slot.finished) {
            slot.finished = true;
            break;
        }
    m_changed.notify_all();
}

void WorkerRegistry::ReapFinished()
{
    for (auto it = m_slots.begin(); it != m_slots.end();) {
        if (it->finished) {
            it->thread.join();  // the thread has nothing left to do but return
            it = m_slots.erase(it);
        } else {
            ++it;
        }
    }
}

void WorkerRegistry::StopAll()
{
    std::lock_guard lock(m_mutex);
    for (Slot& slot : m_slots)
        if (auto worker = slot.worker.lock())
            worker->Terminate();
}

int WorkerRegistry::RunningCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(
        std::count_if(m_slots.begin(), m_slots.end(), [](const Slot& slot) { return !slot.finished; }));
}

void WorkerRegistry::WaitAll()
{
    for (;;) {
        DrainCalls();
        std::unique_lock lock(m_mutex);
        const bool running =
            std::any_of(m_slots.begin(), m_slots.end(), [](const Slot& slot) { return !slot.finished; });
        if (!running) {
            ReapFinished();
            return;
        }
        m_changed.wait_for(lock, std::chrono::milliseconds(10));
        lock.unlock();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

void WorkerRegistry::Synchronize(const std::function<void()>& fn)
{
    if (QThread::currentThread() == thread()) {
        fn();
        return;
    }
    Call call{&fn, nullptr, false};
    Enqueue({&call, {}});
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&call] { return call.done; });
    if (call.error)
        std::rethrow_exception(call.error);
}

void WorkerRegistry::Post(std::function<void()> fn)
{
    if (QThread::currentThread() == thread()) {
        fn();
        return;
    }
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_postedPending < kMaxPosted; });
        ++m_postedPending;
    }
    Enqueue({nullptr, std::move(fn)});
}

void WorkerRegistry::Enqueue(QueuedCall call)
{
    std::lock_guard lock(m_mutex);
    m_calls.push_back(std::move(call));
    // The call itself travels through m_calls under m_mutex; the queued invocation only wakes
    // the user-interface thread, and one wake-up drains every call queued until it runs. It is
    // posted under the lock so that the event's allocation is ordered, for ThreadSanitizer as
    // for the reader, before DrainCalls (which takes the lock) and the event's end.
    if (!std::exchange(m_drainScheduled, true))
        QMetaObject::invokeMethod(this, &WorkerRegistry::DrainCalls, Qt::QueuedConnection);
}

void WorkerRegistry::DrainCalls()
{
    for (;;) {
        QueuedCall queued;
        {
            std::lock_guard lock(m_mutex);
            // A call may run a nested event loop (a message box): what is queued meanwhile gets
            // a wake-up of its own rather than waiting for this one to finish.
            m_drainScheduled = false;
            if (m_calls.empty())
                return;
            queued = std::move(m_calls.front());
            m_calls.pop_front();
        }
        if (!queued.waiter) {
            try {
                queued.posted();
            } catch (...) {
                // Nobody waits to hear of it.
            }
            queued.posted = nullptr;  // what it captured goes before the poster may go on
            std::lock_guard lock(m_mutex);
            --m_postedPending;
            m_changed.notify_all();
            continue;
        }
        Call* call = queued.waiter;
        std::exception_ptr error;
        try {
            (*call->fn)();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(m_mutex);
        // Handed over, not shared: the worker alone frees the exception once it has caught it.
        call->error = std::move(error);
        call->done = true;
        m_changed.notify_all();
    }
}

void WorkerThread::Synchronize(const std::function<void()>& fn) { m_registry->Synchronize(fn); }

void WorkerThread::Post(std::function<void()> fn) { m_registry->Post(std::move(fn)); }

}  // namespace quib
