// Makes the shipped card backgrounds and design templates of the resource
// folder: each template is a design file laid out the way the new-card
// wizard lays out its answers, on a card with its own fill and outline,
// and its preview picture (front above back). Run by scripts/make_templates.sh.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <cmath>
#include <cstdio>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/CardHost.h"
#include "core/render/CardBackground.h"
#include "core/render/SKTRenderingView.h"
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

bool makeTemplate(const TemplateRecipe& recipe, const QString& folder, const QString& resources) {
  designfile::PlainDesignHost host;
  host.resetForLoading();
  const QSizeF size(recipe.sizeMM.width() * 2.834645669291, recipe.sizeMM.height() * 2.834645669291);
  host.cardSize = size;
  for (Card_Property* page : {&host.front, &host.back}) {
    page->Card_Shape = recipe.outline;
    page->Card_fill_chk = true;
    page->Card_fill_style = QStringLiteral("G");
    page->Card_fill_Grd_1_clr = recipe.top;
    page->Card_fill_Grd_2_clr = recipe.bottom;
    page->Card_grad_Stepper = 90;
    page->Card_border_chk = true;
    page->Card_bordr_clr = recipe.border;
    page->Card_bor_Stepper = 3;
    page->Card_Size = size;
  }
  SKTGraphicView view(cardHost());
  view.bindGraphics(QStringLiteral("graphics"), &host.doc, CardSide::Front);
  view.setFrameSizePoints(size);
  for (const PartyTextPlacement& p : Party_Invitation_Layout(recipe.answers, size))
    view.createGraphicOfClass(GraphicKind::Text, nullptr, true, p.rect, QStringLiteral("F"), p.text,
                              p.ctrl_ID);
  const QString base = folder + QLatin1Char('/') + QLatin1String(recipe.name);
  QString why;
  if (!designfile::writeDesignFile(base + QStringLiteral(".dcard"), designfile::currentDesign(host), &why)) {
    std::fprintf(stderr, "%s: %s\n", recipe.name, qPrintable(why));
    return false;
  }
  const int shape = designfile::cardShapeCode(recipe.outline);
  const QImage front = SKTRenderingView::image_From_Card_Graphics(
      host.doc.graphics(), sidePaintContextForPage(host.front, shape, size, resources));
  const QImage back = SKTRenderingView::image_From_Card_Graphics(
      host.doc.graphics_back(), sidePaintContextForPage(host.back, shape, size, resources));
  return stacked(front, back).save(base + QStringLiteral(".png"), "PNG");
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
  return ok ? 0 : 1;
}
