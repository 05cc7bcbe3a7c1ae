#include "core/scripting/SKTDocumentScripting.h"

#include <algorithm>
#include <stdexcept>

#include "core/SKTImage.h"
#include "core/SKTLine.h"
#include "core/SKTText.h"
#include "core/Shape_Control.h"

namespace {

struct CollectionInfo {
  SKTScriptingCollection collection;
  const char* key;
  GraphicKind kind;
  const char* notFound;  // the range error's text
};

const CollectionInfo kCollections[] = {
    {SKTScriptingCollection::Graphics, "graphics", GraphicKind::Graphic,
     "Could not find the given graphic in the graphics."},
    {SKTScriptingCollection::Rectangles, "rectangles", GraphicKind::Shape,
     "Could not find the given rectangle in the graphics."},
    {SKTScriptingCollection::Circles, "circles", GraphicKind::Shape,
     "Could not find the given circle in the graphics."},
    {SKTScriptingCollection::RectanglesRound, "rectangles_round", GraphicKind::Shape,
     "Could not find the given rounded rectangle in the graphics."},
    {SKTScriptingCollection::Lines, "lines", GraphicKind::Line,
     "Could not find the given line in the graphics."},
    {SKTScriptingCollection::TextAreas, "textAreas", GraphicKind::Text,
     "Could not find the given text area in the graphics."},
    {SKTScriptingCollection::Images, "images", GraphicKind::Image,
     "Could not find the given image in the graphics."},
};

const CollectionInfo& infoOf(SKTScriptingCollection collection) {
  for (const CollectionInfo& info : kCollections)
    if (info.collection == collection) return info;
  throw std::logic_error("unknown scripting collection");
}

SKTScriptError rangeError(SKTScriptingCollection collection) {
  return {SKTScriptError::Kind::Range, QString::fromLatin1(infoOf(collection).notFound)};
}

// Of the kind or of a kind derived from it.
bool isKindOf(const SKTGraphic& graphic, GraphicKind kind) {
  switch (kind) {
    case GraphicKind::Graphic:
      return true;
    case GraphicKind::Text:
      return dynamic_cast<const SKTText*>(&graphic) != nullptr;
    case GraphicKind::Image:
      return dynamic_cast<const SKTImage*>(&graphic) != nullptr;
    case GraphicKind::Line:
      return dynamic_cast<const SKTLine*>(&graphic) != nullptr;
    case GraphicKind::Shape:
      return dynamic_cast<const Shape_Control*>(&graphic) != nullptr;
    case GraphicKind::Signature:
    case GraphicKind::Barcode:
      return graphic.kind() == kind;
  }
  return false;
}

std::optional<int> positionIn(const SKTGraphicList& list, const SKTGraphic* graphic) {
  const auto it =
      std::find_if(list.begin(), list.end(), [&](const SKTGraphicPtr& g) { return g.get() == graphic; });
  if (it == list.end()) return std::nullopt;
  return static_cast<int>(it - list.begin());
}

bool isListKey(const QString& key) {
  return key == QLatin1String(SKTDocumentGraphicsKey) || key == QLatin1String(SKTDocumentGraphicsKey_back) ||
         key == QLatin1String(SKTDocumentGraphicsKey_temp);
}

}  // namespace

std::optional<SKTScriptingCollection> scriptingCollectionForKey(const QString& key) {
  for (const CollectionInfo& info : kCollections)
    if (key == QLatin1String(info.key)) return info.collection;
  return std::nullopt;
}

// ---- Collections ---------------------------------------------------------------------

SKTGraphicList SKTDocumentScripting::graphicsWithClass(GraphicKind kind) const {
  SKTGraphicList out;
  for (const SKTGraphicPtr& g : document_.graphics())
    if (isKindOf(*g, kind)) out.push_back(g);
  return out;
}

SKTGraphicList SKTDocumentScripting::elements(SKTScriptingCollection collection) const {
  return graphicsWithClass(infoOf(collection).kind);
}

