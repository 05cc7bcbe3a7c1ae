#pragma once
// GNUstep Foundation as an independent oracle: compiles a small
// Objective-C program with gcc and the flags of `gnustep-config`, then runs
// it. Built programs are cached by the hash of their source, so a suite pays
// for each compile once.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "support/HangGuard.h"

namespace testing_support {

struct GnustepRun {
  bool ok = false;  // compiled, ran and exited with status 0
  int exitCode = -1;
  QByteArray out;   // standard output
  QByteArray err;   // standard error (or the compiler's messages)
  QString problem;  // why it did not run, when it did not
};

// True when gcc and gnustep-config are installed.
bool gnustepAvailable();

// Compiles `objcSource` (the whole program, with main) and runs it with the
// arguments. A test should ASSERT_TRUE(result.ok) << result.problem, so that
// a missing tool fails loudly.
GnustepRun runGnustepProgram(const QString& objcSource, const QStringList& args = {},
                             int timeoutMs = kHangGuardMs);

}  // namespace testing_support
