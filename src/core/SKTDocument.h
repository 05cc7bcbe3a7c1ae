#pragma once
// SKTDocument: the open design. It holds the three ordered lists of card
// objects of one card -- front ("graphics"), back ("graphics_back") and the
// scratch side ("graphics_temp"); index 0 is the top-most object -- and makes
// front-side changes undoable by observing the front objects.
//
// Undo covers exactly: insertions into and removals from the front list, and
// changes of the keys a front object lists in keysForValuesToObserveForUndo()
// made through key-value setting (SKTGraphic::setValueForKey, setBounds, the
// flip setters ...). Direct field writes and every change of the back and temp
// lists register nothing. Undo entries carry no action name. Changes are
// grouped explicitly with beginUndoGroup()/endUndoGroup() (or SKTUndoGroup on
// undoRecorder()); a change outside a group is an entry of its own, with every
// key it announces (a line's two ends; the flips and bounds of a resize), and
// so is a move or placement of a list of graphics.
//
// The lists own their graphics through shared pointers; an undo entry that
// refers to a removed graphic keeps it alive.

#include <QObject>
#include <QSizeF>
#include <QUndoStack>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "core/SKTGraphic.h"
#include "core/SKTUndoRecorder.h"

enum class CardSide { Front = 0, Back = 1, Temp = 2 };

inline constexpr const char* SKTDocumentGraphicsKey = "graphics";
inline constexpr const char* SKTDocumentGraphicsKey_back = "graphics_back";
inline constexpr const char* SKTDocumentGraphicsKey_temp = "graphics_temp";
inline constexpr const char* SKTDocumentCanvasSizeKey = "canvasSize";
inline constexpr const char* SKTDocumentVersionKey = "version";
inline constexpr const char* SKTDocumentPrintInfoKey = "printInfo";
inline constexpr int SKTDocumentCurrentVersion = 2;
inline constexpr const char* SKTDocumentOldTypeName = "QUVO CARD document";
inline constexpr const char* SKTDocumentNewTypeName = "com.quvo.GratuloDesigner";

// An index set: sorted, without duplicates.
using SKTIndexSet = std::vector<int>;
SKTIndexSet makeIndexSet(std::vector<int> indexes);
SKTIndexSet indexRange(int first, int count);

class CardHost;

class SKTDocument : public QObject, private SKTGraphicObserver {
  Q_OBJECT
 public:
  // The host is the window that shows the document (its name); without one
  // the document asks the host installed at the time.
  explicit SKTDocument(CardHost* host = nullptr, QObject* parent = nullptr);
  ~SKTDocument() override;

  // ---- Lists ------------------------------------------------------------------
  const SKTGraphicList& graphics() const { return _graphics; }
  const SKTGraphicList& graphics_back() const { return _graphics_back; }
  const SKTGraphicList& graphics_temp() const { return _graphics_temp; }
  const SKTGraphicList& graphicsOfSide(CardSide side) const;
  // The list under a key ("graphics", "graphics_back", "graphics_temp").
  const SKTGraphicList& graphicsForKey(const QString& key) const;

  // Front list: observable and undoable. The graphics go to the indexes in
  // ascending order (each index counts in the list as it is at that moment).
  // Invalid indexes raise std::out_of_range and change nothing.
  void insertGraphics(const SKTGraphicList& graphics, const SKTIndexSet& indexes);
  void removeGraphicsAtIndexes(const SKTIndexSet& indexes);

  // Any side; the front goes through the two operations above, the back and
  // temp lists are changed straight (no undo, no observation, no container).
  void insertGraphics(CardSide side, const SKTGraphicList& graphics, const SKTIndexSet& indexes);
  void removeGraphicsAtIndexes(CardSide side, const SKTIndexSet& indexes);
  void insertGraphic(CardSide side, const SKTGraphicPtr& graphic, int index);
  void removeGraphicAtIndex(CardSide side, int index);
  void addInGraphics(CardSide side, const SKTGraphicPtr& graphic);
  // Replaces a whole list (front: removal of all, then insertion of all).
  void setGraphicsOfSide(CardSide side, const SKTGraphicList& graphics);
  // Deep copies of a side's graphics for a render worker (GUI thread only).
  SKTGraphicList snapshotOfSide(CardSide side) const;

