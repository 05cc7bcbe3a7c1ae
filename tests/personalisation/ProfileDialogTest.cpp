// The profile dialogs through their real widgets: binding fields to series
// and spreadsheet columns, validation, what OK stores and fills, and the
// preview on the temp side.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "PersonalisationTestHost.h"
#include "core/GraphicArchive.h"
#include "core/SKTImage.h"
#include "core/globals.h"
#include "data/DataSourceTable.h"
#include "personalisation/ProfileDialog.h"
#include "personalisation/ProfileFill.h"
#include "personalisation/UserProfiles.h"
#include "personalisation/globals.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"

namespace {

void writeSeries(const QString& folder, const QString& name, const QByteArray& lines) {
  QFile f(folder + "/DataSet/" + name + ".txt");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(lines);
}

std::vector<QByteArray> archives(const SKTGraphicList& list) {
  std::vector<QByteArray> out;
  for (const SKTGraphicPtr& g : list) out.push_back(archivedDataWithGraphic(*g));
  return out;
}

}  // namespace

class ProfileDialogs : public ::testing::Test {
 protected:
  testing_support::ScriptedHost messages;
  PersonalisationTestHost host;
  Show_User_Profile& dialog = Show_User_Profile::defaultInstance();

  void SetUp() override {
    writeSeries(host.folder.path(), "Guests", "Ada Lovelace\nAlan Turing\n");
    writeSeries(host.folder.path(), "Cities", "Zurich\n");
    Card_Front_Or_Back = 0;
    Fill_User_Profile = false;
    User_Profiles().New_Project_Setting_Reset();
    Data_From_Excel_Table().replaceContents({"No."}, {});
  }
  void TearDown() override {
    Fill_User_Profile = false;
    Data_From_Excel_Table().replaceContents({"No."}, {});
  }
  // The main window's profile button: the dialog, then on OK the front fill.
  int profileButton(std::function<void()> script) {
    messages.queueModal([this, script](QDialog&) {
      script();
      return dialog.result();
    });
    const int result = Open_User_Profile_Window(true, "F");
    if (result == 1) Fill_User_profile_info_front_side(User_Profiles().Front_user_profile, host.front);
    return result;
  }
  SKTGraphicPtr front(const QString& id) { return host.front.Selcect_Ctrl_With_ID(id); }
};

TEST_F(ProfileDialogs, SeriesBindingValidationAndTheFilledCard) {
  ProfileDialog::Row& name = dialog.rows[0];
  ProfileDialog::Row& title = dialog.rows[1];
  ASSERT_EQ(profileButton([&] {
              EXPECT_EQ(dialog.windowTitle(), "Front Side User Profile Information");
              name.ds_combo->setCurrentIndex(1);
              EXPECT_TRUE(name.value->isReadOnly());
              EXPECT_EQ(name.ser_col_cb->count(), 2);  // Cities, Guests
              title.ds_combo->setCurrentIndex(1);
              dialog.ok_btn->click();  // Name has no series yet
              name.ser_col_cb->setCurrentIndex(name.ser_col_cb->findText("Guests"));
              EXPECT_EQ(name.value->text(), "Ada Lovelace");
              dialog.ok_btn->click();  // Title neither
              title.ds_combo->setCurrentIndex(0);
              title.value->setText("Host");
              dialog.rows[2].value->setText("  Acme  ");
              dialog.ok_btn->click();
            }),
            1);
  EXPECT_EQ(shown(messages), QStringList({"Please select the source for 'Name'",
                                          "Please select the source for 'Position / Title'"}));
  const User_Profile_Class& p = User_Profiles().Front_user_profile;
  EXPECT_TRUE(p.Name_ds);
  EXPECT_EQ(p.Name_ds_name, "Guests");
  EXPECT_EQ(p.Name_ds_indx, 1);
  EXPECT_FALSE(p.Name_xl);
  EXPECT_EQ(p.Company_name, "  Acme  ");  // untrimmed
  EXPECT_FALSE(p.Excel_Binding);
  EXPECT_TRUE(Fill_User_Profile);
  const SKTGraphicPtr nameObject = front("Fup_Name");
  ASSERT_TRUE(nameObject);
  EXPECT_EQ(nameObject->Text_Value, "Ada Lovelace");
  EXPECT_EQ(nameObject->data_source_type, 1);
  EXPECT_EQ(nameObject->batch_list_name, "Guests");
  EXPECT_EQ(front("Fup_Title")->data_source_type, 0);
  EXPECT_EQ(host.doc.graphics().size(), 3u);

  // Reopened, the dialog shows the binding; the Name field switched to
  // typed text drops the binding, and a cleared Title hides its object.
  ASSERT_EQ(profileButton([&] {
              EXPECT_EQ(name.ds_combo->currentIndex(), 1);
              EXPECT_EQ(name.ser_col_cb->currentText(), "Guests");
              EXPECT_EQ(title.value->text(), "Host");
              name.ds_combo->setCurrentIndex(0);
              name.value->setText("Grace");
              title.value->clear();
              dialog.ok_btn->click();
            }),
            1);
  EXPECT_EQ(nameObject->Text_Value, "Grace");
  EXPECT_EQ(nameObject->data_source_type, 0);
  EXPECT_EQ(nameObject->batch_list_name, "");
  ASSERT_TRUE(front("Fup_Title"));
  EXPECT_FALSE(front("Fup_Title")->ctrl_is_visible);
  EXPECT_EQ(host.doc.graphics().size(), 3u);
}

