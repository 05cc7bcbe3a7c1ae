// Fuzz target of the design file reader.
//
// Every input is read as a design file. A design that is accepted is put in
// place of a plain host's design, written again, read again and written a
// second time: the two writings must hold the same (the binary archives may
// share equal entries differently), so that whatever the reader accepts is
// saved in a form it reads back unchanged.
//
//   cmake -S . -B build/designfile-fuzz -G Ninja -DQUVO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
//         -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
//   cmake --build build/designfile-fuzz --target designfile_fuzz
//   build/designfile-fuzz/tests/designfile_fuzz corpus/
//
// With QUVO_DESIGNFILE_WRITE_SEEDS=<folder> the program first writes a few
// seed designs (an empty one and one with every kind of card object) there.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/SKTImage.h"
#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/designfile/PlainDesignHost.h"
#include "platform/PropertyList.h"

namespace {

// A keyed archive with every reference replaced by the object it refers to:
// two archives of the same objects give equal trees, however the binary
// writer shared or repeated equal entries.
platform::PlistValue resolved(const platform::PlistArray& objects, const platform::PlistValue& value,
                              int depth) {
  if (depth > 64) return value;
  if (auto uid = value.toUid()) {
    if (*uid < objects.size()) return resolved(objects, objects[*uid], depth + 1);
    return value;
  }
  if (const auto* array = value.array()) {
    platform::PlistArray out;
    for (const auto& item : *array) out.push_back(resolved(objects, item, depth + 1));
    return platform::PlistValue(std::move(out));
  }
  if (const auto* dict = value.dict()) {
    platform::PlistDict out;
    for (qsizetype i = 0; i < dict->size(); ++i)
      out.insert(dict->keyAt(i), resolved(objects, dict->valueAt(i), depth + 1));
    return platform::PlistValue(std::move(out));
  }
  return value;
}

// The elements of a written design with every archive as its resolved tree.
platform::PlistArray canonicalElements(const QByteArray& design) {
  auto root = platform::parsePropertyList(design);
  if (!root || !root->array()) return {};
  platform::PlistArray out;
  for (const auto& element : *root->array()) {
    auto data = element.toData();
    auto archive = data ? platform::parsePropertyList(*data) : std::nullopt;
    const platform::PlistArray* objects =
        archive && archive->dict() ? archive->dict()->array("$objects") : nullptr;
    const platform::PlistDict* top = archive && archive->dict() ? archive->dict()->dict("$top") : nullptr;
    if (objects && top && top->value("root"))
      out.push_back(resolved(*objects, *top->value("root"), 0));
    else
      out.push_back(element);
  }
  return out;
}

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

void writeSeed(const QDir& folder, const QString& name, const designfile::Design& design) {
  QFile file(folder.filePath(name));
  if (file.open(QIODevice::WriteOnly)) file.write(designfile::designFileBytes(design));
}

SKTGraphicPtr object(GraphicKind kind, int n) {
  SKTGraphicPtr g = SKTGraphic::makeGraphic(kind);
  g->_bounds = QRectF(n, 2 * n, 40 + n, 30);
  g->Text_Value = QStringLiteral("Value %1").arg(n);
  g->control_ID = QStringLiteral("PARTY_TITLE");
  return g;
}

void writeSeeds(const QString& folderPath) {
  QDir folder(folderPath);
  folder.mkpath(QStringLiteral("."));
  designfile::Design empty;
  empty.back.Card_Side_Name = QStringLiteral("B");
  empty.columnTitles = {QStringLiteral("No.")};
  writeSeed(folder, QStringLiteral("empty.dcard"), empty);

  designfile::Design full = empty;
  full.front.Card_fill_chk = true;
  full.front.Card_fill_style = QStringLiteral("I");
  full.front.Card_BG_Image_Path = QStringLiteral("/nonexistent/bg.png");
  full.front.Card_Size = QSizeF(243, 154);
  full.front.Card_Shape = QStringLiteral("RR");
  full.excelBindingUse = true;
  full.excelSourcePath = QStringLiteral("/tmp/guests.xlsx");
  full.columnTitles = {QStringLiteral("No."), QStringLiteral("Name")};
  full.rows = {DataSourceRow{{QStringLiteral("Extension"), QStringLiteral("1")},
                             {QStringLiteral("Column1"), QStringLiteral("Ann")}}};
  int n = 1;
  for (GraphicKind kind : {GraphicKind::Text, GraphicKind::Image, GraphicKind::Line, GraphicKind::Shape})
    full.frontGraphics.push_back(object(kind, n++));
  full.frontGraphics[0]->_Text_contents = std::make_shared<SKTTextStorage>(
      SKTTextStorage{QStringLiteral("Hello"), CardFont{"ArialMT", 12}, Qt::red});
  SKTGraphicPtr barcode = object(GraphicKind::Barcode, n++);
  QImage bars(4, 2, QImage::Format_ARGB32);
  bars.fill(Qt::black);
  barcode->_barcode_image = bars;
  full.backGraphics = {object(GraphicKind::Signature, n++), barcode};
  writeSeed(folder, QStringLiteral("full.dcard"), full);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "designfile_fuzz";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  qInstallMessageHandler(quiet);
  if (const char* seeds = std::getenv("QUVO_DESIGNFILE_WRITE_SEEDS"))
    writeSeeds(QString::fromLocal8Bit(seeds));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  std::optional<designfile::Design> design = designfile::parseDesignFile(bytes);
  if (!design) return 0;

  designfile::PlainDesignHost host;
  designfile::applyDesign(host, std::move(*design), QString(), QStringLiteral("T"));
  const QByteArray first = designfile::designFileBytes(designfile::currentDesign(host));
  QString why;
  std::optional<designfile::Design> again = designfile::parseDesignFile(first, &why);
  if (!again) {
    std::fprintf(stderr, "an accepted design was written in a form that does not read back: %s\n",
                 why.toLocal8Bit().constData());
    std::abort();
  }
  const QByteArray second = designfile::designFileBytes(*again);
  if (second != first && canonicalElements(second) != canonicalElements(first)) {
    std::fprintf(stderr, "an accepted design changed between two savings\n");
    if (std::getenv("QUVO_DESIGNFILE_KEEP_DIFF")) {
      QFile a(QStringLiteral("designfile-first.plist")), b(QStringLiteral("designfile-second.plist"));
      if (a.open(QIODevice::WriteOnly)) a.write(first);
      if (b.open(QIODevice::WriteOnly)) b.write(second);
    }
    std::abort();
  }
  return 0;
}
