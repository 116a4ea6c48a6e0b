#include "gui/main/busy_wait.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QThread>
#include <exception>
#include <memory>

namespace {

class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

bool waitBusyFor(const std::function<bool()> &work)
{
    bool result = false;
    std::exception_ptr failure;
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            result = work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    // Queued to this thread, so the quit arrives inside exec() even when the work is quick.
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    {
        BusyCursor busy;
        worker->start();
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    worker->wait();
    if (failure)
        std::rethrow_exception(failure);
    return result;
}
