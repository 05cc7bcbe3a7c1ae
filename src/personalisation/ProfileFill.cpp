#include "personalisation/ProfileFill.h"

#include <QFileInfo>
#include <exception>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/CardHost.h"
#include "core/SKTGraphic.h"
#include "core/SKTImage.h"
#include "core/globals.h"
#include "data/DataSeriesStore.h"
#include "data/DataSourceTable.h"
#include "personalisation/ProfileHost.h"
#include "personalisation/ProfileTemplate.h"
#include "personalisation/globals.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"

namespace {

// Binds the object to the field's source. A typed field drops any binding
// the object had, so that a batch run does not overwrite the typed value.
// With both flags set the spreadsheet column wins (applied last).
void bindToSource(SKTGraphic& graphic, const User_Profile_Class& profile, const UserProfileField& field) {
  if (!(profile.*field.ds) && !(profile.*field.xl)) {
    graphic.Set_Data_source_type(0);
    graphic.Set_Batch_List_Name(QString());
    graphic.Set_Batch_List_Index(0);
    graphic.Set_Excel_binding(false);
    graphic.Set_Excel_binding_Index(0);
    return;
  }
  if (profile.*field.ds) {
    graphic.Set_Data_source_type(1);
    graphic.Set_Batch_List_Name(profile.*field.ds_name);
    graphic.Set_Batch_List_Index(profile.*field.ds_indx);
    graphic.Set_Excel_binding(false);
  }
  if (profile.*field.xl) {
    graphic.Set_Data_source_type(2);
    graphic.Set_Excel_binding(true);
    graphic.Set_Excel_binding_Index(profile.*field.xl_col_indx);
  }
}

// A field with a value has an object on the side; so has a field bound to a
// series or column whose card 1 is empty: its object is bound for the cards
// after it, and shows card 1's nothing. A field bound to a series that is gone
// has none.
bool hasObject(const User_Profile_Class& profile, const UserProfileField& field) {
  if (!(profile.*field.value).isEmpty()) return true;
  if (profile.*field.xl) return Data_From_Excel_Table().hasRows();
  if (profile.*field.ds) return DataSeriesStore().seriesExists(profile.*field.ds_name);
  return false;
}

// The object of a bound field whose card 1 has no value shows what that card
// shows: no text, no picture.
void showEmptyValue(SKTGraphic& graphic) {
  if (graphic.kind() == GraphicKind::Text) {
    graphic.Text_Value.clear();
    graphic.Text_contents()->string.clear();
    graphic._isDrawingStroke = false;
    graphic._isDrawingFill = false;
  } else if (auto* image = dynamic_cast<SKTImage*>(&graphic)) {
    image->setFilePath(QString());
  }
  graphic.Set_Ctrl_Is_Visible(true);
}

void fillField(const User_Profile_Class& profile, const UserProfileField& field, SKTGraphicView& view) {
  const QString& value = profile.*field.value;
  if (!hasObject(profile, field)) return;
  const QString& ctrlID = profile.*field.id;
  const SKTGraphicPtr existing = view.Selcect_Ctrl_With_ID(ctrlID);
  const bool useRect = !existing;
  const QRectF rect = existing ? QRectF() : Get_Control_Rect_From_Template(ctrlID);
  GraphicKind kind = GraphicKind::Text;
  if (field.isPicture) {
    profileHost().Set_Selected_Control_Tool(DrawingTool::PictureFile);
    Library_Selected_Image.set(value);
    kind = GraphicKind::Image;
  }
  view.setSelectedGraphic(nullptr);
  view.ReplaceGraphicText(kind, nullptr, useRect, rect, QStringLiteral("F"), value, ctrlID);
  const SKTGraphicPtr selected = view.Selected_Graphic();
  if (!selected) return;
  // A picture object that got its new file is shown again.
  if (field.isPicture && existing && selected == existing && QFileInfo(value).isFile())
    selected->Set_Ctrl_Is_Visible(true);
  if (value.isEmpty()) showEmptyValue(*selected);
  bindToSource(*selected, profile, field);
}

// The canvas finds and hides profile objects by their exact control ID, while
// the profile dialogs read a side by the trimmed ID. An object whose ID is a
// profile ID only after trimming would be read into the dialog but then
// neither found nor hidden, and the fill would put a second object beside it;
// such IDs are written back trimmed first.
void trimProfileControlIDs(SKTGraphicView& view) {
  for (const SKTGraphicPtr& g : view.graphics()) {
    if (!g || (g->kind() != GraphicKind::Text && g->kind() != GraphicKind::Image)) continue;
    const QString trimmed = Trim_Str(g->control_ID);
    if (trimmed != g->control_ID && isUserProfileControlID(trimmed)) g->control_ID = trimmed;
  }
}

// The fill selects the text and picture tools and names the photo as the
// library picture while it makes objects; the user's tool and picture come back afterwards.
class ToolAndPictureKeeper {
 public:
  ToolAndPictureKeeper()
      : tool_(cardHost().Selected_Control_Tool()), picture_(Library_Selected_Image.get()) {}
  ~ToolAndPictureKeeper() {
    profileHost().Set_Selected_Control_Tool(tool_);
    Library_Selected_Image.set(picture_);
  }
  ToolAndPictureKeeper(const ToolAndPictureKeeper&) = delete;
  ToolAndPictureKeeper& operator=(const ToolAndPictureKeeper&) = delete;

