// Drives the real main window as a person would, under a display:
//
//   xvfb-run -a build/test/tests/mainwindow_walkthrough <screenshot folder> [sample design path]
//
// With a sample path it first builds the sample design (a gradient front and
// a hatched back with texts and shapes) and saves it there. Then it builds a
// two-sided card with a picture background and an elliptic outline, using
// every tool and the card tabs, and saves screenshots of the window (both
// sides), the picture library and the grid panel, and the design.
#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>

#include "core/SKTGraphic.h"
#include "core/globals.h"
#include "mainwindow/AuxWindows.h"
#include "mainwindow/PictureLibrary.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/CardBackgroundTab.h"
#include "mainwindow/panels/CardBorderTab.h"
#include "mainwindow/panels/CardSettingsTab.h"
#include "mainwindow/tools/WalkSupport.h"
#include "platform/MessageHost.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"

namespace {

using namespace walk;

void buildSample(SKTWindowController& window, WalkHost& host, const QString& path) {
  CardSettingsTab* g = window.cardSettingsTab();
  CardBackgroundTab* b = window.cardBackgroundTab();
  g->card_name->setText("Birthday");
  QTest::keyClick(g->card_name, Qt::Key_Return);
  g->matrix_card_shape->button(1)->click();
  b->Card_fill_chk->click();
  b->Card_gradient_fill_rd->click();
  b->Card_fill_Grd_1_clr->chooseColor(QColor(255, 214, 120));
  b->Card_fill_Grd_2_clr->chooseColor(QColor(240, 120, 150));
  b->Card_grad_Stepper->setValue(45);
  clickTool(window, DrawingTool::Text);
  clickTool(window, DrawingTool::Star);
  clickTool(window, DrawingTool::Oval);
  window.Select_back_side();
  b->Card_fill_chk->click();
  b->Card_Style_fill_rd->click();
  b->Card_hatch_style->setCurrentText("Dots");
  b->Card_hatch_bk_clr->chooseColor(QColor(230, 240, 255));
  clickTool(window, DrawingTool::Text);
  clickTool(window, DrawingTool::RoundedRectangle);
  window.Select_front_side();
  host.saveAnswer = path;
  window.SaveAs_Btn_Clicked();
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (!prepare(argc, argv)) return 1;
  WalkHost host;
  platform::ScopedMessageHost scoped(host);
  SKTWindowController window;
  window.resize(1280, 880);
  window.show();
  QTest::qWaitForWindowExposed(&window);
  settle(300);
  shoot(&window, "01-start");

  if (argc > 2) {
    buildSample(window, host, argv[2]);
    shoot(&window, "02-sample");
    window.New_Btn_Clicked();
  }

  CardSettingsTab* g = window.cardSettingsTab();
  CardBackgroundTab* b = window.cardBackgroundTab();
  CardBorderTab* r = window.cardBorderTab();
  QTabWidget* tabs = window.settingsTabs();

  // Card tab: name, elliptic outline, a larger card typed in millimetres.
  g->card_name->setText("Garden party");
  QTest::keyClick(g->card_name, Qt::Key_Return);
  QTest::mouseClick(g->matrix_card_shape->button(2), Qt::LeftButton);
  g->width_Text->setText("100");
  g->height_Text->setText("65");
  QTest::mouseClick(g->Apply_Size_btn, Qt::LeftButton);
  // Background tab: a shipped background picture, stretched.
  tabs->setCurrentWidget(window.card_bkgd_tab);
  settle();
  const QModelIndex sunrise = b->imageBrowser->model()->index(2, 0);  // Confetti, Hearts, Sunrise, Waves
  b->imageBrowser->setCurrentIndex(sunrise);
  settle();
  b->Card_image_layout->setCurrentText("Stretch");
  // Border tab: a dark blue dashed border.
  tabs->setCurrentWidget(window.card_brdr_tab);
  r->Card_bordr_clr->chooseColor(QColor(30, 50, 120));
  r->Card_bor_Stepper->setValue(3);
  r->Card_border_style->setCurrentIndex(1);
  tabs->setCurrentWidget(window.card_bkgd_tab);

  // Every tool on the front; the picture tools take a file and a library picture.
  const QString resources = Resource_Path();
  host.openAnswers = {resources + "/LibraryImage/flowers/Daisy.png"};
  host.onModal = [&](QDialog& dialog) {
    auto& library = static_cast<Image_Library&>(dialog);
    library.cat_cmbo_bx->setCurrentIndex(2);  // Hearts And Stars
    settle();
    library.imageBrowser->setCurrentIndex(library.imageBrowser->model()->index(0, 0));
    shoot(&library, "03-library");
    library.OK_Clicked();
  };
  for (int tool = 0; tool < SKTWindowController::kToolCount; ++tool)
    clickTool(window, static_cast<DrawingTool>(tool));
  // Spread the cascade over the card, in five columns and three rows.
  SKTGraphicView* front = window.graphicView();
  const SKTGraphicList made = window.document()->graphics();
  const QSizeF card = front->bounds().size();
  for (size_t i = 0; i < made.size(); ++i) {
    const int column = static_cast<int>(i) % 5, row = static_cast<int>(i) / 5;
    const QPointF centre(card.width() * (column + 0.5) / 5.0, card.height() * (row + 0.5) / 3.0);
    dragObject(front, made[made.size() - 1 - i], centre);
  }
  window.setZoomFactor(1.5);
  window.Card_Prop_Clicked();
  tabs->setCurrentWidget(window.card_bkgd_tab);
  shoot(&window, "04-front");

  // The back: hatch fill, a few objects.
  window.Select_back_side();
  b->Card_fill_chk->click();
  b->Card_Style_fill_rd->click();
  b->Card_hatch_style->setCurrentText("Diagonal_Cross");
  b->Card_hatch_bk_clr->chooseColor(QColor(255, 246, 225));
  clickTool(window, DrawingTool::Text);
  clickTool(window, DrawingTool::Rectangle);
  clickTool(window, DrawingTool::Barcode);
  shoot(&window, "05-back");
  window.Select_front_side();

  // Grid panel with the grid on.
  host.onModal = [&](QDialog& dialog) {
    auto& grid = static_cast<Grid_Wizard&>(dialog);
    grid.Show_hide_grid_chk->click();
    grid.Grid_Space_slidr->setValue(18);
    grid.Grid_Slider_Changed();
    grid.Grid_clr->chooseColor(QColor(120, 160, 220));
    shoot(&grid, "06-grid-panel");
    dialog.done(1);
  };
  window.toggleGridShowing();
  shoot(&window, "07-grid-on-card");

  host.saveAnswer = g_shots + "/garden-party.dcard";
  window.SaveAs_Btn_Clicked();
  qInfo("front objects: %d, back objects: %d", window.Get_Front_Control_Count(),
        window.Get_Back_Control_Count());
  return 0;
}
