#pragma once
// SKTText: a block of text in a box. Its characters live in the text storage
// (_Text_contents, made from Text_Value on first use); its look lives in plain
// SKTGraphic fields (font, colour, alignment, case, kerning, fill, border).

#include "core/SKTGraphic.h"
#include "core/render/TextLook.h"

class SKTText : public SKTGraphic {
 public:
  SKTText() = default;
  GraphicKind kind() const override { return GraphicKind::Text; }

  // The storage handed out to editors: made from Text_Value on the first call,
  // afterwards the base storage (Text_contents()).
  SKTTextStoragePtr contents();

  QRectF drawingBounds() const override;
  void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) override;  // draw/TextDrawing.cpp
  bool canSetDrawingStroke() const override { return false; }
  QVariantMap properties() const override;
  QStringList keysForValuesToObserveForUndo() const override;
  std::optional<QString> presentablePropertyNameForKey(const QString& key) const override;
  // "undoContents" besides the base keys.
  QVariant valueForKey(const QString& key) override;
  void setValueForKey(const QString& key, const QVariant& value) override;
  QStringList keysAffectedByKey(const QString& key) const override;

  // The characters of the text storage, as the undo system records them, and
  // their replacement (through setScriptingContents, so it is undoable).
  QString undoContents();
  void setUndoContents(const QString& contents);

  // Replaces every character of the text storage. While it runs, the undo
  // system watches "undoContents", so the change becomes one undo entry
  // named "Text".
  void setScriptingContents(const QString& contents);
  void willChangeScriptingContents();
  void didChangeScriptingContents();

  // While the height is being matched to the contents, "bounds" is not
  // observed for undo; each change of the flag is announced as a change of
  // "keysForValuesToObserveForUndo".
  void setBoundsBeingChangedToMatchContents(bool changing);

  // The smallest box (whole points) that shows the whole text as drawn:
  // the drawn characters in the drawn look, laid out at the current width by
  // the drawing's own layout, down to the largest height a card object may
  // have (a taller text measures taller than that). A text that draws
  // nothing keeps its size.
  QSizeF naturalSize() const;
  // Whether part of the drawn characters is not shown in the bounds (the
  // lines that do not fit are left out of the card).
  bool isContentsCut() const;
  // Keeps origin and width; the height becomes the natural height.
  void setHeightToMatchContents();
  // Unless locked: keeps the origin, width and height become the natural size.
  void makeNaturalSize() override;

  // What drawing shows: the storage's characters trimmed and case-transformed,
  // in the object's font, alignment and kerning (not the storage's attributes).
  QString drawnCharacters() const;
  text_look::TextStyle drawnStyle() const;

  SKTTextStoragePtr contents_val;
  bool _contentsBeingChangedByScripting = false;
  bool _boundsBeingChangedToMatchContents = false;

 protected:
  SKTText(const SKTText&) = default;
  SKTGraphicPtr cloneShallow() const override;
  void initWithProperties(const QVariantMap& properties) override;
  void deepenClonedState(const SKTGraphic& original) override;
};