SKTGraphicPtr SKTDocumentScripting::newScriptingObject(SKTScriptingCollection collection) {
  switch (collection) {
    case SKTScriptingCollection::Lines:
      return SKTGraphic::makeGraphic(GraphicKind::Line);
    case SKTScriptingCollection::TextAreas:
      return SKTGraphic::makeGraphic(GraphicKind::Text);
    case SKTScriptingCollection::Images: {
      auto image = std::make_shared<SKTImage>();
      image->setFilePath(image->FilePath());  // the placeholder picture
      return image;
    }
    case SKTScriptingCollection::Circles:
    case SKTScriptingCollection::RectanglesRound: {
      SKTGraphicPtr shape = SKTGraphic::makeGraphic(GraphicKind::Shape);
      shape->Set_Shape_Type(collection == SKTScriptingCollection::Circles ? QStringLiteral("C")
                                                                          : QStringLiteral("RR"));
      return shape;
    }
    case SKTScriptingCollection::Graphics:  // a plain graphic is made a shape
    case SKTScriptingCollection::Rectangles:
      break;
  }
  return SKTGraphic::makeGraphic(GraphicKind::Shape);
}

std::optional<int> SKTDocumentScripting::objectSpecifierForGraphic(const SKTGraphic& graphic) const {
  return positionIn(document_.graphics(), &graphic);
}

// ---- Insertion and removal ---------------------------------------------------------------

std::optional<SKTScriptError> SKTDocumentScripting::insertObject(SKTScriptingCollection collection,
                                                                 const SKTGraphicPtr& graphic, int index) {
  if (!graphic) throw std::invalid_argument("insertObject: no graphic");
  if (collection == SKTScriptingCollection::RectanglesRound)
    return SKTScriptError{SKTScriptError::Kind::ReadOnly,
                          QStringLiteral("The rounded rectangles are read only.")};
  const SKTGraphicList members = elements(collection);
  const int count = static_cast<int>(members.size());
  if (index < 0 || index > count) return rangeError(collection);
  if (index == count) {
    addInGraphics(graphic);
    return std::nullopt;
  }
  const std::optional<int> position = objectSpecifierForGraphic(*members[index]);
  if (!position) return rangeError(collection);
  insertGraphic(graphic, *position);
  return std::nullopt;
}

std::optional<SKTScriptError> SKTDocumentScripting::removeObject(SKTScriptingCollection collection,
                                                                 int index) {
  if (collection == SKTScriptingCollection::RectanglesRound)
    return SKTScriptError{SKTScriptError::Kind::ReadOnly,
                          QStringLiteral("The rounded rectangles are read only.")};
  const SKTGraphicList members = elements(collection);
  if (index < 0 || index >= static_cast<int>(members.size())) return rangeError(collection);
  const std::optional<int> position = objectSpecifierForGraphic(*members[index]);
  if (!position) return rangeError(collection);
  removeGraphicAtIndex(*position);
  return std::nullopt;
}

void SKTDocumentScripting::insertGraphic(const SKTGraphicPtr& graphic, int index) {
  document_.insertGraphic(CardSide::Front, graphic, index);
}

void SKTDocumentScripting::removeGraphicAtIndex(int index) {
  document_.removeGraphicAtIndex(CardSide::Front, index);
}

void SKTDocumentScripting::addInGraphics(const SKTGraphicPtr& graphic) {
  document_.addInGraphics(CardSide::Front, graphic);
}

// ---- Specifier evaluation ------------------------------------------------------------------

bool SKTDocumentScripting::isAcceptedSpecifierKey(const QString& key) {
  return isListKey(key) || (scriptingCollectionForKey(key) && key != QLatin1String("rectangles_round"));
}

SKTGraphicList SKTDocumentScripting::elementsForKey(const QString& key) const {
  if (isListKey(key)) return document_.graphicsForKey(key);
  if (const auto collection = scriptingCollectionForKey(key)) return elements(*collection);
  return {};
}

std::optional<SKTDocumentScripting::Objects> SKTDocumentScripting::objectsByEvaluatingSpecifier(
    const SKTObjectSpecifier& specifier) const {
  if (!isListKey(specifier.key) && !scriptingCollectionForKey(specifier.key)) return std::nullopt;
  switch (specifier.form) {
    case SKTObjectSpecifier::Form::Index: {
      const SKTGraphicList list = elementsForKey(specifier.key);
      const qsizetype index = specifier.index < 0 ? list.size() + specifier.index : specifier.index;
      if (index < 0 || index >= static_cast<qsizetype>(list.size())) return std::nullopt;
      return Objects{{list[index]}, false};
    }
    case SKTObjectSpecifier::Form::Every:
      return Objects{elementsForKey(specifier.key), true};
    case SKTObjectSpecifier::Form::Range:
    case SKTObjectSpecifier::Form::Relative:
      break;
  }
  const std::optional<std::vector<int>> indexes = indicesOfObjectsByEvaluatingObjectSpecifier(specifier);
  if (!indexes) return std::nullopt;
  // Positions of the list keys count in the front list.
  const SKTGraphicList source =
      isListKey(specifier.key) ? document_.graphics() : elementsForKey(specifier.key);
  Objects objects{{}, true};
  for (int i : *indexes)
    if (i >= 0 && i < static_cast<int>(source.size())) objects.graphics.push_back(source[i]);
  return objects;
}

