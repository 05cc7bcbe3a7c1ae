#include "data/dialogs/SeriesButtons.h"

#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/Generate_List.h"
#include "data/dialogs/Import_Wizard.h"

namespace series_buttons {

void Batch_Series_Button() {
  BatchWizard::defaultInstance().Open_Wnd();
}

void Import_Wizard_Button() {
  Import_Wizard& wizard = Import_Wizard::defaultInstance();
  wizard.file_name_required = 1;
  wizard.file_name_Insert = 0;
  wizard.Open_Wnd();
}

void Create_Series_Button() {
  Generate_List& generator = Generate_List::defaultInstance();
  generator.file_name_required = 1;
  generator.file_name_Insert = 0;
  generator.Open_Wnd();
}

}  // namespace series_buttons
