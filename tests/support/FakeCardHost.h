#pragma once
// The one stand-in for the main window that the drawing core, the canvases
// and the render path talk to: it answers from fields the test sets and
// records what it was asked to do.

#include <QPainter>
#include <QStringList>
#include <atomic>
#include <optional>

#include "core/CardHost.h"

namespace testing_support {

class FakeCardHost : public CardHost {
 public:
  enum class Preset {
    Neutral,      // the null host's answers
    ModelWindow,  // a resource folder, a text font and colour of its own, a 500 x 300
                  // canvas and placements counting up from 100, 100
    RenderCard,   // the shipped resources and a 243 x 154 card
  };
  explicit FakeCardHost(Preset preset = Preset::Neutral) {
    if (preset == Preset::ModelWindow) {
      resourcePath = QStringLiteral("/tmp/quvo-core-test-resources");
      textFont = {QStringLiteral("ArialMT"), 12.0};
      textColor = QColor(10, 20, 30);
      canvasBounds = {0, 0, 500, 300};
      nextPoint = {100.0, 100.0};
      pointStep = {10.0, 10.0};
    } else if (preset == Preset::RenderCard) {
      resourcePath = QStringLiteral(QUVO_SOURCE_DIR "/resources");
      canvasBounds = {0, 0, 243, 154};
    }
  }

  // ---- Answers ----------------------------------------------------------------
  QString resourcePath;  // Resource_Path()
  CardFont textFont = CardHost::All_Text_font();
  QColor textColor = Qt::black;
  QRectF canvasBounds;            // frontCanvasBounds()
  QPointF nextPoint{10.0, 10.0};  // Control_New_Point(), then advanced by pointStep
  QPointF pointStep;
  std::optional<GraphicKind> graphicClass;  // currentGraphicClass()
  DrawingTool tool = DrawingTool::Arrow;    // Selected_Control_Tool()
  QColor baseColor = Qt::white;             // Card_Base_Drawing fills the rectangle with it

  // ---- What was asked -------------------------------------------------------------
  std::atomic<int> refreshes{0};
  std::atomic<int> bases{0};
  int shows = 0;
  SKTGraphic* lastShown = reinterpret_cast<SKTGraphic*>(1);  // not yet shown
  QStringList placementSides;
  int undoButtons = 0, pasteButtons = 0, barcodeWindows = 0, resetImageControls = 0;

  void Refresh_Canvas() override { ++refreshes; }
  void Card_Base_Drawing(QPainter& painter, const QRectF& rect) override {
    ++bases;
    painter.fillRect(rect, baseColor);
  }
  void Show_RHS_Properties(SKTGraphic* graphic) override {
    ++shows;
    lastShown = graphic;
  }
  QPointF Control_New_Point(const QString& side) override {
    placementSides << side;
    const QPointF p = nextPoint;
    nextPoint += pointStep;
    return p;
  }
  void Undo_Redo_Button_state() override { ++undoButtons; }
  void Set_Paste_Button_Status() override { ++pasteButtons; }
  void Open_Barcode_Window() override { ++barcodeWindows; }
  void Reset_Image_Editing_Controls() override { ++resetImageControls; }
  CardFont All_Text_font() override { return textFont; }
  QColor All_Text_clr() override { return textColor; }
  QString Resource_Path() override { return resourcePath; }
  QRectF frontCanvasBounds() override { return canvasBounds; }
  DrawingTool Selected_Control_Tool() override { return tool; }
  std::optional<GraphicKind> currentGraphicClass() override { return graphicClass; }
};

}  // namespace testing_support