std::optional<int> SKTDocumentScripting::frontPositionOf(const SKTObjectSpecifier& specifier,
                                                         bool last) const {
  const std::optional<Objects> objects = objectsByEvaluatingSpecifier(specifier);
  if (!objects || objects->graphics.empty()) return std::nullopt;
  const SKTGraphicPtr& graphic =
      objects->isList && last ? objects->graphics.back() : objects->graphics.front();
  return objectSpecifierForGraphic(*graphic);
}

std::optional<std::vector<int>> SKTDocumentScripting::indicesOfObjectsByEvaluatingObjectSpecifier(
    const SKTObjectSpecifier& specifier) const {
  switch (specifier.form) {
    case SKTObjectSpecifier::Form::Range:
      return indicesOfObjectsByEvaluatingRangeSpecifier(specifier);
    case SKTObjectSpecifier::Form::Relative:
      return indicesOfObjectsByEvaluatingRelativeSpecifier(specifier);
    case SKTObjectSpecifier::Form::Index:
    case SKTObjectSpecifier::Form::Every:
      break;
  }
  return std::nullopt;
}

std::optional<std::vector<int>> SKTDocumentScripting::indicesOfObjectsByEvaluatingRangeSpecifier(
    const SKTObjectSpecifier& specifier) const {
  if (!isAcceptedSpecifierKey(specifier.key)) return std::nullopt;
  if (!specifier.start && !specifier.end) return std::nullopt;
  const SKTGraphicList& front = document_.graphics();
  if (front.empty()) return std::vector<int>{};
  if ((specifier.start && !isAcceptedSpecifierKey(specifier.start->key)) ||
      (specifier.end && !isAcceptedSpecifierKey(specifier.end->key)))
    return std::nullopt;
  int start = 0;
  if (specifier.start) {
    const std::optional<int> position = frontPositionOf(*specifier.start, false);
    if (!position) return std::nullopt;
    start = *position;
  }
  int end = static_cast<int>(front.size()) - 1;
  if (specifier.end) {
    const std::optional<int> position = frontPositionOf(*specifier.end, true);
    if (!position) return std::nullopt;
    end = *position;
  }
  if (end < start) std::swap(start, end);
  const bool listKey = isListKey(specifier.key);
  const SKTGraphicList members = listKey ? SKTGraphicList{} : elementsForKey(specifier.key);
  std::vector<int> out;
  for (int position = start; position <= end; ++position) {
    if (listKey) {
      out.push_back(position);
    } else if (const std::optional<int> index = positionIn(members, front[position].get())) {
      out.push_back(*index);
    }
  }
  return out;
}

std::optional<std::vector<int>> SKTDocumentScripting::indicesOfObjectsByEvaluatingRelativeSpecifier(
    const SKTObjectSpecifier& specifier) const {
  if (!isAcceptedSpecifierKey(specifier.key) || !specifier.base) return std::nullopt;
  const SKTGraphicList& front = document_.graphics();
  if (front.empty()) return std::vector<int>{};
  if (!isAcceptedSpecifierKey(specifier.base->key)) return std::nullopt;
  const bool after = specifier.position == SKTObjectSpecifier::Position::After;
  const std::optional<int> base = frontPositionOf(*specifier.base, after);
  if (!base) return std::nullopt;
  const bool listKey = isListKey(specifier.key);
  const SKTGraphicList members = listKey ? SKTGraphicList{} : elementsForKey(specifier.key);
  const int step = after ? 1 : -1;
  for (int position = *base + step; position >= 0 && position < static_cast<int>(front.size());
       position += step) {
    if (listKey) return std::vector<int>{position};
    if (const std::optional<int> index = positionIn(members, front[position].get()))
      return std::vector<int>{*index};
  }
  return std::vector<int>{};
}
