// Pictures from a modern camera on the card: a 6000 x 4000 JPEG photo.
// - decoding the file;
// - the first drawing of a newly placed picture object (filter chain at
//   neutral settings and resampling to the canvas), and the drawing after a
//   filter setting changed (blur, sharpness, a quarter and an eighth turn,
//   grey scale): what the window waits for when nothing else helps;
// - keeping a pasted photo as a file;
// - a repaint of a canvas holding 1 and 10 signature pictures (a 3000 x 1000
//   scan of a signature each).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "GuiBenchMain.h"
#include "core/CardHost.h"
#include "core/PictureFile.h"
#include "core/SKTImage.h"
#include "core/SKTSignature.h"
#include "core/render/PaintStyle.h"

namespace {

QTemporaryDir* folder() {
  static QTemporaryDir dir;
  return &dir;
}

// A photo-like picture: smooth colour with grain, saved as a JPEG.
QString photoFile(int w, int h) {
  const QString path = folder()->filePath(QStringLiteral("photo-%1x%2.jpg").arg(w).arg(h));
  if (QFile::exists(path)) return path;
  QImage img(w, h, QImage::Format_RGB32);
  QRandomGenerator rng(7);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const int n = int(rng.bounded(24));
      line[x] = qRgb((x * 255 / w + n) & 255, (y * 255 / h + n) & 255, (128 + n) & 255);
    }
  }
  img.save(path, "JPG", 90);
  return path;
}

// The canvas at zoom 1: a picture object of the clamped size drawn into a
// window-sized raster.
void drawOnce(SKTGraphic& graphic) {
  QImage canvas(1000, 700, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  graphic.drawContentsInView(painter, false);
}

void BM_DecodePhoto(benchmark::State& state) {
  const QString path = photoFile(6000, 4000);
  for (auto _ : state) {
    QImage picture = loadPictureFile(path);
    if (picture.isNull()) state.SkipWithError("not decoded");
    benchmark::DoNotOptimize(picture);
  }
}
BENCHMARK(BM_DecodePhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FirstDrawOfPlacedPhoto(benchmark::State& state) {
  CardHost host;
  ScopedCardHost scope(host);
  const QString path = photoFile(6000, 4000);
  const QImage held = loadPictureFile(path);  // decoding is measured above
  for (auto _ : state) {
    auto image = SKTImage::initWithPath(QPointF(400, 300), path);
    drawOnce(*image);
  }
}
BENCHMARK(BM_FirstDrawOfPlacedPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

// filter: 0 blur, 1 sharpness, 2 quarter turn, 3 eighth turn, 4 grey scale.
// screen 1: drawn as a window draws, where the chain runs on a worker and the
// drawing shows the picture as it was (what the window waits for).
void BM_DrawAfterFilterChange(benchmark::State& state) {
  CardHost host;
  ScopedCardHost scope(host);
  const QString path = photoFile(6000, 4000);
  auto image = SKTImage::initWithPath(QPointF(400, 300), path);
  drawOnce(*image);
  bool on = false;
  std::optional<render::ScopedScreenDrawing> screen;
  if (state.range(1) != 0) screen.emplace();
  for (auto _ : state) {
    on = !on;  // every drawing follows a change (two values, so nothing is kept between them)
    switch (state.range(0)) {
      case 0:
        image->blr_val = on ? 5.0f : 6.0f;
        break;
      case 1:
        image->srp_val = on ? 1.0f : 1.5f;
        break;
      case 2:
        image->rotate_image = on ? 90.0f : 270.0f;
        break;
      case 3:
        image->rotate_image = on ? 45.0f : 30.0f;
        break;
      default:
        image->gray_Scale = true;
        image->Sepia = on;
        break;
    }
    drawOnce(*image);
  }
}
BENCHMARK(BM_DrawAfterFilterChange)
    ->ArgNames({"filter", "screen"})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0}})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A camera photo pasted from another program is kept as a PNG file first.
void BM_KeepPastedPhoto(benchmark::State& state) {
  const QImage photo = loadPictureFile(photoFile(6000, 4000));
  for (auto _ : state) {
    QTemporaryDir dir;
    if (keepPastedPicture(photo, dir.path()).isEmpty()) state.SkipWithError("not kept");
  }
}
BENCHMARK(BM_KeepPastedPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SignatureRepaint(benchmark::State& state) {
  CardHost host;
  ScopedCardHost scope(host);
  const QString scan = folder()->filePath(QStringLiteral("signature.png"));
  if (!QFile::exists(scan)) {
    QImage img(3000, 1000, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setPen(QPen(Qt::darkBlue, 24));
    for (int i = 0; i < 12; ++i) p.drawLine(200 * i, 800, 200 * i + 300, 200);
    p.end();
    img.save(scan);
  }
  std::vector<std::shared_ptr<SKTSignature>> signatures;
  for (int i = 0; i < state.range(0); ++i) {
    auto s = SKTSignature::initWithPath(QPointF(100 + 20 * i, 100 + 40 * i), scan, QStringLiteral("S"));
    s->setBounds(QRectF(20 + 20 * i, 20 + 40 * i, 240, 80));
    signatures.push_back(s);
  }
  QImage canvas(1000, 700, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    for (auto& s : signatures) s->drawContentsInView(painter, false);
  }
}
BENCHMARK(BM_SignatureRepaint)->ArgName("signatures")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return runGuiBenchmarks(argc, argv);
}
