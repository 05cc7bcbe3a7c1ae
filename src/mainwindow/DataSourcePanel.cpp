// The object tabs' combo boxes and the data-source tab: binding a text or a
// picture to a data series or a spreadsheet column, with the first value as
// a preview, and the services that fill the data-source combo boxes.
#include <QSignalBlocker>

#include "canvas/SKTGraphicView.h"
#include "core/SKTImage.h"
#include "core/globals.h"
#include "data/DataSeriesStore.h"
#include "data/DataSourceTable.h"
#include "data/dialogs/Data_From_Excel.h"
#include "data/dialogs/View_Data_Series.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/LineTab.h"
#include "mainwindow/panels/PictureTab.h"
#include "mainwindow/panels/ShapeTab.h"
#include "mainwindow/panels/SignatureTab.h"
#include "mainwindow/panels/TextEditingTab.h"
#include "mainwindow/panels/TextPropertiesTab.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"
#include "platform/globals.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/LongSmsDialog.h"

namespace {

enum SourceKind { Manual = 0, Series = 1, Spreadsheet = 2 };

const QString kExcelItem = QStringLiteral("Excel");

}  // namespace

bool SKTWindowController::objectComboBoxSelectionDidChange(QComboBox* combo) {
  if (combo == _line->Line_border_style || combo == _line->Line_ori_style || combo == _line->Line_cap_style)
    Update_Line_Graphics();
  else if (combo == _textProperties->Text_border_style || combo == _textProperties->Text_align_combo ||
           combo == _textProperties->Text_case_combo)
    Update_Text_Graphics();
  else if (combo == _shape->shape_border_style || combo == _shape->shape_hatch_style)
    Update_Shape_Graphics();
  else if (combo == _picture->Image_border_style)
    Update_Image_Graphics();
  else if (combo == _signature->Sign_border_style)
    Update_Sign_Graphics();
  else if (combo == _dataSource->Data_source_type)
    dataSourceKindChosen();
  else if (combo == _dataSource->Batch_Series)
    dataSourceItemChosen();
  else
    return false;
  return true;
}

// ---------------------------------------------------------------- binding

void SKTWindowController::dataSourceKindChosen() {
  DataSourceTab* d = _dataSource;
  const int kind = d->Data_source_type->currentIndex();
  // While an object's values are loaded the lists follow it, and nothing is
  // written into it or asked of the person.
  const bool loading = Not_Draw_Only_Prop_Change();
  const SKTGraphicPtr current = panelGraphic();
  const bool manual = kind == Manual;
  SetObjEnabled(d->view_series_btn, kind == Series || kind == Spreadsheet);
  SetObjEnabled(d->Batch_Series, kind == Series || kind == Spreadsheet);
  _textEditing->Text_value_Edit->setReadOnly(!manual);
  _textEditing->insert_template_btn->setEnabled(manual);
  SetObjEnabled(d->manual_brws_box, manual);
  if (kind == Manual) {
    const QSignalBlocker blocker(d->Batch_Series);
    d->Batch_Series->clear();
    writeCurrentGraphic([](SKTGraphic& g) { g.Set_Data_source_type(Manual); });
  } else if (kind == Series) {
    {
      const QSignalBlocker blocker(d->Batch_Series);
      Fill_Data_Set_File_Name_In_Combo(d->Batch_Series);
    }
    if (d->Batch_Series->count() == 0) {
      if (loading) return;
      Show_MessageBox(QStringLiteral("Please create batch processing series first."));
      // The object keeps its binding, and the combo shows it again.
      const int previous = current ? current->data_source_type : Manual;
      {
        const QSignalBlocker blocker(d->Data_source_type);
        d->Data_source_type->setCurrentIndex(previous == Series ? Manual : previous);
      }
      dataSourceKindChosen();
      return;
    }
    // A series binds the object only together with its first value
    // (dataSourceItemChosen): choosing "Series" again binds the object to its
    // own series once more; any other object keeps its text or picture, and
    // its source, until a series is chosen.
    if (!loading && current && !current->batch_list_name.isEmpty())
      panels::selectItemWithText(d->Batch_Series, current->batch_list_name);
  } else if (kind == Spreadsheet) {
    {
      const QSignalBlocker blocker(d->Batch_Series);
      Fill_Excel_Col_Name_In_Combo(d->Batch_Series);
    }
    // Likewise a column: only an object bound to one shows it (and, chosen
    // again, is bound to it once more); for any other object no column is
    // chosen until the person chooses one.
    const SKTGraphicPtr shown = current ? current : Last_Selected_Graphic.lock();
    if (shown && shown->data_source_type == Spreadsheet && shown->excel_col_indx < d->Batch_Series->count()) {
      const QSignalBlocker blocker(loading ? d->Batch_Series : nullptr);
      d->Batch_Series->setCurrentIndex(shown->excel_col_indx);
    }
  }
}

