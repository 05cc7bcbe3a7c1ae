// Makes the shipped card backgrounds, design templates and sample design of
// the resource folder: each template is a design file laid out the way the
// new-card wizard lays out its answers, on a card with its own fill and
// outline, and its preview picture (front above back); the sample is a
// birthday card drawn from texts, shapes and lines on both sides. Run by
// scripts/make_templates.sh.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/CardHost.h"
#include "core/SKTLine.h"
#include "core/SKTText.h"
#include "core/render/CardBackground.h"
#include "core/render/SKTRenderingView.h"
#include "mainwindow/CardSizes.h"
#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/designfile/PlainDesignHost.h"
#include "personalisation/WizardLayout.h"

namespace {

class ToolHost : public CardHost {
 public:
  DrawingTool Selected_Control_Tool() override { return DrawingTool::Text; }
  std::optional<GraphicKind> currentGraphicClass() override { return GraphicKind::Text; }
};

struct TemplateRecipe {
  const char* name;
  QSizeF sizeMM;
  QString outline;  // "R", "RR" or "E"
  QColor top, bottom, border;
  InviteAnswers answers;
};

QImage stacked(const QImage& front, const QImage& back) {
  QImage out(qMax(front.width(), back.width()), front.height() + back.height(), QImage::Format_ARGB32);
  out.fill(Qt::white);
  QPainter p(&out);
  p.drawImage(0, 0, front);
  p.drawImage(0, front.height(), back);
  return out;
}

// A card side filled with a gradient and framed by a border.
void paintPage(Card_Property& page, const QString& outline, const QSizeF& size, const QColor& from,
               const QColor& to, int angle, const QColor& border, int borderWidth) {
  page.Card_Shape = outline;
  page.Card_fill_chk = true;
  page.Card_fill_style = QStringLiteral("G");
  page.Card_fill_Grd_1_clr = from;
  page.Card_fill_Grd_2_clr = to;
  page.Card_grad_Stepper = angle;
  page.Card_border_chk = true;
  page.Card_bordr_clr = border;
  page.Card_bor_Stepper = borderWidth;
  page.Card_Size = size;
}

bool writeDesign(designfile::PlainDesignHost& host, const QString& path) {
  QString why;
  if (designfile::writeDesignFile(path, designfile::currentDesign(host), &why)) return true;
  std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(why));
  return false;
}

bool makeTemplate(const TemplateRecipe& recipe, const QString& folder, const QString& resources) {
  designfile::PlainDesignHost host;
  host.resetForLoading();
  const QSizeF size(recipe.sizeMM.width() * 2.834645669291, recipe.sizeMM.height() * 2.834645669291);
  host.cardSize = size;
  for (Card_Property* page : {&host.front, &host.back})
    paintPage(*page, recipe.outline, size, recipe.top, recipe.bottom, 90, recipe.border, 3);
  SKTGraphicView view(cardHost());
  view.bindGraphics(QStringLiteral("graphics"), &host.doc, CardSide::Front);
  view.setFrameSizePoints(size);
  for (const PartyTextPlacement& p : Party_Invitation_Layout(recipe.answers, size))
    view.createGraphicOfClass(GraphicKind::Text, nullptr, true, p.rect, QStringLiteral("F"), p.text,
                              p.ctrl_ID);
  const QString base = folder + QLatin1Char('/') + QLatin1String(recipe.name);
  if (!writeDesign(host, base + QStringLiteral(".dcard"))) return false;
  const int shape = designfile::cardShapeCode(recipe.outline);
  const QImage front = SKTRenderingView::image_From_Card_Graphics(
      host.doc.graphics(), sidePaintContextForPage(host.front, shape, size, resources));
  const QImage back = SKTRenderingView::image_From_Card_Graphics(
      host.doc.graphics_back(), sidePaintContextForPage(host.back, shape, size, resources));
  return stacked(front, back).save(base + QStringLiteral(".png"), "PNG");
}

