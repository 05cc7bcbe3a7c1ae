#pragma once
// Work handed to worker threads that uses objects living as long as the
// application object or the program (lists kept in statics, the application's
// own objects such as the way back to the GUI thread). Every job started here
// is counted until it has ended, whatever it held released too. The end of
// the application object waits for every counted job first, before its own
// objects go and so long before the program's statics: no job is left
// running into the end of the program, whatever main() does on its way out.
//
// The counting is a plain mutex and condition, so the wait is one that the
// sanitizer builds' thread checker sees (a thread pool's own wait for its
// threads happens inside Qt, where it does not).

#include <QThreadPool>
#include <functional>

namespace platform::background_jobs {

// Starts `job` on `pool`. Without an application object, whose end would wait
// for it, the job runs on the calling thread instead.
void start(QThreadPool& pool, std::function<void()> job);

// Waits until every job started so far has ended. The application object's
// end calls it; a program may call it sooner, but never from a job.
void waitForAll();

}  // namespace platform::background_jobs
