// Filling a card side from a user profile: which objects are found, made,
// filled, shown, hidden and bound; default rectangles; values taken from
// data series files and the spreadsheet data-source table.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <stdexcept>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/CardHost.h"
#include "core/SKTDocument.h"
#include "core/SKTImage.h"
#include "core/globals.h"
#include "data/DataSeriesStore.h"
#include "data/DataSourceTable.h"
#include "personalisation/ProfileFill.h"
#include "personalisation/ProfileHost.h"
#include "personalisation/ProfileSources.h"
#include "personalisation/ProfileTemplate.h"
#include "personalisation/User_Profile_Class.h"
#include "personalisation/globals.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"
#include "support/FakeCardHost.h"
#include "support/ScriptedHost.h"

namespace {

// The main window as the fill sees it: one tool number shared by the card
// host (read by the canvas) and the profile host (written by the fill).
class Host : public testing_support::FakeCardHost, public ProfileHost {
 public:
  void Set_Selected_Control_Tool(DrawingTool t) override { tool = t; }
  bool Excel_Binding_Use() override { return excelUse; }
  void Add_Excel_Col_Name_In_Combo() override { ++adds; }
  void Remove_Excel_Col_Name_In_Combo() override { ++removes; }
  QSizeF Front_Card_Size() override { return frontSize; }
  int Run_User_Profile_Dialog(const QString& side, bool load) override {
    sides.push_back(side);
    loads.push_back(load);
    return dialogResult;
  }
  bool excelUse = false;
  int adds = 0, removes = 0;
  QSizeF frontSize{243, 153};
  int dialogResult = 0;
  QStringList sides;
  QList<bool> loads;
};

SKTGraphicPtr makeText(const QString& id, const QString& text = QStringLiteral("old")) {
  SKTGraphicPtr g = SKTGraphic::makeGraphic(GraphicKind::Text);
  g->control_ID = id;
  g->Text_Value = text;
  g->_bounds = QRectF(5, 5, 40, 12);
  return g;
}

QString writePicture(const QString& folder, const QString& name) {
  QImage image(8, 6, QImage::Format_ARGB32);
  image.fill(Qt::red);
  const QString path = folder + "/" + name;
  image.save(path, "PNG");
  return path;
}

}  // namespace

class ProfileFill : public ::testing::Test {
 protected:
  testing_support::ScriptedHost messages;
  Host host;
  ScopedCardHost installCard{host};
  ScopedProfileHost installProfile{host};
  SKTDocument doc;
  SKTGraphicView front{host}, back{host}, temp{host};
  User_Profile_Class profile;
  QTemporaryDir dir;

  void SetUp() override {
    front.setFrameSizePoints({243, 153});
    front.bindGraphics(SKTGraphicViewGraphicsBindingName, &doc, CardSide::Front);
    back.bindGraphics(SKTGraphicViewGraphicsBindingName_back, &doc, CardSide::Back);
    temp.bindGraphics(SKTGraphicViewGraphicsBindingName_temp, &doc, CardSide::Temp);
    profile.Reset_All_Values();
    Fill_User_Profile = true;
    Library_Selected_Image.set(QString());
  }
  void TearDown() override {
    Fill_User_Profile = false;
    setProfilePlaceholderLayout(nullptr);
  }
  const SKTGraphicList& frontList() { return doc.graphicsOfSide(CardSide::Front); }
  void addFront(const SKTGraphicList& list) {
    doc.insertGraphics(CardSide::Front, list, indexRange(0, static_cast<int>(list.size())));
  }
};