// ---- The sample design: a birthday card on a credit-card sized card ----------

// The objects of one side, added from the back-most to the front-most.
class SideDrawing {
 public:
  void shape(const QString& code, const QRectF& rect, const QColor& light, const QColor& dark,
             const QColor& outline, double outlineWidth = 0.8) {
    SKTGraphicPtr g = SKTGraphic::makeGraphic(GraphicKind::Shape);
    g->Set_Shape_Type(code);
    g->_fill_type = QStringLiteral("G");
    g->_fill_Grad_clr1 = light;
    g->_fill_Grad_clr2 = dark;
    g->_fill_grad_angle = 315.0;
    g->_strokeColor = outline;
    g->_strokeWidth = outlineWidth;
    g->setBounds(rect);
    items_.push_back(std::move(g));
  }

  void line(const QPointF& from, const QPointF& to, const QColor& colour, double width) {
    auto g = std::static_pointer_cast<SKTLine>(SKTGraphic::makeGraphic(GraphicKind::Line));
    g->_strokeColor = colour;
    g->_strokeWidth = width;
    g->setBeginPoint(from);
    g->setEndPoint(to);
    items_.push_back(std::move(g));
  }

  // A text without box fill or border; `alignment` is the text's alignment
  // code (0 left, 1 right, 2 centre).
  void text(const QString& ctrlID, const QString& words, const QRectF& rect, const CardFont& font,
            const QColor& colour, int alignment) {
    SKTGraphicPtr g = SKTGraphic::makeGraphic(GraphicKind::Text);
    g->control_ID = ctrlID;
    g->Text_Value = words;
    g->_Text_contents = std::make_shared<SKTTextStorage>(SKTTextStorage{words, font, colour});
    g->text_ctrl_font = font;
    g->txt_clr = colour;
    g->text_alignmnet = alignment;
    g->_isDrawingFill = false;
    g->_isDrawingStroke = false;
    g->setBounds(rect);
    static_cast<SKTText&>(*g).setHeightToMatchContents();  // every line shows
    items_.push_back(std::move(g));
  }

  // Puts the objects on the side, the last added in front.
  void placeOn(SKTDocument& doc, CardSide side) {
    std::reverse(items_.begin(), items_.end());
    doc.insertGraphics(side, items_, indexRange(0, static_cast<int>(items_.size())));
  }

 private:
  SKTGraphicList items_;
};

const QColor kGold(250, 205, 60), kGoldEdge(215, 150, 20);
const QColor kRaspberry(196, 36, 98);
const CardFont kTitleFont{QStringLiteral("TimesNewRomanPS-BoldItalicMT"), 26.0};
const CardFont kWriting{QStringLiteral("TimesNewRomanPS-ItalicMT"), 10.0};

// Three balloons on their strings, tied together near the bottom left.
void drawBalloons(SideDrawing& side) {
  struct Balloon {
    QRectF rect;
    QColor light, dark;
  };
  const Balloon balloons[] = {
      {{10, 28, 30, 37}, QColor(255, 150, 160), QColor(215, 40, 70)},
      {{40, 14, 30, 37}, QColor(255, 236, 150), QColor(235, 165, 20)},
      {{28, 50, 30, 37}, QColor(160, 210, 255), QColor(50, 120, 215)},
  };
  const QPointF knot(44, 128);
  for (const Balloon& b : balloons)
    side.line({b.rect.center().x(), b.rect.bottom()}, knot, QColor(110, 105, 120), 0.8);
  for (const Balloon& b : balloons)
    side.shape(QStringLiteral("C"), b.rect, b.light, b.dark, b.dark.darker(130));
}

