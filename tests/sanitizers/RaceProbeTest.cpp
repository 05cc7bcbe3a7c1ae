// Races of ours made on purpose, for the thread checker of `make tsan`: a
// thread of ours writes memory that this thread then reads, with no order
// between the two that the checker can see. Each must be reported with the
// suppressions of tests/tsan.supp in force, also where a library does the
// reading (its copy of our buffer), or the writing and the reading both (Qt
// filling our array or painting into our picture on our thread, Qt copying
// it here): a suppression or a filter that hid one of them would hide such
// races of ours everywhere. The order that the checker is shown of Qt's
// thread pools (cmake/ThreadCheckerQtOrder.cpp) hides no race either: a task
// reading what its starter wrote after the start is reported
// (tests/sanitizers/extra.cmake).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QThreadPool>
#include <atomic>
#include <thread>

namespace {

constexpr int kBytes = 64;  // a picture of 4 × 4 pixels of 4 bytes

// Writes on a thread of ours, then reads here. The thread's signal is a
// relaxed flag, which orders nothing for the checker.
template <typename Write, typename Read>
void readWhatOurThreadWrote(Write write, Read read) {
  std::atomic<bool> written{false};
  std::thread writer([&] {
    write();
    written.store(true, std::memory_order_relaxed);
  });
  while (!written.load(std::memory_order_relaxed)) std::this_thread::yield();
  read();
  writer.join();
}

// Fills the buffer with a loop of ours on a thread of ours, then reads it here.
template <typename Read>
void readWhatOurThreadWrote(char (&buffer)[kBytes], Read read) {
  readWhatOurThreadWrote(
      [&] {
        for (char& byte : buffer) byte = 'q';
      },
      read);
}

TEST(RaceProbe, OurThreadAndOurCode) {
  char buffer[kBytes] = {};
  readWhatOurThreadWrote(buffer, [&] {
    char copy[kBytes];
    for (int i = 0; i < kBytes; ++i) copy[i] = buffer[i];
    EXPECT_EQ(copy[0], 'q');
  });
}

TEST(RaceProbe, QtCoreCopiesWhatOurThreadWrote) {
  char buffer[kBytes] = {};
  readWhatOurThreadWrote(buffer, [&] { EXPECT_EQ(QByteArray(buffer, kBytes).at(0), 'q'); });
}

TEST(RaceProbe, QtGuiCopiesWhatOurThreadWrote) {
  char buffer[kBytes] = {};
  readWhatOurThreadWrote(buffer, [&] {
    const QImage picture(reinterpret_cast<const uchar*>(buffer), 4, 4, QImage::Format_ARGB32);
    EXPECT_EQ(picture.copy().constBits()[0], 'q');
  });
}

TEST(RaceProbe, GlibCopiesWhatOurThreadWrote) {
  using CopyBytes = void* (*)(const void*, size_t);
  const auto copy = reinterpret_cast<CopyBytes>(dlsym(RTLD_DEFAULT, "g_memdup2"));
  const auto release = reinterpret_cast<void (*)(void*)>(dlsym(RTLD_DEFAULT, "g_free"));
  ASSERT_TRUE(copy != nullptr && release != nullptr) << "glib is not loaded";
  char buffer[kBytes] = {};
  readWhatOurThreadWrote(buffer, [&] {
    void* bytes = copy(buffer, kBytes);
    EXPECT_EQ(static_cast<const char*>(bytes)[0], 'q');
    release(bytes);
  });
}

// Qt writes our array on our thread and copies it here: both accesses are
// made inside Qt, for our code.
TEST(RaceProbe, QtFillsOurArrayThatQtCopies) {
  QByteArray array(kBytes, '\0');
  const char* bytes = array.constData();
  readWhatOurThreadWrote([&] { array.fill('q'); }, [&] { EXPECT_EQ(QByteArray(bytes, kBytes).at(0), 'q'); });
}

TEST(RaceProbe, QtBufferWritesOurArrayThatQtCopies) {
  QByteArray array(kBytes, '\0');
  const char* bytes = array.constData();
  const QByteArray source(kBytes, 'q');
  readWhatOurThreadWrote(
      [&] {
        QBuffer device(&array);
        ASSERT_TRUE(device.open(QIODevice::WriteOnly));
        ASSERT_EQ(device.write(source), kBytes);
      },
      [&] { EXPECT_EQ(QByteArray(bytes, kBytes).at(0), 'q'); });
}

// An opaque picture drawn into one of its format is copied with memcpy, which
// the checker watches (not so Qt's own blending loops).
TEST(RaceProbe, QtPaintsIntoOurPictureThatQtCopies) {
  QImage picture(4, 4, QImage::Format_RGB32);
  picture.fill(Qt::black);
  QImage source(4, 4, QImage::Format_RGB32);
  source.fill(QColor(0x71, 0x71, 0x71));
  readWhatOurThreadWrote(
      [&] {
        QPainter painter(&picture);
        painter.drawImage(0, 0, source);
      },
      [&] { EXPECT_EQ(picture.copy().pixel(0, 0), source.pixel(0, 0)); });
}

TEST(RaceProbe, OurPoolTaskReadsWhatWeWroteAfterStartingIt) {
  char buffer[kBytes] = {};
  std::atomic<bool> written{false};
  std::atomic<char> seen{0};
  QThreadPool pool;
  pool.start([&] {
    while (!written.load(std::memory_order_relaxed)) std::this_thread::yield();
    char copy[kBytes];
    for (int i = 0; i < kBytes; ++i) copy[i] = buffer[i];
    seen = copy[0];
  });
  for (char& byte : buffer) byte = 'q';
  written.store(true, std::memory_order_relaxed);
  pool.waitForDone();
  EXPECT_EQ(seen.load(), 'q');
}

}  // namespace
