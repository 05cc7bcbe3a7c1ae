// Drives the start window, the wizard, the profile dialog, the template
// dialogs, the card size dialog and the stock text picker in the real main
// window, as a person would, under a display:
//
//   xvfb-run -a build/test/tests/personalisation_walkthrough <screenshot folder>
//
// Dialogs run for real (exec); a scripted step acts on each while it is
// open and saves screenshots of it and of the window.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

#include "mainwindow/SKTWindowController.h"
#include "personalisation/Card_Wizard.h"
#include "personalisation/Export_Template.h"
#include "personalisation/Insert_Template.h"
#include "personalisation/Invitation_Wizard.h"
#include "personalisation/ProfileDialog.h"
#include "personalisation/Template_Wizard.h"
#include "platform/MessageHost.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"
#include "platform/widgets/PictureBrowser.h"

namespace {

QString g_shots;

void shoot(QWidget* widget, const QString& name) {
  QTest::qWait(250);
  const QString path = g_shots + "/" + name + ".png";
  widget->grab().save(path);
  qInfo("screenshot %s", qPrintable(path));
}

class WalkHost : public platform::MessageHost {
 public:
  std::deque<std::function<void(QDialog&)>> steps;
  QList<int> exits;
  void showMessage(const QString& text) override { qInfo("message: %s", qPrintable(text.trimmed())); }
  bool askYesNo(const QString& q) override {
    qInfo("question: %s -> Yes", qPrintable(q));
    return true;
  }
  QStringList openPanel(const platform::FilePanelRequest&) override { return {}; }
  QString savePanel(const platform::FilePanelRequest&) override { return {}; }
  bool openUrl(const QUrl&) override { return true; }
  int runModal(QDialog& dialog) override {
    std::function<void(QDialog&)> step;
    if (!steps.empty()) {
      step = std::move(steps.front());
      steps.pop_front();
    }
    QTimer::singleShot(300, &dialog, [&dialog, step] {
      if (step)
        step(dialog);
      else
        dialog.done(0);
    });
    return dialog.exec() == 1 ? 1 : 0;
  }
  void exitProcess(int status) override {
    qInfo("exit %d", status);
    exits << status;
  }
};

}  // namespace

int main(int argc, char* argv[]) {
  QTemporaryDir data;
  qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
  QApplication app(argc, argv);
  QApplication::setApplicationName("QUVO Gratulo");
  QApplication::setOrganizationName("QUVO");
  g_shots = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/shots");
  QDir().mkpath(g_shots);
  WalkHost host;
  platform::ScopedMessageHost install(host);
  if (!platform::initResourceFolder()) return 1;
  QFile series(Resource_Path() + "/DataSet/Guests.txt");
  if (!series.open(QIODevice::WriteOnly)) return 1;
  series.write("Ada Lovelace\nAlan Turing\nGrace Hopper\n");
  series.close();

  Invitation_Wizard& wizard = Invitation_Wizard::defaultInstance();
  host.steps.push_back([&](QDialog&) {
    shoot(&wizard, "01-start-screen");
    wizard.wizard_btn->click();
    wizard.width_Stepper->setValue(127);
    wizard.height_Stepper->setValue(90);
    shoot(&wizard, "02-wizard-size");
    wizard.Next_btn->click();
    shoot(&wizard, "03-wizard-background");
    const QRect first = wizard.imageBrowser->visualRect(wizard.imageBrowser->pictureModel()->index(0));
    QTest::mouseClick(wizard.imageBrowser->viewport(), Qt::LeftButton, {}, first.center());
    wizard.title_nxt_btn->click();
    shoot(&wizard, "04-wizard-texts");
    wizard.Next_btn->click();
    wizard.to_value->setText("Robin");
    wizard.from_value->setText("Kai and Sam");
    shoot(&wizard, "05-wizard-from-to");
    wizard.Next_btn->click();
  });
  SKTWindowController::setStartWindowShown(true);
  SKTWindowController window;
  window.resize(1200, 860);
  window.show();
  shoot(&window, "06-window-wizard-card");

  // A profile whose name comes from the series "Guests".
  Show_User_Profile& profile = Show_User_Profile::defaultInstance();
  host.steps.push_back([&](QDialog&) {
    profile.rows[0].ds_combo->setCurrentIndex(1);
    profile.rows[0].ser_col_cb->setCurrentIndex(profile.rows[0].ser_col_cb->findText("Guests"));
    profile.rows[1].value->setText("Guest of honour");
    profile.rows[7].value->setText("ada@example.org");
    profile.preview_btn->click();
    shoot(&profile, "07-profile-dialog");
    profile.ok_btn->click();
  });
  window.User_Profile_Button_Clicked();
  shoot(&window, "08-window-profile-filled");

  Export_Template& panel = Export_Template::defaultInstance();
  host.steps.push_back([&](QDialog&) {
    panel.template_name->setText("  Robin's Party? ");
    shoot(&panel, "09-template-name");
    panel.ok_btn->click();
  });
  window.Export_As_Template_Clicked();

  window.New_Project_Setting_Reset();
  Template_Wizard& browser = Template_Wizard::defaultInstance();
  host.steps.push_back([&](QDialog&) {
    shoot(&browser, "10-templates-built-in");
    browser.cat_cmbo_bx->setCurrentIndex(1);
    shoot(&browser, "11-templates-mine");
    browser.ok_btn->click();
  });
  window.Template_Browser_Clicked();
  shoot(&window, "12-window-template-reopened");

  Card_Wizard& sizes = Card_Wizard::defaultInstance();
  host.steps.push_back([&](QDialog&) {
    sizes.Category_ComboBox->setCurrentIndex(1);
    sizes.ColList->setCurrentRow(3);
    sizes.shape_rows[1]->click();
    shoot(&sizes, "13-card-size");
    sizes.ok_btn->click();
  });
  window.Card_Size_Clicked();
  shoot(&window, "14-window-card-size");

  Insert_Template& picker = Insert_Template::defaultInstance();
  host.steps.push_back([&](QDialog&) {
    picker.next_btn->click();
    shoot(&picker, "15-stock-text-picker");
    picker.ok_btn->click();
  });
  QString picked;
  Pick_Stock_Text("M", &picked);
  qInfo("picked: %s", qPrintable(picked));

  // New: the start screen again; Exit there ends the program.
  host.steps.push_back([&](QDialog&) { wizard.Exit_btn->click(); });
  window.New_Project();
  qInfo("exit requested: %d, statuses: %d", window.exitRequested(), static_cast<int>(host.exits.size()));
  return window.exitRequested() && host.exits == QList<int>{0} ? 0 : 1;
}
