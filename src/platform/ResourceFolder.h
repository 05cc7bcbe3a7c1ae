#pragma once
// The resource folder: the per-user data folder of the program
// (QStandardPaths::AppDataLocation, which follows XDG_DATA_HOME), seeded
// from the resources shipped beside the program.

#include <QString>

namespace platform {

// The shipped resources, the first folder found of: $QUVO_RESOURCES,
// <program folder>/../share/quvo-gratulo/resources, <program folder>/resources
// and the source tree's resources folder. Empty when none exists.
QString shippedResourcesFolder();

// Copies the files of `from` into `to`, making folders as needed; files that
// already exist in `to` are kept as they are, links are not followed.
// False (with a reason) when a folder or file could not be made.
bool seedFolder(const QString& from, const QString& to, QString* error = nullptr);

// Start-up: sets Resource_Path to the per-user data folder, creates it,
// copies in what is missing of the shipped resources (and the shipped user
// guide over an older one) and creates the standard subfolders. False (with a reason) when the folder cannot
// be made; the program then shows the reason and quits.
bool initResourceFolder(QString* error = nullptr);

}  // namespace platform
