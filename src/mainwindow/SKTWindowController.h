#pragma once
// The main window controller: hosts the three canvases (front, back and the
// scratch temp side) in their zooming scroll views, owns the document, the
// grid and the two page settings records, and is the card host the drawing
// core calls back into (refresh, card background, placement, resources).

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QSizeF>
#include <QStackedWidget>
#include <memory>
#include <mutex>

#include "core/CardHost.h"
#include "core/Card_Property.h"
#include "core/SKTDocument.h"
#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTZoomingScrollView.h"
#include "core/render/SKTRenderingView.h"
#include "mainwindow/designfile/DesignFile.h"

class WindowDesignHost;

class SKTWindowController : public QMainWindow, public CardHost {
  Q_OBJECT
 public:
  explicit SKTWindowController(QWidget* parent = nullptr);
  ~SKTWindowController() override;

  // The one instance (none before construction and after destruction).
  static SKTWindowController* defaultInstance();

  // ---- CardHost ------------------------------------------------------------------
  void Refresh_Canvas() override;
  void Card_Base_Drawing(QPainter& painter, const QRectF& rect) override;
  void Show_RHS_Properties(SKTGraphic* graphic) override;
  QPointF Control_New_Point(const QString& side) override;
  QString Resource_Path() override;
  QString App_Name() override { return QStringLiteral("QUVO Gratulo"); }
  QRectF frontCanvasBounds() override;
  int Selected_Control_Tool() override { return _selectedControlTool; }
  int Get_OS_Version() override;
  // Opens the barcode designer on the current side's current barcode object.
  void Open_Barcode_Window() override;

  // ---- Document and canvases ------------------------------------------------------------
  SKTDocument* document() const { return _document.get(); }
  SKTGraphicView* graphicView() const { return _graphicView; }
  SKTGraphicView* graphicView_BACK() const { return _graphicView_BACK; }
  SKTGraphicView* graphicView_TEMP() const { return _graphicView_TEMP; }
  SKTZoomingScrollView* scrollView(CardSide side) const;
  SKTGrid* grid() const { return _grid; }
  // The canvas of the current side (back when Card_Front_Or_Back is 1, else front).
  SKTGraphicView* currentSideView() const;
  // The canvas on screen (front, back or temp).
  SKTGraphicView* shownView() const;

  Card_Property Front_card_Prop;
  Card_Property Back_card_Prop;
  // The page settings of the side named by Card_Front_Or_Back.
  Card_Property& currentCardProp();

  // ---- Canvas size and zoom -----------------------------------------------------------
  // Sizes the three canvases (points) and refreshes.
  void SetDocumentCanvasSize(const QSizeF& size);
  double zoomFactor() const { return _zoomFactor; }
  void setZoomFactor(double factor);

  // ---- Sides ---------------------------------------------------------------------------
  void Select_front_side();
  void Select_back_side();
  void Select_temp_design_side();
  // Fills the temp canvas with the objects of the current side (the same objects).
  void Temp_Design_Control_Assign();
  QString frontBackLabelText() const { return _frontBackLabel->text(); }

  // Copies both page settings for render workers (GUI thread). Every repaint
  // request and every card background painted on screen takes a fresh copy,
  // so a worker sees the settings as last shown.
  void snapshotPageSettings();

  // A render context for the given side, with copies of its page settings:
  // what a worker needs to render that side without touching the window.
  SidePaintContext sidePaintContext(CardSide side) const;

  // ---- New project and design file ------------------------------------------------
  // Back to an empty, untitled card: undo history cleared, placement restarted,
  // both page settings to their start values, the front current, the front and
  // back canvases emptied, the grid hidden. The temp side, the spreadsheet
  // binding and table, the canvas size and the zoom stay.
  void New_Project_Setting_Reset();
  // The design file's view of this window.
  designfile::DesignHost& designHost();
  bool Save_project_file(bool save_as, bool show_msg);
  int Read_and_load_design_Log(const QString& path, const QString& log_or_template);
  int Open_Log_File();
  void Set_Log_Name_In_Title();
  // Commands of the File menu.
  void Save_Btn_Clicked();
  void SaveAs_Btn_Clicked();
  void Open_Btn_Clicked();
  // Asks whether to save before closing and saves on Yes; false when the
  // window must stay open (Yes, but the design was not written). The
  // window's close event runs it; File > Quit closes the window.
  bool Exit_App();
  // The tool strip back to the arrow.
  void selectArrowTool() { _selectedControlTool = 0; }
  // A side's background picture (already loaded) into its page settings.
  void setCardBackgroundImage(CardSide side, const QImage& picture);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildWindow();
  void buildMenus();
  void changeViewController(int index);

  std::unique_ptr<SKTDocument> _document;
  QPointer<SKTGrid> _grid;
  QPointer<SKTGraphicView> _graphicView, _graphicView_BACK, _graphicView_TEMP;
  QPointer<SKTZoomingScrollView> _scrollFront, _scrollBack, _scrollTemp;
  QStackedWidget* _sideStack = nullptr;
  QLabel* _frontBackLabel = nullptr;
  double _zoomFactor = 1.0;
  int _selectedControlTool = 0;
  QList<QAction*> _zoomActions;
  QAction* _showGridAction = nullptr;
  std::unique_ptr<WindowDesignHost> _designHost;

  // Copies of the page settings, readable from render workers.
  mutable std::mutex _pageSnapshotMutex;
  Card_Property _frontSnapshot, _backSnapshot;

  // The front canvas's bounds, readable from render workers.
  mutable std::mutex _canvasBoundsMutex;
  QRectF _canvasBounds;
};

// The main window controller, reached from every part of the program.
extern SKTWindowController* Main_App_wnd;
