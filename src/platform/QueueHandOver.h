#pragma once

// Work handed to another thread through one of Qt's queues (a queued call, a
// thread-pool task) is ordered by Qt's own locks. The thread checker of the
// sanitizer builds cannot see those locks, since the system's Qt is not built
// for it, and takes the task's captured data for a race. The sender marks the
// hand-over once the task is whole and just before queueing it, the receiver
// marks the taking-over as its first step, and the checker sees the order the
// queue already guarantees. (Calls to the GUI thread go through GuiCalls.)
// Ordinary builds compile both to nothing.

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace platform {

// One mark per kind of hand-over: the receiver cannot read anything of the
// task (its captures are the data in question) before it has taken over.
enum class HandOver { SheetCardFill };

#if defined(__SANITIZE_THREAD__)
inline char handOverMarks[1];
inline void handOver(HandOver kind) {
  __tsan_release(&handOverMarks[static_cast<int>(kind)]);
}
inline void takeOver(HandOver kind) {
  __tsan_acquire(&handOverMarks[static_cast<int>(kind)]);
}
#else
inline void handOver(HandOver) {}
inline void takeOver(HandOver) {}
#endif

}  // namespace platform
