// The card tabs of the main window, driven as a person would: every change
// lands in the current side's page settings and in the rendered card; the
// size presets and millimetre fields size the canvases.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include "core/SKTGraphic.h"
#include "core/globals.h"
#include "core/render/SKTRenderingView.h"
#include "mainwindow/CardSizes.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/CardBackgroundTab.h"
#include "mainwindow/panels/CardBorderTab.h"
#include "mainwindow/panels/CardSettingsTab.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"
#include "platform/widgets/PictureBrowser.h"
#include "support/ScriptedHost.h"

namespace {

bool near(QRgb a, QColor b, int tolerance = 12) {
  return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance &&
         std::abs(qBlue(a) - b.blue()) <= tolerance;
}

}  // namespace

class CardSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    resources = window_test::useSeededResources(dir);
    window = std::make_unique<SKTWindowController>();
    g = window->cardSettingsTab();
    b = window->cardBackgroundTab();
    r = window->cardBorderTab();
  }
  void TearDown() override {
    window.reset();
    Card_Front_Or_Back = 0;
    Card_Shape = 0;
    CARD_SIDE_STR = QStringLiteral("2");
  }
  QImage render() const {
    const SKTGraphicList& list =
        Card_Front_Or_Back.load() == 1 ? window->document()->graphics_back() : window->document()->graphics();
    return SKTRenderingView::image_From_Card_Graphics(list, false);
  }
  QString picture(const QString& name, QColor colour) {
    QImage image(64, 40, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path));
    return path;
  }

  QTemporaryDir dir;
  QString resources;
  testing_support::ScriptedHost host;
  std::unique_ptr<SKTWindowController> window;
  CardSettingsTab* g = nullptr;
  CardBackgroundTab* b = nullptr;
  CardBorderTab* r = nullptr;
};

TEST_F(CardSettings, EachFillKindOutlineAndBorderReachesThePageSettingsAndTheCard) {
  // A new card: white with a thin black border.
  EXPECT_TRUE(window->Front_card_Prop.Card_border_chk);
  EXPECT_EQ(render().pixel(120, 77), qRgb(255, 255, 255));

  b->Card_fill_chk->click();
  b->Card_solid_fill_rd->click();
  b->Card_fill_clr->chooseColor(QColor(200, 30, 30));
  const Card_Property& front = window->Front_card_Prop;
  EXPECT_TRUE(front.Card_fill_chk);
  EXPECT_EQ(front.Card_fill_style, "S");
  EXPECT_TRUE(near(render().pixel(120, 77), QColor(200, 30, 30), 0));

  // Opacity 50 % gives the colours alpha 0.5.
  b->Card_alpha_Stepper->setValue(50);
  EXPECT_FLOAT_EQ(front.Card_alpha_Stepper, 0.5f);
  EXPECT_NEAR(front.Card_fill_clr.alphaF(), 0.5, 0.01);
  EXPECT_TRUE(near(render().pixel(120, 77), QColor(228, 143, 143)));
  b->Card_alpha_Stepper->setValue(100);

  b->Card_gradient_fill_rd->click();
  b->Card_fill_Grd_1_clr->chooseColor(Qt::red);
  b->Card_fill_Grd_2_clr->chooseColor(Qt::blue);
  b->Card_grad_Stepper->setValue(0);
  EXPECT_EQ(front.Card_fill_style, "G");
  QImage card = render();
  EXPECT_GT(qRed(card.pixel(8, 77)), 200);
  EXPECT_GT(qBlue(card.pixel(234, 77)), 200);

  b->Card_Style_fill_rd->click();
  b->Card_hatch_style->setCurrentText("Horizontal");
  b->Card_hatch_bk_clr->chooseColor(Qt::yellow);
  EXPECT_EQ(front.Card_fill_style, "H");
  EXPECT_EQ(front.Card_hatch_style, "Horizontal");
  card = render();
  int yellow = 0, other = 0;
  for (int y = 20; y < 130; ++y) (near(card.pixel(120, y), Qt::yellow) ? yellow : other)++;
  EXPECT_GT(yellow, 10);
  EXPECT_GT(other, 10);  // the pattern's lines

  // A picture from a file, stretched over the elliptic card: the corners too.
  const QString green = picture("green.png", QColor(0, 160, 0));
  b->Card_Image_fill_rd->click();
  EXPECT_TRUE(b->Card_Image_Browse_btn->isEnabled());
  host.queueOpenPanel({green});
  b->Card_Image_Browse_btn->click();
  EXPECT_EQ(front.Card_fill_style, "I");
  EXPECT_EQ(front.Card_BG_Image_Path, green);
  EXPECT_FALSE(front.Card_BG_Image.isNull());
  EXPECT_TRUE(b->Card_Image_fill_rd->isChecked());
  // A background of the panel that went away after it was listed is named,
  // and the card keeps its picture.
  PictureItemModel* listed = b->imageBrowser->pictureModel();
  ASSERT_GT(listed->rowCount(), 0);
  const QString gone = listed->index(0).data(PictureItemModel::PathRole).toString();
  ASSERT_TRUE(QFile::remove(gone));
  b->imageBrowser->setCurrentIndex(listed->index(0));
  EXPECT_EQ(front.Card_BG_Image_Path, green);
  EXPECT_FALSE(front.Card_BG_Image.isNull());
  EXPECT_EQ(b->Card_Image_path->text(), green);
  ASSERT_FALSE(host.messages().isEmpty());
  EXPECT_TRUE(host.messages().last().contains(QFileInfo(gone).fileName()) &&
              host.messages().last().endsWith("could not be read: no such file or directory."))
      << host.messages().last().toStdString();
  g->matrix_card_shape->button(2)->click();
  EXPECT_EQ(Card_Shape.load(), 2);
  EXPECT_EQ(front.Card_Shape, "E");
  card = render();
  EXPECT_TRUE(near(card.pixel(120, 77), QColor(0, 160, 0)));
  EXPECT_TRUE(near(card.pixel(3, 3), QColor(0, 160, 0)));
  // Tiled, the picture stays inside the ellipse.
  b->Card_image_layout->setCurrentText("Tile");
  EXPECT_EQ(front.Card_BG_Image_Layout, "Tile");
  card = render();
  EXPECT_TRUE(near(card.pixel(120, 77), QColor(0, 160, 0)));
  EXPECT_FALSE(near(card.pixel(3, 3), QColor(0, 160, 0)));

  // Border: colour, width and dash style.
  g->matrix_card_shape->button(0)->click();
  r->Card_bordr_clr->chooseColor(Qt::blue);
  r->Card_bor_Stepper->setValue(8);
  r->Card_border_style->setCurrentIndex(1);
  EXPECT_EQ(front.Card_bor_Stepper, 8);
  EXPECT_EQ(front.Card_border_style, "DA");
  card = render();
  EXPECT_TRUE(near(card.pixel(1, 2), Qt::blue));
  r->Card_border_chk->click();
  EXPECT_FALSE(front.Card_border_chk);
  EXPECT_EQ(front.Card_bordr_clr, QColor(Qt::blue));  // kept for when it comes back
  EXPECT_FALSE(near(render().pixel(1, 2), Qt::blue));

  // The back keeps its own settings; the tabs show them on the back side.
  window->Select_back_side();
  EXPECT_FALSE(b->Card_fill_chk->isChecked());
  EXPECT_TRUE(r->Card_border_chk->isChecked());
  EXPECT_EQ(render().pixel(120, 77), qRgb(255, 255, 255));
  window->Select_front_side();
  EXPECT_TRUE(b->Card_Image_fill_rd->isChecked());
  EXPECT_EQ(b->Card_Image_path->text(), green);
}

