#pragma once
// A resource folder of a test's own, seeded from the shipped resources, as
// the program seeds the user's folder at its first start.

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>

#include "core/globals.h"
#include "mainwindow/globals.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"

namespace window_test {

// Seeds <dir>/resources, makes it the resource folder and puts the sides and
// the outline back to their start; returns the folder.
inline QString useSeededResources(const QTemporaryDir& dir) {
  EXPECT_TRUE(dir.isValid());
  const QString resources = dir.filePath(QStringLiteral("resources"));
  EXPECT_TRUE(platform::seedFolder(QStringLiteral(QUVO_SOURCE_DIR "/resources"), resources));
  Set_Resource_Path(resources);
  Card_Front_Or_Back = 0;
  Card_Shape = 0;
  Project_File_Name.clear();
  return resources;
}

}  // namespace window_test
