#pragma once
// Putting a user profile onto a card side: for every field with a value the
// side's object with the field's control ID is filled (or created at its
// default rectangle), shown and bound to the field's source; so is the object
// of a field bound to a series or column whose first card is empty, showing
// nothing, as that card does. Objects of other fields without a value stay
// hidden. The main window calls these with its own records and canvases.
// Main thread only.

#include <QString>

#include "personalisation/User_Profile_Class.h"

class SKTGraphicView;

enum class ProfileFillSide { Front, Back, Temp };

// The one fill procedure. Front and back first show or hide the "Excel" item
// of the data-source combo and do nothing more while Fill_User_Profile is
// false; the temp side is filled whenever asked. An exception ends the fill
// in the log; fields filled before it keep their new state.
void Fill_User_profile_info_side(const User_Profile_Class& profile, SKTGraphicView& view,
                                 ProfileFillSide side);

void Fill_User_profile_info_front_side(const User_Profile_Class& Front_user_profile,
                                       SKTGraphicView& _graphicView);
void Fill_User_profile_info_back_side(const User_Profile_Class& Back_user_profile,
                                      SKTGraphicView& _graphicView_BACK);
void Fill_User_profile_info_TEMP_side(const User_Profile_Class& TEMP_user_profile,
                                      SKTGraphicView& _graphicView_TEMP);
// The front fill, then the back fill.
void Fill_User_profile_Details(const User_Profile_Class& Front_user_profile, SKTGraphicView& _graphicView,
                               const User_Profile_Class& Back_user_profile,
                               SKTGraphicView& _graphicView_BACK);

// Runs the per-side profile dialog (side "F" or "B") or the general one
// (side "", after trimming) through the profile host; a result of 1 sets
// Fill_User_Profile. Returns the dialog's result.
int Open_User_Profile_Window(bool load, const QString& load_side);
