// The tab view of the main window's right-hand side: the card tabs while no
// object is selected, the tabs of the selected object's kind otherwise,
// loaded with that object's values.
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "core/SKTGraphic.h"
#include "core/globals.h"
#include "data/DataSourceTable.h"
#include "mainwindow/PanelEdits.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/ShownObjectWatch.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/AlignmentTab.h"
#include "mainwindow/panels/BarcodeTab.h"
#include "mainwindow/panels/CardBackgroundTab.h"
#include "mainwindow/panels/CardBorderTab.h"
#include "mainwindow/panels/CardSettingsTab.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/LineTab.h"
#include "mainwindow/panels/PictureTab.h"
#include "mainwindow/panels/ShapeTab.h"
#include "mainwindow/panels/SignatureTab.h"
#include "mainwindow/panels/TextEditingTab.h"
#include "mainwindow/panels/TextPropertiesTab.h"
#include "platform/Messages.h"
#include "platform/widgets/Controls.h"

namespace {

// A page that only names what it is for.
QWidget* namedPage(const QString& title, QLabel** label) {
  auto* page = new QWidget;
  page->setAccessibleName(title);
  auto* layout = new QVBoxLayout(page);
  *label = new QLabel(title, page);
  (*label)->setWordWrap(true);
  layout->addWidget(*label);
  layout->addStretch(1);
  return page;
}

QString shapeTitle(const QString& code) {
  static const QHash<QString, QString> titles = {
      {QStringLiteral("R"), QStringLiteral("Rectangle Properties")},
      {QStringLiteral("C"), QStringLiteral("Ellipse Properties")},
      {QStringLiteral("RR"), QStringLiteral("Rounded Rectangle Properties")},
      {QStringLiteral("T"), QStringLiteral("Triangle Properties")},
      {QStringLiteral("D"), QStringLiteral("Diamond Properties")},
      {QStringLiteral("S"), QStringLiteral("Star Properties")},
      {QStringLiteral("DS"), QStringLiteral("Double Star Properties")},
      {QStringLiteral("P"), QStringLiteral("Polygon Properties")}};
  return titles.value(code);
}

// Opacity as the tabs show it. The tabs store a fraction; an object no tab
// has written yet still holds its first value, 100, which is opaque too.
int percentOf(float alpha) {
  if (!std::isfinite(alpha)) return 100;
  return static_cast<int>(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 100.0f));
}

// A stroke width in whole points, toward zero.
int widthOf(double width) {
  return std::isfinite(width) ? static_cast<int>(std::clamp(width, -1e6, 1e6)) : 0;
}

void loadBorder(const panels::BorderControls& border, const SKTGraphic& g) {
  showChecked(border.check, g._isDrawingStroke);
  border.width->setValue(widthOf(g._strokeWidth));
  border.colour->setColor(g._strokeColor);
  if (const int dash = panels::dashIndex(g._stroke_border_type); dash >= 0)
    border.style->setCurrentIndex(dash);
  SetObjEnabled(border.box, border.check->isChecked());
}

}  // namespace

void SKTWindowController::buildSettingsTabs() {
  sett_tab = new QTabWidget;
  sett_tab->setObjectName(QStringLiteral("sett_tab"));
  sett_tab->setAccessibleName(tr("Properties"));
  sett_tab->setFixedWidth(370);
  _cardSettings = new CardSettingsTab;
  _cardBackground = new CardBackgroundTab;
  _cardBorder = new CardBorderTab;
  card_setting_tab = _cardSettings;
  card_bkgd_tab = _cardBackground;
  card_brdr_tab = _cardBorder;
  QLabel* unused = nullptr;
  card_info_tab = namedPage(tr("Card Information"), &unused);
  card_size_tab = namedPage(tr("Card Size"), &unused);
  buildObjectTabs();
  Lock_tab = namedPage(tr("This object is locked. Unlock it to change it."), &_lockLabel);
  auto* unlock = new QPushButton(tr("Unlock"), Lock_tab);
  unlock->setAccessibleName(tr("Unlock"));
  static_cast<QVBoxLayout*>(Lock_tab->layout())->insertWidget(1, unlock);
  connect(unlock, &QPushButton::clicked, this, &SKTWindowController::Unlock_Clicked);
  // Every page belongs to the window, whether shown or not.
  for (QWidget* page : {card_info_tab, card_size_tab, line_tab, shape_tab, text_edtng_tab, text_prop_tab,
                        image_tab, sign_tab, datasource_tab, aligmnt_tab, barcode_tab, Lock_tab}) {
    page->setParent(sett_tab);
    page->hide();
  }
  sett_tab->addTab(card_setting_tab, tr("Card"));
  sett_tab->addTab(card_bkgd_tab, tr("Background"));
  sett_tab->addTab(card_brdr_tab, tr("Border"));
  print_object_chk = new QCheckBox(tr("Screen only: leave out of pictures, prints and mails"));
  print_object_chk->setAccessibleName(tr("Screen only"));
  print_object_chk->hide();
}

