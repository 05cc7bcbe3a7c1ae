#pragma once
// Opening a file with the desktop's opener program ("xdg-open" on the PATH),
// which hands it to the application the desktop has for its type. The opener
// may only find out after it has started that no application takes the file
// (it then ends with a status other than 0, "no method available" being 3),
// so it is run on a worker and watched for a while; nothing of this waits on
// the GUI thread.

#include <QString>
#include <functional>

namespace platform::desktop_opener {

// How long an opener is watched, in milliseconds. One still running by then
// has started an application (some desktops keep the opener running until
// the application is closed): the file counts as opened, and the opener is
// ended (the application it started goes on).
inline constexpr int kWatchMs = 5000;

// The opener program found on the PATH; empty when there is none.
QString program();

// Runs `opener` with the file's absolute path as its one argument (no shell
// reads it) and gives `done` whether the file was opened: false when the
// opener could not start or ended with a failure within the watch. Returns at
// once; `done` runs on the GUI thread (at once, on the calling thread, where
// there is no application object).
void open(const QString& opener, const QString& path, std::function<void(bool opened)> done);

}  // namespace platform::desktop_opener
