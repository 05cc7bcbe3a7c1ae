#include "personalisation/ProfileSources.h"

#include "data/DataSeriesStore.h"
#include "data/DataSourceTable.h"
#include "personalisation/ProfileHost.h"
#include "platform/StringHelpers.h"

SpreadsheetBinding SpreadsheetBinding::current(const DataSourceTable& table, ProfileHost& host) {
  return {table.columnTitles(), table.ListData(), host.Excel_Source_Path(), host.Excel_Binding_Use()};
}

void SpreadsheetBinding::restore(DataSourceTable& table, ProfileHost& host) const {
  if (table.columnTitles() != titles || table.ListData() != rows) table.replaceContents(titles, rows);
  if (host.Excel_Source_Path() != path) host.Set_Excel_Source_Path(path);
  if (host.Excel_Binding_Use() != use) host.Set_Excel_Binding_Use(use);
}

void Refresh_User_Profile_Values(User_Profile_Class& profile, const DataSeriesStore& series,
                                 const DataSourceTable& table) {
  for (const UserProfileField& field : userProfileFields()) {
    if (profile.*field.xl)
      profile.*field.value = DataSeriesStore::filledValue(table.value(0, profile.*field.xl_col_indx));
    else if (profile.*field.ds)
      profile.*field.value = series.Get_First_Value_Of_Dataset(profile.*field.ds_name);
  }
}

QString Profile_Object_Value(const SKTGraphic& graphic) {
  return graphic.kind() == GraphicKind::Image ? graphic.FilePath() : graphic.Text_Value;
}

void Load_User_Profile_From_Side(const SKTGraphicList& graphics, User_Profile_Class& profile,
                                 const DataSeriesStore& series, const DataSourceTable& table) {
  profile.Reset_All_Values();
  const QStringList names = series.Get_datasheet_File_Name_Array();
  const auto& fields = userProfileFields();
  for (const SKTGraphicPtr& graphic : graphics) {
    if (!graphic || (graphic->kind() != GraphicKind::Text && graphic->kind() != GraphicKind::Image)) continue;
    if (!graphic->ctrl_is_visible) continue;
    const QString id = Trim_Str(graphic->control_ID);
    if (id.isEmpty()) continue;
    for (const UserProfileField& field : fields) {
      if (id != QLatin1String(field.defaultId)) continue;
      profile.*field.value =
          graphic->kind() == GraphicKind::Image ? graphic->FilePath() : graphic->Text_Value;
      Set_Field_Typed(profile, field);
      if (graphic->data_source_type == 1) {
        const int slot = graphic->batch_list_index;
        Set_Field_Series(profile, field,
                         (slot >= 0 && slot < names.size()) ? names[slot] : graphic->batch_list_name, slot);
      } else if (graphic->data_source_type == 2) {
        Set_Field_Column(profile, field, graphic->excel_col_indx);
      }
      break;
    }
  }
  Refresh_User_Profile_Values(profile, series, table);
}