TEST_F(ProfileFill, FrontAndBackDoNothingButTheComboWhileNoDialogWasConfirmed) {
  Fill_User_Profile = false;
  profile.Name = QStringLiteral("Ada");
  Fill_User_profile_info_front_side(profile, front);
  EXPECT_TRUE(frontList().empty());
  EXPECT_EQ(host.removes, 1);
  EXPECT_EQ(host.adds, 0);
  host.excelUse = true;
  Fill_User_profile_info_back_side(profile, back);
  EXPECT_TRUE(doc.graphicsOfSide(CardSide::Back).empty());
  EXPECT_EQ(host.adds, 1);
  EXPECT_EQ(host.tool, DrawingTool::Arrow);

  // The preview's temp side is filled all the same, and the combo is left alone.
  Fill_User_profile_info_TEMP_side(profile, temp);
  ASSERT_EQ(doc.graphicsOfSide(CardSide::Temp).size(), 1u);
  EXPECT_EQ(doc.graphicsOfSide(CardSide::Temp)[0]->Text_Value, QStringLiteral("Ada"));
  EXPECT_EQ(host.adds + host.removes, 2);
}

TEST_F(ProfileFill, AllElevenFieldsOnAnEmptySideMakeObjectsInFieldOrderAtTheirPlaceholders) {
  const auto& fields = userProfileFields();
  for (int i = 0; i < 10; ++i) profile.*fields[i].value = QStringLiteral("value %1").arg(i);
  const QString photo = writePicture(dir.path(), "me.png");
  profile.image = photo;
  Fill_User_profile_info_front_side(profile, front);

  const SKTGraphicList& list = frontList();
  ASSERT_EQ(list.size(), 11u);
  // Each new object went in front-most, so the photo (made last) is at index 0.
  EXPECT_EQ(list[0]->kind(), GraphicKind::Image);
  EXPECT_EQ(list[0]->control_ID, QStringLiteral("Fup_Photo"));
  EXPECT_EQ(list[0]->FilePath(), photo);
  for (int i = 0; i < 10; ++i) {
    const SKTGraphicPtr& g = list[10 - i];
    EXPECT_EQ(g->kind(), GraphicKind::Text);
    EXPECT_EQ(g->control_ID, QLatin1String(fields[i].defaultId));
    EXPECT_EQ(g->Text_Value, QStringLiteral("value %1").arg(i));
    EXPECT_EQ(g->Text_contents()->string, QStringLiteral("value %1").arg(i));
    EXPECT_FALSE(g->_isDrawingStroke);
    EXPECT_TRUE(g->ctrl_is_visible);
    EXPECT_EQ(g->bounds(), Get_Control_Rect_From_Template(QLatin1String(fields[i].defaultId)));
  }
  EXPECT_EQ(list[0]->bounds(), Get_Control_Rect_From_Template(QStringLiteral("Fup_Photo")));
  // The fill gives back the tool and library picture it borrowed.
  EXPECT_EQ(host.tool, DrawingTool::Arrow);
  EXPECT_EQ(Library_Selected_Image.get(), QString());
}

TEST_F(ProfileFill, ExistingObjectsAreFilledFrontMostOnlyAndEmptyFieldsStayHidden) {
  const SKTGraphicPtr first = makeText("Fup_Name");
  const SKTGraphicPtr copy = makeText("Fup_Name", "copy");
  const SKTGraphicPtr title = makeText("Fup_Title", "Boss");
  const SKTGraphicPtr other = makeText("Greeting", "Hello");
  first->ctrl_is_visible = false;
  title->Set_Data_source_type(1);
  title->Set_Batch_List_Name(QStringLiteral("Titles"));
  addFront({first, copy, title, other});

  profile.Name = QStringLiteral("  ");  // blanks are a value
  Fill_User_profile_info_front_side(profile, front);

  ASSERT_EQ(frontList().size(), 4u);
  EXPECT_EQ(first->Text_Value, QStringLiteral("  "));
  EXPECT_EQ(first->Text_contents()->string, QStringLiteral("  "));
  EXPECT_TRUE(first->ctrl_is_visible);
  EXPECT_FALSE(copy->ctrl_is_visible);
  EXPECT_EQ(copy->Text_Value, QStringLiteral("copy"));
  // The emptied title is hidden, not deleted, and keeps text and binding.
  EXPECT_FALSE(title->ctrl_is_visible);
  EXPECT_EQ(title->Text_Value, QStringLiteral("Boss"));
  EXPECT_EQ(title->data_source_type, 1);
  EXPECT_EQ(title->batch_list_name, QStringLiteral("Titles"));
  // Objects without a profile ID are untouched.
  EXPECT_TRUE(other->ctrl_is_visible);
  EXPECT_EQ(other->Text_Value, QStringLiteral("Hello"));
  EXPECT_EQ(host.tool, DrawingTool::Arrow);
}

