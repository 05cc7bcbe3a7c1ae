// The way back from the object tabs to the objects: every change of a tab
// writes the whole tab into every selected object of the current side and
// redraws it; on the front each change is one undo entry.
#include <QFileInfo>

#include "canvas/SKTGraphicView.h"
#include "core/SKTImage.h"
#include "core/SKTSignature.h"
#include "core/globals.h"
#include "mainwindow/PanelEdits.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/AlignmentTab.h"
#include "mainwindow/panels/BarcodeTab.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/LineTab.h"
#include "mainwindow/panels/PictureTab.h"
#include "mainwindow/panels/ShapeTab.h"
#include "mainwindow/panels/SignatureTab.h"
#include "mainwindow/panels/TextEditingTab.h"
#include "mainwindow/panels/TextPropertiesTab.h"
#include "platform/FileHelpers.h"
#include "platform/Messages.h"
#include "platform/globals.h"
#include "platform/widgets/Controls.h"

namespace {

// The border controls as one value: on, colour, whole-point width, dash style.
struct Stroke {
  bool on;
  QColor colour;
  int width;
  QString dash;  // "" leaves the style as it was

  explicit Stroke(const panels::BorderControls& c)
      : on(c.check->isChecked()),
        colour(c.colour->color()),
        width(c.width->value()),
        dash(panels::dashCode(c.style->currentIndex())) {}

  // When off only the flag changes: colour and width are kept.
  void writeInto(SKTGraphic& g) const {
    g._isDrawingStroke = on;
    if (on) {
      g._strokeColor = colour;
      g._strokeWidth = width;
    }
    if (!dash.isEmpty()) g._stroke_border_type = dash;
  }
};

// The fill controls as one value: on, solid colour, kind ("S", "G", "H"),
// gradient colours and angle.
struct Fill {
  bool on;
  QColor colour, gradient1, gradient2;
  double angle;
  QString kind;

  // When off only the flag changes (and the kind becomes solid): the colour is kept.
  void writeInto(SKTGraphic& g) const {
    g._isDrawingFill = on;
    if (on) g._fillColor = colour;
    g._fill_type = on ? kind : QStringLiteral("S");
    g._fill_Grad_clr1 = gradient1;
    g._fill_Grad_clr2 = gradient2;
    g._fill_grad_angle = angle;
  }
};

float fractionOf(const QSpinBox* percent) {
  return static_cast<float>(percent->value()) / 100.0f;
}

}  // namespace

// ---------------------------------------------------------------- wiring

