// The import wizard, the series generator and the spreadsheet column picker
// by keyboard: Tab goes through the controls as a person reads them, top to
// bottom and left to right, skipping the parts that are switched off.
#include "DialogTestSupport.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/Generate_List.h"
#include "data/dialogs/Import_Excel_DataSheet.h"
#include "data/dialogs/Import_Wizard.h"
#include "support/TabOrder.h"

namespace {

// Shows the dialog, presses Tab `count` times from where the focus is and
// returns the names of the controls the focus came to, the first one included.
QStringList tabThrough(QDialog& dialog, int count) {
  const QStringList stops = testing_support::tabStops(dialog, nullptr, count);
  dialog.hide();
  return stops;
}

}  // namespace

using DialogKeyboard = dialog_test::DataDialogTest;

TEST_F(DialogKeyboard, TabFollowsTheReadingOrder) {
  QStringList wizard, generator;
  whenShown<Import_Wizard>([&](Import_Wizard& d) { wizard = tabThrough(d, 8); });
  Import_Wizard::defaultInstance().Open_Wnd();
  EXPECT_EQ(wizard.join(" > ").toStdString(),
            "Excel file (xlsx) > Excel file path > Browse Excel file > Text, rich text or CSV file > "
            "Paste or type values > Picture folder > Help > Cancel > OK");

  whenShown<Generate_List>([&](Generate_List& d) { generator = tabThrough(d, 10); });
  Generate_List::defaultInstance().Open_Wnd();
  EXPECT_EQ(generator.join(" > ").toStdString(),
            "Prefix > Suffix > From > To > Maintain number of digits > Help on number of digits > Constant > "
            "Random > Cancel > OK > Sequential");

  QStringList columns;
  whenShown<Import_Excel_DataSheet>([&](Import_Excel_DataSheet& d) { columns = tabThrough(d, 9); });
  Import_Excel_DataSheet::defaultInstance().Open_excel_Wnd(QString());
  EXPECT_EQ(
      columns.join(" > ").toStdString(),
      "File path > Sheet > First row contains column titles > Columns > Select All > Clear All > "
      "Create one series for each selected column > Put all selected columns into one series > Cancel > OK");

  // Cancel stands left of OK and comes first.
  EXPECT_EQ(tabThrough(*BatchWizard::defaultInstance().Update_Value_Wnd, 2).join(" > ").toStdString(),
            "Value > Cancel > OK");
}