TEST_F(ProfileFill, AnObjectWhoseIdHasBlanksIsFilledNotDuplicated) {
  const SKTGraphicPtr padded = makeText(" Fup_Name\t");
  const SKTGraphicPtr paddedOther = makeText(" Greeting ");
  addFront({padded, paddedOther});
  profile.Name = QStringLiteral("Ada");
  Fill_User_profile_info_front_side(profile, front);
  ASSERT_EQ(frontList().size(), 2u);
  EXPECT_EQ(padded->control_ID, QStringLiteral("Fup_Name"));
  EXPECT_EQ(padded->Text_Value, QStringLiteral("Ada"));
  EXPECT_EQ(paddedOther->control_ID, QStringLiteral(" Greeting "));
}

TEST_F(ProfileFill, PhotoOfAnExistingPictureIsReplacedOrKeptWhenTheFileIsMissing) {
  const QString oldPath = writePicture(dir.path(), "old.png");
  const QString newPath = writePicture(dir.path(), "new.png");
  const auto picture = SKTImage::initWithPath({0, 0}, oldPath);
  picture->control_ID = QStringLiteral("Fup_Photo");
  addFront({picture});

  profile.image = dir.path() + "/missing.png";
  Fill_User_profile_info_front_side(profile, front);
  ASSERT_EQ(frontList().size(), 1u);
  EXPECT_FALSE(picture->ctrl_is_visible);
  EXPECT_EQ(picture->FilePath(), oldPath);

  profile.image = newPath;
  Fill_User_profile_info_front_side(profile, front);
  ASSERT_EQ(frontList().size(), 1u);
  EXPECT_TRUE(picture->ctrl_is_visible);
  EXPECT_EQ(picture->FilePath(), newPath);
}

TEST_F(ProfileFill, BindingFollowsTheFieldSource) {
  const SKTGraphicPtr name = makeText("Fup_Name");
  const SKTGraphicPtr title = makeText("Fup_Title");
  const SKTGraphicPtr company = makeText("Fup_Company");
  const SKTGraphicPtr phone = makeText("Fup_PhoneNO");
  phone->Set_Data_source_type(1);
  phone->Set_Batch_List_Name(QStringLiteral("Phones"));
  phone->Set_Batch_List_Index(4);
  company->Set_Data_source_type(1);
  company->Set_Batch_List_Name(QStringLiteral("Firms"));
  company->Set_Batch_List_Index(2);
  addFront({name, title, company, phone});

  profile.Name = QStringLiteral("Ada");
  profile.Name_ds = true;
  profile.Name_ds_name = QStringLiteral("People");
  profile.Name_ds_indx = 1;
  profile.Title = QStringLiteral("Dr");
  profile.Title_ds = true;
  profile.Title_ds_name = QStringLiteral("Titles");
  profile.Title_ds_indx = 3;
  profile.Title_xl = true;  // both flags: the spreadsheet column wins
  profile.Title_xl_col_indx = 2;
  profile.Company_name = QStringLiteral("ACME");
  profile.Company_name_xl = true;
  profile.Company_name_xl_col_indx = 1;
  profile.phone = QStringLiteral("123");  // typed: the binding goes
  name->Set_Excel_binding(true);
  Fill_User_profile_info_front_side(profile, front);

  EXPECT_EQ(name->data_source_type, 1);
  EXPECT_EQ(name->batch_list_name, QStringLiteral("People"));
  EXPECT_EQ(name->batch_list_index, 1);
  EXPECT_FALSE(name->excel_binding);

  EXPECT_EQ(title->data_source_type, 2);
  EXPECT_TRUE(title->excel_binding);
  EXPECT_EQ(title->excel_col_indx, 2);
  EXPECT_EQ(title->batch_list_name, QStringLiteral("Titles"));

  EXPECT_EQ(company->data_source_type, 2);
  EXPECT_TRUE(company->excel_binding);
  EXPECT_EQ(company->excel_col_indx, 1);
  EXPECT_EQ(company->batch_list_name, QStringLiteral("Firms"));
  EXPECT_EQ(company->batch_list_index, 2);

  // A typed value is not overwritten by a batch run: no binding is left.
  EXPECT_EQ(phone->data_source_type, 0);
  EXPECT_EQ(phone->batch_list_name, QStringLiteral(""));
  EXPECT_FALSE(phone->excel_binding);
  EXPECT_EQ(phone->Text_Value, QStringLiteral("123"));
}