void drawSampleFront(SideDrawing& side) {
  drawBalloons(side);
  for (const QRectF& star :
       {QRectF(9, 8, 11, 11), QRectF(70, 100, 13, 13), QRectF(222, 126, 12, 12), QRectF(224, 9, 10, 10)})
    side.shape(QStringLiteral("S"), star, kGold.lighter(115), kGold, kGoldEdge);
  // The title is the front-most text: selecting the top text selects it.
  side.text(QStringLiteral("PARTY_FROM"), QStringLiteral("From: Sam"), {108, 123, 100, 15}, kWriting,
            QColor(90, 50, 80), 1);
  side.text(QStringLiteral("PARTY_MSG"),
            QStringLiteral("Wishing you a wonderful day full of laughter, cake and the people you love!"),
            {86, 87, 146, 30}, CardFont{kWriting.name, 9.0}, QColor(70, 60, 80), 2);
  side.text(QStringLiteral("PARTY_TO"), QStringLiteral("To: Emma"), {86, 70, 140, 15}, kWriting,
            QColor(90, 50, 80), 0);
  side.text(QStringLiteral("PARTY_TITLE"), QStringLiteral("Happy Birthday"), {76, 6, 160, 60}, kTitleFont,
            kRaspberry, 2);
}

// A small wrapped present with a bow, and a wish beneath it.
void drawSampleBack(SideDrawing& side) {
  const QColor blue(130, 190, 245), deepBlue(55, 115, 205);
  side.shape(QStringLiteral("R"), {98, 56, 46, 36}, blue, deepBlue, deepBlue.darker(130));
  side.shape(QStringLiteral("R"), {94, 46, 54, 12}, blue.lighter(110), deepBlue, deepBlue.darker(130));
  side.shape(QStringLiteral("R"), {116, 46, 10, 46}, kGold.lighter(115), kGold, kGoldEdge, 0.5);
  side.shape(QStringLiteral("C"), {106, 35, 15, 12}, kGold.lighter(115), kGold, kGoldEdge);
  side.shape(QStringLiteral("C"), {121, 35, 15, 12}, kGold.lighter(115), kGold, kGoldEdge);
  for (const QRectF& star : {QRectF(78, 40, 10, 10), QRectF(154, 62, 12, 12)})
    side.shape(QStringLiteral("S"), star, kGold.lighter(115), kGold, kGoldEdge);
  side.text(QString(), QStringLiteral("Have a wonderful year!"), {20, 100, 202, 30},
            CardFont{kTitleFont.name, 18.0}, kRaspberry, 2);
}

// Samples/Birthday.dcard: the design a new user opens first.
bool makeSampleCard(const QString& resources) {
  designfile::PlainDesignHost host;
  host.resetForLoading();
  const QString category = QStringLiteral("PVC Card"), preset = QStringLiteral("Horizontal");
  const QSizeF mm = Get_My_card_Size(category, preset, 0);
  const QSizeF size(MM_to_Points_Convert(static_cast<float>(mm.width())),
                    MM_to_Points_Convert(static_cast<float>(mm.height())));
  host.cardSize = size;
  paintPage(host.front, QStringLiteral("RR"), size, QColor(255, 247, 222), QColor(255, 205, 222), 45,
            QColor(214, 84, 134), 2);
  paintPage(host.back, QStringLiteral("RR"), size, QColor(255, 251, 240), QColor(255, 228, 236), 90,
            QColor(214, 84, 134), 2);
  for (Card_Property* page : {&host.front, &host.back}) {
    page->Card_Name = QStringLiteral("Birthday");
    page->Card_Category = category;
    page->Card_Preset = preset;
    page->Card_Sub_Category = pvc_card_arry().front();
  }
  SideDrawing front, back;
  drawSampleFront(front);
  drawSampleBack(back);
  front.placeOn(host.doc, CardSide::Front);
  back.placeOn(host.doc, CardSide::Back);
  const QString folder = resources + QStringLiteral("/Samples");
  QDir().mkpath(folder);
  return writeDesign(host, folder + QStringLiteral("/Birthday.dcard"));
}

