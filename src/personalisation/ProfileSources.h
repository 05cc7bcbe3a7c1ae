#pragma once
// Where profile values come from, as the profile dialogs work it out: the
// first value of a data series, the first row of a spreadsheet column, or
// the profile objects already on a side.

#include <QList>
#include <QStringList>

#include "core/SKTGraphic.h"
#include "data/DataSourceTable.h"
#include "personalisation/User_Profile_Class.h"

class DataSeriesStore;
class ProfileHost;

// The design's spreadsheet binding as it stands: the data-source table
// (column titles and rows), the bound workbook's path and whether objects
// bind to it. A profile dialog keeps it when it opens and puts it back when
// it is left without OK, whatever was browsed or corrected meanwhile.
struct SpreadsheetBinding {
  QStringList titles;
  QList<DataSourceRow> rows;
  QString path;
  bool use = false;

  static SpreadsheetBinding current(const DataSourceTable& table, ProfileHost& host);
  // Puts back only what differs, so that an unchanged table tells no change.
  void restore(DataSourceTable& table, ProfileHost& host) const;
};

// Puts card 1's value of each field's source into its value, trimmed as a run
// fills the field's object: the first line of the series file for a series
// field ("" when the file is missing), the first table row's cell for a
// spreadsheet field ("" when the table has no rows). Typed fields stay.
void Refresh_User_Profile_Values(User_Profile_Class& profile, const DataSeriesStore& series,
                                 const DataSourceTable& table);

// The value a profile object gives its field: a text's Text_Value, a
// picture's file path.
QString Profile_Object_Value(const SKTGraphic& graphic);

// Reads a side's profile objects into the profile: the record is reset, then
// every text or picture object (exactly those classes) that is visible and
// whose trimmed control ID is one of the profile control IDs gives its field
// the object's value (Profile_Object_Value) and its binding (series by its slot in the series
// listing, else by the object's series name; spreadsheet column by index),
// with the value then taken from that source.
void Load_User_Profile_From_Side(const SKTGraphicList& graphics, User_Profile_Class& profile,
                                 const DataSeriesStore& series, const DataSourceTable& table);
