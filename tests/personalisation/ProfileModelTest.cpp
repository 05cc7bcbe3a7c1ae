// The user profile record: construction, reset to the default IDs and empty
// values, and the field captions.
#include <gtest/gtest.h>

#include <QStringList>

#include "personalisation/UserProfiles.h"
#include "personalisation/User_Profile_Class.h"
#include "personalisation/globals.h"

namespace {

const QStringList kIds = {"Fup_Name",    "Fup_Title",    "Fup_Company", "Fup_CompanySlogan",
                          "Fup_Address", "Fup_PhoneNO",  "Fup_FaxNo",   "Fup_EmailID",
                          "Fup_Website", "Fup_UniqueNo", "Fup_Photo"};
const QStringList kLabelIds = {"Fup_lbl_Name",          "Fup_lbl_Title",   "Fup_lbl_Company",
                               "Fup_lbl_CompanySlogan", "Fup_lbl_Address", "Fup_lbl_PhoneNO",
                               "Fup_lbl_FaxNo",         "Fup_lbl_EmailID", "Fup_lbl_Website",
                               "Fup_lbl_UniqueNo",      "Fup_lbl_Photo"};

}  // namespace

TEST(UserProfileModel, NewRecordHasNullStringsAndZeroFlags) {
  User_Profile_Class p;
  EXPECT_FALSE(p.Fill_User_Profile_Enable);
  EXPECT_FALSE(p.Excel_Binding);
  for (const UserProfileField& f : userProfileFields()) {
    EXPECT_TRUE((p.*f.value).isNull());
    EXPECT_TRUE((p.*f.id).isNull());
    EXPECT_TRUE((p.*f.ds_name).isNull());
    EXPECT_FALSE(p.*f.ds);
    EXPECT_FALSE(p.*f.xl);
    EXPECT_EQ(p.*f.ds_indx, 0);
    EXPECT_EQ(p.*f.xl_col_indx, 0);
  }
}

TEST(UserProfileModel, ResetGivesDefaultIdsEmptyValuesAndKeepsLabels) {
  User_Profile_Class p;
  p.Name_label = QStringLiteral("kept");
  p.Fill_User_Profile_Enable = true;
  p.Excel_Binding = true;
  // A field set to a series source and one to a spreadsheet column.
  p.slogan = QStringLiteral("We care");
  p.slogan_ds = true;
  p.slogan_ds_name = QStringLiteral("Slogans");
  p.slogan_ds_indx = 3;
  p.image_xl = true;
  p.image_xl_col_indx = 2;
  p.email_id = QStringLiteral("Other");
  p.Reset_All_Values();

  EXPECT_FALSE(p.Fill_User_Profile_Enable);
  EXPECT_FALSE(p.Excel_Binding);
  EXPECT_EQ(p.Name_label, QStringLiteral("kept"));
  EXPECT_TRUE(p.Title_label.isNull());
  const auto& fields = userProfileFields();
  for (int i = 0; i < kUserProfileFieldCount; ++i) {
    const UserProfileField& f = fields[i];
    EXPECT_EQ(p.*f.id, kIds[i]);
    EXPECT_EQ(p.*f.label_id, kLabelIds[i]);
    EXPECT_FALSE((p.*f.value).isNull());
    EXPECT_TRUE((p.*f.value).isEmpty());
    EXPECT_FALSE((p.*f.ds_name).isNull());
    EXPECT_TRUE((p.*f.ds_name).isEmpty());
    EXPECT_FALSE(p.*f.ds);
    EXPECT_FALSE(p.*f.xl);
    EXPECT_EQ(p.*f.ds_indx, 0);
    EXPECT_EQ(p.*f.xl_col_indx, 0);
  }
  // The named members are the ones the field table walks.
  EXPECT_EQ(p.Company_name_id, QStringLiteral("Fup_Company"));
  EXPECT_EQ(p.unique_label_id, QStringLiteral("Fup_lbl_UniqueNo"));
  EXPECT_EQ(p.image_id, QStringLiteral("Fup_Photo"));
  EXPECT_TRUE(fields[10].isPicture);
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(fields[i].isPicture);
}

TEST(UserProfileModel, ProfileControlIdsAndCaptions) {
  for (const QString& id : kIds) EXPECT_TRUE(isUserProfileControlID(id)) << id.toStdString();
  EXPECT_FALSE(isUserProfileControlID(QStringLiteral("Fup_lbl_Name")));
  EXPECT_FALSE(isUserProfileControlID(QStringLiteral(" Fup_Name")));
  EXPECT_FALSE(isUserProfileControlID(QStringLiteral("PARTY_TITLE")));
  EXPECT_EQ(Title_Name, QStringLiteral("Name :"));
  EXPECT_EQ(Title_Title, QStringLiteral("Position / Title :"));
  EXPECT_EQ(Title_Company_name, QStringLiteral("Company Name :"));
  EXPECT_EQ(Title_slogan, QStringLiteral("Company Slogan :"));
  EXPECT_EQ(Title_address, QStringLiteral("Address :"));
  EXPECT_EQ(Title_phone, QStringLiteral("Phone No. :"));
  EXPECT_EQ(Title_fax, QStringLiteral("Fax No. :"));
  EXPECT_EQ(Title_email, QStringLiteral("Email Id :"));
  EXPECT_EQ(Title_website, QStringLiteral("Website :"));
  EXPECT_EQ(Title_unique, QStringLiteral("Unique No. :"));
  EXPECT_EQ(Title_image, QStringLiteral("Photo :"));
}

TEST(UserProfileModel, NewProjectResetsFrontAndBackButNotTemp) {
  UserProfiles profiles;
  EXPECT_EQ(profiles.TEMP_user_profile.Name_id, QStringLiteral("Fup_Name"));
  EXPECT_TRUE(profiles.Back_user_profile.image.isEmpty());
  profiles.Front_user_profile.Name = QStringLiteral("Ada");
  profiles.Back_user_profile.phone_ds = true;
  profiles.TEMP_user_profile.email = QStringLiteral("ada@example.org");
  Fill_User_Profile = true;
  profiles.New_Project_Setting_Reset();
  EXPECT_FALSE(Fill_User_Profile.load());
  EXPECT_TRUE(profiles.Front_user_profile.Name.isEmpty());
  EXPECT_FALSE(profiles.Back_user_profile.phone_ds);
  EXPECT_EQ(profiles.TEMP_user_profile.email, QStringLiteral("ada@example.org"));
}