TEST_F(ProfileDialogs, OpeningSelectsOnlyWhatExistsAndSpreadsheetColumnsBind) {
  Data_From_Excel_Table().replaceContents({"No.", "Email", "Phone"},
                                          {{{"Extension", "1"}, {"Column1", "a@b.c"}, {"Column2", "555"}}});
  // Objects bound to a series that is gone and to a column past the table.
  SKTGraphicPtr name = SKTGraphic::makeGraphic(GraphicKind::Text);
  name->control_ID = "Fup_Name";
  name->Text_Value = "stale";
  name->data_source_type = 1;
  name->batch_list_name = "Removed";
  name->batch_list_index = 1;
  SKTGraphicPtr email = SKTGraphic::makeGraphic(GraphicKind::Text);
  email->control_ID = " Fup_EmailID ";
  email->data_source_type = 2;
  email->excel_col_indx = 9;
  SKTGraphicPtr phone = SKTGraphic::makeGraphic(GraphicKind::Text);
  phone->control_ID = "Fup_PhoneNO";
  phone->data_source_type = 2;
  phone->excel_col_indx = 2;
  host.doc.insertGraphics(CardSide::Front, {name, email, phone}, indexRange(0, 3));
  ProfileDialog::Row& nameRow = dialog.rows[0];
  ProfileDialog::Row& emailRow = dialog.rows[7];
  ProfileDialog::Row& phoneRow = dialog.rows[5];
  ASSERT_EQ(profileButton([&] {
              EXPECT_EQ(nameRow.ds_combo->currentIndex(), 1);
              EXPECT_EQ(nameRow.ser_col_cb->currentIndex(), -1);
              EXPECT_EQ(emailRow.ds_combo->currentIndex(), 2);
              EXPECT_EQ(emailRow.ser_col_cb->currentIndex(), -1);
              EXPECT_EQ(phoneRow.ser_col_cb->currentIndex(), 2);
              EXPECT_EQ(phoneRow.value->text(), "555");
              dialog.ok_btn->click();
              EXPECT_EQ(dialog.result(), 0);
              nameRow.ser_col_cb->setCurrentIndex(nameRow.ser_col_cb->findText("Cities"));
              emailRow.ser_col_cb->setCurrentIndex(1);
              // A cell corrected while the window is open: the field and the
              // preview show it, and OK puts it on the card.
              dialog.show();
              DataSourceTable& table = Data_From_Excel_Table();
              EXPECT_TRUE(table.setData(table.index(0, 2), "556"));
              EXPECT_EQ(phoneRow.value->text(), "556");
              dialog.preview_btn->click();
              table.setData(table.index(0, 2), "557");
              const SKTGraphicPtr previewed = host.temp.Selcect_Ctrl_With_ID("Fup_PhoneNO");
              EXPECT_TRUE(previewed && previewed->Text_Value == "557");
              dialog.ok_btn->click();
            }),
            1);
  EXPECT_EQ(shown(messages), QStringList({"Please select the source for 'Name'"}));
  const User_Profile_Class& p = User_Profiles().Front_user_profile;
  EXPECT_TRUE(p.email_xl);
  EXPECT_EQ(p.email_xl_col_indx, 1);
  EXPECT_FALSE(p.email_ds);
  EXPECT_TRUE(p.Excel_Binding);
  EXPECT_TRUE(host.excelUse);
  EXPECT_EQ(email->data_source_type, 2);
  EXPECT_EQ(email->excel_col_indx, 1);
  EXPECT_EQ(email->Text_Value, "a@b.c");
  EXPECT_EQ(name->batch_list_name, "Cities");
  EXPECT_EQ(name->Text_Value, "Zurich");
  EXPECT_EQ(phone->Text_Value, "557");

  // OK takes what the sources hold now, not what the window showed.
  writeSeries(host.folder.path(), "Cities", "Geneva\n");
  ASSERT_EQ(profileButton([&] {
              EXPECT_EQ(nameRow.value->text(), "Geneva");
              Data_From_Excel_Table().replaceContents({"No.", "Email", "Phone"},
                                                      {{{"Extension", "2"}, {"Column1", "x@y.z"}}});
              dialog.ok_btn->click();
            }),
            1);
  EXPECT_EQ(email->Text_Value, "x@y.z");
  EXPECT_EQ(phone->Text_Value, "");
}

