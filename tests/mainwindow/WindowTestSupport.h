#pragma once
// A resource folder of a test's own, seeded from the shipped resources, as
// the program seeds the user's folder at its first start; and a design
// saved by the window's Save command and opened again by it.

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>

#include "core/globals.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"
#include "production/CardExport.h"
#include "production/ExportWindow.h"
#include "support/HangGuard.h"
#include "support/ScriptedHost.h"

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

// Saves the window's untitled design to `file` with the Save command and
// opens it again with the reader: both without a word but "saved".
inline void saveAndReopen(SKTWindowController& window, testing_support::ScriptedHost& host,
                          const QString& file) {
  host.clear();
  host.queueSavePanel(file);
  window.Save_Btn_Clicked();
  EXPECT_EQ(host.messages(),
            QStringList{QStringLiteral("\nGreeting Card Design Log has been saved successfully.")});
  host.clear();
  EXPECT_EQ(window.Read_and_load_design_Log(file, QStringLiteral("L")), 1);
  EXPECT_TRUE(host.messages().isEmpty()) << host.messages().join(' ').toStdString();
}

// Exports one PNG card per data row into `folder` through the Export button,
// the export window (its row box ticked), the folder panel and the finished
// box, and waits for the run.
inline void exportEveryRow(SKTWindowController& window, testing_support::ScriptedHost& host,
                           const QString& folder) {
  host.queueModal([](QDialog& d) {
    auto& w = static_cast<ExportWindow&>(d);
    EXPECT_TRUE(w.Export_with_batch_chk->isChecked());
    w.fileFormatPopup->setCurrentText(QStringLiteral("PNG"));
    return 1;
  });
  host.queueOpenPanel({folder});
  host.queueModal([](QDialog&) { return 0; });  // the export-finished box
  window.Export_Button();
  ASSERT_TRUE(window.cardExport().waitForRun(testing_support::kHangGuardMs));
}

}  // namespace window_test
