// Opens one design file as the window does, or pastes clipboard data from a
// file on a canvas as the Paste command does, and tells what happened and the
// most memory the program took meanwhile, for the tests of what a design or
// a paste may take. Prints "loaded <1|0>" (a paste: "pasted <objects>"),
// "peak <kB>" (VmHWM) and one line "message: <text>" per message shown
// (without the box's leading line break; line breaks within written as "\n").
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <cstdio>
#include <cstring>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/globals.h"
#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/designfile/PlainDesignHost.h"
#include "platform/MessageHost.h"
#include "support/PeakMemory.h"

namespace {

class PrintingHost : public platform::QuietMessageHost {
 public:
  void showMessage(const QString& text) override {
    std::printf("message: %s\n",
                qUtf8Printable(text.trimmed().replace(QLatin1Char('\n'), QStringLiteral("\\n"))));
  }
};

// The objects pasted on a front canvas from the clipboard data in the file.
int paste(designfile::PlainDesignHost& design, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  auto data = new QMimeData;
  data->setData(QString::fromLatin1(SKTGraphicViewPasteboardType), file.readAll());
  file.close();
  QGuiApplication::clipboard()->setMimeData(data);  // the clipboard owns it
  SKTGraphicView canvas(cardHost());
  canvas.bindGraphics(QString::fromLatin1(SKTGraphicViewGraphicsBindingName), &design.doc, CardSide::Front);
  canvas.paste();
  return static_cast<int>(design.doc.graphics().size());
}

}  // namespace

int main(int argc, char** argv) {
  const bool pasting = argc == 3 && std::strcmp(argv[1], "--paste") == 0;
  if (argc != 2 && !pasting) {
    std::fprintf(stderr, "usage: design_open_peak <design file> | --paste <clipboard data file>\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  PrintingHost messages;
  platform::ScopedMessageHost shown(messages);
  designfile::PlainDesignHost design;
  if (pasting) {
    const int pasted = paste(design, QString::fromLocal8Bit(argv[2]));
    std::printf("pasted %d\npeak %ld\n", pasted, testing_support::peakResidentKB());
    return 0;
  }
  const int loaded = designfile::Read_and_load_design_Log(design, QString::fromLocal8Bit(argv[1]), "L");
  std::printf("loaded %d\npeak %ld\n", loaded, testing_support::peakResidentKB());
  return 0;
}
