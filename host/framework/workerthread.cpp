#include "workerthread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <chrono>

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
    std::lock_guard lock(mutex_);
    ReapFinished();
    Slot& slot = slots_.emplace_back();
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
    std::lock_guard lock(mutex_);
    for (Slot& slot : slots_)
        if (slot.key == worker && !slot.finished) {
            slot.finished = true;
            break;
        }
    changed_.notify_all();
}

void WorkerRegistry::ReapFinished()
{
    for (auto it = slots_.begin(); it != slots_.end();) {
        if (it->finished) {
            it->thread.join();  // the thread has nothing left to do but return
            it = slots_.erase(it);
        } else {
            ++it;
        }
    }
}

void WorkerRegistry::StopAll()
{
    std::lock_guard lock(mutex_);
    for (Slot& slot : slots_)
        if (auto worker = slot.worker.lock())
            worker->Terminate();
}

int WorkerRegistry::RunningCount() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(slots_.begin(), slots_.end(),
                                          [](const Slot& slot) { return !slot.finished; }));
}

void WorkerRegistry::WaitAll()
{
    for (;;) {
        DrainCalls();
        std::unique_lock lock(mutex_);
        const bool running = std::any_of(slots_.begin(), slots_.end(),
                                         [](const Slot& slot) { return !slot.finished; });
        if (!running) {
            ReapFinished();
            return;
        }
        changed_.wait_for(lock, std::chrono::milliseconds(10));
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
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(&call);
    }
    // The call itself travels through calls_ under mutex_; the queued invocation only wakes
    // the user-interface thread.
    QMetaObject::invokeMethod(this, "DrainCalls", Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&call] { return call.done; });
    if (call.error)
        std::rethrow_exception(call.error);
}

void WorkerRegistry::DrainCalls()
{
    for (;;) {
        Call* call = nullptr;
        {
            std::lock_guard lock(mutex_);
            if (calls_.empty())
                return;
            call = calls_.front();
            calls_.pop_front();
        }
        std::exception_ptr error;
        try {
            (*call->fn)();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(mutex_);
        // Handed over, not shared: the worker alone frees the exception once it has caught it.
        call->error = std::move(error);
        call->done = true;
        changed_.notify_all();
    }
}

void WorkerThread::Synchronize(const std::function<void()>& fn)
{
    registry_->Synchronize(fn);
}
