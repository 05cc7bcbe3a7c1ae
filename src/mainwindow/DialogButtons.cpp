// The buttons of the main window that open the other dialogs, the start
// window and the grid panel. A dialog that is not part of the program yet
// leaves its button disabled, with a tooltip saying what is missing: the
// table below is the one place that says so.
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/Generate_List.h"
#include "data/dialogs/Import_Wizard.h"
#include "mainwindow/AuxWindows.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowPrintHost.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/CardBackgroundTab.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/widgets/Controls.h"
#include "production/globals.h"
#include "production/print/Printers.h"

namespace {

struct DialogButton {
  const char* action;  // the button's object name
  const char* label;
  void (SKTWindowController::*run)();
  // What the button still waits for; nullptr once its dialog is there.
  const char* missing;
};

const DialogButton kDialogButtons[] = {
    {"Card_Prop_Clicked", QT_TR_NOOP("Card Properties"), &SKTWindowController::Card_Prop_Clicked, nullptr},
    {"Card_Bckgrnd_Clicked", QT_TR_NOOP("Card Background…"), &SKTWindowController::Card_Bckgrnd_Clicked,
     nullptr},
    {"toggleGridShowing", QT_TR_NOOP("Grid…"), &SKTWindowController::toggleGridShowing, nullptr},
    {"Batch_Series_Button", QT_TR_NOOP("Data Series…"), &SKTWindowController::Batch_Series_Button, nullptr},
    {"Import_Wizard_Button", QT_TR_NOOP("Import List…"), &SKTWindowController::Import_Wizard_Button, nullptr},
    {"Create_Series_Button", QT_TR_NOOP("Create Series…"), &SKTWindowController::Create_Series_Button,
     nullptr},
    {"Card_Size_Clicked", QT_TR_NOOP("Card Size…"), &SKTWindowController::Card_Size_Clicked, nullptr},
    {"User_Profile_Button_Clicked", QT_TR_NOOP("User Profile…"),
     &SKTWindowController::User_Profile_Button_Clicked, nullptr},
    {"Export_Button", QT_TR_NOOP("Export…"), &SKTWindowController::Export_Button, nullptr},
    {"Print_Button", QT_TR_NOOP("Print…"), &SKTWindowController::Print_Button, nullptr},
    {"Mail_Button", QT_TR_NOOP("E-mail…"), &SKTWindowController::Mail_Button, nullptr},
    {"Template_Browser_Clicked", QT_TR_NOOP("Templates…"), &SKTWindowController::Template_Browser_Clicked,
     nullptr},
    {"Export_As_Template_Clicked", QT_TR_NOOP("Save as Template…"),
     &SKTWindowController::Export_As_Template_Clicked, nullptr},
    {"Help_Button", QT_TR_NOOP("Help"), &SKTWindowController::Help_Button, nullptr},
    {"Share_It_Button_Clicked", QT_TR_NOOP("Share…"), &SKTWindowController::Share_It_Button_Clicked, nullptr},
};

}  // namespace

void SKTWindowController::buildDialogButtons() {
  _dialogStrip = new QToolBar(tr("Card"), this);
  _dialogStrip->setObjectName(QStringLiteral("Dialog_Strip"));
  _dialogStrip->setAccessibleName(tr("Card and production"));
  _dialogStrip->setToolButtonStyle(Qt::ToolButtonTextOnly);
  QMenu* cardMenu = menuBar()->addMenu(tr("&Card"));
  QMenu* helpMenu = menuBar()->addMenu(tr("&Help"));
  // A value still being typed is part of the card the dialog works on.
  const auto dialogAction = [this](const DialogButton& button, const QString& name) {
    auto* action = new QAction(tr(button.label), this);
    action->setObjectName(name);
    const auto run = button.run;
    connect(action, &QAction::triggered, this, [this, run] {
      commitFocusedEdit(this);
      (this->*run)();
    });
    if (button.missing != nullptr) {
      action->setEnabled(false);
      action->setToolTip(tr(button.missing));
      action->setStatusTip(tr(button.missing));
    }
    return action;
  };
  // Export, Print and E-mail are also in the File menu, where people look for
  // Print. Each menu has entries of its own: a screen reader knows an entry
  // by its action, in the one menu that showed it first.
  QAction* filePlace = findChild<QAction*>(QStringLiteral("File_Production_Place"));
  QMenu* fileMenu = filePlace ? qobject_cast<QMenu*>(filePlace->parent()) : nullptr;
  if (fileMenu) fileMenu->insertSeparator(filePlace);
  for (const DialogButton& button : kDialogButtons) {
    QAction* action = dialogAction(button, QLatin1String(button.action));
    _dialogActions.insert(QLatin1String(button.action), action);
    if (button.run == &SKTWindowController::Help_Button) action->setShortcut(QKeySequence::HelpContents);
    const bool production = button.run == &SKTWindowController::Export_Button ||
                            button.run == &SKTWindowController::Print_Button ||
                            button.run == &SKTWindowController::Mail_Button;
    if (production && fileMenu) {
      // The keys belong to the File menu's entry, which shows them.
      QAction* inFile = dialogAction(button, QStringLiteral("File_%1").arg(QLatin1String(button.action)));
      if (button.run == &SKTWindowController::Print_Button) inFile->setShortcut(QKeySequence::Print);
      fileMenu->insertAction(filePlace, inFile);
    }
    const bool help = button.run == &SKTWindowController::Help_Button ||
                      button.run == &SKTWindowController::Share_It_Button_Clicked;
    (help ? helpMenu : cardMenu)->addAction(action);
    if (!help) {
      _dialogStrip->addAction(action);
      if (QWidget* widget = _dialogStrip->widgetForAction(action)) {
        widget->setAccessibleName(QString(action->text()).remove(QStringLiteral("…")));
        if (button.missing != nullptr) widget->setAccessibleDescription(tr(button.missing));
      }
    }
  }
  helpMenu->addSeparator();
  const std::pair<const char*, const char*> promotions[] = {{"S", QT_TR_NOOP("QUVO Labels…")},
                                                            {"R", QT_TR_NOOP("QUVO Receipts…")},
                                                            {"B", QT_TR_NOOP("QUVO Badges…")}};
  for (const auto& [key, label] : promotions) {
    const QString type = QLatin1String(key);
    QAction* action = helpMenu->addAction(tr(label), this, [this, type] { Promotion_Button_Clicked(type); });
    action->setObjectName(QStringLiteral("Promotion_%1").arg(type));
  }
  addToolBarBreak(Qt::TopToolBarArea);
  addToolBar(Qt::TopToolBarArea, _dialogStrip);
}

