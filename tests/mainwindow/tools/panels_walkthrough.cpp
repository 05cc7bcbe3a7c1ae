// Makes a card with the object tabs alone, under a display:
//
//   xvfb-run -a build/test/tests/mainwindow_panels_walkthrough <screenshot folder>
//
// A greeting text in a chosen font and colour, a star with a gradient and a
// dashed border, a picture with two filters, two objects aligned, a text
// bound to a data series; a screenshot of each tab on the way; then the
// design is saved, opened again, and its objects shown once more.
#include <QApplication>
#include <QDir>
#include <QFontDialog>
#include <QTest>

#include "core/SKTGraphic.h"
#include "core/SKTImage.h"
#include "core/globals.h"
#include "data/DataSeriesStore.h"
#include "mainwindow/PictureLibrary.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/AlignmentTab.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/LineTab.h"
#include "mainwindow/panels/PictureTab.h"
#include "mainwindow/panels/ShapeTab.h"
#include "mainwindow/panels/SignatureTab.h"
#include "mainwindow/panels/TextEditingTab.h"
#include "mainwindow/panels/TextPropertiesTab.h"
#include "mainwindow/tools/WalkSupport.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"

using namespace walk;

namespace {

void showTab(SKTWindowController& window, const QString& title, const QString& shot) {
  QTabWidget* tabs = window.settingsTabs();
  for (int i = 0; i < tabs->count(); ++i)
    if (tabs->tabText(i) == title) tabs->setCurrentIndex(i);
  shoot(&window, shot);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (!prepare(argc, argv)) return 1;
  DataSeriesStore().writeSeries(
      QStringLiteral("Guests"),
      {QStringLiteral("Dear Ada"), QStringLiteral("Dear Grace"), QStringLiteral("Dear Alan")});
  WalkHost host;
  platform::ScopedMessageHost scoped(host);
  SKTWindowController window;
  window.resize(1280, 900);
  window.show();
  QTest::qWaitForWindowExposed(&window);
  settle(300);
  window.setZoomFactor(2.0);
  SKTGraphicView* front = window.graphicView();

  // A greeting: typed, in a chosen font and colour, centred, in a pale box.
  clickTool(window, DrawingTool::Text);
  const SKTGraphicPtr greeting = window.document()->graphics().front();
  dragObject(front, greeting, {120, 40});
  select(window, greeting);
  TextEditingTab* e = window.textEditingTab();
  e->Text_value_Edit->selectAll();
  QTest::keyClicks(e->Text_value_Edit, "Happy Birthday!");
  greeting->setBounds(QRectF(20, 15, 200, 45));
  showTab(window, "Text", "10-text");
  TextPropertiesTab* t = window.textPropertiesTab();
  host.onModal = [](QDialog& dialog) {
    auto& fonts = static_cast<QFontDialog&>(dialog);
    QFont font(QStringLiteral("Liberation Serif"), 24);
    font.setBold(true);
    fonts.setCurrentFont(font);
    dialog.done(1);
  };
  window.settingsTabs()->setCurrentIndex(1);
  QTest::mouseClick(t->Text_Font_btn, Qt::LeftButton);
  t->Text_clr->chooseColor(QColor(120, 30, 140));
  t->Text_align_combo->setCurrentIndex(2);
  if (!t->Text_fill_chk->isChecked()) t->Text_fill_chk->click();
  t->Text_fill_clr->chooseColor(QColor(255, 240, 250));
  showTab(window, "Text Properties", "11-text-properties");

  // A star with a gradient and a dashed border.
  clickTool(window, DrawingTool::Star);
  const SKTGraphicPtr star = window.document()->graphics().front();
  dragObject(front, star, {45, 110});
  select(window, star);
  ShapeTab* s = window.shapeTab();
  s->border.width->setValue(3);
  s->border.style->setCurrentIndex(1);
  s->border.colour->chooseColor(QColor(200, 80, 0));
  s->Shape_gradient_fill_rd->click();
  s->shape_fill_Grd_1_clr->chooseColor(QColor(255, 230, 60));
  s->shape_fill_Grd_2_clr->chooseColor(QColor(255, 120, 40));
  s->shape_grad_Stepper->setValue(90);
  showTab(window, "Star Properties", "12-shape");

  // A picture with two filters.
  host.openAnswers = {Resource_Path() + "/LibraryImage/flowers/Daisy.png"};
  clickTool(window, DrawingTool::PictureFile);
  const SKTGraphicPtr daisy = window.document()->graphics().front();
  dragObject(front, daisy, {200, 110});
  select(window, daisy);
  PictureTab* p = window.pictureTab();
  window.settingsTabs()->setCurrentIndex(1);
  p->Image_Sepia_chk->click();
  p->Con_slidr->setValue(1.6);
  p->Rotate_slidr->setValue(15);
  if (auto* picture = dynamic_cast<SKTImage*>(daisy.get()))
    qInfo("picture %dx%d from %s", picture->_contents.width(), picture->_contents.height(),
          qPrintable(picture->_file_path));
  showTab(window, "Image Source", "13-picture-source");
  showTab(window, "Image Properties", "14-picture");

  // The star and the picture aligned on their top edges.
  select(window, star);
  select(window, daisy, true);
  QTest::mouseClick(window.alignmentTab()->Align_Top_btn, Qt::LeftButton);
  showTab(window, "Alignment", "15-alignment");

  // A text bound to the series: it shows the series' first value.
  clickTool(window, DrawingTool::Text);
  const SKTGraphicPtr guest = window.document()->graphics().front();
  dragObject(front, guest, {120, 140});
  select(window, guest);
  DataSourceTab* d = window.dataSourceTab();
  window.settingsTabs()->setCurrentIndex(2);
  d->Data_source_type->setCurrentIndex(1);
  d->Batch_Series->setCurrentIndex(d->Batch_Series->findText("Guests"));
  showTab(window, "Text Source", "16-text-source");

  // A line, a signature and a barcode, each with its tab; a locked object.
  clickTool(window, DrawingTool::Line);
  LineTab* l = window.lineTab();
  l->Line_Wdt_Stepper->setValue(4);
  l->Line_clr->chooseColor(QColor(40, 120, 200));
  l->Line_border_style->setCurrentIndex(2);
  l->Line_cap_style->setCurrentIndex(1);
  showTab(window, "Line Properties", "17-line");
  clickTool(window, DrawingTool::Signature);
  window.signatureTab()->Sign_border_chk->click();
  showTab(window, "Signature Properties", "18-signature");
  clickTool(window, DrawingTool::Barcode);
  showTab(window, "Barcode Properties", "19-barcode");
  window.Lock_Clicked();
  shoot(&window, "20-locked");

  // Saved, opened again, and the greeting selected once more.
  const QString design = g_shots + "/panels.dcard";
  host.saveAnswer = design;
  window.SaveAs_Btn_Clicked();
  window.New_Project();
  host.openAnswers = {design};
  window.Open_Btn_Clicked();
  settle(300);
  const SKTGraphicList reopened = window.document()->graphics();
  qInfo("reopened objects: %d", static_cast<int>(reopened.size()));
  for (const SKTGraphicPtr& g : reopened)
    if (g->kind() == GraphicKind::Text && g->Text_contents()->string == "Happy Birthday!") select(window, g);
  showTab(window, "Text Properties", "21-reopened");
  return 0;
}
