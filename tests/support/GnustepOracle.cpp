#include "support/GnustepOracle.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>

#include "platform/ChildProcess.h"
#include "support/HangGuard.h"

namespace testing_support {
namespace {

struct Flags {
  bool ok = false;
  QStringList compile;
  QStringList link;
  QString problem;
};

QStringList splitFlags(const QByteArray& text) {
  return QString::fromLocal8Bit(text).simplified().split(' ', Qt::SkipEmptyParts);
}

QByteArray runTool(const QString& program, const QStringList& args, bool* ok) {
  const platform::ChildResult run = platform::runChild(program, args, {}, kHangGuardMs);
  *ok = run.exitCode == 0;
  return run.out;
}

const Flags& gnustepFlags() {
  static const Flags flags = [] {
    Flags f;
    const QString config = QStandardPaths::findExecutable("gnustep-config");
    if (config.isEmpty() || QStandardPaths::findExecutable("gcc").isEmpty()) {
      f.problem = "gcc or gnustep-config is not installed (Debian: gobjc, libgnustep-base-dev)";
      return f;
    }
    bool a = false, b = false;
    f.compile = splitFlags(runTool(config, {"--objc-flags"}, &a));
    f.link = splitFlags(runTool(config, {"--base-libs"}, &b));
    // Dependency files and optimisation only cost time here.
    f.compile.removeAll("-MMD");
    f.compile.removeAll("-MP");
    f.compile.removeAll("-O2");
    f.ok = a && b;
    if (!f.ok) f.problem = "gnustep-config failed";
    return f;
  }();
  return flags;
}

// The compiled oracle programs, kept between runs in the build folder (not
// in /tmp, where tests leave nothing behind).
QString cacheFolder() {
  const QString base = QStringLiteral(QUVO_BINARY_DIR "/gnustep-oracle");
  QDir().mkpath(base);
  return base;
}

}  // namespace

bool gnustepAvailable() {
  return gnustepFlags().ok;
}

GnustepRun runGnustepProgram(const QString& objcSource, const QStringList& args, int timeoutMs) {
  GnustepRun run;
  const Flags& flags = gnustepFlags();
  if (!flags.ok) {
    run.problem = flags.problem;
    return run;
  }
  const QByteArray source = objcSource.toUtf8();
  const QString hash = QString::fromLatin1(
      QCryptographicHash::hash(source + flags.compile.join(' ').toUtf8(), QCryptographicHash::Sha1).toHex());
  const QString dir = cacheFolder();
  const QString exe = dir + "/oracle-" + hash;
  {
    static QMutex compileMutex;
    QMutexLocker lock(&compileMutex);
    if (!QFileInfo::exists(exe)) {
      // Test programs run side by side: each process compiles from its own
      // copy of the source, and the finished program is renamed into place.
      const QString pid = QString::number(QCoreApplication::applicationPid());
      const QString src = dir + "/oracle-" + hash + "." + pid + ".m";
      QFile f(src);
      if (!f.open(QIODevice::WriteOnly) || f.write(source) != source.size()) {
        run.problem = "cannot write " + src;
        return run;
      }
      f.close();
      const QString partial = exe + ".part" + pid;
      const platform::ChildResult cc = platform::runChild(
          "gcc", flags.compile + QStringList{"-x", "objective-c", src, "-o", partial} + flags.link,
          {.output = platform::ChildOutput::Merged}, kHangGuardMs);
      QFile::remove(src);
      if (cc.exitCode != 0) {
        run.err = cc.out;
        run.problem = "the Objective-C program did not compile:\n" + QString::fromLocal8Bit(run.err);
        QFile::remove(partial);
        return run;
      }
      if (!QFile::rename(partial, exe)) QFile::remove(partial);  // another process was quicker
    }
  }
  platform::ChildProcess oracle(exe, args, {.environment = {{"LD_PRELOAD", std::nullopt}}});
  if (!oracle.started()) {
    run.problem = "the oracle program did not start";
    return run;
  }
  if (!oracle.waitForExit(timeoutMs)) {
    run.problem = "the oracle program timed out";
    return run;
  }
  run.exitCode = oracle.exitCode();
  run.out = oracle.out();
  run.err = oracle.err();
  run.ok = run.exitCode == 0;
  if (!run.ok) run.problem = "the oracle program failed:\n" + QString::fromLocal8Bit(run.err);
  return run;
}

}  // namespace testing_support