TEST_F(ProfileFill, DefaultRectanglesFollowTheFrontCardOrientation) {
  const ProfilePlaceholderLayout& layout = defaultProfilePlaceholderLayout();
  const double H = layout.horzTemplateHeight;
  const QRectF landscapeFrame = *layout.landscape[0];
  const QRectF portraitFrame = *layout.portrait[0];

  host.frontSize = QSizeF(200, 200);  // square: landscape
  EXPECT_EQ(
      Get_Control_Rect_From_Template("Fup_Name"),
      QRectF(landscapeFrame.x(), H - landscapeFrame.y(), landscapeFrame.width(), landscapeFrame.height()));
  host.frontSize = QSizeF(153, 243);
  EXPECT_EQ(Get_Control_Rect_From_Template("Fup_Name"),
            QRectF(portraitFrame.x(), H - portraitFrame.y(), portraitFrame.width(), portraitFrame.height()));
  EXPECT_EQ(Get_Control_Rect_From_Template("Greeting"), QRectF(0, H, 0, 0));
  EXPECT_EQ(Get_Control_Rect_From_Template(" Fup_Name"), QRectF(0, H, 0, 0));

  // Every default rectangle lies on a card of the matching orientation.
  for (int i = 0; i < kUserProfileFieldCount; ++i) {
    const QString id = QLatin1String(userProfileFields()[i].defaultId);
    host.frontSize = QSizeF(243, 153);
    const QRectF l = Get_Control_Rect_From_Template(id);
    EXPECT_TRUE(QRectF(0, 0, 243, 153).contains(l)) << id.toStdString();
    host.frontSize = QSizeF(153, 243);
    const QRectF p = Get_Control_Rect_From_Template(id);
    EXPECT_TRUE(QRectF(0, 0, 153, 243).contains(p)) << id.toStdString();
  }
}

TEST_F(ProfileFill, MissingPlaceholderCreatesAndBindsNothing) {
  ProfilePlaceholderLayout layout = defaultProfilePlaceholderLayout();
  layout.landscape[0].reset();
  setProfilePlaceholderLayout(&layout);
  const SKTGraphicPtr stale = makeText("Elsewhere");
  addFront({stale});
  front.setSelectedGraphic(stale);
  profile.Name = QStringLiteral("Ada");
  profile.Name_ds = true;
  profile.Name_ds_name = QStringLiteral("People");
  Fill_User_profile_info_front_side(profile, front);
  ASSERT_EQ(frontList().size(), 1u);
  EXPECT_EQ(stale->data_source_type, 0);
  EXPECT_TRUE(stale->batch_list_name.isEmpty());
}

TEST_F(ProfileFill, NewPhotoObjectWithAMissingFileShowsThePlaceholderAtItsRectangle) {
  profile.image = dir.path() + "/missing.png";
  Fill_User_profile_info_front_side(profile, front);
  ASSERT_EQ(frontList().size(), 1u);
  const SKTGraphicPtr photo = frontList()[0];
  EXPECT_EQ(photo->kind(), GraphicKind::Image);
  EXPECT_EQ(photo->control_ID, QStringLiteral("Fup_Photo"));
  EXPECT_EQ(photo->bounds(), Get_Control_Rect_From_Template(QStringLiteral("Fup_Photo")));
  EXPECT_TRUE(messages.messages().isEmpty());
}

