#pragma once
// The scripting face of a card document: the element collections of its
// front list, one-element insertion and removal by collection index, and the
// evaluation of range and relative object specifiers over them.
//
// Collections, computed from the front list in list order:
//   "graphics"          every graphic
//   "rectangles"        every Shape_Control, whatever its shape code
//   "circles"           the same elements as "rectangles"
//   "rectangles_round"  the same again, read only
//   "lines"             every SKTLine
//   "textAreas"         every SKTText
//   "images"            every SKTImage
// Insertions and removals go through the document's front-list operations,
// so they are undoable.

#include <QString>
#include <optional>
#include <variant>
#include <vector>

#include "core/SKTDocument.h"
#include "core/scripting/SKTObjectSpecifier.h"
#include "core/scripting/SKTScriptError.h"

enum class SKTScriptingCollection {
  Graphics,
  Rectangles,
  Circles,
  RectanglesRound,
  Lines,
  TextAreas,
  Images
};

// The collection of a key; nothing for any other key.
std::optional<SKTScriptingCollection> scriptingCollectionForKey(const QString& key);

class SKTDocumentScripting {
 public:
  explicit SKTDocumentScripting(SKTDocument& document) : document_(document) {}

  // ---- Collections ----------------------------------------------------------------
  SKTGraphicList graphicsWithClass(GraphicKind kind) const;
  SKTGraphicList elements(SKTScriptingCollection collection) const;
  SKTGraphicList rectangles() const { return elements(SKTScriptingCollection::Rectangles); }
  SKTGraphicList circles() const { return elements(SKTScriptingCollection::Circles); }
  SKTGraphicList rectangles_round() const { return elements(SKTScriptingCollection::RectanglesRound); }
  SKTGraphicList lines() const { return elements(SKTScriptingCollection::Lines); }
  SKTGraphicList textAreas() const { return elements(SKTScriptingCollection::TextAreas); }
  SKTGraphicList images() const { return elements(SKTScriptingCollection::Images); }

  // A new graphic for a collection: a Shape_Control for "graphics" and
  // "rectangles", one with the ellipse shape for "circles", a line, a text or
  // a picture object (showing the placeholder picture) for the others.
  static SKTGraphicPtr newScriptingObject(SKTScriptingCollection collection);

  // The graphic's position in the front list (by identity); none when it is not there.
  std::optional<int> objectSpecifierForGraphic(const SKTGraphic& graphic) const;

  // ---- Insertion and removal ------------------------------------------------------------
  // Insert: at the collection's element count the graphic is appended to the
  // front list; otherwise it goes into the front list just before the
  // collection's element at the index. Remove: the collection's element at the
  // index leaves the front list. An index outside the collection answers the
  // collection's Range error and changes nothing; "rectangles_round" is read only.
  std::optional<SKTScriptError> insertObject(SKTScriptingCollection collection, const SKTGraphicPtr& graphic,
                                             int index);
  std::optional<SKTScriptError> removeObject(SKTScriptingCollection collection, int index);
  // The front list's one-element forms (undoable).
  void insertGraphic(const SKTGraphicPtr& graphic, int index);
  void removeGraphicAtIndex(int index);
  void addInGraphics(const SKTGraphicPtr& graphic);

  // ---- Specifier evaluation -------------------------------------------------------------
  // Keys a range or relative specifier (and its start, end or base) may name:
  // "graphics", "graphics_back", "graphics_temp", "rectangles", "circles",
  // "lines", "textAreas", "images". Positions always count in the front list:
  // for the three list keys the answer holds front-list positions, for the
  // others positions within that collection.
  static bool isAcceptedSpecifierKey(const QString& key);
  // Range and relative specifiers go to the two evaluations below; any other
  // form answers none.
  std::optional<std::vector<int>> indicesOfObjectsByEvaluatingObjectSpecifier(
      const SKTObjectSpecifier& specifier) const;
  // None when a key is not accepted, when the range has neither start nor
  // end, or when the start or end names no graphic of the front list; an
  // empty list for an empty front list.
  std::optional<std::vector<int>> indicesOfObjectsByEvaluatingRangeSpecifier(
      const SKTObjectSpecifier& specifier) const;
  // None when a key is not accepted or the base names no graphic of the front
  // list; an empty list when stepping leaves the list.
  std::optional<std::vector<int>> indicesOfObjectsByEvaluatingRelativeSpecifier(
      const SKTObjectSpecifier& specifier) const;

  // The graphics a specifier names: one for an index specifier, a list for
  // the others (isList). None when it names nothing.
  struct Objects {
    SKTGraphicList graphics;
    bool isList = false;
  };
  std::optional<Objects> objectsByEvaluatingSpecifier(const SKTObjectSpecifier& specifier) const;

 private:
  // The front-list position a start, end or base specifier stands for (a list
  // stands for its first element, or its last when `last`); none when it names
  // no graphic of the front list.
  std::optional<int> frontPositionOf(const SKTObjectSpecifier& specifier, bool last) const;
  // The elements a key names: a collection, or one of the three lists.
  SKTGraphicList elementsForKey(const QString& key) const;

  SKTDocument& document_;
};
