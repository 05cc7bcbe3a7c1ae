#pragma once
// One user profile: the contact details the user puts on one card side, and
// for each of its eleven fields where the value comes from (typed, a data
// series, a column of the spreadsheet data-source table) and which card
// object shows it. A plain record; the profile dialogs and the card filling
// read and write its members directly. Main thread only.

#include <QString>
#include <array>

class User_Profile_Class {
 public:
  // Strings null, flags and indexes 0; the owner resets it before use.
  User_Profile_Class() = default;

  // Control IDs, label IDs, the record flags, values, source flags, series
  // names and indexes back to their defaults; the _label members stay.
  void Reset_All_Values();

  bool Fill_User_Profile_Enable = false;
  bool Excel_Binding = false;

  bool Name_ds = false, Title_ds = false, Company_name_ds = false, slogan_ds = false, address_ds = false,
       phone_ds = false, fax_ds = false, email_ds = false, website_ds = false, unique_ds = false,
       image_ds = false;

  int Name_ds_indx = 0, Title_ds_indx = 0, Company_name_ds_indx = 0, slogan_ds_indx = 0, address_ds_indx = 0,
      phone_ds_indx = 0, fax_ds_indx = 0, email_ds_indx = 0, website_ds_indx = 0, unique_ds_indx = 0,
      image_ds_indx = 0;

  bool Name_xl = false, Title_xl = false, Company_name_xl = false, slogan_xl = false, address_xl = false,
       phone_xl = false, fax_xl = false, email_xl = false, website_xl = false, unique_xl = false,
       image_xl = false;

  int Name_xl_col_indx = 0, Title_xl_col_indx = 0, Company_name_xl_col_indx = 0, slogan_xl_col_indx = 0,
      address_xl_col_indx = 0, phone_xl_col_indx = 0, fax_xl_col_indx = 0, email_xl_col_indx = 0,
      website_xl_col_indx = 0, unique_xl_col_indx = 0, image_xl_col_indx = 0;

  QString Name_id, Title_id, Company_name_id, slogan_id, address_id, phone_id, fax_id, email_id, website_id,
      unique_id, image_id;

  QString Name_label_id, Title_label_id, Company_name_label_id, slogan_label_id, address_label_id,
      phone_label_id, fax_label_id, email_label_id, website_label_id, unique_label_id, image_label_id;

  QString Name_label, Title_label, Company_name_label, slogan_label, address_label, phone_label, fax_label,
      email_label, website_label, unique_label, image_label;

  // The values; for image the photo's file path.
  QString Name, Title, Company_name, slogan, address, phone, fax, email, website, unique, image;

  QString Name_ds_name, Title_ds_name, Company_name_ds_name, slogan_ds_name, address_ds_name, phone_ds_name,
      fax_ds_name, email_ds_name, website_ds_name, unique_ds_name, image_ds_name;
};

// The members of one field, for code that walks the fields in order.
struct UserProfileField {
  QString User_Profile_Class::*value;
  bool User_Profile_Class::*ds;
  QString User_Profile_Class::*ds_name;
  int User_Profile_Class::*ds_indx;
  bool User_Profile_Class::*xl;
  int User_Profile_Class::*xl_col_indx;
  QString User_Profile_Class::*id;
  QString User_Profile_Class::*label_id;
  QString User_Profile_Class::*label;
  const char* defaultId;       // "Fup_Name" ...
  const char* defaultLabelId;  // "Fup_lbl_Name" ...
  bool isPicture;              // the photo: the value is a file path
};

inline constexpr int kUserProfileFieldCount = 11;
// The eleven fields in their fixed order: Name, Title, Company_name, slogan,
// address, phone, fax, email, website, unique, image.
const std::array<UserProfileField, kUserProfileFieldCount>& userProfileFields();

// Puts a field into one of its three source states: typed by hand, a data
// series (name and list position) or a spreadsheet column (index); the
// members of the other states take their empty values.
void Set_Field_Typed(User_Profile_Class& profile, const UserProfileField& field);
void Set_Field_Series(User_Profile_Class& profile, const UserProfileField& field, const QString& name,
                      int index);
void Set_Field_Column(User_Profile_Class& profile, const UserProfileField& field, int column);

// True when the text is one of the eleven profile control IDs.
bool isUserProfileControlID(const QString& controlID);
