#pragma once
// Named pipes in place of files, for tests that check a reader refuses them,
// and a watchdog that keeps such a test from hanging when a reader does not:
// after a grace time it opens each pipe for writing and closes it again,
// over and over, so that a reader waiting on one sees an empty file and the
// test goes on (and fails on what it checks) instead of blocking for ever.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QStringList>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace testing_support {

// Puts a named pipe at `path`, replacing a file there; true when it is there.
inline bool makePipe(const QString& path) {
  QFile::remove(path);
  return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

class PipeWatchdog {
 public:
  explicit PipeWatchdog(QStringList pipes, std::chrono::milliseconds grace = std::chrono::seconds(20))
      : pipes_(std::move(pipes)), thread_([this, grace] { watch(grace); }) {}
  ~PipeWatchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  PipeWatchdog(const PipeWatchdog&) = delete;
  PipeWatchdog& operator=(const PipeWatchdog&) = delete;

  // The pipes it found someone waiting on.
  QStringList freed() const {
    std::lock_guard lock(mutex_);
    return freed_;
  }

 private:
  void watch(std::chrono::milliseconds grace) {
    std::unique_lock lock(mutex_);
    if (wake_.wait_for(lock, grace, [this] { return done_; })) return;
    while (!done_) {
      for (const QString& pipe : pipes_) {
        // Opens only when a reader has the pipe open (or waits to).
        const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        ::close(fd);
        if (!freed_.contains(pipe)) freed_.append(pipe);
      }
      wake_.wait_for(lock, std::chrono::milliseconds(50), [this] { return done_; });
    }
  }

  const QStringList pipes_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  QStringList freed_;
  std::thread thread_;
};

}  // namespace testing_support