void SKTWindowController::connectObjectControls() {
  _panelUndo =
      std::make_unique<panel_edits::PanelUndo>(_document->undoRecorder(), [this] { panelFieldsRestored(); });
  using Update = void (SKTWindowController::*)();
  auto onChange = [this](QWidget* control, Update update) {
    if (auto* well = qobject_cast<ColorWell*>(control))
      connect(well, &ColorWell::colorChanged, this, update);
    else if (auto* spin = qobject_cast<QSpinBox*>(control))
      connect(spin, &QSpinBox::valueChanged, this, update);
    else if (auto* real = qobject_cast<QDoubleSpinBox*>(control))
      connect(real, &QDoubleSpinBox::valueChanged, this, update);
    else if (auto* slider = qobject_cast<ValueSlider*>(control))
      connect(slider, &ValueSlider::valueChanged, this, update);
    else if (auto* check = qobject_cast<QCheckBox*>(control))
      onToggled(check, this, [this, update] { (this->*update)(); });
    else if (auto* combo = qobject_cast<QComboBox*>(control))
      connect(combo, &QComboBox::currentIndexChanged, this,
              [this, combo] { comboBoxSelectionDidChange(combo); });
  };
  auto onBorder = [this, onChange](const panels::BorderControls& border, Update update) {
    onToggled(border.check, this, [this, border, update] {
      SetObjEnabled(border.box, border.check->isChecked());
      (this->*update)();
    });
    for (QWidget* control : std::initializer_list<QWidget*>{border.colour, border.width, border.style})
      onChange(control, update);
  };

  ShapeTab* s = _shape;
  onBorder(s->border, &SKTWindowController::Update_Shape_Graphics);
  for (QWidget* control : std::initializer_list<QWidget*>{
           s->shape_fill_clr, s->shape_fill_Grd_1_clr, s->shape_fill_Grd_2_clr, s->shape_grad_Stepper,
           s->shape_hatch_style, s->shape_hatch_bk_clr, s->shape_alpha_Stepper, s->shape_cor_radius_Stepper,
           s->double_star_Stepper, s->polygon_Stepper})
    onChange(control, &SKTWindowController::Update_Shape_Graphics);
  onToggled(s->Shape_fill_chk, this, [this] {
    SetObjEnabled(_shape->Shape_Fill_Box, _shape->Shape_fill_chk->isChecked());
    setShapeFillEnabling(_shape->Shape_gradient_fill_rd->isChecked() ? QStringLiteral("G")
                         : _shape->Shape_Style_fill_rd->isChecked()  ? QStringLiteral("H")
                                                                     : QStringLiteral("S"));
    Update_Shape_Graphics();
  });
  const std::pair<QRadioButton*, const char*> shapeRadios[] = {
      {s->Shape_solid_fill_rd, "S"}, {s->Shape_gradient_fill_rd, "G"}, {s->Shape_Style_fill_rd, "H"}};
  for (const auto& [radio, kind] : shapeRadios) {
    const QString code = QLatin1String(kind);
    onChosen(radio, this, [this, code] { Shape_Fill_Radio_Selected(code); });
  }

  LineTab* l = _line;
  for (QWidget* control :
       std::initializer_list<QWidget*>{l->Line_Wdt_Stepper, l->Line_clr, l->Line_border_style,
                                       l->Line_ori_style, l->Line_cap_style, l->Line_alpha_Stepper})
    onChange(control, &SKTWindowController::Update_Line_Graphics);

  TextPropertiesTab* t = _textProperties;
  onBorder(t->border, &SKTWindowController::Update_Text_Graphics);
  for (QWidget* control : std::initializer_list<QWidget*>{
           t->Text_clr, t->Text_align_combo, t->Text_case_combo, t->Text_Kern_Stepper, t->Text_alpha_Stepper,
           t->Text_fill_clr, t->Text_fill_Grd_1_clr, t->Text_fill_Grd_2_clr, t->Text_grad_Stepper})
    onChange(control, &SKTWindowController::Update_Text_Graphics);
  onToggled(t->Text_fill_chk, this, [this] {
    SetObjEnabled(_textProperties->Text_Fill_Box, _textProperties->Text_fill_chk->isChecked());
    setTextFillEnabling(_textProperties->Text_gradient_fill_rd->isChecked() ? QStringLiteral("G")
                                                                            : QStringLiteral("S"));
    Update_Text_Graphics();
  });
  onChosen(t->Text_solid_fill_rd, this, [this] { Text_Fill_Radio_Selected("S"); });
  onChosen(t->Text_gradient_fill_rd, this, [this] { Text_Fill_Radio_Selected("G"); });
  connect(t->Text_Font_btn, &QPushButton::clicked, this, &SKTWindowController::Text_Font_Changed);

  TextEditingTab* e = _textEditing;
  connect(e->Text_value_Edit, &QPlainTextEdit::textChanged, this, &SKTWindowController::textDidChange);
  connect(e->Text_Insert_Date_btn, &QPushButton::clicked, this, &SKTWindowController::Text_Insert_Date);
  connect(e->Text_Insert_Time_btn, &QPushButton::clicked, this, &SKTWindowController::Text_Insert_Time);
  connect(e->insert_template_btn, &QPushButton::clicked, this, &SKTWindowController::Insert_Template_Button);

  PictureTab* p = _picture;
  onBorder(p->border, &SKTWindowController::Update_Image_Graphics);
  for (QWidget* control : std::initializer_list<QWidget*>{
           p->Rotate_slidr, p->Trsp_slidr, p->Hue_slidr, p->Sat_slidr, p->Brt_slidr, p->Con_slidr,
           p->shrp_slidr, p->ev_slidr, p->blr_slidr, p->Image_Gray_Scale_chk, p->Image_Sepia_chk,
           p->Image_Invert_chk, p->Image_FIV_chk, p->Image_FIH_chk})
    onChange(control, &SKTWindowController::Update_Image_Graphics);
  connect(p->Image_reset_btn, &QPushButton::clicked, this, &SKTWindowController::Image_reset_Button);

  SignatureTab* g = _signature;
  onBorder(g->border, &SKTWindowController::Update_Sign_Graphics);
  connect(g->Sign_Browse_btn, &QPushButton::clicked, this, &SKTWindowController::Sign_Browse_Btn);

  DataSourceTab* d = _dataSource;
  onChange(d->Data_source_type, nullptr);
  onChange(d->Batch_Series, nullptr);
  connect(d->view_series_btn, &QPushButton::clicked, this, &SKTWindowController::View_batch_Series_Button);
  connect(d->help_btn, &QPushButton::clicked, this, &SKTWindowController::Data_Source_Help_Button);
  connect(d->Manual_Image_Browse_btn, &QPushButton::clicked, this,
          &SKTWindowController::Manual_Image_Browse_Btn);
  connect(d->Manual_Library_Browse_btn, &QPushButton::clicked, this,
          &SKTWindowController::Manual_Library_Browse_Btn);

  connect(_barcode->View_barcode_prop_btn, &QPushButton::clicked, this,
          &SKTWindowController::Open_Barcode_Window);

  AlignmentTab* a = _alignment;
  const std::pair<QPushButton*, Update> commands[] = {
      {a->Align_Left_btn, &SKTWindowController::Align_Left_Clicked},
      {a->Align_Right_btn, &SKTWindowController::Align_Right_Clicked},
      {a->Align_Top_btn, &SKTWindowController::Align_Top_Clicked},
      {a->Align_Bottom_btn, &SKTWindowController::Align_Bottom_Clicked},
      {a->Align_Horz_btn, &SKTWindowController::Align_Horz_Clicked},
      {a->Align_Vert_btn, &SKTWindowController::Align_Vert_Clicked},
      {a->Align_Center_btn, &SKTWindowController::Align_Center_Clicked},
      {a->Make_Same_Width_btn, &SKTWindowController::Make_Same_Width_Clicked},
      {a->Make_Same_Height_btn, &SKTWindowController::Make_Same_Height_Clicked},
      {a->Make_Natural_btn, &SKTWindowController::Make_Natural_Clicked},
      {a->Align_To_Grid_btn, &SKTWindowController::Align_To_Grid_Clicked}};
  for (const auto& [button, command] : commands) connect(button, &QPushButton::clicked, this, command);
  onToggled(print_object_chk, this, [this] { Print_object_chk_changed(); });

  // The hatch patterns that ship with the program.
  ScopedNotDrawOnlyPropChange starting;
  s->shape_hatch_style->clear();
  const QStringList hatches =
      Get_Files_Array_At_Path(::Resource_Path() + QStringLiteral("/Fill_Style_Image"));
  s->shape_hatch_style->addItems(hatches);
  s->shape_hatch_style->setCurrentIndex(hatches.isEmpty() ? -1 : 0);
  s->border.style->setCurrentIndex(0);
}