void SKTWindowController::buildObjectTabs() {
  text_edtng_tab = _textEditing = new TextEditingTab;
  text_prop_tab = _textProperties = new TextPropertiesTab;
  datasource_tab = _dataSource = new DataSourceTab;
  image_tab = _picture = new PictureTab;
  line_tab = _line = new LineTab;
  sign_tab = _signature = new SignatureTab;
  shape_tab = _shape = new ShapeTab;
  barcode_tab = _barcode = new BarcodeTab;
  aligmnt_tab = _alignment = new AlignmentTab;
}

void SKTWindowController::Remove_All_Tab_Items() {
  while (sett_tab->count() > 0) {
    QWidget* page = sett_tab->widget(0);
    sett_tab->removeTab(0);
    page->hide();
  }
}

bool SKTWindowController::tabsShow(const SKTGraphic* graphic) const {
  if (graphic != nullptr) return Last_Selected_Graphic.lock().get() == graphic;
  // No object given: nothing shares ownership with the empty pointer.
  const std::weak_ptr<SKTGraphic> none;
  return !none.owner_before(Last_Selected_Graphic) && !Last_Selected_Graphic.owner_before(none);
}

void SKTWindowController::Show_RHS_Properties(SKTGraphic* graphic) {
  if (Not_Draw_Only_Prop_Change()) return;
  try {
    selectArrowTool();
    if (graphic == nullptr) {
      print_object_chk->hide();
      _shownObjectWatch->watch(nullptr);
      showCardProperties();
      return;
    }
    Enable_Standard_Button_For_Control();
    if (graphic->ctrl_is_locked)
      Disable_Standard_Button_For_Lock();
    else
      Enable_Standard_Button_For_Unlock();
    if (tabsShow(graphic)) return;
    Last_Selected_Graphic = graphic->weak_from_this();
    // A new object's tabs start a new undo entry.
    if (_panelUndo) _panelUndo->endMerging();
    _shownObjectWatch->watch(graphic->weak_from_this().lock());
    showObjectTabs(graphic);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

void SKTWindowController::showObjectTabs(SKTGraphic* graphic) {
  // Loading must not write into the object: every change handler is void
  // while the guard lives, however the loading ends.
  ScopedNotDrawOnlyPropChange loading;
  Remove_All_Tab_Items();
  showChecked(print_object_chk, graphic->print_object != 0);
  print_object_chk->setEnabled(!graphic->ctrl_is_locked);
  print_object_chk->show();
  sel_control_name = QStringLiteral("NONE");
  QList<std::pair<QWidget*, QString>> tabs;
  QString lockedLabel;
  switch (graphic->kind()) {
    case GraphicKind::Text:
      sel_control_name = QStringLiteral("T");
      tabs = {{text_edtng_tab, QStringLiteral("Text")},
              {text_prop_tab, QStringLiteral("Text Properties")},
              {datasource_tab, QStringLiteral("Text Source")}};
      lockedLabel = QStringLiteral("Text Properties");
      _dataSource->data_source_title->setText(QStringLiteral("Text Source"));
      _dataSource->manual_brws_box->hide();
      break;
    case GraphicKind::Image:
      sel_control_name = QStringLiteral("I");
      tabs = {{datasource_tab, QStringLiteral("Image Source")},
              {image_tab, QStringLiteral("Image Properties")}};
      lockedLabel = QStringLiteral("Image Properties");
      _dataSource->data_source_title->setText(QStringLiteral("Image Source"));
      _dataSource->manual_brws_box->show();
      break;
    case GraphicKind::Line:
      tabs = {{line_tab, QStringLiteral("Line Properties")}};
      lockedLabel = QStringLiteral("Line Properties");
      break;
    case GraphicKind::Signature: {
      sel_control_name = graphic->sign_or_fingureprint;
      const bool signature = graphic->sign_or_fingureprint == QLatin1String("S");
      tabs = {{sign_tab, signature ? QStringLiteral("Signature Properties")
                                   : QStringLiteral("FingrePrint Properties")}};
      lockedLabel = QStringLiteral("Signature Properties");
      break;
    }
    case GraphicKind::Barcode:
      tabs = {{barcode_tab, QStringLiteral("Barcode Properties")}};
      lockedLabel = QStringLiteral("Barcode Properties");
      break;
    default: {
      for (QWidget* extra : std::initializer_list<QWidget*>{
               _shape->shape_cor_radius_Stepper, _shape->shape_cor_radius_Label, _shape->double_star_Label,
               _shape->double_star_Stepper, _shape->polygon_Label, _shape->polygon_Stepper})
        extra->hide();
      const QString code = graphic->Get_shape_type();
      QString title = shapeTitle(code);
      // An unknown shape keeps the label the tab had.
      if (title.isEmpty()) title = _shape->Shape_prop_title->text();
      tabs = {{shape_tab, title}};
      lockedLabel = title;
      _shape->Shape_prop_title->setText(title);
      if (!graphic->ctrl_is_locked) {
        if (code == QLatin1String("RR")) {
          _shape->shape_cor_radius_Label->show();
          _shape->shape_cor_radius_Stepper->show();
        } else if (code == QLatin1String("DS")) {
          _shape->double_star_Label->show();
          _shape->double_star_Stepper->show();
        } else if (code == QLatin1String("P")) {
          _shape->polygon_Label->show();
          _shape->polygon_Stepper->show();
        }
      }
      break;
    }
  }
  if (graphic->ctrl_is_locked) {
    sett_tab->insertTab(0, Lock_tab, lockedLabel);
  } else {
    for (const auto& [page, label] : tabs) sett_tab->addTab(page, label);
  }
  sett_tab->setCurrentIndex(0);
  // Values are loaded for a locked object too, though its tabs are not shown.
  loadObjectControls(*graphic);
  // A text newly shown is selected whole in the editor.
  if (graphic->kind() == GraphicKind::Text) _textEditing->Text_value_Edit->selectAll();
  if (!graphic->ctrl_is_locked) sett_tab->addTab(aligmnt_tab, QStringLiteral("Alignment"));
  sett_tab->update();
}

void SKTWindowController::followShownObject() {
  // Values being loaded: whoever loads them shows the object as it is then.
  if (Not_Draw_Only_Prop_Change()) return;
  const SKTGraphicPtr shown = Last_Selected_Graphic.lock();
  if (!shown) return;
  try {
    ScopedNotDrawOnlyPropChange loading;
    showChecked(print_object_chk, shown->print_object != 0);
    loadObjectControls(*shown);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

void SKTWindowController::loadObjectControls(SKTGraphic& graphic) {
  switch (graphic.kind()) {
    case GraphicKind::Text:
      return loadTextControls(graphic);
    case GraphicKind::Image:
      return loadPictureControls(graphic);
    case GraphicKind::Line:
      return loadLineControls(graphic);
    case GraphicKind::Signature:
      return loadSignatureControls(graphic);
    case GraphicKind::Barcode:
      return;  // the barcode designer loads its own values
    default:
      return loadShapeControls(graphic);
  }
}

void SKTWindowController::loadTextControls(SKTGraphic& g) {
  TextEditingTab* e = _textEditing;
  TextPropertiesTab* t = _textProperties;
  const bool title = g.control_ID == QLatin1String("PARTY_TITLE");
  const bool message = g.control_ID == QLatin1String("PARTY_MSG");
  e->insert_template_btn->setVisible(title || message);
  if (title || message)
    e->insert_template_btn->setText(title ? QStringLiteral("Use Template Title")
                                          : QStringLiteral("Use Template Message"));
  e->insert_template_btn->setAccessibleName(e->insert_template_btn->text());
  e->showText(g.Text_contents()->string);
  loadDataSourceControls(g);
  loadBorder(t->border, g);
  showChecked(t->Text_fill_chk, g._isDrawingFill);
  t->Text_fill_clr->setColor(g._fillColor);
  const bool gradient = g._fill_type == QLatin1String("G");
  showChecked(t->Text_gradient_fill_rd, gradient);
  showChecked(t->Text_solid_fill_rd, !gradient);
  t->Text_fill_Grd_1_clr->setColor(g._fill_Grad_clr1);
  t->Text_fill_Grd_2_clr->setColor(g._fill_Grad_clr2);
  t->Text_grad_Stepper->setValue(static_cast<int>(std::lround(g._fill_grad_angle)));
  t->Text_alpha_Stepper->setValue(percentOf(g.alpha_val));
  SetObjEnabled(t->Text_Fill_Box, t->Text_fill_chk->isChecked());
  setTextFillEnabling(g._fill_type);
  t->Text_clr->setColor(g.txt_clr);
  Text_font = g.text_ctrl_font;
  t->Text_align_combo->setCurrentIndex(g.text_alignmnet);
  t->Text_case_combo->setCurrentIndex(g.text_transfrom_case);
  t->Text_Kern_Stepper->setValue(g.text_kerning);
  t->Text_font_value->setText(panels::fontLabel(Text_font));
}

void SKTWindowController::loadPictureControls(SKTGraphic& g) {
  PictureTab* p = _picture;
  _dataSource->Manual_image_path->setText(g._file_path);
  loadDataSourceControls(g);
  loadBorder(p->border, g);
  const std::pair<ValueSlider*, float> sliders[] = {
      {p->Rotate_slidr, g.rotate_image}, {p->Trsp_slidr, g.img_trnsp_val}, {p->Hue_slidr, g.hue_val},
      {p->Sat_slidr, g.sat_val},         {p->Brt_slidr, g.brt_val},        {p->Con_slidr, g.con_val},
      {p->shrp_slidr, g.srp_val},        {p->ev_slidr, g.ev_val},          {p->blr_slidr, g.blr_val}};
  for (const auto& [slider, value] : sliders) slider->setValue(value);
  showChecked(p->Image_Gray_Scale_chk, g.gray_Scale);
  showChecked(p->Image_Sepia_chk, g.Sepia);
  showChecked(p->Image_Invert_chk, g.invert_clr);
  showChecked(p->Image_FIV_chk, g._isFlippedVertically);
  showChecked(p->Image_FIH_chk, g._isFlippedHorizontally);
  _dataSource->Manual_image_path->setText(g._file_path);
}

void SKTWindowController::loadLineControls(SKTGraphic& g) {
  LineTab* l = _line;
  l->Line_Wdt_Stepper->setValue(widthOf(g._strokeWidth));
  l->Line_clr->setColor(g._strokeColor);
  if (const int dash = panels::dashIndex(g._stroke_border_type); dash >= 0)
    l->Line_border_style->setCurrentIndex(dash);
  l->Line_ori_style->setCurrentIndex(g._line_ori);
  l->Line_cap_style->setCurrentIndex(g._line_cap_style);
  l->Line_alpha_Stepper->setValue(percentOf(g.alpha_val_stroke));
}

void SKTWindowController::loadSignatureControls(SKTGraphic& g) {
  loadDataSourceControls(g);
  loadBorder(_signature->border, g);
  // The file shown is this object's own, so that no other object's file is
  // written into it by a later change of the tab.
  _signature->Sign_image_path->setText(g._file_path);
}

void SKTWindowController::loadShapeControls(SKTGraphic& g) {
  ShapeTab* s = _shape;
  loadBorder(s->border, g);
  showChecked(s->Shape_fill_chk, g._isDrawingFill);
  s->shape_fill_clr->setColor(g._fillColor);
  const QString kind = g._fill_type == QLatin1String("G") || g._fill_type == QLatin1String("H")
                           ? g._fill_type
                           : QStringLiteral("S");
  showChecked(s->Shape_gradient_fill_rd, kind == QLatin1String("G"));
  showChecked(s->Shape_Style_fill_rd, kind == QLatin1String("H"));
  showChecked(s->Shape_solid_fill_rd, kind == QLatin1String("S"));
  s->shape_fill_Grd_1_clr->setColor(g._fill_Grad_clr1);
  s->shape_fill_Grd_2_clr->setColor(g._fill_Grad_clr2);
  s->shape_hatch_bk_clr->setColor(g._fill_htch_clr);
  if (g._fill_hatch_type.isEmpty())
    s->shape_hatch_style->setCurrentIndex(-1);
  else
    panels::selectItemWithText(s->shape_hatch_style, g._fill_hatch_type);
  s->shape_grad_Stepper->setValue(static_cast<int>(std::lround(g._fill_grad_angle)));
  s->shape_alpha_Stepper->setValue(percentOf(g.alpha_val));
  s->shape_cor_radius_Stepper->setValue(g.cor_rad_val_val);
  s->double_star_Stepper->setValue(g.double_star_type);
  s->polygon_Stepper->setValue(g.polygon_type);
  SetObjEnabled(s->Shape_Fill_Box, s->Shape_fill_chk->isChecked());
  setShapeFillEnabling(kind);
}

void SKTWindowController::loadDataSourceControls(SKTGraphic& g) {
  DataSourceTab* d = _dataSource;
  // "Excel" is offered while the design is bound to a spreadsheet (a
  // workbook only browsed in the profile window, then cancelled, is not), and
  // for an object that is bound to a column anyway.
  if (Excel_Binding_Use.load() || g.data_source_type == 2)
    Add_Excel_Col_Name_In_Combo(d->Data_source_type);
  else
    Remove_Excel_Col_Name_In_Combo(d->Data_source_type);
  {
    const QSignalBlocker blocker(d->Data_source_type);
    d->Data_source_type->setCurrentIndex(
        g.data_source_type < d->Data_source_type->count() ? g.data_source_type : 0);
  }
  // The source list and the enabled controls follow the kind even when the
  // previous object had the same one.
  dataSourceKindChosen();
  if (g.data_source_type == 1 && !g.batch_list_name.isEmpty())
    panels::selectItemWithText(d->Batch_Series, g.batch_list_name);
}

void SKTWindowController::setShapeFillEnabling(const QString& kind) {
  ShapeTab* s = _shape;
  const bool gradient = kind == QLatin1String("G");
  const bool hatch = kind == QLatin1String("H");
  SetObjEnabled(s->shape_fill_clr, !gradient && !hatch);
  for (QWidget* control : std::initializer_list<QWidget*>{s->shape_fill_Grd_1_clr, s->shape_fill_Grd_2_clr,
                                                          s->shape_grad_Stepper})
    SetObjEnabled(control, gradient);
  SetObjEnabled(s->shape_hatch_style, hatch);
  SetObjEnabled(s->shape_hatch_bk_clr, hatch);
}

void SKTWindowController::setTextFillEnabling(const QString& kind) {
  TextPropertiesTab* t = _textProperties;
  const bool gradient = kind == QLatin1String("G");
  SetObjEnabled(t->Text_fill_clr, !gradient);
  for (QWidget* control :
       std::initializer_list<QWidget*>{t->Text_fill_Grd_1_clr, t->Text_fill_Grd_2_clr, t->Text_grad_Stepper})
    SetObjEnabled(control, gradient);
}