  // ---- Undo ------------------------------------------------------------------
  SKTUndoRecorder& undoRecorder() { return undo_; }
  QUndoStack* undoStack() { return &undo_.stack(); }
  void beginUndoGroup() { undo_.beginGroup(); }
  void endUndoGroup() { undo_.endGroup(); }
  // Each tells undoOrRedoStarting() before the step and undoneOrRedone()
  // once it ended.
  void undo();
  void redo();
  // 1 enables undo registration, anything else disables it (disables nest).
  void Enable_Disable_Undo_Registraion(bool enable);
  // Removes every undo and redo entry, then (with registration off) removes
  // every graphic of the front list. Back and temp stay.
  void Clear_All_Undo_Redo();

  // ---- Document answers ---------------------------------------------------------
  // (243, 154) points when the flag is set, otherwise the given size.
  static QSizeF canvasSize(bool creditCardSize, const QSizeF& size);
  QString displayName() const;
  bool isDocumentEdited() const { return false; }

 signals:
  // A list changed (insertion or removal), for canvases bound to it.
  void graphicsChanged(CardSide side);
  // The lists changed and the change is whole: no undo group is open (a
  // command, a drag or a script's call ended) and no undo or redo runs. A
  // single list change may be half of a move (removed, then inserted again);
  // whoever shows the selection acts here instead.
  void graphicsChangesEnded();
  // An undo or redo is about to run. A step may put back values that no
  // observer hears of (a barcode's picture from the designer, the fields the
  // object tabs write): whoever shows the objects takes note of what they
  // look like now.
  void undoOrRedoStarting();
  // An undo or redo ended. The step put back what its entry held; whatever
  // the objects show of a source outside the design is the listeners' to
  // bring up to date.
  void undoneOrRedone();

 private:
  CardHost* _host = nullptr;
  using PropertyMap = std::vector<std::pair<SKTGraphicPtr, std::map<QString, QVariant>>>;

  void observeValueForKey(SKTGraphic& graphic, const QString& key, const QVariant& oldValue,
                          const QVariant& newValue, int context) override;
  // One change of a front graphic (all the keys it announces) is one undo
  // group, so that one undo never restores only part of it.
  void graphicWillChange(SKTGraphic& graphic) override { undo_.beginGroup(); }
  void graphicDidChange(SKTGraphic& graphic) override { undo_.endGroup(); }
  void recordUndoChange(SKTGraphic& graphic, const QString& key, const QVariant& oldValue,
                        const QVariant& newValue);
  void startObservingGraphics(const SKTGraphicList& graphics);
  void stopObservingGraphics(const SKTGraphicList& graphics);
  void setGraphicProperties(const std::shared_ptr<PropertyMap>& properties);
  void observeUndoManagerCheckpoint();
  SKTGraphicList& mutableList(CardSide side);
  void insertStraight(CardSide side, const SKTGraphicList& graphics, const SKTIndexSet& indexes);
  SKTGraphicList removeStraight(CardSide side, const SKTIndexSet& indexes);
  // Tells of a list change, and that the change ended when nothing is open.
  void listDidChange(CardSide side);
  void endListChangesWhenQuiet();

  SKTGraphicList _graphics;
  SKTGraphicList _graphics_back;
  SKTGraphicList _graphics_temp;
  bool _listChangesUnended = false;
  std::set<const SKTGraphic*> _undoGroupInsertedGraphics;
  std::shared_ptr<PropertyMap> _undoGroupOldPropertiesPerGraphic;
  SKTUndoRecorder undo_;
};
