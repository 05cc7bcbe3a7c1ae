#include "personalisation/UserProfiles.h"

#include "personalisation/globals.h"

UserProfiles::UserProfiles() {
  Front_user_profile.Reset_All_Values();
  Back_user_profile.Reset_All_Values();
  TEMP_user_profile.Reset_All_Values();
}

void UserProfiles::New_Project_Setting_Reset() {
  Fill_User_Profile = false;
  Front_user_profile.Reset_All_Values();
  Back_user_profile.Reset_All_Values();
}

UserProfiles& User_Profiles() {
  static UserProfiles profiles;
  return profiles;
}
