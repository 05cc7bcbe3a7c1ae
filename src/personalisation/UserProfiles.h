#pragma once
// The three profile records of the main window: front, back and the temp
// side of the previews. Constructed front, back, temp and then reset in that
// order. Main thread only.

#include "personalisation/User_Profile_Class.h"

class UserProfiles {
 public:
  UserProfiles();

  // A new project: Fill_User_Profile off and the front and back records reset;
  // the temp record keeps what the last preview left in it.
  void New_Project_Setting_Reset();

  User_Profile_Class Front_user_profile;
  User_Profile_Class Back_user_profile;
  User_Profile_Class TEMP_user_profile;
};

// The program's three records (made on first use; GUI thread).
UserProfiles& User_Profiles();