// Spreadsheet Browse… with a file that is no workbook names it with the
// reason and changes nothing: no column window, the path and the table kept.
TEST_F(ProfileDialogs, BrowsingToAFileThatIsNoWorkbookNamesItAndKeepsTheSpreadsheet) {
  Data_From_Excel_Table().replaceContents({"No.", "Email"}, {{{"Extension", "1"}, {"Column1", "a@b.c"}}});
  const QString renamed = host.folder.path() + "/guests.xlsx";
  testing_support::writeFile(renamed, "Name;Email\nAda;a@b.c\n");
  // The path field after Browse… to `file` from a field holding "kept.xlsx".
  const auto browsedPath = [&](const QString& file) {
    QString path;
    profileButton([&] {
      dialog.excel_path_field->setText("kept.xlsx");
      messages.queueOpenPanel({file});
      dialog.excel_browse_btn->click();
      path = dialog.excel_path_field->text();
      dialog.cancel_btn->click();
    });
    return path;
  };
  const QString path = browsedPath(renamed);
  EXPECT_EQ(shown(messages),
            QStringList{"The file \"" + renamed + "\" could not be read: it is not an xlsx workbook."});
  EXPECT_EQ(path, "kept.xlsx");
  EXPECT_EQ(Data_From_Excel_Table().columnTitles(), QStringList({"No.", "Email"}));

  // A sound package whose sheet is cut short within its title row: named
  // when the sheet is read, and nothing changes either.
  const QString damaged = host.folder.path() + "/damaged.xlsx";
  testing_support::runPython(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('xl/workbook.xml', '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
               'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
               '<sheets><sheet name="Guests" sheetId="1" r:id="rId1"/></sheets></workbook>')
    z.writestr('xl/_rels/workbook.xml.rels', '<Relationships xmlns="http://schemas.openxmlformats.org/package/'
               '2006/relationships"><Relationship Id="rId1" Target="worksheets/sheet1.xml" Type="http://'
               'schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet"/></Relationships>')
    z.writestr('xl/worksheets/sheet1.xml', '<worksheet><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>Na')
)",
                             {damaged});
  const QString pathAfterDamaged = browsedPath(damaged);
  EXPECT_TRUE(shown(messages).last().startsWith(
      "The file \"" + damaged + "\" could not be read: its sheet \"Guests\" cannot be read ("))
      << shown(messages).last().toStdString();
  EXPECT_EQ(pathAfterDamaged, "kept.xlsx");
  EXPECT_EQ(Data_From_Excel_Table().columnTitles(), QStringList({"No.", "Email"}));
}

