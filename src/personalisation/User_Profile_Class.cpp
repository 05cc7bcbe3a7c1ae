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
    this->*f.ds = false;
    this->*f.ds_name = QStringLiteral("");
    this->*f.ds_indx = 0;
    this->*f.xl = false;
    this->*f.xl_col_indx = 0;
  }
}

bool isUserProfileControlID(const QString& controlID) {
  for (const UserProfileField& f : userProfileFields())
    if (controlID == QLatin1String(f.defaultId)) return true;
  return false;
}