// ---------------------------------------------------------------- targets

SKTGraphicList SKTWindowController::panelTargets() const {
  SKTGraphicView* view = currentSideView();
  if (view == nullptr) return {};
  SKTGraphicList selected = view->selectedGraphics();
  // The tabs show one object of the current side's selection; while they
  // show anything else (an object of the scratch side, none) no object of
  // this side takes their values. Locked objects keep theirs.
  const bool shown = std::any_of(selected.begin(), selected.end(),
                                 [this](const SKTGraphicPtr& g) { return tabsShow(g.get()); });
  if (!shown) return {};
  std::erase_if(selected, [](const SKTGraphicPtr& g) { return g->ctrl_is_locked; });
  return selected;
}

SKTGraphicPtr SKTWindowController::panelGraphic() const {
  SKTGraphicView* view = currentSideView();
  const SKTGraphicPtr current = view ? view->Selected_Graphic() : nullptr;
  if (!current || !tabsShow(current.get()) || current->ctrl_is_locked) return nullptr;
  const SKTGraphicList selected = view->selectedGraphics();
  return std::find(selected.begin(), selected.end(), current) != selected.end() ? current : nullptr;
}

void SKTWindowController::writePanel(const std::function<void(SKTGraphic&)>& write) {
  if (Not_Draw_Only_Prop_Change()) return;
  const SKTGraphicList targets = panelTargets();
  if (targets.empty()) return;
  _panelUndo->apply(targets, sender(), Card_Front_Or_Back.load() == 0, write);
  Refresh_Canvas();
  Undo_Redo_Button_state();
}

void SKTWindowController::writeCurrentGraphic(const std::function<void(SKTGraphic&)>& write) {
  if (Not_Draw_Only_Prop_Change()) return;
  const SKTGraphicPtr current = panelGraphic();
  if (!current) return;
  _panelUndo->apply({current}, sender(), Card_Front_Or_Back.load() == 0, write);
  Refresh_Canvas();
  Undo_Redo_Button_state();
}