void SKTWindowController::dataSourceItemChosen() {
  if (Not_Draw_Only_Prop_Change()) return;
  DataSourceTab* d = _dataSource;
  const int kind = d->Data_source_type->currentIndex();
  const QString name = Trim_Str(d->Batch_Series->currentText());
  const int index = d->Batch_Series->currentIndex();
  if (name.isEmpty() || index < 0) return;
  const SKTGraphicPtr current = panelGraphic();
  if (!current || (kind != Series && kind != Spreadsheet)) return;
  const QString value =
      kind == Series ? Get_First_Value_Of_Dataset(name) : Get_First_Value_Of_Excel_Binding(index);
  const GraphicKind objectKind = current->kind();
  writeCurrentGraphic([&](SKTGraphic& g) {
    if (kind == Series) {
      g.Set_Data_source_type(Series);
      g.Set_Batch_List_Name(name);
      g.Set_Batch_List_Index(index);
    } else {
      g.Set_Data_source_type(Spreadsheet);
      g.Set_Excel_binding_Index(index);
    }
    if (objectKind == GraphicKind::Text) g.Text_contents()->string = value;
    if (objectKind == GraphicKind::Image) static_cast<SKTImage&>(g).setFilePath(value);
  });
  if (objectKind == GraphicKind::Text) {
    _textEditing->showText(value);
  } else if (objectKind == GraphicKind::Image) {
    d->Manual_image_path->setText(value);
    Update_Image_Graphics();
  }
  Refresh_Canvas();
  currentSideView()->startEditingGraphic(current);
  Refresh_Canvas();
}

// ---------------------------------------------------------------- combo services

QStringList SKTWindowController::Get_datasheet_File_Name_Array() const {
  return DataSeriesStore().Get_datasheet_File_Name_Array();
}

void SKTWindowController::Fill_Data_Set_File_Name_In_Combo(QComboBox* combo) {
  try {
    combo->setCurrentIndex(-1);
    combo->clear();
    combo->addItems(Get_datasheet_File_Name_Array());
    combo->setCurrentIndex(-1);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

void SKTWindowController::Fill_Excel_Col_Name_In_Combo(QComboBox* combo) {
  try {
    combo->setCurrentIndex(-1);
    combo->clear();
    combo->addItems(Data_From_Excel_Table().columnTitles());
    combo->setCurrentIndex(-1);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

void SKTWindowController::Add_Excel_Col_Name_In_Combo(QComboBox* combo) {
  if (combo->count() == 2) combo->addItem(kExcelItem);
}

void SKTWindowController::Remove_Excel_Col_Name_In_Combo(QComboBox* combo) {
  if (combo->count() != 3) return;
  // Taking the item away binds no object to anything else: the tab only
  // follows the choice it now shows.
  const bool shown = combo->currentText() == kExcelItem;
  {
    const QSignalBlocker blocker(combo);
    combo->removeItem(combo->findText(kExcelItem));
  }
  if (shown && combo == _dataSource->Data_source_type) {
    ScopedNotDrawOnlyPropChange following;
    dataSourceKindChosen();
  }
}

void SKTWindowController::View_batch_Series_Button() {
  try {
    const int kind = _dataSource->Data_source_type->currentIndex();
    if (kind == Spreadsheet) {
      Data_From_Excel::defaultInstance().Open_Wnd();
      return;
    }
    if (kind != Series) return;
    // The viewer answers a blank name with "Please select the series.".
    View_Data_Series::defaultInstance().Open_Wnd(Trim_Str(_dataSource->Batch_Series->currentText()));
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

void SKTWindowController::Data_Source_Help_Button() {
  Set_Cutom_Msg_Title(QStringLiteral("Batch Processing Settings Help :"));
  Set_Cutom_Msg_Val(QStringLiteral(
      "Select Data Source as 'Manual' to enter value manually, Select 'Batch Processing Series' to "
      "fetch the value from the list of existing Batch Processing Series."));
  Long_SMS_Dlg::defaultInstance().Open_Long_sms_Dialog();
}
