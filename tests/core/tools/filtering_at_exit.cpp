// Ends the application object while a picture is being filtered for the
// window, and tells whether the filtering had ended (its result kept for
// every object of the program) by the time the application's own objects
// went. The filter is held until the application's end has begun.
// Exit status: 0 ended in time, 3 still running, 2 the object was never seen going.
#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <future>
#include <memory>

#include "core/image/PictureCache.h"

namespace {

std::promise<void> endBegun;

void letTheFilterGoOn() {
  endBegun.set_value();
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  auto app = std::make_unique<QGuiApplication>(argc, argv);
  // An object of the application made before the filtering thread: it goes first.
  auto* firstObject = new QObject(app.get());

  QImage picture(2000, 2000, QImage::Format_RGB32);
  picture.fill(Qt::darkCyan);
  PictureFilterSettings settings;
  settings.invert = true;
  std::promise<void> started;
  std::shared_future<void> release = endBegun.get_future().share();
  PictureCache cache;
  cache.filteredWithoutWaiting(
      picture, settings,
      [&picture, &started, release] {
        started.set_value();
        release.wait();
        QImage out = picture.copy();
        for (int pass = 0; pass < 9; ++pass) out.invertPixels();
        return out;
      },
      [] {});
  started.get_future().wait();
  // Routines of the application's end run last added first: this one before
  // the end waits for anything.
  qAddPostRoutine(letTheFilterGoOn);

  int status = 2;
  QObject::connect(firstObject, &QObject::destroyed, [&] {
    bool filteredAgain = false;
    PictureCache other;
    other.filtered(picture, settings, [&] {
      filteredAgain = true;
      return picture;
    });
    status = filteredAgain ? 3 : 0;
  });
  app.reset();
  return status;
}
