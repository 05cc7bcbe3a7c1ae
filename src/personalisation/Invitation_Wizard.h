#pragma once
// The start window: a start screen (design a card with the wizard, open a
// saved design, start from a template, exit, help) and the new-card wizard
// of four steps (card size, background picture, title and message, sender
// and recipient). Its result is 1 when a card is to be built from the
// answers or a design was opened; the caller ends the program on any other.

#include <QDialog>
#include <QImage>

#include "personalisation/StockTexts.h"
#include "personalisation/WizardLayout.h"

class PictureBrowser;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

class Invitation_Wizard : public QDialog {
  Q_OBJECT
 public:
  static Invitation_Wizard& defaultInstance();

  // Starts afresh on the start screen (size 120 x 120 mm, stock texts read
  // again) and runs the window modally. The background pictures are read
  // each time the wizard shows them (Next on the card size).
  int Open_Wnd();

  // Start screen.
  void Using_Wizard_Click() { Select_card_option(1); }
  void Open_Log_Click() { Select_card_option(2); }
  void Using_Template_Click() { Select_card_option(0); }
  // "T", "W" or "L" for 0, 1 or 2, then Next.
  void Select_card_option(int option);
  void ExitClick();
  void HelpClick();
  // Wizard steps.
  void OK_Click();  // Next
  void Back_Click();
  void CancelClick();  // back to the start screen
  void Title_Back_Click();
  void Title_Next_Click();
  void Msg_Back_Click();
  void Msg_Next_Click();
  void Clear_Details_Click();
  void Clear_Details();
  void Reset_All();
  void Show_Hide_Card_Start_Screen(bool start);
  void Load_Msg_And_Title();
  // Lists the pictures of the "Background" folder as it is now (none when
  // it is missing).
  void Load_and_fill_backgrounds();
  QString Get_Title() const { return titles_.current(); }
  QString Get_Message() const { return messages_.current(); }

  // The face shown: 0 start screen, 1 to 4 the steps.
  int next_counter = 0;
  // "W" wizard, "L" open a design, "T" template; "" after Exit.
  QString Start_Card_Option = QStringLiteral("T");
  QString selected_image, selected_title, selected_msg;

  // Length limits of the text fields (UTF-16 units).
  static constexpr int kFromToLimit = 40;
  static constexpr int kTitleLimit = 100;
  static constexpr int kMessageLimit = 250;
  // Narrowest card the wizard lays out.
  static constexpr double kMinCardWidthMM = 30.0;

  QStackedWidget* faces = nullptr;
  QWidget* button_box = nullptr;
  QPushButton *wizard_btn = nullptr, *open_btn = nullptr, *template_btn = nullptr, *Exit_btn = nullptr,
              *Help_btn_1 = nullptr;
  QLabel* APP_path_label = nullptr;
  QDoubleSpinBox *width_Stepper = nullptr, *height_Stepper = nullptr;
  PictureBrowser* imageBrowser = nullptr;
  QLineEdit* msg_title = nullptr;
  QPlainTextEdit* msg_value = nullptr;
  QPushButton *title_bk_btn = nullptr, *title_nxt_btn = nullptr, *msg_bk_btn = nullptr,
              *msg_nxt_btn = nullptr;
  QLineEdit *from_value = nullptr, *to_value = nullptr;
  QPushButton* clear_details_btn = nullptr;
  QPushButton *Back_Btn = nullptr, *Next_btn = nullptr, *Cancel_btn = nullptr;

 protected:
  // Closing the window leaves the program, as Exit does.
  void reject() override { ExitClick(); }
  // Escape goes back to the start screen from a step and does nothing there.
  void keyPressEvent(QKeyEvent* event) override;
  // Notes the background chosen when a press on the pictures begins.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit Invitation_Wizard(QWidget* parent = nullptr);
  QWidget* buildStartScreen();
  QWidget* buildSizeStep();
  QWidget* buildBackgroundStep();
  QWidget* buildTextStep();
  QWidget* buildFromToStep();
  void showStep(int counter);
  void limitLineEdit(QLineEdit* field, int limit);
  void finish();
  // True when every text fits on a card of the size entered; otherwise says
  // which does not, and puts the focus on its field where this step shows it.
  bool textsFitTheCard(const InviteAnswers& answers);
  void openTemplate();

  StockTextCycle titles_, messages_;
  // Why a stock text file could not be read, told when the texts step shows.
  QString unreadStockTexts_;
  bool auto_background_selection = false;
  // The background chosen when the last press on the pictures began.
  QString chosenAtPress_;
  // Its picture, decoded when the step accepted it and held until the next
  // opening, so that finishing and the card decode it no more.
  QImage chosenBackground_;
};