TEST_F(CardSettings, PresetsAndMillimetresSizeTheCanvasesAndBadSizesAreRefused) {
  // The presets and unit conversions (single precision).
  EXPECT_EQ(Get_My_card_Size("PVC Card", "H", 0), QSizeF(85.598f, 54.102f));
  EXPECT_EQ(Get_My_card_Size("PVC Card", "V", 0), QSizeF(54.102f, 85.598f));
  EXPECT_EQ(Get_My_card_Size("PVC Card", "H", 7), QSizeF(762, 762));
  EXPECT_EQ(Get_My_card_Size("pvc card", "H", -1), QSizeF(30, 30));
  EXPECT_EQ(Get_My_card_Size("Paper Card", "H", 1), Get_My_card_Size("Paper Card", "H", 2));
  EXPECT_FLOAT_EQ(Points_to_MM_Convert(72.0f), 25.4f);
  EXPECT_FLOAT_EQ(MM_to_Points_Convert(25.4f), 72.0f);

  // The category fills the list; a click on a size sizes the card.
  EXPECT_EQ(g->ColList->count(), 7);
  g->Category_ComboBox->setCurrentIndex(1);
  EXPECT_EQ(g->ColList->count(), 8);
  EXPECT_EQ(g->ColList->currentRow(), -1);  // no paper badge has the card's size
  g->Preset_ComboBox->setCurrentText("Vertical");
  emit g->ColList->itemClicked(g->ColList->item(7));
  const QSizeF paper = Get_My_card_Size("Paper Card", "V", 7);
  EXPECT_NEAR(window->graphicView()->bounds().width(), paper.width() * 2.834645669291, 0.01);
  EXPECT_NEAR(window->graphicView_BACK()->bounds().height(), paper.height() * 2.834645669291, 0.01);
  EXPECT_EQ(window->Front_card_Prop.Card_Sub_Category, "Durable 1459 - Name Badge");
  EXPECT_EQ(window->Front_card_Prop.Card_Cat_index, 7);

  // Typed millimetres: 85.6 mm is about 242.65 points.
  g->width_Text->setText("85.6");
  g->height_Text->setText("54");
  g->Apply_Size_btn->click();
  EXPECT_NEAR(window->graphicView_TEMP()->bounds().width(), 242.65, 0.01);
  EXPECT_NEAR(window->Front_card_Prop.Card_Size.width(), 242.65, 0.01);
  const QSizeF accepted = window->graphicView()->bounds().size();
  for (const char* bad : {"5", "1200", "abc", ""}) {
    host.clear();
    g->width_Text->setText(QLatin1String(bad));
    g->Apply_Size_btn->click();
    EXPECT_EQ(host.messages().size(), 1) << bad;
    EXPECT_EQ(window->graphicView()->bounds().size(), accepted) << bad;
    EXPECT_EQ(g->width_Text->text(), "85.6") << bad;  // the field shows the card again
  }

  // One side only: the back goes away (and the window leaves it).
  window->Select_back_side();
  g->Sides_ComboBox->setCurrentIndex(1);
  EXPECT_EQ(CARD_SIDE_STR, "1");
  EXPECT_EQ(Card_Front_Or_Back.load(), 0);
  EXPECT_EQ(window->shownView(), window->graphicView());
  QWidget* backButton = window->findChild<QWidget*>("Back_Card_Btn");
  ASSERT_NE(backButton, nullptr);
  EXPECT_FALSE(backButton->isEnabled());
  // Nor does the Side menu lead there.
  QAction* backMenu = window->findChild<QAction*>("Back_Side_Action");
  ASSERT_NE(backMenu, nullptr);
  backMenu->trigger();
  EXPECT_EQ(Card_Front_Or_Back.load(), 0);
  EXPECT_EQ(window->shownView(), window->graphicView());
  EXPECT_EQ(window->Front_card_Prop.Card_Side, "1");
  g->Sides_ComboBox->setCurrentIndex(0);
  EXPECT_TRUE(backButton->isEnabled());
  backMenu->trigger();
  EXPECT_EQ(window->shownView(), window->graphicView_BACK());
}

