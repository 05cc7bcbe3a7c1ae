// Leaving a dialog with Escape or with the window's close button does what
// its Cancel button does, the putting back included: each dialog is run
// through its own entry point, something its Cancel undoes is changed, and
// the dialog is then left by a real key press or by closing its window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <functional>

#include "WindowTestSupport.h"
#include "barcode/dialog/Barcode_Gen.h"
#include "barcode/globals.h"
#include "data/dialogs/Import_Excel.h"
#include "mainwindow/PictureLibrary.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "personalisation/Card_Wizard.h"
#include "personalisation/Export_Template.h"
#include "personalisation/Insert_Template.h"
#include "personalisation/globals.h"
#include "support/ModalDismissal.h"
#include "support/ScriptedHost.h"

using testing_support::Dismissal;

namespace {

struct LeftWithoutButton {
  const char* dialog;
  std::function<void()> change;  // in the open dialog: what its Cancel puts back
  std::function<int()> open;     // runs the dialog through its entry point
  std::function<void()> check;   // afterwards: as Cancel leaves it
};

}  // namespace

TEST(DialogEscape, EscapeAndTheCloseButtonPutBackWhatCancelPutsBack) {
  QTemporaryDir dir;
  const QString resources = window_test::useSeededResources(dir);
  testing_support::ScriptedHost host;
  SKTWindowController window;

  Card_Wizard& sizes = Card_Wizard::defaultInstance();
  const auto barcode = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  barcode->_bounds = QRectF(20, 20, 60, 30);
  window.document()->insertGraphic(CardSide::Front, barcode, 0);
  Barcode_Gen& designer = Barcode_Gen::defaultInstance();
  Image_Library& library = Image_Library::defaultInstance();
  Export_Template& namePanel = Export_Template::defaultInstance();
  Insert_Template& picker = Insert_Template::defaultInstance();
  Import_Excel& columns = Import_Excel::defaultInstance();

  const LeftWithoutButton cases[] = {
      {"card size", [&] { sizes.shape_rows[1]->click(); },
       [&] {
         Card_Shape = 2;
         return sizes.Open_Wnd();
       },
       [&] { EXPECT_EQ(Card_Shape.load(), 2); }},
      {"barcode designer", [&] { designer.kerning_value_Checkbox->click(); },
       [&] {
         Spread_Barcode_Value_Text = false;
         return designer.Open_Wnd(barcode.get());
       },
       [&] {
         EXPECT_FALSE(Spread_Barcode_Value_Text.load());
         EXPECT_FALSE(designer.kerning_value_Checkbox->isChecked());
         EXPECT_TRUE(designer.Barcode_output_image.isNull());
       }},
      {"picture library",
       [&] {
         library.imageBrowser->setCurrentIndex(library.imageBrowser->model()->index(0, 0));
         ASSERT_FALSE(library.selected_image.isEmpty());
       },
       [&] {
         library.control_or_BG = "B";
         return library.Open_Library_Window();
       },
       [&] { EXPECT_EQ(library.selected_image, QString()); }},
      {"template name", [&] { namePanel.template_name->setText("Party"); },
       [&] { return namePanel.Run_Name_Panel("Birthday", "Birthday"); },
       [&] {
         EXPECT_EQ(namePanel.template_name->text(), QString());
         EXPECT_EQ(namePanel.template_passed->text(), "Birthday");
       }},
      {"stock text", [&] { Template_Msg_Val = "handed out before"; },
       [&] {
         picker.title_or_msg = "M";
         return picker.Open_Template_Dialog();
       },
       [&] { EXPECT_EQ(Template_Msg_Val, QString()); }},
      {"spreadsheet columns",
       [&] {
         columns.excel_content = xlsx::SheetTable{{"Name"}, {"Ann"}};
       },
       [&] {
         columns.open_mode = "E";
         columns.Open_excel_Wnd(resources + "/Template.xlsx");
         return columns.result();
       },
       [&] { EXPECT_TRUE(columns.excel_content.isEmpty()); }},
  };

  for (const Dismissal how : {Dismissal::Escape, Dismissal::CloseButton}) {
    for (const LeftWithoutButton& c : cases) {
      SCOPED_TRACE(std::string(c.dialog) + ", " + testing_support::dismissalName(how));
      bool closed = false;
      host.queueModal([&](QDialog& dialog) {
        dialog.show();
        c.change();
        if (how == Dismissal::Escape)
          QTest::keyClick(&dialog, Qt::Key_Escape);
        else
          dialog.close();
        closed = !dialog.isVisible();
        return dialog.result();
      });
      EXPECT_EQ(c.open(), 0);
      EXPECT_TRUE(closed);
      c.check();
    }
  }
  EXPECT_EQ(host.messages(), QStringList());
}
