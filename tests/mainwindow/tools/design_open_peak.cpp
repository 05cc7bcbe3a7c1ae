// Opens one design file as the window does and tells what happened and the
// most memory the program took meanwhile, for the tests of what a design may
// take. Prints "loaded <1|0>", "peak <kB>" (VmHWM) and one line
// "message: <text>" per message shown (without the box's leading line break;
// line breaks within written as "\n").
#include <QGuiApplication>
#include <cstdio>
#include <fstream>
#include <string>

#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/designfile/PlainDesignHost.h"
#include "platform/MessageHost.h"

namespace {

class PrintingHost : public platform::QuietMessageHost {
 public:
  void showMessage(const QString& text) override {
    std::printf("message: %s\n",
                qUtf8Printable(text.trimmed().replace(QLatin1Char('\n'), QStringLiteral("\\n"))));
  }
};

long peakKB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: design_open_peak <design file>\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  PrintingHost messages;
  platform::ScopedMessageHost shown(messages);
  designfile::PlainDesignHost design;
  const int loaded = designfile::Read_and_load_design_Log(design, QString::fromLocal8Bit(argv[1]), "L");
  std::printf("loaded %d\npeak %ld\n", loaded, peakKB());
  return 0;
}