TEST_F(CardSettings, TheSizeListMarksThePresetOfTheCardsSizeOrNone) {
  auto marked = [&] {
    QList<int> rows;
    for (QListWidgetItem* item : g->ColList->selectedItems()) rows << g->ColList->row(item);
    return rows;
  };
  auto apply = [&](const char* width, const char* height) {
    g->width_Text->setText(QLatin1String(width));
    g->height_Text->setText(QLatin1String(height));
    g->Apply_Size_btn->click();
  };
  EXPECT_EQ(marked(), QList<int>{0});  // a new card has the credit card size
  for (const auto& [width, height] : {std::pair{"120", "120"}, std::pair{"90", "60"}}) {
    apply(width, height);
    EXPECT_TRUE(marked().isEmpty()) << width;
    EXPECT_EQ(window->Front_card_Prop.Card_Cat_index, -1) << width;
    EXPECT_EQ(window->Front_card_Prop.Card_Sub_Category, "") << width;
    window->Select_back_side();  // the back's page settings still name the first preset
    EXPECT_TRUE(marked().isEmpty()) << width;
    window->Select_front_side();
  }
  // A typed size of a preset marks that preset, on either side.
  const QSizeF cr90 = Get_My_card_Size("PVC Card", "H", 2);
  apply(QByteArray::number(cr90.width()).constData(), QByteArray::number(cr90.height()).constData());
  EXPECT_EQ(marked(), QList<int>{2});
  EXPECT_EQ(window->Front_card_Prop.Card_Sub_Category, "CR90-Over Sized");
  window->Select_back_side();
  EXPECT_EQ(marked(), QList<int>{2});
}

TEST_F(CardSettings, ContentColourAndFontReachTheSideTextsOnce) {
  window->toolAction(DrawingTool::Text)->trigger();
  window->toolAction(DrawingTool::Text)->trigger();
  window->Select_back_side();
  window->toolAction(DrawingTool::Text)->trigger();
  window->Select_front_side();
  const SKTGraphicList front = window->document()->graphics();
  ASSERT_EQ(front.size(), 2u);

  g->All_Text_clr->chooseColor(Qt::red);
  for (const SKTGraphicPtr& text : front) EXPECT_EQ(text->txt_clr, QColor(Qt::red));
  EXPECT_EQ(window->document()->graphics_back().front()->txt_clr, QColor(Qt::black));
  EXPECT_EQ(window->Front_card_Prop.Card_Content_clr, QColor(Qt::red));

  // A text recoloured by hand keeps its colour when the font changes later.
  front[0]->txt_clr = Qt::green;
  const CardFont arial{QStringLiteral("ArialMT"), 20.0};
  window->changeAllTextFont(arial);
  EXPECT_EQ(front[0]->txt_clr, QColor(Qt::green));
  EXPECT_EQ(front[1]->txt_clr, QColor(Qt::red));
  for (const SKTGraphicPtr& text : front) EXPECT_EQ(text->text_ctrl_font, arial);
  EXPECT_EQ(window->Front_card_Prop.Card_Content_font, arial);
  EXPECT_TRUE(g->All_Text_font_value->text().endsWith("( 20.00 )"));
  // New texts take the content colour and font.
  window->toolAction(DrawingTool::Text)->trigger();
  EXPECT_EQ(window->document()->graphics().front()->txt_clr, QColor(Qt::red));
  EXPECT_EQ(window->document()->graphics().front()->text_ctrl_font, arial);
}
