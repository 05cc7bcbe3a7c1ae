// The order that Qt's semaphores and thread pools give, as the thread checker
// (make tsan) sees it. Debian's Qt is not built for the checker, and its
// locks wait on futexes, which the checker cannot see:
// - Qt's painting on a large picture fills it on the threads of Qt's pool and
//   waits on a semaphore until they are done: without the order, our code
//   reading the picture afterwards looks like a race with those fills. The
//   calls of the libraries to the semaphore's functions end here (this
//   program's definitions come first), mark the order that the semaphore
//   gives (a release before an acquire that it lets through) and go on to
//   Qt's own.
// - A function started on a pool runs after the start: the pool thread takes
//   over the start's mark before it touches anything of the function (without
//   it, the function's captures look raced between the starting thread and
//   the pool's).
// The functions here stand in for Qt's own: they lie in a section of their
// own, and the choice of the races reported (ThreadCheckerReports.cpp) counts
// their frames as Qt's, not as code of this program. A function started on a
// pool is called by Qt's own runnable, so no frame of this program lies
// between the pool and a function of Qt's.
#include <dlfcn.h>

#include <QRunnable>
#include <QSemaphore>
#include <QThreadPool>
#include <functional>
#include <utility>

extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);

// Marks a function that stands in for one of Qt's.
#define QUVO_FOR_QT [[gnu::section("thread_checker_qt_order")]]

namespace {

template <typename Function>
Function qtOwn(const char* symbol) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, symbol));
}

// A function started on a pool, marked as handed over once it is whole.
class HandedOverFunction final : public QRunnable {
 public:
  QUVO_FOR_QT explicit HandedOverFunction(std::function<void()> work)
      : work_(QRunnable::create(std::move(work))) {
    __tsan_release(this);
  }
  QUVO_FOR_QT ~HandedOverFunction() override { delete work_; }
  HandedOverFunction(const HandedOverFunction&) = delete;
  HandedOverFunction& operator=(const HandedOverFunction&) = delete;
  QUVO_FOR_QT void run() override {
    __tsan_acquire(this);
    work_->run();
  }

 private:
  // Qt's runnable of the function, owned here: a smart pointer's functions
  // would be frames of this program.
  QRunnable* work_;
};

}  // namespace

QUVO_FOR_QT void QThreadPool::start(std::function<void()> functionToRun, int priority) {
  if (functionToRun) start(new HandedOverFunction(std::move(functionToRun)), priority);
}

QUVO_FOR_QT bool QThreadPool::tryStart(std::function<void()> functionToRun) {
  if (!functionToRun) return false;
  auto* task = new HandedOverFunction(std::move(functionToRun));
  if (tryStart(task)) return true;
  delete task;  // not started: still ours
  return false;
}

QUVO_FOR_QT void QSemaphore::acquire(int n) {
  static const auto own = qtOwn<void (*)(QSemaphore*, int)>("_ZN10QSemaphore7acquireEi");
  own(this, n);
  __tsan_acquire(this);
}

QUVO_FOR_QT bool QSemaphore::tryAcquire(int n) {
  static const auto own = qtOwn<bool (*)(QSemaphore*, int)>("_ZN10QSemaphore10tryAcquireEi");
  const bool acquired = own(this, n);
  if (acquired) __tsan_acquire(this);
  return acquired;
}

QUVO_FOR_QT bool QSemaphore::tryAcquire(int n, int timeout) {
  static const auto own = qtOwn<bool (*)(QSemaphore*, int, int)>("_ZN10QSemaphore10tryAcquireEii");
  const bool acquired = own(this, n, timeout);
  if (acquired) __tsan_acquire(this);
  return acquired;
}

QUVO_FOR_QT void QSemaphore::release(int n) {
  static const auto own = qtOwn<void (*)(QSemaphore*, int)>("_ZN10QSemaphore7releaseEi");
  __tsan_release(this);
  own(this, n);
}