namespace {
// A main window whose picture tool cannot be chosen: the fill must stop there.
class ThrowingHost : public Host {
 public:
  void Set_Selected_Control_Tool(DrawingTool t) override {
    if (t == DrawingTool::PictureFile) throw std::runtime_error("no picture tool");
    Host::Set_Selected_Control_Tool(t);
  }
};
}  // namespace

TEST_F(ProfileFill, AFailureEndsTheFillKeepingTheFieldsAlreadyFilled) {
  ThrowingHost throwing;
  ScopedCardHost card{throwing};
  ScopedProfileHost prof{throwing};
  profile.Name = QStringLiteral("Ada");
  profile.unique = QStringLiteral("42");
  profile.image = QStringLiteral("/nowhere/me.png");
  Fill_User_profile_info_front_side(profile, front);
  ASSERT_EQ(frontList().size(), 2u);
  EXPECT_TRUE(front.Selcect_Ctrl_With_ID("Fup_Name"));
  EXPECT_TRUE(front.Selcect_Ctrl_With_ID("Fup_UniqueNo"));
  EXPECT_FALSE(front.Selcect_Ctrl_With_ID("Fup_Photo"));
  EXPECT_TRUE(messages.messages().isEmpty());
}

TEST_F(ProfileFill, OpeningTheDialogTrimsTheSideAndArmsTheFillOnOk) {
  Fill_User_Profile = false;
  host.dialogResult = 0;
  EXPECT_EQ(Open_User_Profile_Window(true, QStringLiteral(" F\n")), 0);
  EXPECT_FALSE(Fill_User_Profile.load());
  host.dialogResult = 1;
  EXPECT_EQ(Open_User_Profile_Window(false, QString()), 1);
  EXPECT_TRUE(Fill_User_Profile.load());
  EXPECT_EQ(host.sides, QStringList({"F", ""}));
  EXPECT_EQ(host.loads, QList<bool>({true, false}));
}

// ---- values from the data series files and the spreadsheet table ----------------

// The resource folder lies under the test's XDG_DATA_HOME (a temporary folder).
static bool resourceFolderReady() {
  static const bool ready = [] {
    QString error;
    const bool ok = platform::initResourceFolder(&error);
    if (!ok) ADD_FAILURE() << error.toStdString();
    return ok && QDir().mkpath(Data_Folder_Path());
  }();
  return ready;
}

class ProfileSourcesFill : public ProfileFill {
 protected:
  void SetUp() override {
    ProfileFill::SetUp();
    ASSERT_TRUE(ready);
    // Folder order: "Firms", "People".
    ASSERT_TRUE(store.writeSeries("People", {"Ada Lovelace", "Alan Turing"}, SeriesWriteMode::Replace,
                                  SeriesFailureReport::Silent));
    ASSERT_TRUE(store.writeSeries("Firms", {"Analytical Ltd"}, SeriesWriteMode::Replace,
                                  SeriesFailureReport::Silent));
    Data_From_Excel_Table().replaceContents(
        {"No", "Name", "City"},
        {DataSourceRow{{"Extension", "1"}, {"Column1", "Grace"}, {"Column2", "Arlington"}},
         DataSourceRow{{"Extension", "2"}, {"Column1", "Edsger"}, {"Column2", "Austin"}}});
  }
  void TearDown() override {
    store.deleteSeries("People");
    store.deleteSeries("Firms");
    Data_From_Excel_Table().setListData({});
    Data_From_Excel_Table().removeAddedColumns();
    ProfileFill::TearDown();
  }
  bool ready = resourceFolderReady();
  DataSeriesStore store;  // over Data_Folder_Path(), set up just above
};

