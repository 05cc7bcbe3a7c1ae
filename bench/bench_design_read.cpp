// Reading design files and clipboard data, sound and hostile: a 20 MB binary
// design, lists of many shared items, a padded object archive, an XML design
// of 36 million elements, a design whose 25 picture objects name one 7000 x
// 7000 picture, and designs whose barcodes carry their own pictures. Each
// input is generated once for the run. Saving reads back what it is about to
// write: the bytes of a design of 300 objects and 2,000 spreadsheet rows, and
// of a 25 MB one.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "HostileDesigns.h"
#include "core/GraphicArchive.h"
#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/designfile/PlainDesignHost.h"

namespace {

using platform::PlistArray;
using platform::PlistDict;
using platform::PlistValue;

// A sound binary design of about `bytes` bytes: a spreadsheet table of
// distinct texts, eight columns a row, and no objects.
QByteArray largeBinaryDesign(qint64 bytes) {
  PlistArray rows;
  qint64 size = 0;
  const QString keys[] = {"Extension", "Column1", "Column2", "Column3",
                          "Column4",   "Column5", "Column6", "Column7"};
  for (int r = 0; size < bytes; ++r) {
    PlistDict row;
    for (int c = 0; c < 8; ++c) {
      const QString text = QStringLiteral("row %1 column %2 text").arg(r).arg(c);
      size += text.size() + 18;  // the text and its marker, references, offset and row share
      row.insert(keys[c], PlistValue::string(text));
    }
    rows.push_back(PlistValue(std::move(row)));
  }
  return platform::toBinaryPropertyList(PlistValue(hostile::designElementsWithRows(std::move(rows))));
}

void readDesign(benchmark::State& state, const QByteArray& bytes) {
  state.counters["bytes"] = static_cast<double>(bytes.size());
  for (auto _ : state) {
    QString why;
    auto design = designfile::parseDesignFile(bytes, &why);
    benchmark::DoNotOptimize(design);
    state.SetLabel(design ? "read" : ("refused: " + why).toStdString());
  }
}

void BM_ReadBinaryDesign20MB(benchmark::State& state) {
  static const QByteArray bytes = largeBinaryDesign(20LL * 1024 * 1024);
  readDesign(state, bytes);
}
BENCHMARK(BM_ReadBinaryDesign20MB)->Unit(benchmark::kMillisecond);

void BM_ReadDesignWithRowItems(benchmark::State& state) {
  readDesign(state, hostile::binaryDesignWithRowItems(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ReadDesignWithRowItems)->Arg(200000)->Arg(400000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReadDesignWithPaddedArchive(benchmark::State& state) {
  readDesign(state, hostile::designWithPaddedArchive(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ReadDesignWithPaddedArchive)->Arg(150000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReadXmlDesignWithElements(benchmark::State& state) {
  readDesign(state, hostile::xmlDesignWithRowElements(state.range(0)));
}
BENCHMARK(BM_ReadXmlDesignWithElements)->Arg(36000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A design as a busy person makes it: 100 texts, 100 shapes, 100 lines and
// a spreadsheet table of `rows` rows of eight columns.
designfile::Design busyDesign(int rows) {
  designfile::Design design;
  design.front.Card_Size = QSizeF(419.53, 595.28);
  design.back.Card_Size = design.front.Card_Size;
  for (int i = 0; i < 100; ++i) {
    for (GraphicKind kind : {GraphicKind::Text, GraphicKind::Shape, GraphicKind::Line}) {
      SKTGraphicPtr g = SKTGraphic::makeGraphic(kind);
      g->setBounds(QRectF(i % 40 * 10, i / 40 * 10, 120, 40));
      if (kind == GraphicKind::Text)
        g->_Text_contents = std::make_shared<SKTTextStorage>(
            SKTTextStorage{QStringLiteral("Dear guest %1, welcome to our celebration! ").arg(i).repeated(4),
                           CardFont{QStringLiteral("ArialMT"), 14.0}, Qt::black});
      (i % 2 ? design.backGraphics : design.frontGraphics).push_back(std::move(g));
    }
  }
  design.columnTitles = {"Nr", "Name", "Street", "City", "Mail", "Phone", "Company", "Note"};
  for (int r = 0; r < rows; ++r) {
    DataSourceRow row{{"Extension", QString::number(r + 1)}};
    for (int c = 1; c < 8; ++c)
      row.insert(QStringLiteral("Column%1").arg(c), QStringLiteral("row %1 text %2").arg(r).arg(c));
    design.rows.append(std::move(row));
  }
  return design;
}

void saveDesign(benchmark::State& state, const designfile::Design& design) {
  for (auto _ : state) {
    const QByteArray bytes = designfile::designFileBytes(design);
    state.counters["bytes"] = static_cast<double>(bytes.size());
    benchmark::DoNotOptimize(bytes.data());
  }
}

void BM_SaveBusyDesign(benchmark::State& state) {
  static const designfile::Design design = busyDesign(2000);
  saveDesign(state, design);
}
BENCHMARK(BM_SaveBusyDesign)->Unit(benchmark::kMillisecond);

void BM_SaveDesign25MB(benchmark::State& state) {
  static const designfile::Design design = busyDesign(50000);
  saveDesign(state, design);
}
BENCHMARK(BM_SaveDesign25MB)->Unit(benchmark::kMillisecond);

void BM_PasteClipboardItems(benchmark::State& state) {
  const QByteArray bytes = hostile::clipboardWithItems(static_cast<int>(state.range(0)));
  state.counters["bytes"] = static_cast<double>(bytes.size());
  for (auto _ : state) {
    auto graphics = graphicsWithPasteboardData(bytes);
    benchmark::DoNotOptimize(graphics);
    state.SetLabel(graphics ? "read" : "refused");
  }
}
BENCHMARK(BM_PasteClipboardItems)->Arg(50000)->Arg(150000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_OpenDesignSharingOnePicture(benchmark::State& state) {
  static QTemporaryDir folder;
  const QString picture = folder.filePath("large.png");
  const QString design = folder.filePath("shared.dcard");
  if (!QFile::exists(design)) {
    QFile file(design);
    if (!hostile::writeLargePicture(picture, 7000) || !file.open(QIODevice::WriteOnly) ||
        file.write(hostile::designWithSharedPicture(picture, 25)) < 0) {
      state.SkipWithError("cannot write the picture or the design");
      return;
    }
  }
  state.counters["bytes"] = static_cast<double>(QFileInfo(design).size());
  for (auto _ : state) {
    designfile::PlainDesignHost host;
    benchmark::DoNotOptimize(designfile::Read_and_load_design_Log(host, design, "L"));
  }
}
BENCHMARK(BM_OpenDesignSharingOnePicture)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

// Pictures carried in a design decode within one budget, checked from every
// picture's header before any is decoded: 30 barcode pictures of 1200 x 1200
// pixels (170 MB decoded, within it), and twenty of 7000 x 7000 (3.9 GB,
// refused before any is decoded).
void BM_ReadDesignCarryingPictures(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const int objects = static_cast<int>(state.range(1));
  const QByteArray bytes = hostile::designWithEmbeddedPictures(hostile::largeAlphaPicture(side), objects);
  readDesign(state, bytes);
}
BENCHMARK(BM_ReadDesignCarryingPictures)
    ->Args({1200, 30})
    ->Args({7000, 20})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
