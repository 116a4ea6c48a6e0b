#include "jobs/job_control.h"
#include "tests/support/test_env.h"

#include <QSignalSpy>
#include <QtTest>
#include <thread>

class Counter : public QObject {
    Q_OBJECT
public:
    std::atomic_int blocks{0};
Q_SIGNALS:
    void finished();
};

class TestJobControl : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pauseHoldsAndResumeContinues()
    {
        JobControl control;
        Counter counter;
        control.pause();
        std::thread worker([&] {
            while (control.checkpoint() && counter.blocks < 5)
                ++counter.blocks;
            Q_EMIT counter.finished();
        });
        // The worker is held before its first block.
        QTest::qWait(50);
        QCOMPARE(counter.blocks.load(), 0);
        QSignalSpy done(&counter, &Counter::finished);
        control.resume();
        QVERIFY(done.wait(5000) || done.count() == 1);
        worker.join();
        QCOMPARE(counter.blocks.load(), 5);
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