TEST_F(ProfileSourcesFill, SeriesAndColumnValuesReachTheCard) {
  EXPECT_EQ(store.folder(), Data_Folder_Path());
  profile.Name_ds = true;
  profile.Name_ds_name = QStringLiteral("People");
  profile.Name_ds_indx = 1;
  profile.address_xl = true;
  profile.address_xl_col_indx = 2;
  profile.phone = QStringLiteral("typed");
  Refresh_User_Profile_Values(profile, store, Data_From_Excel_Table());
  EXPECT_EQ(profile.Name, QStringLiteral("Ada Lovelace"));
  EXPECT_EQ(profile.address, QStringLiteral("Arlington"));
  EXPECT_EQ(profile.phone, QStringLiteral("typed"));

  Fill_User_profile_info_front_side(profile, front);
  ASSERT_EQ(frontList().size(), 3u);
  const SKTGraphicPtr name = front.Selcect_Ctrl_With_ID("Fup_Name");
  const SKTGraphicPtr address = front.Selcect_Ctrl_With_ID("Fup_Address");
  ASSERT_TRUE(name && address);
  EXPECT_EQ(name->Text_Value, QStringLiteral("Ada Lovelace"));
  EXPECT_EQ(name->data_source_type, 1);
  EXPECT_EQ(name->batch_list_name, QStringLiteral("People"));
  EXPECT_EQ(address->Text_Value, QStringLiteral("Arlington"));
  EXPECT_EQ(address->data_source_type, 2);
  EXPECT_EQ(address->excel_col_indx, 2);
}

TEST_F(ProfileSourcesFill, AFieldBoundToAMissingSeriesFillsNothing) {
  profile.Name = QStringLiteral("stale");
  profile.Name_ds = true;
  profile.Name_ds_name = QStringLiteral("Gone");
  profile.Title_ds = true;
  profile.Title_ds_name = QStringLiteral("../../etc/passwd");
  Refresh_User_Profile_Values(profile, store, Data_From_Excel_Table());
  EXPECT_TRUE(profile.Name.isEmpty());
  EXPECT_TRUE(profile.Title.isEmpty());
  Fill_User_profile_info_front_side(profile, front);
  EXPECT_TRUE(frontList().empty());
}

TEST_F(ProfileSourcesFill, LoadingFromASideUsesVisibleObjectsByTrimmedId) {
  const SKTGraphicPtr name = makeText(" Fup_Name\n", "typed name");
  name->Set_Data_source_type(1);
  name->Set_Batch_List_Index(0);  // slot 0 of the listing: "Firms"
  name->Set_Batch_List_Name(QStringLiteral("People"));
  const SKTGraphicPtr hidden = makeText("Fup_Title", "hidden");
  hidden->ctrl_is_visible = false;
  const SKTGraphicPtr city = makeText("Fup_Address", "old city");
  city->Set_Data_source_type(2);
  city->Set_Excel_binding_Index(2);
  const SKTGraphicPtr phone = makeText("Fup_PhoneNO", "555");
  SKTGraphicPtr barcode = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  barcode->control_ID = QStringLiteral("Fup_Company");
  barcode->Text_Value = QStringLiteral("barcode");
  const SKTGraphicList side{name, hidden, city, phone, barcode};

  Load_User_Profile_From_Side(side, profile, store, Data_From_Excel_Table());
  EXPECT_TRUE(profile.Name_ds);
  EXPECT_EQ(profile.Name_ds_indx, 0);
  EXPECT_EQ(profile.Name_ds_name, QStringLiteral("Firms"));
  EXPECT_EQ(profile.Name, QStringLiteral("Analytical Ltd"));
  EXPECT_TRUE(profile.Title.isEmpty());
  EXPECT_FALSE(profile.Title_ds);
  EXPECT_TRUE(profile.address_xl);
  EXPECT_FALSE(profile.address_ds);
  EXPECT_EQ(profile.address_xl_col_indx, 2);
  EXPECT_EQ(profile.address, QStringLiteral("Arlington"));
  EXPECT_EQ(profile.phone, QStringLiteral("555"));
  EXPECT_FALSE(profile.phone_ds || profile.phone_xl);
  EXPECT_TRUE(profile.Company_name.isEmpty());
  EXPECT_EQ(profile.Name_id, QStringLiteral("Fup_Name"));
}
