#pragma once
// The small windows around the main window: grid settings, help with its
// links, the review request shown on
// exit, the promotion of the maker's other products and the share window.
// Every address they open is a configuration value of the program's links
// file, opened through the message host.

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "platform/widgets/ColorWell.h"

class SKTGrid;
class Promotion_Pattern;

// The address stored under a key of the links file ("" when missing).
QString configuredLink(const QString& key);
// A mail link: address with subject and body; each line break becomes
// "%0A%0A" and each blank "%20".
QString mailLink(const QString& address, const QString& subject, const QString& body);
// Opens an address (web page, mail or file link) through the message host.
void Open_Link(const QString& address);

// The link operations of the help, share and review windows.
void Open_Support_Mail();
void Open_Reseller_Mail();
void Open_Website(int number);     // 1, 2 or 3
void Open_Share_Page(int number);  // 1, 2 or 3
void Open_Like_Page();
void Open_Share_It_Dl();  // the comments page

// Gives a push button the look of a link: bold, blue, underlined, flat.
void styleAsLink(QPushButton* button);

class Grid_Wizard : public QDialog {
  Q_OBJECT
 public:
  static Grid_Wizard& defaultInstance();
  // Loads the grid into the controls and runs the panel window-modal over
  // `owner`. The controls change the grid at once; OK and Cancel only close.
  void Open_Wnd(SKTGrid* grid, QWidget* owner);

  void Grid_Clr_Changed();
  void Grid_Slider_Changed();
  void Grid_Show_Hide_Changed();

  ColorWell* Grid_clr = nullptr;
  QSlider* Grid_Space_slidr = nullptr;
  QLabel* Grid_Space_value = nullptr;
  QCheckBox* Show_hide_grid_chk = nullptr;
  QCheckBox* Snap_to_grid_chk = nullptr;
  QGroupBox* Grid_Opt_box = nullptr;

  explicit Grid_Wizard(QWidget* parent = nullptr);

 private:
  SKTGrid* grid_ = nullptr;
};

class Help_Support : public QDialog {
  Q_OBJECT
 public:
  explicit Help_Support(QWidget* parent = nullptr);
  // Opens "Help.pdf" of the resource folder, or says it does not exist.
  void HelpFilePressed();
};

class Review_Form : public QDialog {
  Q_OBJECT
 public:
  static Review_Form& defaultInstance();
  // Runs the review request over `owner`; 1 when the review page was opened.
  int Open_Review_Form_Window(QWidget* owner);
  void Review_Clicked();

  explicit Review_Form(QWidget* parent = nullptr);

 private:
};

class Promotion_Form : public QDialog {
  Q_OBJECT
 public:
  static Promotion_Form& defaultInstance();
  // "S", "R" or "B": which product the window presents.
  QString software_type = QStringLiteral("S");
  int Open_Promotion_Window(QWidget* owner);
  void Mail_Clicked();
  void Contact_us_Clicked();
  void Order_Clicked();
  void videos_Clicked();

  QLabel* Software_title = nullptr;
  QLabel* short_descp = nullptr;
  QLabel* long_descp = nullptr;
  Promotion_Pattern* bundle_image = nullptr;

  explicit Promotion_Form(QWidget* parent = nullptr);

 private:
  bool knownProduct() const;
  QString linkOf(const QString& what) const;
};

class Share_It_Dlg : public QDialog {
  Q_OBJECT
 public:
  explicit Share_It_Dlg(QWidget* parent = nullptr);
};

// The review request of the exit sequence.
void openReviewRequest(QWidget* owner);
