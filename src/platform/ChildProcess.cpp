#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

extern char** environ;

namespace platform {
namespace {

// This process's environment with the changes applied, as "NAME=value" words.
std::vector<QByteArray> childEnvironment(const ChildOptions& options) {
  std::vector<QByteArray> words;
  for (char** entry = environ; !options.ownEnvironmentOnly && *entry != nullptr; ++entry) {
    const QByteArray word(*entry);
    bool changed = false;
    for (const auto& [name, value] : options.environment) changed |= word.startsWith(name + '=');
    if (!changed) words.push_back(word);
  }
  for (const auto& [name, value] : options.environment)
    if (value) words.push_back(name + '=' + *value);
  return words;
}

std::vector<char*> pointers(std::vector<QByteArray>& words) {
  std::vector<char*> out;
  for (QByteArray& word : words) out.push_back(word.data());
  out.push_back(nullptr);
  return out;
}

// A file in memory holding the input, read from its start: the child reads
// it at its own pace and writing it never waits for the child.
int inputFile(const QByteArray& input) {
  const int fd = ::memfd_create("child-input", MFD_CLOEXEC);
  if (fd < 0) return -1;
  qsizetype written = 0;
  while (written < input.size()) {
    const ssize_t n = ::write(fd, input.constData() + written, size_t(input.size() - written));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd);
      return -1;
    }
    written += n;
  }
  ::lseek(fd, 0, SEEK_SET);
  return fd;
}

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// The child's standard streams: its input from memory (or /dev/null), its
// output and errors into pipes whose reading ends this process keeps.
class Redirections {
 public:
  explicit Redirections(const ChildOptions& options) {
    posix_spawn_file_actions_init(&actions_);
    if (options.input.isEmpty()) {
      ok_ = posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0;
    } else {
      input_ = inputFile(options.input);
      ok_ = input_ >= 0 && posix_spawn_file_actions_adddup2(&actions_, input_, STDIN_FILENO) == 0;
    }
    if (options.output == ChildOutput::Forwarded) return;
    ok_ = ok_ && ::pipe2(out_, O_CLOEXEC) == 0 &&
          posix_spawn_file_actions_adddup2(&actions_, out_[1], STDOUT_FILENO) == 0;
    if (options.output == ChildOutput::Merged)
      ok_ = ok_ && posix_spawn_file_actions_adddup2(&actions_, out_[1], STDERR_FILENO) == 0;
    else if (options.output == ChildOutput::Captured)
      ok_ = ok_ && ::pipe2(err_, O_CLOEXEC) == 0 &&
            posix_spawn_file_actions_adddup2(&actions_, err_[1], STDERR_FILENO) == 0;
  }
  ~Redirections() {
    posix_spawn_file_actions_destroy(&actions_);
    for (int* fd : {&input_, &out_[0], &out_[1], &err_[0], &err_[1]}) closeFd(*fd);
  }
  Redirections(const Redirections&) = delete;
  Redirections& operator=(const Redirections&) = delete;

  bool ok() const { return ok_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  // After the start: the reading ends for this process; the rest closes.
  int takeOut() { return std::exchange(out_[0], -1); }
  int takeErr() { return std::exchange(err_[0], -1); }

 private:
  posix_spawn_file_actions_t actions_;
  bool ok_ = false;
  int input_ = -1;
  int out_[2] = {-1, -1};
  int err_[2] = {-1, -1};
};

}  // namespace

ChildProcess::ChildProcess(const QString& program, const QStringList& arguments,
                           const ChildOptions& options) {
  std::vector<QByteArray> words{program.toLocal8Bit()};
  for (const QString& argument : arguments) words.push_back(argument.toLocal8Bit());
  std::vector<char*> argv = pointers(words);
  std::vector<QByteArray> environmentWords = childEnvironment(options);
  std::vector<char*> envp = pointers(environmentWords);

  Redirections streams(options);
  if (!streams.ok()) {
    startError_ = QStringLiteral("cannot start %1: its standard streams could not be set up").arg(program);
    return;
  }
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, argv[0], streams.actions(), nullptr, argv.data(), envp.data());
  if (failed != 0) {
    startError_ =
        QStringLiteral("cannot start %1: %2").arg(program, QString::fromLocal8Bit(std::strerror(failed)));
    return;
  }
  pid_ = pid;
  outFd_ = streams.takeOut();
  errFd_ = streams.takeErr();
  endFd_ = int(::syscall(SYS_pidfd_open, pid, 0));
}

ChildProcess::~ChildProcess() {
  if (started() && !reap(false)) {
    ::kill(pid_, SIGKILL);
    reap(true);
  }
  closeFd(outFd_);
  closeFd(errFd_);
  closeFd(endFd_);
}

bool ChildProcess::reap(bool block) {
  if (ended_ || !started()) return true;
  int status = 0;
  pid_t got;
  do got = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
  while (got < 0 && errno == EINTR);
  if (got != pid_) return false;
  ended_ = true;
  exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return true;
}

bool ChildProcess::running() {
  return started() && !reap(false);
}

// Reads the output pipes for up to `milliseconds` (0: only what is there,
// negative: until something happens), waking when the child ends; answers
// the bytes read.
qsizetype ChildProcess::collect(int milliseconds) {
  pollfd fds[3];
  int* owners[3];
  QByteArray* buffers[3];
  nfds_t count = 0;
  const std::pair<int*, QByteArray*> sources[] = {{&outFd_, &out_}, {&errFd_, &err_}, {&endFd_, nullptr}};
  for (auto [fd, buffer] : sources) {
    if (*fd < 0) continue;
    fds[count] = {*fd, POLLIN, 0};
    owners[count] = fd;
    buffers[count++] = buffer;
  }
  if (::poll(fds, count, milliseconds) <= 0) return 0;
  qsizetype total = 0;
  char chunk[1 << 16];
  for (nfds_t i = 0; i < count; ++i) {
    if (fds[i].revents == 0 || buffers[i] == nullptr) continue;
    const ssize_t got = ::read(fds[i].fd, chunk, sizeof chunk);
    if (got > 0) {
      buffers[i]->append(chunk, got);
      total += got;
    } else if (got == 0 || errno != EINTR) {
      closeFd(*owners[i]);
    }
  }
  return total;
}

void ChildProcess::readFor(int milliseconds) {
  const QDeadlineTimer deadline(milliseconds);  // negative: never expires
  // Without a descriptor that tells the end, look every 50 ms.
  const qint64 slice = endFd_ >= 0 ? std::numeric_limits<int>::max() : 50;
  while (running() && !deadline.hasExpired())
    collect(int(std::min(deadline.isForever() ? slice : deadline.remainingTime(), slice)));
  // What an ended child left in the pipes (its own children may keep them
  // open, so their end is not awaited).
  if (!running())
    while (collect(0) > 0) {
    }
}

bool ChildProcess::waitForExit(int milliseconds) {
  readFor(milliseconds);
  return !running();
}

void ChildProcess::signal(int number) {
  if (running()) ::kill(pid_, number);
}

ChildResult runChild(const QString& program, const QStringList& arguments, const ChildOptions& options,
                     int milliseconds) {
  ChildProcess child(program, arguments, options);
  ChildResult result;
  result.started = child.started();
  if (!result.started) {
    result.err = child.startError().toLocal8Bit();
    return result;
  }
  if (child.waitForExit(milliseconds)) result.exitCode = child.exitCode();
  result.out = child.out();
  result.err = child.err();
  return result;
}

}  // namespace platform
