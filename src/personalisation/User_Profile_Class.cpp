#include "personalisation/User_Profile_Class.h"

#define QUVO_PROFILE_FIELD(f, id, picture)                                                                   \
  UserProfileField {                                                                                         \
    &User_Profile_Class::f, &User_Profile_Class::f##_ds, &User_Profile_Class::f##_ds_name,                   \
        &User_Profile_Class::f##_ds_indx, &User_Profile_Class::f##_xl, &User_Profile_Class::f##_xl_col_indx, \
        &User_Profile_Class::f##_id, &User_Profile_Class::f##_label_id, &User_Profile_Class::f##_label,      \
        "Fup_" id, "Fup_lbl_" id, picture                                                                    \
  }

const std::array<UserProfileField, kUserProfileFieldCount>& userProfileFields() {
  static const std::array<UserProfileField, kUserProfileFieldCount> fields = {
      QUVO_PROFILE_FIELD(Name, "Name", false),
      QUVO_PROFILE_FIELD(Title, "Title", false),
      QUVO_PROFILE_FIELD(Company_name, "Company", false),
      QUVO_PROFILE_FIELD(slogan, "CompanySlogan", false),
      QUVO_PROFILE_FIELD(address, "Address", false),
      QUVO_PROFILE_FIELD(phone, "PhoneNO", false),
      QUVO_PROFILE_FIELD(fax, "FaxNo", false),
      QUVO_PROFILE_FIELD(email, "EmailID", false),
      QUVO_PROFILE_FIELD(website, "Website", false),
      QUVO_PROFILE_FIELD(unique, "UniqueNo", false),
      QUVO_PROFILE_FIELD(image, "Photo", true),
  };
  return fields;
}

#undef QUVO_PROFILE_FIELD

void User_Profile_Class::Reset_All_Values() {
  Fill_User_Profile_Enable = false;
  Excel_Binding = false;
  for (const UserProfileField& f : userProfileFields()) {
    this->*f.id = QString::fromLatin1(f.defaultId);
    this->*f.label_id = QString::fromLatin1(f.defaultLabelId);
    this->*f.value = QStringLiteral("");
    Set_Field_Typed(*this, f);
  }
}

void Set_Field_Typed(User_Profile_Class& profile, const UserProfileField& field) {
  profile.*field.ds = false;
  profile.*field.ds_name = QStringLiteral("");
  profile.*field.ds_indx = 0;
  profile.*field.xl = false;
  profile.*field.xl_col_indx = 0;
}

void Set_Field_Series(User_Profile_Class& profile, const UserProfileField& field, const QString& name,
                      int index) {
  Set_Field_Typed(profile, field);
  profile.*field.ds = true;
  profile.*field.ds_name = name;
  profile.*field.ds_indx = index;
}

void Set_Field_Column(User_Profile_Class& profile, const UserProfileField& field, int column) {
  Set_Field_Typed(profile, field);
  profile.*field.xl = true;
  profile.*field.xl_col_indx = column;
}

bool isUserProfileControlID(const QString& controlID) {
  for (const UserProfileField& f : userProfileFields())
    if (controlID == QLatin1String(f.defaultId)) return true;
  return false;
}
