#include "host/core/workerthread.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace quib;

namespace {

// Runs `calls` synchronised increments and checks each one ran on the user-interface thread.
class CountingWorker : public WorkerThread {
public:
    CountingWorker(int calls, int& counter, std::atomic<int>& offThread)
        : m_calls(calls), m_counter(counter), m_offThread(offThread)
    {
    }

protected:
    void Execute() override
    {
        for (int i = 0; i < m_calls && !Terminated(); ++i)
            Synchronize([this] {
                if (QThread::currentThread() != QCoreApplication::instance()->thread())
                    ++m_offThread;
                ++m_counter;  // unguarded on purpose: only the user-interface thread touches it
            });
    }

private:
    int m_calls;
    int& m_counter;
    std::atomic<int>& m_offThread;
};

struct ThrowOutcome {
    std::atomic<bool> done{false};
    std::string message;       // written by the worker before done
    std::thread::id caughtOn;  // likewise
};

class ThrowingWorker : public WorkerThread {
public:
    explicit ThrowingWorker(ThrowOutcome& outcome) : m_outcome(outcome) {}

protected:
    void Execute() override
    {
        try {
            Synchronize([] { throw std::runtime_error("raised on the UI thread"); });
        } catch (const std::runtime_error& error) {
            m_outcome.message = error.what();
            m_outcome.caughtOn = std::this_thread::get_id();
        }
        m_outcome.done = true;
    }

private:
    ThrowOutcome& m_outcome;
};

// Posts numbered calls, every tenth one synchronised instead; notes how many posted calls it ever
// had waiting at once.
class PostingWorker : public WorkerThread {
public:
    PostingWorker(int calls, std::vector<int>& ran, std::atomic<int>& mostWaiting)
        : m_calls(calls), m_ran(ran), m_mostWaiting(mostWaiting)
    {
    }

protected:
    void Execute() override
    {
        for (int i = 0; i < m_calls; ++i) {
            const auto call = [this, i] {
                m_ran.push_back(i);  // the user-interface thread only
                ++m_done;
            };
            if (i % 10 == 9) {
                Synchronize(call);
                continue;
            }
            Post(call);
            m_mostWaiting = std::max(m_mostWaiting.load(), i + 1 - m_done.load());
        }
    }

private:
    int m_calls;
    std::vector<int>& m_ran;
    std::atomic<int>& m_mostWaiting;
    std::atomic<int> m_done{0};
};

// Loops until asked to stop, optionally synchronising each round; flags its end and its destruction.
class LoopingWorker : public WorkerThread {
public:
    LoopingWorker(std::atomic<bool>& started, std::atomic<bool>& returned, std::atomic<bool>& destroyed,
                  bool synchronise = false)
        : m_started(started), m_returned(returned), m_destroyed(destroyed), m_synchronise(synchronise)
    {
    }
    ~LoopingWorker() override { m_destroyed = true; }

protected:
    void Execute() override
    {
        m_started = true;
        while (!Terminated()) {
            if (m_synchronise)
                Synchronize([] {});
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        m_returned = true;
    }

private:
    std::atomic<bool>& m_started;
    std::atomic<bool>& m_returned;
    std::atomic<bool>& m_destroyed;
    bool m_synchronise;
};

// Works for a while without looking at Terminated(), then flags its end.
class SlowWorker : public WorkerThread {
public:
    SlowWorker(std::atomic<bool>& returned, std::atomic<bool>& destroyed) : m_returned(returned), m_destroyed(destroyed)
    {
    }
    ~SlowWorker() override { m_destroyed = true; }

protected:
    void Execute() override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        m_returned = true;
    }

private:
    std::atomic<bool>& m_returned;
    std::atomic<bool>& m_destroyed;
};

}  // namespace

class WorkerThreadTest : public QObject {
    Q_OBJECT
private slots:
    void synchronisedCallsRunOnTheUiThread_data();
    void synchronisedCallsRunOnTheUiThread();
    void synchronizeOnTheUiThreadRunsAtOnce();
    void exceptionReturnsToTheWorker();
    void postedCallsRunInOrderAndHoldTheWorkerBack();
    void stopAllAndWaitAllEndALoopingWorker_data();
    void stopAllAndWaitAllEndALoopingWorker();
    void workerIsFreedAfterExecuteReturns();
    void registryDestructorWaitsForRunningWorkers_data();
    void registryDestructorWaitsForRunningWorkers();
};

void WorkerThreadTest::synchronisedCallsRunOnTheUiThread_data()
{
    QTest::addColumn<int>("workers");
    QTest::addColumn<int>("calls");
    QTest::newRow("one worker") << 1 << 200;
    QTest::newRow("four workers at once") << 4 << 50;
}