TEST_F(ProfileDialogs, PreviewWorksOnCopiesAndCancelLeavesTheSideAsItWas) {
  SKTGraphicPtr name = SKTGraphic::makeGraphic(GraphicKind::Text);
  name->control_ID = "Fup_Name";
  name->Text_Value = "Original";
  name->_bounds = QRectF(10, 10, 120, 20);
  host.doc.insertGraphics(CardSide::Front, {name}, indexRange(0, 1));
  const std::vector<QByteArray> before = archives(host.doc.graphics());
  host.tool = DrawingTool::RoundedRectangle;
  Library_Selected_Image.set("/pictures/chosen.png");
  ASSERT_EQ(profileButton([&] {
              dialog.rows[0].value->setText("Previewed");
              dialog.rows[3].value->setText("A new slogan");
              dialog.preview_btn->click();
              EXPECT_FALSE(dialog.previewImage.isNull());
              dialog.cancel_btn->click();
            }),
            0);
  EXPECT_EQ(archives(host.doc.graphics()), before);
  EXPECT_EQ(host.temp.Selcect_Ctrl_With_ID("Fup_Name")->Text_Value, "Previewed");
  EXPECT_NE(host.temp.Selcect_Ctrl_With_ID("Fup_Name"), name);
  EXPECT_TRUE(host.temp.Selcect_Ctrl_With_ID("Fup_CompanySlogan"));
  EXPECT_FALSE(Fill_User_Profile);
  // The fill gave back the tool and library picture it borrowed.
  EXPECT_EQ(host.tool, DrawingTool::RoundedRectangle);
  EXPECT_EQ(Library_Selected_Image.get(), "/pictures/chosen.png");
}

TEST_F(ProfileDialogs, ThePhotoKeepsItsPathWhenTheProfileIsEditedAgain) {
  const QString photo = host.folder.filePath("face.png");
  QImage picture(40, 50, QImage::Format_RGB32);
  picture.fill(QColor(10, 120, 30));
  ASSERT_TRUE(picture.save(photo));
  ProfileDialog::Row& photoRow = dialog.rows[kUserProfileFieldCount - 1];
  ASSERT_EQ(profileButton([&] {
              dialog.rows[0].value->setText("Ada");
              messages.queueOpenPanel({photo});
              dialog.browse_pic_btn->click();
              dialog.ok_btn->click();
            }),
            1);
  const SKTGraphicPtr face = front("Fup_Photo");
  ASSERT_TRUE(face);
  EXPECT_TRUE(face->ctrl_is_visible);

  // Reopened to change the name: the photo row shows the photo's file, and
  // OK leaves the photo on the card.
  ASSERT_EQ(profileButton([&] {
              EXPECT_EQ(photoRow.value->text(), photo);
              dialog.rows[0].value->setText("Ada Lovelace");
              dialog.ok_btn->click();
            }),
            1);
  EXPECT_EQ(front("Fup_Photo"), face);
  EXPECT_TRUE(face->ctrl_is_visible);
  EXPECT_EQ(face->FilePath(), photo);
  EXPECT_EQ(front("Fup_Name")->Text_Value, "Ada Lovelace");
}

TEST_F(ProfileDialogs, APhonePhotoStandsUprightInTheDialogAndOnTheCard) {
  // A landscape sensor picture, red on the left and blue on the right, that
  // the camera marks to be turned a quarter clockwise: upright it is tall,
  // red on top.
  QImage sensor(60, 40, QImage::Format_RGB32);
  sensor.fill(Qt::blue);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 30; ++x) sensor.setPixel(x, y, qRgb(255, 0, 0));
  const QString photo = host.folder.filePath("phone.jpg");
  ASSERT_TRUE(testing_support::writeFile(photo, testing_support::jpegWithOrientation(sensor, 6)));
  auto redOnTopBlueBelow = [](const QImage& upright) {
    const QColor top = upright.pixelColor(upright.width() / 2, upright.height() / 8);
    const QColor bottom = upright.pixelColor(upright.width() / 2, upright.height() * 7 / 8);
    return upright.height() > upright.width() && top.red() > 200 && top.blue() < 60 && bottom.blue() > 200 &&
           bottom.red() < 60;
  };

  ASSERT_EQ(profileButton([&] {
              messages.queueOpenPanel({photo});
              dialog.browse_pic_btn->click();
              EXPECT_TRUE(redOnTopBlueBelow(dialog.user_picture->pixmap().toImage()));
              dialog.ok_btn->click();
            }),
            1);
  auto* face = dynamic_cast<SKTImage*>(front("Fup_Photo").get());
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->_contents.size(), QSize(40, 60));
  EXPECT_TRUE(redOnTopBlueBelow(face->_contents));
}
