#pragma once
// Worker threads that own themselves: nobody holds a worker, it runs until its Execute returns
// and is then freed. The host's WorkerRegistry knows the running ones so that it can stop them and
// wait for them before the user interface goes away, and it carries their synchronised calls.
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace quib {

class WorkerThread;

class WorkerRegistry : public QObject {
    Q_OBJECT
public:
    // Create on the user-interface thread: synchronised calls run on the thread that made it.
    WorkerRegistry();
    ~WorkerRegistry() override;  // stops and waits for every worker

    // Asks every running worker to terminate.
    void StopAll();
    // Waits until no worker runs, running their synchronised calls meanwhile.
    void WaitAll();
    int RunningCount() const;

    // Runs fn on the user-interface thread while the calling thread waits; an exception from fn
    // is raised again on the caller. Called on the user-interface thread, runs fn at once.
    void Synchronize(const std::function<void()>& fn);
    // Queues fn to run on the user-interface thread after every call queued before it, and
    // returns at once; it waits only while kMaxPosted posted calls are still to run, so a worker
    // faster than the user interface cannot pile up work. fn must not throw (what it throws is
    // dropped). Called on the user-interface thread, runs fn at once.
    void Post(std::function<void()> fn);
    static constexpr int kMaxPosted = 4;

private:
    friend class WorkerThread;
    struct Slot;
    struct Call;
    // One queued call: a waiting worker's (waiter set) or a posted one (fn held here).
    struct QueuedCall {
        Call* waiter = nullptr;
        std::function<void()> posted;
    };
    void Enqueue(QueuedCall call);  // caller holds no lock
    void Launch(std::shared_ptr<WorkerThread> worker);
    void Finished(const WorkerThread* worker);
    void ReapFinished();  // caller holds m_mutex
    Q_INVOKABLE void DrainCalls();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::list<Slot> m_slots;
    std::deque<QueuedCall> m_calls;
    int m_postedPending = 0;
    // A wake-up of the user-interface thread is on its way: later calls ride on it.
    bool m_drainScheduled = false;
};

class WorkerThread {
public:
    virtual ~WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Creates a worker of class T and starts it once it is fully constructed. The returned
    // pointer is for the caller's information only; the worker does not need it to live.
    template <class T, class... Args>
    static std::shared_ptr<T> Start(WorkerRegistry& registry, Args&&... args)
    {
        std::shared_ptr<T> worker(new T(std::forward<Args>(args)...));
        worker->m_registry = &registry;
        registry.Launch(worker);
        return worker;
    }

    // The thread's terminate request: a flag the thread body polls.
    void Terminate() { m_terminated.store(true, std::memory_order_relaxed); }
    bool Terminated() const { return m_terminated.load(std::memory_order_relaxed); }

protected:
    WorkerThread() = default;
    virtual void Execute() = 0;
    // Runs fn on the user-interface thread while this worker waits.
    void Synchronize(const std::function<void()>& fn);
    // Runs fn on the user-interface thread after the calls before it, without waiting for it.
    void Post(std::function<void()> fn);

private:
    friend class WorkerRegistry;
    WorkerRegistry* m_registry = nullptr;
    std::atomic<bool> m_terminated{false};
};

}  // namespace quib
