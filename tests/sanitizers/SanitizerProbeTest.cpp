// The leak check at the end of every test process: it must survive the
// per-thread blocks of loaded modules wherever they land, and still report a
// real leak. Each case runs as its own process (tests/sanitizers/CMakeLists).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Threads that stay alive into the leak check at exit, each holding a
// thread-local block of the loaded module; a new thread's first small
// allocation often starts 16 bytes into a page.
TEST(SanitizerProbe, ThreadLocalBlocksOfALoadedModuleAtExit) {
  void* module = dlopen(QUVO_THREAD_LOCAL_MODULE, RTLD_NOW);
  ASSERT_NE(module, nullptr) << dlerror();
  using Touch = int (*)();
  const auto touch = reinterpret_cast<Touch>(dlsym(module, "touchThreadLocal"));
  ASSERT_NE(touch, nullptr);

  constexpr int kThreads = 16;
  std::mutex mutex;
  std::condition_variable touched;
  int ready = 0;
  for (int i = 0; i < kThreads; ++i) {
    std::thread([&] {
      EXPECT_EQ(touch(), 1);
      {
        std::lock_guard lock(mutex);
        ++ready;
      }
      touched.notify_one();
      for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    }).detach();
  }
  std::unique_lock lock(mutex);
  touched.wait(lock, [&] { return ready == kThreads; });
  EXPECT_EQ(touch(), 1);
}

// Memory whose last pointer lived on a thread that has ended: nothing reaches
// it, and the leak check must say so.
TEST(SanitizerProbe, ADeliberateLeakIsReported) {
  std::thread([] {
    void* lost = std::malloc(4242);
    ASSERT_NE(lost, nullptr);
    static_cast<char*>(lost)[0] = 1;
  }).join();
}

}  // namespace
