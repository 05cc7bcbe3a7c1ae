#pragma once
// The main window as personalisation sees it, for tests: a document with
// its three canvases, the current tool, card size, outline and the calls
// personalisation makes, recorded. Installs itself as card and profile host,
// and points the resource folder at a fresh temporary folder.
#include <QDir>
#include <QTemporaryDir>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/SKTDocument.h"
#include "personalisation/ProfileDialog.h"
#include "personalisation/ProfileHost.h"
#include "platform/globals.h"
#include "support/FakeCardHost.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"

// The texts of the message boxes shown, without the line break a box starts with.
inline QStringList shown(const testing_support::ScriptedHost& host) {
  QStringList out;
  for (const QString& text : host.messages())
    out << (text.startsWith(QLatin1Char('\n')) ? text.mid(1) : text);
  return out;
}

class PersonalisationTestHost : public testing_support::FakeCardHost, public ProfileHost {
 public:
  PersonalisationTestHost() : previousResources_(::Resource_Path()) {
    Set_Resource_Path(folder.path());
    resourcePath = folder.path();
    for (const char* sub : {"DataSet", "Background", "Templates/User"}) QDir(folder.path()).mkpath(sub);
    front.bindGraphics(SKTGraphicViewGraphicsBindingName, &doc, CardSide::Front);
    back.bindGraphics(SKTGraphicViewGraphicsBindingName_back, &doc, CardSide::Back);
    temp.bindGraphics(SKTGraphicViewGraphicsBindingName_temp, &doc, CardSide::Temp);
    setFrontSize({340.1575, 340.1575});
  }
  ~PersonalisationTestHost() override { Set_Resource_Path(previousResources_); }

  void setFrontSize(QSizeF size) {
    frontSize = size;
    canvasBounds = QRectF(QPointF(), size);
    for (SKTGraphicView* v : {&front, &back, &temp}) v->setFrameSizePoints(size);
  }

  // The canvas makes what the tool the fill selects makes.
  std::optional<GraphicKind> currentGraphicClass() override {
    if (tool == DrawingTool::Text) return GraphicKind::Text;
    if (tool == DrawingTool::PictureFile) return GraphicKind::Image;
    return std::nullopt;
  }

  // ProfileHost
  void Set_Selected_Control_Tool(DrawingTool t) override { tool = t; }
  QSizeF Front_Card_Size() override { return frontSize; }
  int Run_User_Profile_Dialog(const QString& side, bool load) override {
    return Run_Profile_Dialog(side, load);
  }
  SKTGraphicView* Side_View(CardSide side) override {
    return side == CardSide::Back ? &back : side == CardSide::Temp ? &temp : &front;
  }
  bool Excel_Binding_Use() override { return excelUse; }
  void Set_Excel_Binding_Use(bool use) override { excelUse = use; }
  QString Excel_Source_Path() override { return excelPath; }
  void Set_Excel_Source_Path(const QString& path) override { excelPath = path; }
  void Set_Card_Size_In_Control(float w, float h) override { panelSizeMM = QSizeF(w, h); }
  void Set_Document_Size(const QSizeF& points) override { setFrontSize(points); }
  void Update_Card_Graphics() override { ++cardUpdates; }
  int Card_Shape() override { return shape; }
  void Set_Card_Shape(int s) override { shape = s; }
  int Open_Log_File() override { return openLogResult; }
  int Open_Template_Design(const QString& path) override {
    openedTemplates << path;
    return 1;
  }
  void set_Front_BG_Image(const QString& path) override {
    if (!path.isEmpty()) frontBackground = path;
  }

  QTemporaryDir folder;
  SKTDocument doc;
  SKTGraphicView front{*this}, back{*this}, temp{*this};
  QSizeF frontSize;
  QSizeF panelSizeMM;
  int shape = 0;
  int cardUpdates = 0;
  int openLogResult = 0;
  bool excelUse = false;
  QString excelPath;
  QString frontBackground;
  QStringList openedTemplates;

 private:
  QString previousResources_;
  ScopedCardHost installCard_{*this};
  ScopedProfileHost installProfile_{*this};
};
