// The mail dialog and the export dialog by keyboard: Tab goes through the
// controls as a person reads them, row by row from the top and left to right
// (the Settings button beside the sender before the recipient, Close before
// Send, Cancel before OK), and the attachment field has a label to read.
#include <gtest/gtest.h>

#include <QLabel>

#include "platform/widgets/Open_Export_Log.h"
#include "production/ExportWindow.h"
#include "production/Send_Mail.h"
#include "support/ScriptedHost.h"
#include "support/TabOrder.h"

using testing_support::tabStops;

TEST(ProductionDialogKeyboard, TabFollowsTheReadingOrderOfTheMailAndExportDialogs) {
  testing_support::ScriptedHost host;
  Send_Mail& mail = Send_Mail::defaultInstance();
  QStringList stops;
  host.queueModal([&](QDialog& dialog) {
    // Without a card the attachment row is on and the card box is off.
    mail.rd_without_barcode->click();
    stops = tabStops(dialog, mail.from_txt, 13);
    dialog.hide();
    return 0;
  });
  mail.Open_Wnd();
  // Tab leaves the message for the next control rather than typing a tab.
  EXPECT_EQ(
      stops.join(" > ").toStdString(),
      "From > Settings > To > Subject > Message > Send card > Send without card > Attachment > Browse > "
      "Clear > Pause after every > Close > Send > From");
  const QLabel* label = nullptr;
  for (const QLabel* l : mail.findChildren<QLabel*>())
    if (l->buddy() == mail.attachment) label = l;
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "Attachment:");
  EXPECT_TRUE(label->isVisibleTo(&mail));

  ExportWindow& exporter = ExportWindow::defaultInstance();
  EXPECT_EQ(tabStops(exporter, exporter.fileFormatPopup, 5).join(" > ").toStdString(),
            "File type > DPI > Use data series > Use spreadsheet > Cancel > OK");
  exporter.hide();
  // And so does the box at the end of an export.
  Open_Export_Log finished;
  host.queueModal([&](QDialog& dialog) {
    stops = tabStops(dialog, finished._open_log_chk, 2);
    dialog.hide();
    return 0;
  });
  finished.openFor("/tmp/Card_1.png", "Card has been exported successfully.");
  EXPECT_EQ(stops.join(" > ").toStdString(), "Open exported file. > Cancel > OK");
}
