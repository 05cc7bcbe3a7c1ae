// A loaded module with per-thread state, as picture plugins and some system
// libraries have: each thread that touches it gets a block of its own.
static thread_local int touches = 0;

extern "C" int touchThreadLocal() {
  return ++touches;
}
