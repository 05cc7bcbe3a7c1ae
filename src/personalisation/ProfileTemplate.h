#pragma once
// Default rectangles of profile objects that a side lacks. The per-side
// profile dialog holds one placeholder frame per field for a landscape and
// one for a portrait card, in its own upward coordinates, inside a box of
// height H (horz_template); a placeholder's lower edge becomes the object's
// top edge on the card (y' = H - y).

#include <QRectF>
#include <QString>
#include <array>
#include <optional>

#include "personalisation/User_Profile_Class.h"

struct ProfilePlaceholderLayout {
  // Indexed like userProfileFields(); an absent frame stands for a
  // placeholder view that is not there.
  std::array<std::optional<QRectF>, kUserProfileFieldCount> landscape;
  std::array<std::optional<QRectF>, kUserProfileFieldCount> portrait;
  double horzTemplateHeight = 0.0;
};

// The placeholders used while no profile dialog supplies its own: a
// credit-card-sized layout with the photo at the left (landscape) or top
// (portrait) and the text lines beside or beneath it.
const ProfilePlaceholderLayout& defaultProfilePlaceholderLayout();

// The placeholders in force: those a profile dialog installed, else the default.
const ProfilePlaceholderLayout& profilePlaceholderLayout();
// Installs a layout (not owned; nullptr restores the default). Main thread.
void setProfilePlaceholderLayout(const ProfilePlaceholderLayout* layout);

// The default rectangle of the profile object with the control ID, in card
// points (y down). The front card's size (profileHost().Front_Card_Size())
// decides the orientation for every side: landscape when width >= height.
// An ID that is no profile control ID, or a missing placeholder, gives
// origin (0, H) with zero size.
QRectF Get_Control_Rect_From_Template(const QString& ctrl_ID);
QRectF Get_Control_Rect_From_Template(const QString& ctrl_ID, const ProfilePlaceholderLayout& layout);
