#include "GuideStage.h"

#include <QTest>

#include "mainwindow/SKTWindowController.h"
#include "mainwindow/tools/WalkSupport.h"
#include "platform/FileHelpers.h"
#include "platform/globals.h"

QString seedGuideResources(const QTemporaryDir& home) {
  const QString resources = home.filePath(QStringLiteral("resources"));
  if (!platform::seedFolder(QStringLiteral(QUVO_SOURCE_DIR "/resources"), resources)) qFatal("no resources");
  Set_Resource_Path(resources);
  Check_Path_And_Create_Files();
  return resources;
}

void showGuideWindow(SKTWindowController& window) {
  window.resize(1280, 860);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) qFatal("the window was not shown");
  walk::settle(300);
}
