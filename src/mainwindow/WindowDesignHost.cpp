#include "mainwindow/WindowDesignHost.h"

#include <QAbstractButton>

#include "data/DataSourceTable.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/SeriesBindings.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/CardSettingsTab.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "platform/Messages.h"
#include "platform/widgets/Controls.h"

Card_Property& WindowDesignHost::frontCardProperty() {
  return window_.Front_card_Prop;
}

Card_Property& WindowDesignHost::backCardProperty() {
  return window_.Back_card_Prop;
}

SKTDocument& WindowDesignHost::document() {
  return *window_.document();
}

DataSourceTable& WindowDesignHost::dataSourceTable() {
  return Data_From_Excel_Table();
}

bool WindowDesignHost::excelBindingUse() const {
  return Excel_Binding_Use.load();
}

QString WindowDesignHost::excelSourcePath() const {
  return Excel_Source_Path;
}

void WindowDesignHost::resetForLoading() {
  window_.New_Project_Setting_Reset();
}

void WindowDesignHost::setCardSize(QSizeF size) {
  window_.SetDocumentCanvasSize(size);
}

void WindowDesignHost::setExcelBinding(bool use) {
  Excel_Binding_Use = use;
  // The data-source tab offers "Excel" while the design is bound to a spreadsheet.
  if (QComboBox* sources = window_.dataSourceTab() ? window_.dataSourceTab()->Data_source_type : nullptr) {
    if (use)
      window_.Add_Excel_Col_Name_In_Combo(sources);
    else
      window_.Remove_Excel_Col_Name_In_Combo(sources);
  }
}

void WindowDesignHost::setExcelSourcePath(const QString& path) {
  Excel_Source_Path = path;
}

void WindowDesignHost::showCardProperties() {
  window_.Show_RHS_Properties(nullptr);
}

void WindowDesignHost::setBackgroundImage(CardSide side, const QString& path) {
  window_.setCardBackgroundImage(side, designfile::loadRegularPictureFile(path));
}

void WindowDesignHost::finishLoading() {
  // The outline of the design read is known only now: the card tab shows it.
  if (QAbstractButton* row = window_.cardSettingsTab()->matrix_card_shape->button(Card_Shape.load()))
    showChecked(row, true);
  // Barcode pictures stored under another spread choice show the choice in force.
  window_.Redraw_Barcode_Captions();
  // Bound objects show what card 1 takes from the series and columns now.
  showCardOneValues(window_);
  window_.selectArrowTool();
  window_.Refresh_Canvas();
  // The file keeps where its pictures are, not the pictures: those not
  // there any more are named, all in one message, over the card without them.
  if (const QStringList missing = designfile::missingPictures(*this); !missing.isEmpty())
    Show_MessageBox(missing.join(QLatin1Char('\n')) +
                    QStringLiteral("\n\nA design file keeps only where its pictures are: put them back "
                                   "there and open the design again, or choose them anew."));
}

QString WindowDesignHost::App_Name() const {
  return window_.App_Name();
}

void WindowDesignHost::setWindowTitle(const QString& title) {
  window_.setWindowTitle(title);
}

void WindowDesignHost::bringToFront() {
  window_.raise();
  window_.activateWindow();
}
