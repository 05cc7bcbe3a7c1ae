#pragma once
// Runs a helper program (a generator, a reference reader, a checking tool)
// and gives back what it wrote on its standard output, or nothing when it
// could not start or did not end with status 0.
//
// Started with posix_spawn, not QProcess: Qt starts a child inside the
// parent's memory until it has replaced itself, and the child's calls run the
// thread checker's bookkeeping of the parent's thread there. In the thread
// checker build, the parent's correct locking afterwards then shows as races.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <optional>
#include <vector>

extern char** environ;

inline std::optional<QByteArray> childOutput(const QString& program, const QStringList& arguments) {
  std::vector<QByteArray> words{program.toLocal8Bit()};
  for (const QString& argument : arguments) words.push_back(argument.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  pid_t pid = 0;
  const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  QByteArray output;
  char buffer[1 << 16];
  while (failed == 0) {
    const ssize_t got = ::read(out[0], buffer, sizeof buffer);
    if (got > 0)
      output.append(buffer, got);
    else if (got == 0 || errno != EINTR)
      break;
  }
  ::close(out[0]);
  int status = 0;
  if (failed != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return std::nullopt;
  return output;
}
