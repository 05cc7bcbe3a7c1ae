#pragma once
// What personalisation (profile filling, profile dialogs, the start window
// and wizard, templates, the card size dialog) needs of the main window
// beyond the drawing core's card host. The main window controller implements it and installs itself at
// start-up; tests install fakes. Until one is installed a null host answers
// with neutral values and does nothing. Main thread only.

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/CardTypes.h"
#include "core/SKTDocument.h"

class SKTGraphicView;

class ProfileHost {
 public:
  virtual ~ProfileHost() = default;

  // Excel_Binding_Use: the design binds objects to spreadsheet columns.
  virtual bool Excel_Binding_Use() { return false; }
  // Adds or removes the item "Excel" of the main window's data-source combo.
  virtual void Add_Excel_Col_Name_In_Combo() {}
  virtual void Remove_Excel_Col_Name_In_Combo() {}
  // Sets the main window's current tool (2 text, 8 picture from a file); the
  // canvas reads it back through the card host when it creates an object.
  virtual void Set_Selected_Control_Tool(DrawingTool tool) {}
  // Card_Size of the front side's page settings, in points.
  virtual QSizeF Front_Card_Size() { return {}; }
  // Runs a profile dialog modally and returns its result (1 OK, 0 Cancel):
  // the per-side dialog for side "F" or "B", the general one for "".
  virtual int Run_User_Profile_Dialog(const QString& load_side, bool load) { return 0; }

  // The canvas of a side; nullptr when there is none.
  virtual SKTGraphicView* Side_View(CardSide side) { return nullptr; }
  // Stored by the profile dialogs' OK: whether the design binds objects to
  // spreadsheet columns, and the spreadsheet's path.
  virtual void Set_Excel_Binding_Use(bool use) {}
  virtual QString Excel_Source_Path() { return {}; }
  virtual void Set_Excel_Source_Path(const QString& path) {}
  // Opens the data series manager.
  virtual void Batch_Series_Button() {}

  // Card size and outline. Millimetres into the card panel's size fields;
  // a size in points to the document and to every canvas; the card panel
  // (size and outline) into the current side's page settings, with the
  // panels and canvases brought up to date.
  virtual void Set_Card_Size_In_Control(float width, float height) {}
  virtual void Set_Document_Size(const QSizeF& points) {}
  virtual void Update_Card_Graphics() {}
  // Card_Shape: 0 rectangle, 1 rounded rectangle, 2 ellipse.
  virtual int Card_Shape() { return 0; }
  virtual void Set_Card_Shape(int shape) {}
  // The preset names of a category ("PVC Card" or another) and the size of
  // one preset in millimetres (orientation "H" or "V").
  virtual QStringList Card_Size_Presets(const QString& category) { return {}; }
  virtual QSizeF Get_My_card_Size(const QString& category, const QString& preset, int row) {
    return {30, 30};
  }

  // The open panel for one design file and its loading; 1 when loaded.
  virtual int Open_Log_File() { return 0; }
  // Loads a design file as a template (the design stays untitled); 1 when loaded.
  virtual int Open_Template_Design(const QString& path) { return 0; }
  // A side's background picture (front, from a file path; "" changes nothing).
  virtual void set_Front_BG_Image(const QString& path) {}
};

// The host in force; never null.
ProfileHost& profileHost();
// Installs a host (not owned); nullptr restores the null host.
void setProfileHost(ProfileHost* host);

class ScopedProfileHost {
 public:
  explicit ScopedProfileHost(ProfileHost& host);
  ~ScopedProfileHost();
  ScopedProfileHost(const ScopedProfileHost&) = delete;
  ScopedProfileHost& operator=(const ScopedProfileHost&) = delete;

 private:
  ProfileHost* previous_;
};
