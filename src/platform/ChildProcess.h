#pragma once
// Other programs started from this one: the mail script, and the helper
// programs of the tests and benchmarks (readers, generators, servers, the
// program under test). Started with posix_spawn rather than QProcess.
//
// Qt starts a child inside the parent's memory until the child has replaced
// itself, and the child's calls run the thread checker's bookkeeping of the
// parent's thread there. In the thread checker build the parent's correct
// locking afterwards then shows as races. The C library's posix_spawn does
// its work in the child without such calls, so a report of the thread checker
// always means a fault.
#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace platform {

// Where the child's standard output and error go.
enum class ChildOutput {
  Captured,         // each to its own buffer
  Merged,           // both to the output buffer
  ErrorsForwarded,  // the output to its buffer, the errors to this process's own
  Forwarded,        // both to this process's own
};

struct ChildOptions {
  QByteArray input{};  // its standard input (empty: nothing to read)
  // Variables set for the child on top of this process's environment (or of
  // none with `ownEnvironmentOnly`); a name without a value is removed.
  std::vector<std::pair<QByteArray, std::optional<QByteArray>>> environment{};
  bool ownEnvironmentOnly = false;
  ChildOutput output = ChildOutput::Captured;
};

// A started program. The destructor kills a child still running and waits
// for it, so none outlives its owner.
class ChildProcess {
 public:
  ChildProcess(const QString& program, const QStringList& arguments, const ChildOptions& options = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // Why it did not start (empty when it did).
  const QString& startError() const { return startError_; }
  pid_t pid() const { return pid_; }
  bool running();

  // Collects what it writes for up to `milliseconds`, less when it ends.
  void readFor(int milliseconds);
  // Waits for its end, collecting what it writes; false when the time ran
  // out first (negative: no limit).
  bool waitForExit(int milliseconds);
  void signal(int number);

  // Its exit status once it has ended by itself; -1 while it runs or when a
  // signal ended it.
  int exitCode() const { return exitCode_; }
  const QByteArray& out() const { return out_; }
  QByteArray takeOut() { return std::exchange(out_, QByteArray()); }
  const QByteArray& err() const { return err_; }

 private:
  bool reap(bool block);
  qsizetype collect(int milliseconds);

  pid_t pid_ = -1;
  bool ended_ = false;
  int exitCode_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  int endFd_ = -1;  // readable once the child has ended
  QByteArray out_;
  QByteArray err_;
  QString startError_;
};

struct ChildResult {
  bool started = false;
  int exitCode = -1;  // -1 when it did not start, was killed or ran out of time
  QByteArray out;
  QByteArray err;
};

// Runs the program to its end; one that runs longer than `milliseconds` is
// killed (negative: no limit).
ChildResult runChild(const QString& program, const QStringList& arguments, const ChildOptions& options = {},
                     int milliseconds = 300000);

}  // namespace platform