void SKTWindowController::panelFieldsRestored() {
  for (SKTGraphicView* view : {_graphicView.data(), _graphicView_BACK.data()})
    if (view) view->update();
  // The tabs show the values put back.
  const SKTGraphicPtr current = currentSideView()->Selected_Graphic();
  if (!current) return;
  if (tabsShow(current.get())) return followShownObject();
  Show_RHS_Properties(current.get());
}

// ---------------------------------------------------------------- the kinds

void SKTWindowController::Update_Shape_Graphics() {
  ShapeTab* s = _shape;
  const Stroke stroke(s->border);
  const Fill fill{s->Shape_fill_chk->isChecked(),
                  s->shape_fill_clr->color(),
                  s->shape_fill_Grd_1_clr->color(),
                  s->shape_fill_Grd_2_clr->color(),
                  static_cast<double>(s->shape_grad_Stepper->value()),
                  s->Shape_gradient_fill_rd->isChecked() ? QStringLiteral("G")
                  : s->Shape_Style_fill_rd->isChecked()  ? QStringLiteral("H")
                                                         : QStringLiteral("S")};
  const QColor hatchColour = s->shape_hatch_bk_clr->color();
  const QString hatch =
      s->shape_hatch_style->currentIndex() >= 0 ? s->shape_hatch_style->currentText() : QString();
  const float alpha = fractionOf(s->shape_alpha_Stepper);
  const float radius = static_cast<float>(s->shape_cor_radius_Stepper->value());
  const int star = s->double_star_Stepper->value(), polygon = s->polygon_Stepper->value();
  const int print = print_object_chk->isChecked() ? 1 : 0;
  writePanel([&](SKTGraphic& g) {
    stroke.writeInto(g);
    fill.writeInto(g);
    g._fill_htch_clr = hatchColour;
    g._fill_hatch_type = hatch;
    g.alpha_val = alpha;
    g.cor_rad_val_val = radius;
    g.double_star_type = star;
    g.polygon_type = polygon;
    g.print_object = print;
  });
}

void SKTWindowController::Update_Line_Graphics() {
  LineTab* l = _line;
  const QColor colour = l->Line_clr->color();
  const int width = l->Line_Wdt_Stepper->value();
  const QString dash = panels::dashCode(l->Line_border_style->currentIndex());
  const int cap = std::max(0, l->Line_cap_style->currentIndex());
  const int orientation = std::max(0, l->Line_ori_style->currentIndex());
  const float alpha = fractionOf(l->Line_alpha_Stepper);
  const int print = print_object_chk->isChecked() ? 1 : 0;
  writePanel([&](SKTGraphic& g) {
    g._isDrawingStroke = true;
    g._strokeColor = colour;
    g._strokeWidth = width;
    g.print_object = print;
    if (!dash.isEmpty()) g._stroke_border_type = dash;
    g._line_cap_style = cap;
    g._line_ori = orientation;
    g.alpha_val_stroke = alpha;
  });
}

void SKTWindowController::Update_Text_Graphics() {
  TextPropertiesTab* t = _textProperties;
  const Stroke stroke(t->border);
  // Texts have no hatch.
  const Fill fill{t->Text_fill_chk->isChecked(),
                  t->Text_fill_clr->color(),
                  t->Text_fill_Grd_1_clr->color(),
                  t->Text_fill_Grd_2_clr->color(),
                  static_cast<double>(t->Text_grad_Stepper->value()),
                  t->Text_gradient_fill_rd->isChecked() ? QStringLiteral("G") : QStringLiteral("S")};
  const QColor textColour = t->Text_clr->color();
  const float alpha = fractionOf(t->Text_alpha_Stepper);
  const int alignment = std::max(0, t->Text_align_combo->currentIndex());
  const int letterCase = std::max(0, t->Text_case_combo->currentIndex());
  const float kerning = static_cast<float>(t->Text_Kern_Stepper->value());
  const int print = print_object_chk->isChecked() ? 1 : 0;
  const CardFont font = Text_font;
  // The editor's characters go into a single selected text only.
  const bool single = panelTargets().size() == 1;
  const QString characters = _textEditing->text();
  writePanel([&](SKTGraphic& g) {
    g.print_object = print;
    stroke.writeInto(g);
    fill.writeInto(g);
    g.txt_clr = textColour;
    if (!font.isNull()) g.text_ctrl_font = font;
    if (single && g.kind() == GraphicKind::Text) g.Text_contents()->string = characters;
    g.alpha_val = alpha;
    g.text_alignmnet = alignment;
    g.text_transfrom_case = letterCase;
    g.text_kerning = kerning;
  });
}