// Backgrounds for the wizard's second step, drawn from shapes and gradients.
bool makeBalloons(const QString& path) {
  QImage image(900, 600, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 600);
  sky.setColorAt(0, QColor(200, 230, 255));
  sky.setColorAt(1, QColor(255, 250, 235));
  p.fillRect(image.rect(), sky);
  QRandomGenerator random(20);
  const QColor colours[] = {QColor(235, 80, 90), QColor(250, 180, 60), QColor(90, 170, 230),
                            QColor(130, 200, 120), QColor(190, 120, 220)};
  for (int i = 0; i < 14; ++i) {
    const double x = 40 + random.bounded(820), y = 40 + random.bounded(360), r = 28 + random.bounded(22);
    p.setPen(QPen(QColor(120, 120, 120, 160), 1.5));
    p.drawLine(QPointF(x, y + r * 1.2), QPointF(x + random.bounded(30) - 15, y + r * 1.2 + 120));
    QRadialGradient shine(QPointF(x - r / 3, y - r / 3), r * 1.4);
    const QColor c = colours[i % 5];
    shine.setColorAt(0, c.lighter(150));
    shine.setColorAt(1, c);
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawEllipse(QPointF(x, y), r, r * 1.2);
  }
  return image.save(path, "PNG");
}

bool makeStars(const QString& path) {
  QImage image(900, 600, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient night(0, 0, 900, 600);
  night.setColorAt(0, QColor(25, 30, 80));
  night.setColorAt(1, QColor(80, 40, 110));
  p.fillRect(image.rect(), night);
  QRandomGenerator random(7);
  for (int i = 0; i < 60; ++i) {
    const QPointF c(random.bounded(900), random.bounded(600));
    const double outer = 3 + random.bounded(9), inner = outer * 0.45;
    QPainterPath star;
    for (int k = 0; k < 10; ++k) {
      const double a = M_PI / 5 * k - M_PI / 2;
      const double r = (k % 2 == 0) ? outer : inner;
      const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
      k == 0 ? star.moveTo(pt) : star.lineTo(pt);
    }
    star.closeSubpath();
    p.fillPath(star, QColor(255, 240, 170, 140 + random.bounded(115)));
  }
  return image.save(path, "PNG");
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
    return 2;
  }
  const QString resources = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  ToolHost host;
  ScopedCardHost install(host);
  const QString templates = resources + QStringLiteral("/Templates");
  const QString backgrounds = resources + QStringLiteral("/Background");
  QDir().mkpath(templates);
  QDir().mkpath(backgrounds);
  const TemplateRecipe recipes[] = {
      {"Birthday Party",
       {120, 120},
       "RR",
       QColor(255, 236, 210),
       QColor(255, 200, 215),
       QColor(220, 90, 120),
       {"Happy Birthday", "Friends", "Come and celebrate with cake, games and good company.",
        "Saturday, 14 June", "3:00 PM", "", "The Party Crew", ""}},
      {"Garden Wedding",
       {127, 178},
       "R",
       QColor(245, 250, 240),
       QColor(215, 235, 215),
       QColor(110, 150, 110),
       {"Save the Date", "",
        "We are getting married under the old apple tree and would love you to be there.", "", "", "",
        "Anna and Ben", ""}},
      {"Thank You",
       {148, 105},
       "R",
       QColor(240, 245, 255),
       QColor(210, 225, 250),
       QColor(70, 100, 170),
       {"Thank You", "Everyone", "Your kindness made our day. Thank you for being there.", "", "", "",
        "With love", ""}},
      {"Round Badge",
       {90, 90},
       "E",
       QColor(255, 250, 220),
       QColor(250, 225, 150),
       QColor(200, 150, 40),
       {"Welcome", "", "Glad you are here!", "", "", "", "", ""}},
  };
  bool ok = makeBalloons(backgrounds + QStringLiteral("/Balloons.png")) &&
            makeStars(backgrounds + QStringLiteral("/Starry Night.png"));
  for (const TemplateRecipe& recipe : recipes) ok = makeTemplate(recipe, templates, resources) && ok;
  ok = makeSampleCard(resources) && ok;
  return ok ? 0 : 1;
}
