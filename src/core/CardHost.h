#pragma once
// What the drawing core needs of the main window. The main window controller
// implements it and installs itself at start-up; tests install fakes. Until a
// host is installed a null host answers with neutral values and does nothing.
//
// Threads: Refresh_Canvas, Card_Base_Drawing, Resource_Path, All_Text_font,
// All_Text_clr and frontCanvasBounds are also called from render workers; an
// implementation must make those safe there (for example by posting the
// refresh to the GUI thread). Everything else is called on the GUI thread.

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>

#include "core/CardTypes.h"

class QPainter;
class SKTGraphic;

class CardHost {
 public:
  virtual ~CardHost() = default;

  // Marks the current side's canvas for redisplay (never the temp canvas).
  virtual void Refresh_Canvas() {}
  // Paints the card itself (base, outline, background, border) of the side
  // named by Card_Front_Or_Back beneath the graphics, into the given rectangle.
  virtual void Card_Base_Drawing(QPainter& painter, const QRectF& rect) {}
  // Switches the property panels to the graphic; nullptr when none is current.
  virtual void Show_RHS_Properties(SKTGraphic* graphic) {}
  // Placement point of the next new or pasted object on side "F" or "B";
  // advances the placement.
  virtual QPointF Control_New_Point(const QString& side) { return {10.0, 10.0}; }
  // Enables Undo and Redo from the document's undo stack.
  virtual void Undo_Redo_Button_state() {}
  // Enables Paste when the clipboard holds graphics.
  virtual void Set_Paste_Button_Status() {}
  // Opens the barcode designer for the current side's current graphic.
  virtual void Open_Barcode_Window() {}
  // Puts the picture adjustment controls back to their neutral values.
  virtual void Reset_Image_Editing_Controls() {}

  // The current text font and colour of the main window (new graphics take them).
  virtual CardFont All_Text_font() { return {QStringLiteral("TimesNewRomanPS-ItalicMT"), 14.0}; }
  virtual QColor All_Text_clr() { return Qt::black; }
  // The resource folder the program reads and writes, without a trailing "/".
  virtual QString Resource_Path() { return {}; }
  // The application name (the document's display name).
  virtual QString App_Name() { return QStringLiteral("QUVO Gratulo"); }

  // Bounds of the front canvas view; a zero rectangle when there is none.
  virtual QRectF frontCanvasBounds() { return {}; }
  // The current drawing tool (Selected_Control_Tool) and the class it creates.
  virtual DrawingTool Selected_Control_Tool() { return DrawingTool::Arrow; }
  virtual std::optional<GraphicKind> currentGraphicClass() { return std::nullopt; }
  // Placeholder pictures of new objects.
  virtual QImage No_Image() { return {}; }
  virtual QImage Barcode_Sample_Image() { return {}; }
  virtual QImage Signature_Sample_Image() { return {}; }
  virtual QImage Fingerprint_Sample_Image() { return {}; }
  // The user-interface library version compared by the render path.
  virtual int Get_OS_Version() { return 1100; }
};

// The host in force; never null (the null host until one is installed).
CardHost& cardHost();
// Installs a host (not owned); nullptr restores the null host. GUI thread only,
// before workers run.
void setCardHost(CardHost* host);

// A file in the resource folder: Resource_Path() joined with the name.
QString resourceFilePath(const QString& name);

// Installs a host for the lifetime of the guard (tests).
class ScopedCardHost {
 public:
  explicit ScopedCardHost(CardHost& host);
  ~ScopedCardHost();
  ScopedCardHost(const ScopedCardHost&) = delete;
  ScopedCardHost& operator=(const ScopedCardHost&) = delete;

 private:
  CardHost* previous_;
};
