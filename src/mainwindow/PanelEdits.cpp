#include "mainwindow/PanelEdits.h"

#include <QUndoStack>

#include "core/SKTImage.h"
#include "core/SKTSignature.h"
#include "core/SKTUndoRecorder.h"

namespace panel_edits {

namespace {

auto tie(const PanelFields& f) {
  return std::tie(f.isDrawingFill, f.isDrawingStroke, f.fillColor, f.strokeColor, f.gradient1, f.gradient2,
                  f.hatchColour, f.textColour, f.strokeWidth, f.gradientAngle, f.strokeStyle, f.fillType,
                  f.hatchType, f.filePath, f.text, f.signaturePath, f.batchListName, f.flippedH, f.flippedV,
                  f.invert, f.gray, f.sepia, f.transparency, f.hue, f.sat, f.brt, f.con, f.srp, f.ev, f.blr,
                  f.rotate, f.alpha, f.alphaStroke, f.cornerRadius, f.kerning, f.lineOrientation, f.lineCap,
                  f.doubleStar, f.polygon, f.alignment, f.letterCase, f.printObject, f.dataSourceType,
                  f.batchListIndex, f.excelColumn, f.font);
}

}  // namespace

bool PanelFields::operator==(const PanelFields& other) const {
  // Pictures compare by identity: a picture loaded again is a change.
  return tie(*this) == tie(other) && picture.cacheKey() == other.picture.cacheKey();
}

PanelFields capture(SKTGraphic& g) {
  PanelFields f;
  f.isDrawingFill = g._isDrawingFill;
  f.isDrawingStroke = g._isDrawingStroke;
  f.fillColor = g._fillColor;
  f.strokeColor = g._strokeColor;
  f.gradient1 = g._fill_Grad_clr1;
  f.gradient2 = g._fill_Grad_clr2;
  f.hatchColour = g._fill_htch_clr;
  f.textColour = g.txt_clr;
  f.strokeWidth = g._strokeWidth;
  f.gradientAngle = g._fill_grad_angle;
  f.strokeStyle = g._stroke_border_type;
  f.fillType = g._fill_type;
  f.hatchType = g._fill_hatch_type;
  f.filePath = g._file_path;
  if (g.kind() == GraphicKind::Text) f.text = g.Text_contents()->string;
  f.batchListName = g.batch_list_name;
  f.flippedH = g._isFlippedHorizontally;
  f.flippedV = g._isFlippedVertically;
  f.invert = g.invert_clr;
  f.gray = g.gray_Scale;
  f.sepia = g.Sepia;
  f.transparency = g.img_trnsp_val;
  f.hue = g.hue_val;
  f.sat = g.sat_val;
  f.brt = g.brt_val;
  f.con = g.con_val;
  f.srp = g.srp_val;
  f.ev = g.ev_val;
  f.blr = g.blr_val;
  f.rotate = g.rotate_image;
  f.alpha = g.alpha_val;
  f.alphaStroke = g.alpha_val_stroke;
  f.cornerRadius = g.cor_rad_val_val;
  f.kerning = g.text_kerning;
  f.lineOrientation = g._line_ori;
  f.lineCap = g._line_cap_style;
  f.doubleStar = g.double_star_type;
  f.polygon = g.polygon_type;
  f.alignment = g.text_alignmnet;
  f.letterCase = g.text_transfrom_case;
  f.printObject = g.print_object;
  f.dataSourceType = g.data_source_type;
  f.batchListIndex = g.batch_list_index;
  f.excelColumn = g.excel_col_indx;
  f.font = g.text_ctrl_font;
  if (auto* picture = dynamic_cast<SKTImage*>(&g)) f.picture = picture->_contents;
  if (auto* signature = dynamic_cast<SKTSignature*>(&g)) {
    f.picture = signature->_contents_img;
    f.signaturePath = signature->file_path;
  }
  return f;
}

void restore(SKTGraphic& g, const PanelFields& f) {
  g._isDrawingFill = f.isDrawingFill;
  g._isDrawingStroke = f.isDrawingStroke;
  g._fillColor = f.fillColor;
  g._strokeColor = f.strokeColor;
  g._fill_Grad_clr1 = f.gradient1;
  g._fill_Grad_clr2 = f.gradient2;
  g._fill_htch_clr = f.hatchColour;
  g.txt_clr = f.textColour;
  g._strokeWidth = f.strokeWidth;
  g._fill_grad_angle = f.gradientAngle;
  g._stroke_border_type = f.strokeStyle;
  g._fill_type = f.fillType;
  g._fill_hatch_type = f.hatchType;
  g._file_path = f.filePath;
  if (g.kind() == GraphicKind::Text) g.Text_contents()->string = f.text;
  g.batch_list_name = f.batchListName;
  g._isFlippedHorizontally = f.flippedH;
  g._isFlippedVertically = f.flippedV;
  g.invert_clr = f.invert;
  g.gray_Scale = f.gray;
  g.Sepia = f.sepia;
  g.img_trnsp_val = f.transparency;
  g.hue_val = f.hue;
  g.sat_val = f.sat;
  g.brt_val = f.brt;
  g.con_val = f.con;
  g.srp_val = f.srp;
  g.ev_val = f.ev;
  g.blr_val = f.blr;
  g.rotate_image = f.rotate;
  g.alpha_val = f.alpha;
  g.alpha_val_stroke = f.alphaStroke;
  g.cor_rad_val_val = f.cornerRadius;
  g.text_kerning = f.kerning;
  g._line_ori = f.lineOrientation;
  g._line_cap_style = f.lineCap;
  g.double_star_type = f.doubleStar;
  g.polygon_type = f.polygon;
  g.text_alignmnet = f.alignment;
  g.text_transfrom_case = f.letterCase;
  g.print_object = f.printObject;
  g.data_source_type = f.dataSourceType;
  g.batch_list_index = f.batchListIndex;
  g.excel_col_indx = f.excelColumn;
  g.text_ctrl_font = f.font;
  if (auto* picture = dynamic_cast<SKTImage*>(&g)) picture->_contents = f.picture;
  if (auto* signature = dynamic_cast<SKTSignature*>(&g)) {
    signature->_contents_img = f.picture;
    signature->file_path = f.signaturePath;
  }
}

PanelUndo::PanelUndo(SKTUndoRecorder& undo, std::function<void()> restored)
    : undo_(undo), restored_(std::move(restored)) {
  // Anything else that moves the history (an edit of the canvas, undo, redo)
  // ends the merging of repeated changes.
  connect(&undo_.stack(), &QUndoStack::indexChanged, this, [this] {
    if (!pushing_) endMerging();
  });
}

void PanelUndo::apply(const SKTGraphicList& targets, const QObject* control, bool record,
                      const std::function<void(SKTGraphic&)>& write) {
  std::vector<PanelFields> before;
  if (record)
    for (const SKTGraphicPtr& g : targets) before.push_back(capture(*g));
  for (const SKTGraphicPtr& g : targets) write(*g);
  if (!record) return;
  bool changed = false;
  for (size_t i = 0; i < targets.size() && !changed; ++i) changed = !(capture(*targets[i]) == before[i]);
  if (!changed) return;
  const bool sameTargets =
      lastTargets_.size() == targets.size() &&
      std::equal(targets.begin(), targets.end(), lastTargets_.begin(),
                 [](const SKTGraphicPtr& a, const std::weak_ptr<SKTGraphic>& b) { return a == b.lock(); });
  if (control != nullptr && control == lastControl_ && sameTargets && !undo_.stack().canRedo()) return;
  pushing_ = true;
  undo_.beginGroup();
  registerRestore(targets, before);
  undo_.endGroup();
  pushing_ = false;
  lastControl_ = control;
  lastTargets_.assign(targets.begin(), targets.end());
}

void PanelUndo::registerRestore(const SKTGraphicList& targets, const std::vector<PanelFields>& fields) {
  undo_.registerUndo([this, targets, fields] {
    std::vector<PanelFields> current;
    for (const SKTGraphicPtr& g : targets) current.push_back(capture(*g));
    for (size_t i = 0; i < targets.size(); ++i) restore(*targets[i], fields[i]);
    registerRestore(targets, current);
    if (restored_) restored_();
  });
}

}  // namespace panel_edits
