// Services of the main window for other parts of the program: the sheets a
// worker shows and hides (only ever on the GUI thread), the path check, and
// the folder Save As proposes.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <thread>

#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "platform/globals.h"
#include "support/ScriptedHost.h"

namespace {

// Runs `work` on a worker thread while the GUI thread keeps serving events.
template <typename Work>
void onWorker(Work work) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    work();
    done = true;
  });
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  worker.join();
}

}  // namespace

TEST(WindowServices, SheetsAskedForByAWorkerAreShownOnTheGuiThread) {
  QTemporaryDir dir;
  Set_Resource_Path(dir.filePath("resources"));
  testing_support::ScriptedHost host;
  SKTWindowController window;
  window.show();
  onWorker([&] { window.Show_Create_Modeless(); });
  QDialog* sheet = window.pleaseWaitSheet();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->thread(), window.thread());
  EXPECT_TRUE(sheet->isVisible());
  EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
  EXPECT_EQ(sheet->findChild<QLabel*>()->text(), "It may take a while, Please wait..");
  onWorker([&] { window.Hide_Destroy_Modeless(); });
  EXPECT_FALSE(sheet->isVisible());

  // Path check: blanks only are refused, a path with a trailing blank is fine.
  EXPECT_EQ(SKTWindowController::Check_And_Validate_File_Path("  "), 1);
  EXPECT_EQ(host.messages(), QStringList{"\nPlease select valid file path."});
  EXPECT_EQ(SKTWindowController::Check_And_Validate_File_Path(dir.path() + " "), 0);
  EXPECT_EQ(SKTWindowController::Convert_Path_From_URL(QUrl::fromLocalFile(dir.path())), dir.path());
}

TEST(WindowServices, SaveAsProposesTheFolderOfTheDesign) {
  QTemporaryDir dir;
  Set_Resource_Path(dir.filePath("resources"));
  testing_support::ScriptedHost host;
  SKTWindowController window;
  window.SaveAs_Btn_Clicked();  // a new design: the documents folder
  EXPECT_EQ(host.lastPanelRequest().directory,
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
  Project_File_Name = dir.filePath("cards/party.dcard");
  QDir().mkpath(dir.filePath("cards"));
  window.SaveAs_Btn_Clicked();
  EXPECT_EQ(host.lastPanelRequest().directory, dir.filePath("cards"));
  Project_File_Name.clear();
}

TEST(WindowServices, TheSampleDesignNamedInTheReadmeOpens) {
  QTemporaryDir dir;
  Set_Resource_Path(dir.filePath("resources"));
  testing_support::ScriptedHost host;
  SKTWindowController window;
  host.queueOpenPanel({QStringLiteral(QUVO_SOURCE_DIR "/resources/Samples/Birthday.dcard")});
  window.Open_Btn_Clicked();
  EXPECT_TRUE(host.messages().isEmpty());
  EXPECT_EQ(window.Front_card_Prop.Card_Name, "Birthday");
  EXPECT_EQ(window.Front_card_Prop.Card_fill_style, "G");
  EXPECT_EQ(window.Back_card_Prop.Card_fill_style, "G");
  EXPECT_EQ(window.Get_Front_Control_Count(), 14);
  EXPECT_EQ(window.Get_Back_Control_Count(), 8);
  Project_File_Name.clear();
}
