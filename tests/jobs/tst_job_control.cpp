#include "jobs/job_control.h"
#include "tests/support/test_env.h"

#include <QScopeGuard>
#include <QtTest>
#include <chrono>
#include <future>
#include <thread>

using namespace std::chrono_literals;

class TestJobControl : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The worker tells its end through a future: the test thread waits on it with a time-out
    // and shares nothing else with the worker but atomics.
    void pauseHoldsAndResumeContinues()
    {
        JobControl control;
        std::atomic_int blocks{0};
        std::promise<void> finished;
        const std::future<void> done = finished.get_future();
        control.pause();
        std::thread worker([&] {
            while (control.checkpoint() && blocks < 5)
                ++blocks;
            finished.set_value();
        });
        const auto join = qScopeGuard([&] {
            control.requestStop();
            worker.join();
        });
        // Held before its first block: nothing moves while paused.
        QCOMPARE(done.wait_for(50ms), std::future_status::timeout);
        QCOMPARE(blocks.load(), 0);
        control.resume();
        QCOMPARE(done.wait_for(5s), std::future_status::ready);
        QCOMPARE(blocks.load(), 5);
    }

    void stopWakesAPausedWorker()
    {
        JobControl control;
        control.pause();
        std::atomic_bool returned{false};
        bool result = true;
        std::thread worker([&] {
            result = control.checkpoint();
            returned = true;
        });
        control.requestStop();
        QTRY_VERIFY_WITH_TIMEOUT(returned.load(), 5000);
        worker.join();
        QVERIFY(!result);
        control.reset();
        QVERIFY(control.checkpoint());
    }

    void runOnReturnsTheUiThreadsResult()
    {
        QObject context;
        Qt::HANDLE uiThread = QThread::currentThreadId();
        Qt::HANDLE ranOn = nullptr;
        int result = 0;
        std::atomic_bool done{false};
        std::thread worker([&] {
            result = runOn(&context, [&] {
                ranOn = QThread::currentThreadId();
                return 42;
            });
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done.load(), 5000);
        worker.join();
        QCOMPARE(result, 42);
        QCOMPARE(ranOn, uiThread);
        // On the owning thread it runs directly instead of deadlocking.
        QCOMPARE(runOn(&context, [] { return 7; }), 7);
    }
};

HARVELO_TEST_MAIN(TestJobControl, QCoreApplication)
#include "tst_job_control.moc"
