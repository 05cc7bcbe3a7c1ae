#include "platform/BackgroundJobs.h"

#include <QCoreApplication>
#include <condition_variable>
#include <mutex>

namespace platform::background_jobs {
namespace {

struct Jobs {
  std::mutex mutex;
  std::condition_variable ended;
  int running = 0;
  bool waitAtEnd = false;  // the wait is registered with the application object's end
};

// Never destroyed: jobs and the application's end reach it whenever they run.
Jobs& jobs() {
  static Jobs* const all = new Jobs;
  return *all;
}

// Called by the application object's end, before its own objects go. A job
// started from another routine of that end registers this again, and Qt calls
// the routines registered meanwhile too.
void waitAtApplicationEnd() {
  {
    std::lock_guard lock(jobs().mutex);
    jobs().waitAtEnd = false;
  }
  waitForAll();
}

void ended() {
  Jobs& all = jobs();
  std::lock_guard lock(all.mutex);
  --all.running;
  all.ended.notify_all();
}

}  // namespace

void start(QThreadPool& pool, std::function<void()> job) {
  if (QCoreApplication::instance() == nullptr) {
    job();
    return;
  }
  Jobs& all = jobs();
  {
    std::lock_guard lock(all.mutex);
    ++all.running;
    if (!all.waitAtEnd) {
      qAddPostRoutine(waitAtApplicationEnd);
      all.waitAtEnd = true;
    }
  }
  pool.start([job = std::move(job)]() mutable {
    struct Counted {
      ~Counted() { ended(); }
    } counted;
    job();
    job = nullptr;  // what the job holds goes before it counts as ended
  });
}

void waitForAll() {
  Jobs& all = jobs();
  std::unique_lock lock(all.mutex);
  all.ended.wait(lock, [&] { return all.running == 0; });
}

}  // namespace platform::background_jobs