 private:
  DrawingTool tool_;
  QString picture_;
};

}  // namespace

void Fill_User_profile_info_side(const User_Profile_Class& profile, SKTGraphicView& view,
                                 ProfileFillSide side) {
  try {
    ProfileHost& host = profileHost();
    if (side != ProfileFillSide::Temp) {
      if (host.Excel_Binding_Use())
        host.Add_Excel_Col_Name_In_Combo();
      else
        host.Remove_Excel_Col_Name_In_Combo();
      if (!Fill_User_Profile.load()) return;
    }
    const ToolAndPictureKeeper keeper;
    trimProfileControlIDs(view);
    view.Hide_all_Text_control_FUP_Control();
    host.Set_Selected_Control_Tool(DrawingTool::Text);
    for (const UserProfileField& field : userProfileFields()) fillField(profile, field, view);
  } catch (const std::exception& e) {
    qCWarning(lcPersonalisation).noquote() << QString::fromUtf8(e.what());
  } catch (...) {
    qCWarning(lcPersonalisation) << "Unknown error while filling the user profile.";
  }
}

void Fill_User_profile_info_front_side(const User_Profile_Class& Front_user_profile,
                                       SKTGraphicView& _graphicView) {
  Fill_User_profile_info_side(Front_user_profile, _graphicView, ProfileFillSide::Front);
}

void Fill_User_profile_info_back_side(const User_Profile_Class& Back_user_profile,
                                      SKTGraphicView& _graphicView_BACK) {
  Fill_User_profile_info_side(Back_user_profile, _graphicView_BACK, ProfileFillSide::Back);
}

void Fill_User_profile_info_TEMP_side(const User_Profile_Class& TEMP_user_profile,
                                      SKTGraphicView& _graphicView_TEMP) {
  Fill_User_profile_info_side(TEMP_user_profile, _graphicView_TEMP, ProfileFillSide::Temp);
}

void Fill_User_profile_Details(const User_Profile_Class& Front_user_profile, SKTGraphicView& _graphicView,
                               const User_Profile_Class& Back_user_profile,
                               SKTGraphicView& _graphicView_BACK) {
  Fill_User_profile_info_front_side(Front_user_profile, _graphicView);
  Fill_User_profile_info_back_side(Back_user_profile, _graphicView_BACK);
}

int Open_User_Profile_Window(bool load, const QString& load_side) {
  const QString side = Trim_Str(load_side);
  const int result = profileHost().Run_User_Profile_Dialog(side, load);
  if (result == 1) Fill_User_Profile = true;
  return result;
}
