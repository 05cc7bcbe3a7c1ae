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
#include <dlfcn.h>

#include <QRunnable>
#include <QSemaphore>
#include <QThreadPool>
#include <functional>
#include <utility>

extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);

namespace {

template <typename Function>
Function qtOwn(const char* symbol) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, symbol));
}

// A function started on a pool, marked as handed over once it is whole.
class HandedOverFunction final : public QRunnable {
 public:
  explicit HandedOverFunction(std::function<void()> work) : work_(std::move(work)) { __tsan_release(this); }
  void run() override {
    __tsan_acquire(this);
    work_();
  }

 private:
  std::function<void()> work_;
};

}  // namespace

void QThreadPool::start(std::function<void()> functionToRun, int priority) {
  if (functionToRun) start(new HandedOverFunction(std::move(functionToRun)), priority);
}

bool QThreadPool::tryStart(std::function<void()> functionToRun) {
  if (!functionToRun) return false;
  auto* task = new HandedOverFunction(std::move(functionToRun));
  if (tryStart(task)) return true;
  delete task;  // not started: still ours
  return false;
}

void QSemaphore::acquire(int n) {
  static const auto own = qtOwn<void (*)(QSemaphore*, int)>("_ZN10QSemaphore7acquireEi");
  own(this, n);
  __tsan_acquire(this);
}

bool QSemaphore::tryAcquire(int n) {
  static const auto own = qtOwn<bool (*)(QSemaphore*, int)>("_ZN10QSemaphore10tryAcquireEi");
  const bool acquired = own(this, n);
  if (acquired) __tsan_acquire(this);
  return acquired;
}

bool QSemaphore::tryAcquire(int n, int timeout) {
  static const auto own = qtOwn<bool (*)(QSemaphore*, int, int)>("_ZN10QSemaphore10tryAcquireEii");
  const bool acquired = own(this, n, timeout);
  if (acquired) __tsan_acquire(this);
  return acquired;
}

void QSemaphore::release(int n) {
  static const auto own = qtOwn<void (*)(QSemaphore*, int)>("_ZN10QSemaphore7releaseEi");
  __tsan_release(this);
  own(this, n);
}