void SKTWindowController::Update_Image_Graphics() {
  PictureTab* p = _picture;
  const Stroke stroke(p->border);
  const int print = print_object_chk->isChecked() ? 1 : 0;
  const bool flipH = p->Image_FIH_chk->isChecked(), flipV = p->Image_FIV_chk->isChecked();
  const bool invert = p->Image_Invert_chk->isChecked(), gray = p->Image_Gray_Scale_chk->isChecked(),
             sepia = p->Image_Sepia_chk->isChecked();
  const auto value = [](const ValueSlider* slider) { return static_cast<float>(slider->value()); };
  const float transparency = value(p->Trsp_slidr), rotation = value(p->Rotate_slidr),
              hue = value(p->Hue_slidr), sat = value(p->Sat_slidr), brt = value(p->Brt_slidr),
              con = value(p->Con_slidr), srp = value(p->shrp_slidr), ev = value(p->ev_slidr),
              blr = value(p->blr_slidr);
  const QString path = _dataSource->Manual_image_path->text();
  writePanel([&](SKTGraphic& g) {
    qCDebug(lcMainWindow).noquote() << QStringLiteral("Txt path - %1\nGraphic Path - %2\n")
                                           .arg(QFileInfo(path).fileName(),
                                                QFileInfo(g._file_path).fileName());
    g.print_object = print;
    stroke.writeInto(g);
    g._isFlippedHorizontally = flipH;
    g._isFlippedVertically = flipV;
    g.invert_clr = invert;
    g.gray_Scale = gray;
    g.Sepia = sepia;
    g.img_trnsp_val = transparency;
    g.rotate_image = rotation;
    g.hue_val = hue;
    g.sat_val = sat;
    g.brt_val = brt;
    g.con_val = con;
    g.srp_val = srp;
    g.ev_val = ev;
    g.blr_val = blr;
    // The path field shows the current object's file: only that object takes it.
    if (tabsShow(&g)) g._file_path = path;
  });
}

void SKTWindowController::Update_Sign_Graphics() {
  const Stroke stroke(_signature->border);
  const int print = print_object_chk->isChecked() ? 1 : 0;
  writePanel([&](SKTGraphic& g) {
    g.print_object = print;
    stroke.writeInto(g);
  });
}

void SKTWindowController::Shape_Fill_Radio_Selected(const QString& kind) {
  showChecked(_shape->Shape_solid_fill_rd, kind == QLatin1String("S"));
  showChecked(_shape->Shape_gradient_fill_rd, kind == QLatin1String("G"));
  showChecked(_shape->Shape_Style_fill_rd, kind == QLatin1String("H"));
  setShapeFillEnabling(kind);
  Update_Shape_Graphics();
}

void SKTWindowController::Text_Fill_Radio_Selected(const QString& kind) {
  showChecked(_textProperties->Text_solid_fill_rd, kind != QLatin1String("G"));
  showChecked(_textProperties->Text_gradient_fill_rd, kind == QLatin1String("G"));
  setTextFillEnabling(kind);
  Update_Text_Graphics();
}

// ---------------------------------------------------------------- picture adjustments

void SKTWindowController::Reset_Image_Editing_Controls() {
  if (_picture == nullptr) return;
  // Only the controls change: a new picture object calls this while another
  // object may still be selected.
  ScopedNotDrawOnlyPropChange resetting;
  PictureTab* p = _picture;
  const std::pair<ValueSlider*, double> neutral[] = {
      {p->Rotate_slidr, 0}, {p->Trsp_slidr, 100}, {p->Hue_slidr, 0}, {p->Sat_slidr, 1}, {p->Brt_slidr, 0},
      {p->Con_slidr, 1},    {p->shrp_slidr, 0},   {p->ev_slidr, 0},  {p->blr_slidr, 0}};
  for (const auto& [slider, value] : neutral) slider->setValue(value);
  for (QCheckBox* check :
       {p->Image_Gray_Scale_chk, p->Image_Sepia_chk, p->Image_Invert_chk, p->Image_FIV_chk, p->Image_FIH_chk})
    showChecked(check, false);
}

void SKTWindowController::Image_reset_Button() {
  if (!Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to continue?"))) return;
  Reset_Image_Editing_Controls();
  Update_Image_Graphics();
}
