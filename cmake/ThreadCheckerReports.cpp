// The races that the thread checker (make tsan) reports: those in which code
// of this program makes one of the two accesses.
//
// Debian's Qt and the system libraries are not built for the checker. Their
// own locking (futexes, Qt's thread pool and semaphores) is invisible to it,
// so memory that a library hands between its own threads shows as raced: Qt
// fills a picture on the threads of its pool and returns once they are done,
// or frees the task it ran there. Such a race is dropped when both accesses
// are made inside a library: the innermost frame of each (after the checker's
// own functions, the memcpy, free and the like it watches) lies outside this
// program. A race in which our code reads or writes on one side is reported,
// whichever code made the other access: a thread of ours writing a buffer
// while Qt copies it is a race of ours (tests/sanitizers/RaceProbeTest.cpp
// proves that it is reported). An access whose stack the checker could not
// restore counts as ours.
//
// The checker asks this function about every report it would print, while it
// reports: the code here is not watched itself.
#include <dlfcn.h>

#include <string_view>

extern "C" {
int __tsan_get_report_data(void* report, const char** description, int* count, int* stackCount,
                           int* accessCount, int* locationCount, int* mutexCount, int* threadCount,
                           int* uniqueThreadCount, void** sleepTrace, unsigned long traceSize);
int __tsan_get_report_mop(void* report, unsigned long index, int* thread, void** address, int* size,
                          int* write, int* atomic, void** trace, unsigned long traceSize);
extern char __executable_start[];
extern char __etext[];
}

namespace {

#define QUVO_NOT_WATCHED __attribute__((no_sanitize("thread")))

constexpr unsigned long kFrames = 64;

QUVO_NOT_WATCHED bool inThisProgram(void* pc) {
  const char* at = static_cast<const char*>(pc);
  return at >= __executable_start && at < __etext;
}

// The library the checker's own functions lie in.
QUVO_NOT_WATCHED void* checkerBase() {
  static void* base = nullptr;
  if (base == nullptr) {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&__tsan_get_report_mop), &info) != 0) base = info.dli_fbase;
  }
  return base;
}

// Whether the access was made inside a library (not by this program, and
// with its stack known).
QUVO_NOT_WATCHED bool madeInsideALibrary(void* report, unsigned long index) {
  void* trace[kFrames] = {};
  int thread = 0, size = 0, write = 0, atomic = 0;
  void* address = nullptr;
  if (__tsan_get_report_mop(report, index, &thread, &address, &size, &write, &atomic, trace, kFrames) == 0)
    return false;
  for (void* pc : trace) {
    if (pc == nullptr) return false;  // no frame outside the checker: not known
    Dl_info info{};
    if (dladdr(pc, &info) != 0 && info.dli_fbase == checkerBase()) continue;
    return !inThisProgram(pc);
  }
  return false;
}

}  // namespace

namespace __tsan {

struct ReportDesc;

QUVO_NOT_WATCHED bool OnReport(const ReportDesc* rep, bool suppressed) {
  if (suppressed) return true;
  void* report = const_cast<ReportDesc*>(rep);
  const char* description = nullptr;
  int count = 0, stacks = 0, accesses = 0, locations = 0, mutexes = 0, threads = 0, uniqueThreads = 0;
  void* sleepTrace[1] = {};
  if (__tsan_get_report_data(report, &description, &count, &stacks, &accesses, &locations, &mutexes, &threads,
                             &uniqueThreads, sleepTrace, 1) == 0 ||
      description == nullptr || std::string_view(description) != "data-race" || accesses < 2)
    return false;
  for (int i = 0; i < accesses; ++i)
    if (!madeInsideALibrary(report, i)) return false;
  return true;
}

}  // namespace __tsan
