// The races that the thread checker (make tsan) reports: those in which code
// of this program asked for both accesses.
//
// Debian's Qt and the system libraries are not built for the checker. Their
// own locking (futexes, Qt's thread pool and semaphores) is invisible to it,
// so memory that a library hands between its own threads shows as raced: Qt
// fills a picture on the threads of its pool and returns once they are done,
// or frees the task it ran there. Such a race is dropped when one of the two
// accesses was made on a stack that holds no frame of this program at all:
// a library's own thread working for the library. Every other race is
// reported, whichever code made the accesses: a thread of ours filling an
// array through Qt while another of ours copies it through Qt is a race of
// ours (tests/sanitizers/RaceProbeTest.cpp proves that such races are
// reported). The frames of the checker's own functions (the memcpy, free and
// the like it watches) are neither ours nor a library's; those of the
// functions that stand in for Qt's (ThreadCheckerQtOrder.cpp) are Qt's. An
// access whose stack the checker could not restore counts as ours.
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
// The functions that stand in for Qt's (ThreadCheckerQtOrder.cpp).
extern char __start_thread_checker_qt_order[];
extern char __stop_thread_checker_qt_order[];
}

namespace {

#define QUVO_NOT_WATCHED __attribute__((no_sanitize("thread")))

constexpr unsigned long kFrames = 256;  // all that the checker keeps of a stack

QUVO_NOT_WATCHED bool inThisProgram(void* pc) {
  const char* at = static_cast<const char*>(pc);
  if (at >= __start_thread_checker_qt_order && at < __stop_thread_checker_qt_order) return false;
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

// Whether the access was made for a library alone: its stack is known, and
// no frame of it lies in this program.
QUVO_NOT_WATCHED bool madeForALibraryAlone(void* report, unsigned long index) {
  void* trace[kFrames] = {};
  int thread = 0, size = 0, write = 0, atomic = 0;
  void* address = nullptr;
  if (__tsan_get_report_mop(report, index, &thread, &address, &size, &write, &atomic, trace, kFrames) == 0)
    return false;
  bool known = false;
  for (void* pc : trace) {
    if (pc == nullptr) break;
    if (inThisProgram(pc)) return false;
    Dl_info info{};
    if (dladdr(pc, &info) != 0 && info.dli_fbase == checkerBase()) continue;
    known = true;
  }
  return known;
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
    if (madeForALibraryAlone(report, i)) return true;
  return false;
}

}  // namespace __tsan