// ---------------------------------------------------------------- dialogs of other parts

void SKTWindowController::Batch_Series_Button() {
  BatchWizard::defaultInstance().Open_Wnd();
}

void SKTWindowController::Import_Wizard_Button() {
  // Import into a new named data series.
  Import_Wizard& wizard = Import_Wizard::defaultInstance();
  wizard.file_name_required = 1;
  wizard.file_name_Insert = 0;
  wizard.Open_Wnd();
}

void SKTWindowController::Create_Series_Button() {
  Generate_List& generator = Generate_List::defaultInstance();
  generator.file_name_required = 1;
  generator.file_name_Insert = 0;
  generator.Open_Wnd();
}

void SKTWindowController::Print_Button() {
  // A bound series that cannot be read has been named in a message already.
  if (!Check_Series_Or_Excel_Use_or_not()) return;
  if ((Use_Data_Sheet_Values.load() || Use_Excel_Binding_Values.load()) &&
      Total_Batch_Excel_Card.load() == 0) {
    Show_MessageBox(QStringLiteral("List is empty."));
    return;
  }
  Print_method();
}

void SKTWindowController::Print_method() {
  try {
    if (production::printerNames().isEmpty()) {
      Show_MessageBox(QStringLiteral("No printer found."));
      return;
    }
    WindowPrintHost host(*this);
    Print_Wnd::defaultInstance().Open_Print_Wnd(host);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

// ---------------------------------------------------------------- dialogs of the main window

void SKTWindowController::Help_Button() {
  try {
    Help_Support help(this);
    help.setWindowModality(Qt::WindowModal);
    platform::messageHost().runModal(help);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

void SKTWindowController::Share_It_Button_Clicked() {
  Share_It_Dlg share(this);
  share.setWindowModality(Qt::WindowModal);
  platform::messageHost().runModal(share);
}

void SKTWindowController::Promotion_Button_Clicked(const QString& software_type) {
  Promotion_Form& promotion = Promotion_Form::defaultInstance();
  promotion.software_type = software_type;
  promotion.Open_Promotion_Window(this);
}

void SKTWindowController::Card_Prop_Clicked() {
  Show_RHS_Properties(nullptr);
}

void SKTWindowController::Card_Bckgrnd_Clicked() {
  Show_RHS_Properties(nullptr);
  if (Open_Image_Library_Window(QStringLiteral("B")) != 1) return;
  CardBackgroundTab* b = cardBackgroundTab();
  showChecked(b->Card_fill_chk, true);
  card_prop_set(QStringLiteral("I"));
  if (Card_Front_Or_Back.load() == 1)
    set_Back_BG_Image(lib_window_sel_file);
  else
    set_Front_BG_Image(lib_window_sel_file);
  Update_Card_Graphics();
  sett_tab->setCurrentWidget(card_bkgd_tab);
}

void SKTWindowController::toggleGridShowing() {
  Grid_Wizard::defaultInstance().Open_Wnd(_grid, this);
  if (_snapAction) _snapAction->setChecked(_grid->isConstraining());
}

void SKTWindowController::toggleGridConstraining() {
  _grid->setConstraining(!_grid->isConstraining());
  if (_snapAction) _snapAction->setChecked(_grid->isConstraining());
}
