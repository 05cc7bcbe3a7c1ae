#pragma once
// What the profile filling needs of the main window beyond the drawing core's
// card host. The main window controller implements it and installs itself at
// start-up; tests install fakes. Until one is installed a null host answers
// with neutral values and does nothing. Main thread only.

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

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
  virtual void Set_Selected_Control_Tool(int tool) {}
  // Card_Size of the front side's page settings, in points.
  virtual QSizeF Front_Card_Size() { return {}; }
  // Runs a profile dialog modally and returns its result (1 OK, 0 Cancel):
  // the per-side dialog for side "F" or "B", the general one for "".
  virtual int Run_User_Profile_Dialog(const QString& load_side, bool load) { return 0; }
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
