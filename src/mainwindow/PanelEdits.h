#pragma once
// Changes made through the object tabs, as undo entries. The tabs write
// plain fields into the selected objects; on the front side each change
// becomes one undo entry that puts back what the tabs may change (look,
// picture adjustments, file and picture, characters, data binding, print
// flag), and its redo puts the change back again. Repeated changes of one
// control on the same objects (a slider drag, typing) make one entry.

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "core/SKTGraphic.h"

class SKTUndoRecorder;

namespace panel_edits {

// What the object tabs may change on one object.
struct PanelFields {
  bool isDrawingFill = false, isDrawingStroke = false;
  QColor fillColor, strokeColor, gradient1, gradient2, hatchColour, textColour;
  double strokeWidth = 0, gradientAngle = 0;
  QString strokeStyle, fillType, hatchType, filePath, text, signaturePath, batchListName;
  bool flippedH = false, flippedV = false, invert = false, gray = false, sepia = false;
  float transparency = 0, hue = 0, sat = 0, brt = 0, con = 0, srp = 0, ev = 0, blr = 0, rotate = 0;
  float alpha = 0, alphaStroke = 0, cornerRadius = 0, kerning = 0;
  int lineOrientation = 0, lineCap = 0, doubleStar = 0, polygon = 0, alignment = 0, letterCase = 0;
  int printObject = 0, dataSourceType = 0, batchListIndex = 0, excelColumn = 0;
  CardFont font;
  QImage picture;  // a picture's or signature's loaded picture

  bool operator==(const PanelFields& other) const;
};

PanelFields capture(SKTGraphic& graphic);
void restore(SKTGraphic& graphic, const PanelFields& fields);

// Records the changes of the tabs on one document's undo history.
class PanelUndo : public QObject {
 public:
  // `restored` runs after an undo or redo put fields back (the window redraws
  // and reloads its tabs).
  PanelUndo(SKTUndoRecorder& undo, std::function<void()> restored);

  // Runs `write` on every target; when `record` is set and a target changed,
  // registers the entry (merged with the last one when `control` made it on
  // the same targets and nothing else happened to the history since).
  void apply(const SKTGraphicList& targets, const QObject* control, bool record,
             const std::function<void(SKTGraphic&)>& write);
  // The next change starts an entry of its own.
  void endMerging() { lastControl_ = nullptr; }

 private:
  void registerRestore(const SKTGraphicList& targets, const std::vector<PanelFields>& fields);

  SKTUndoRecorder& undo_;
  std::function<void()> restored_;
  const QObject* lastControl_ = nullptr;
  std::vector<std::weak_ptr<SKTGraphic>> lastTargets_;
  bool pushing_ = false;
};

}  // namespace panel_edits
