// The main window's side of card production: the data binding checks, the
// Export and Mail buttons and the export operations, each handed to the
// production library through the window's design.
#include <exception>

#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "platform/widgets/Open_Export_Log.h"
#include "production/CardExport.h"
#include "production/DataBinding.h"
#include "production/MailCards.h"
#include "production/Send_Mail.h"
#include "production/globals.h"

class ProductionActions : public production::ExportHost {
 public:
  explicit ProductionActions(SKTWindowController& window) : window_(window) {}
  ~ProductionActions() override {
    if (mailSourceSet_) Send_Mail::defaultInstance().setCardSource(nullptr);
  }

  SKTGraphicList Get_Front_Controls_Array() override { return window_.document()->graphics(); }
  SKTGraphicList Get_Back_Controls_Array() override { return window_.document()->graphics_back(); }
  QString cardSides() override { return CARD_SIDE_STR; }
  SidePaintContext sidePaintContext(CardSide side) override { return window_.sidePaintContext(side); }
  QWidget* window() override { return &window_; }
  void Open_Export_File_Box() override {
    Open_Export_Log box(&window_);
    box.openFor(Export_File_Path.get(), Export_File_Message.get());
  }
  void Refresh_Canvas() override {
    for (SKTGraphicView* view : {window_.graphicView(), window_.graphicView_BACK()})
      if (view) view->update();
    // The object the tabs show may have taken the row's value.
    window_.followShownObject();
  }

  void openMailDialog() {
    Send_Mail& dialog = Send_Mail::defaultInstance();
    dialog.setCardSource(&mailCards);
    mailSourceSet_ = true;
    dialog.Open_Wnd();
  }

  SKTWindowController& window_;
  production::DataBinding binding{*this};
  production::CardExport exporter{*this, binding};
  production::DesignMailCards mailCards{exporter, binding};

 private:
  bool mailSourceSet_ = false;
};

namespace {
ProductionActions& actionsOf(SKTWindowController& window, std::shared_ptr<ProductionActions>& slot) {
  if (!slot) slot = std::make_shared<ProductionActions>(window);
  return *slot;
}
}  // namespace

production::DataBinding& SKTWindowController::dataBinding() {
  return actionsOf(*this, _production).binding;
}

production::CardExport& SKTWindowController::cardExport() {
  return actionsOf(*this, _production).exporter;
}

bool SKTWindowController::Check_Series_Or_Excel_Use_or_not() {
  return dataBinding().Check_Series_Or_Excel_Use_or_not();
}

void SKTWindowController::Get_total_Card_count() {
  dataBinding().Get_total_Card_count();
}

QString SKTWindowController::Get_First_Value_Of_Dataset(const QString& name) {
  return production::Get_First_Value_Of_Dataset(name);
}

QString SKTWindowController::Get_First_Value_Of_Excel_Binding(int column) {
  return production::Get_First_Value_Of_Excel_Binding(column);
}

void SKTWindowController::Export_Button() {
  cardExport().Export_Button();
}

void SKTWindowController::Mail_Button() {
  try {
    // The dialog runs the data checks as it opens (once, so that a series
    // that cannot be read is named once).
    actionsOf(*this, _production).openMailDialog();
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

bool SKTWindowController::Export_Single_File(const QString& path, bool show_msg) {
  return cardExport().Export_Single_File(path, show_msg);
}

bool SKTWindowController::Export_Batch_File(const QString& folder) {
  return cardExport().Export_Batch_File(folder);
}

void SKTWindowController::Select_first_row_value_for_design(bool print_box) {
  cardExport().Select_first_row_value_for_design(print_box);
}