void WorkerThreadTest::synchronisedCallsRunOnTheUiThread()
{
    QFETCH(int, workers);
    QFETCH(int, calls);
    WorkerRegistry registry;
    int counter = 0;
    std::atomic<int> offThread{0};
    for (int i = 0; i < workers; ++i)
        WorkerThread::Start<CountingWorker>(registry, calls, counter, offThread);
    QTRY_COMPARE_WITH_TIMEOUT(counter, workers * calls, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(registry.RunningCount(), 0, 10000);
    QCOMPARE(offThread.load(), 0);
}

void WorkerThreadTest::synchronizeOnTheUiThreadRunsAtOnce()
{
    WorkerRegistry registry;
    bool ran = false;
    registry.Synchronize([&ran] { ran = true; });
    QVERIFY(ran);
}

void WorkerThreadTest::postedCallsRunInOrderAndHoldTheWorkerBack()
{
    WorkerRegistry registry;
    std::vector<int> ran;
    std::atomic<int> mostWaiting{0};
    WorkerThread::Start<PostingWorker>(registry, 200, ran, mostWaiting);
    // A user interface that is busy for a while: the worker must wait rather than pile up calls.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    QTRY_COMPARE_WITH_TIMEOUT(registry.RunningCount(), 0, 30000);
    QCoreApplication::processEvents();
    std::vector<int> expected(200);
    std::iota(expected.begin(), expected.end(), 0);
    QCOMPARE(ran, expected);
    QVERIFY2(mostWaiting <= WorkerRegistry::kMaxPosted, qPrintable(QString::number(mostWaiting)));
    QCOMPARE(mostWaiting.load(), WorkerRegistry::kMaxPosted);
}

void WorkerThreadTest::exceptionReturnsToTheWorker()
{
    WorkerRegistry registry;
    ThrowOutcome outcome;
    WorkerThread::Start<ThrowingWorker>(registry, outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 10000);
    QCOMPARE(outcome.message, std::string("raised on the UI thread"));
    QVERIFY(outcome.caughtOn != std::this_thread::get_id());
    registry.WaitAll();
}

void WorkerThreadTest::stopAllAndWaitAllEndALoopingWorker_data()
{
    QTest::addColumn<bool>("synchronise");
    QTest::newRow("polling only") << false;
    QTest::newRow("synchronising every round") << true;
}

void WorkerThreadTest::stopAllAndWaitAllEndALoopingWorker()
{
    QFETCH(bool, synchronise);
    WorkerRegistry registry;
    std::atomic<bool> started{false}, returned{false}, destroyed{false};
    WorkerThread::Start<LoopingWorker>(registry, started, returned, destroyed, synchronise);
    QTRY_VERIFY_WITH_TIMEOUT(started, 10000);
    QCOMPARE(registry.RunningCount(), 1);
    QVERIFY(!returned);

    registry.StopAll();
    registry.WaitAll();  // also carries the synchronised calls, or the worker could never see its flag
    QVERIFY(returned);
    QVERIFY(destroyed);
    QCOMPARE(registry.RunningCount(), 0);
}

void WorkerThreadTest::workerIsFreedAfterExecuteReturns()
{
    WorkerRegistry registry;
    std::atomic<bool> returned{false}, destroyed{false};
    std::weak_ptr<SlowWorker> watch = WorkerThread::Start<SlowWorker>(registry, returned, destroyed);
    // Nobody holds the worker but its own thread.
    QVERIFY(!destroyed);
    QTRY_VERIFY_WITH_TIMEOUT(destroyed, 10000);
    QVERIFY(returned);
    QVERIFY(watch.expired());
    QTRY_COMPARE_WITH_TIMEOUT(registry.RunningCount(), 0, 10000);
}

void WorkerThreadTest::registryDestructorWaitsForRunningWorkers_data()
{
    QTest::addColumn<bool>("looping");
    QTest::newRow("worker that ignores the stop request") << false;
    QTest::newRow("looping worker that synchronises") << true;
}

void WorkerThreadTest::registryDestructorWaitsForRunningWorkers()
{
    QFETCH(bool, looping);
    std::atomic<bool> started{false}, returned{false}, destroyed{false};
    {
        WorkerRegistry registry;
        if (looping) {
            WorkerThread::Start<LoopingWorker>(registry, started, returned, destroyed, true);
            QTRY_VERIFY_WITH_TIMEOUT(started, 10000);
        } else {
            WorkerThread::Start<SlowWorker>(registry, returned, destroyed);
        }
    }
    QVERIFY(returned);
    QVERIFY(destroyed);
}

QTEST_GUILESS_MAIN(WorkerThreadTest)
#include "tst_workerthread.moc"
