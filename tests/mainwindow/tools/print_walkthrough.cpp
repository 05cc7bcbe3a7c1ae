// The print walkthrough: drives the real main window under a display
// (xvfb-run), makes a card with a text and a QR Code bound to a data series
// of seventeen guests, opens Card > Print…,
// changes the layout, opens the print preview and prints to a PDF file,
// saving a screenshot at each step. Not a test: run it by hand and look.
//
//   xvfb-run -a build/test/tests/mainwindow_print_walkthrough /tmp/shots
#include <QButtonGroup>
#include <QPrintPreviewWidget>
#include <QPushButton>

#include "WalkSupport.h"
#include "barcode/designer/BarcodeSettings.h"
#include "core/SKTText.h"
#include "data/DataSeriesStore.h"
#include "production/print/Print_Wnd.h"

using namespace walk;

namespace {

// The print preview: its pages on screen, then closed.
void lookAtPreview(QDialog& preview) {
  preview.resize(1100, 850);
  if (auto* pages = preview.findChild<QPrintPreviewWidget*>()) pages->setAllPagesViewMode();
  shoot(&preview, "print-03-preview");
  preview.done(0);
}

void lookAtDialog(WalkHost& host, QDialog& window, const QString& pdf) {
  auto& dialog = static_cast<Print_Wnd&>(window);
  dialog.resize(1250, 760);
  shoot(&dialog, "print-01-opened");
  // Two columns and four rows of both sides, side by side, centred automatically.
  dialog.matrix_card_side->button(0)->click();
  dialog.print_alignment->setCurrentIndex(1);
  dialog.arrangementChosen(1);
  dialog.Col_Text->setValue(2);
  dialog.Row_Text->setValue(5);
  dialog.Auto_Center_chk_bx->click();
  shoot(&dialog, "print-02-layout");
  host.onModal = lookAtPreview;
  dialog.previewButton->click();
  host.saveAnswer = pdf;
  dialog.printButton->click();
  qInfo("printed %s", qPrintable(pdf));
  dialog.done(0);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (!prepare(argc, argv)) return 1;
  WalkHost host;
  platform::ScopedMessageHost scoped(host);
  SKTWindowController window;
  window.resize(1280, 900);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  settle(300);

  QStringList guests;
  for (int i = 1; i <= 17; ++i) guests << QStringLiteral("Guest %1").arg(i);
  DataSeriesStore().writeSeries(QStringLiteral("Guests"), guests);

  // A name and a QR Code, both taking the guest of each row.
  clickTool(window, DrawingTool::Text);
  const SKTGraphicPtr name = window.document()->graphics().front();
  name->setBounds(QRectF(15, 12, 200, 30));
  clickTool(window, DrawingTool::Barcode);
  const SKTGraphicPtr code = window.document()->graphics().front();
  code->linear_or_2d = 1;
  code->barcode_font_index = barcode::symbologyNames().indexOf(QStringLiteral("QR Code"));
  code->qr_size_val = 70;
  code->setBounds(QRectF(140, 50, 95, 95));
  for (const SKTGraphicPtr& bound : {name, code}) {
    bound->data_source_type = 1;
    bound->batch_list_name = QStringLiteral("Guests");
  }
  window.graphicView()->update();
  shoot(&window, "print-00-card");

  const QString pdf = g_shots + "/print-sheets.pdf";
  host.onModal = [&host, pdf](QDialog& dialog) { lookAtDialog(host, dialog, pdf); };
  window.dialogAction("Print_Button")->trigger();
  settle(300);
  return 0;
}
