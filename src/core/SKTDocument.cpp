#include "core/SKTDocument.h"

#include <algorithm>
#include <stdexcept>

#include "core/CardHost.h"

namespace {
// Observation contexts: changes to record for undo, and changes of the set of
// keys to observe.
constexpr int kUndoContext = 1;
constexpr int kUndoKeysContext = 2;

const SKTGraphicList& emptyList() {
  static const SKTGraphicList empty;
  return empty;
}
}  // namespace

SKTIndexSet makeIndexSet(std::vector<int> indexes) {
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  return indexes;
}

SKTIndexSet indexRange(int first, int count) {
  SKTIndexSet indexes;
  for (int i = 0; i < count; ++i) indexes.push_back(first + i);
  return indexes;
}

SKTDocument::SKTDocument(CardHost* host, QObject* parent) : QObject(parent), _host(host) {
  undo_.setCheckpointHandler([this] { observeUndoManagerCheckpoint(); });
  undo_.setQuietHandler([this] { endListChangesWhenQuiet(); });
}

SKTDocument::~SKTDocument() {
  stopObservingGraphics(_graphics);
  for (const auto& g : _graphics) g->setScriptingContainer(nullptr);
  undo_.setCheckpointHandler(nullptr);
  undo_.setQuietHandler(nullptr);
  undo_.removeAllActions();
}

// ---- Lists -----------------------------------------------------------------------

const SKTGraphicList& SKTDocument::graphicsOfSide(CardSide side) const {
  switch (side) {
    case CardSide::Front:
      return _graphics;
    case CardSide::Back:
      return _graphics_back;
    case CardSide::Temp:
      return _graphics_temp;
  }
  return emptyList();
}

const SKTGraphicList& SKTDocument::graphicsForKey(const QString& key) const {
  if (key == QLatin1String(SKTDocumentGraphicsKey)) return _graphics;
  if (key == QLatin1String(SKTDocumentGraphicsKey_back)) return _graphics_back;
  if (key == QLatin1String(SKTDocumentGraphicsKey_temp)) return _graphics_temp;
  return emptyList();
}

SKTGraphicList& SKTDocument::mutableList(CardSide side) {
  switch (side) {
    case CardSide::Back:
      return _graphics_back;
    case CardSide::Temp:
      return _graphics_temp;
    case CardSide::Front:
      break;
  }
  return _graphics;
}

void SKTDocument::insertStraight(CardSide side, const SKTGraphicList& graphics, const SKTIndexSet& indexes) {
  SKTGraphicList& list = mutableList(side);
  if (graphics.size() != indexes.size())
    throw std::out_of_range("insertGraphics: the number of graphics and indexes differ");
  if (std::any_of(graphics.begin(), graphics.end(), [](const SKTGraphicPtr& g) { return !g; }))
    throw std::invalid_argument("insertGraphics: no graphic");
  if (makeIndexSet(indexes) != indexes) throw std::out_of_range("insertGraphics: indexes not ascending");
  // Check first, so that a bad index set changes nothing.
  std::size_t count = list.size();
  for (int index : indexes) {
    if (index < 0 || static_cast<std::size_t>(index) > count)
      throw std::out_of_range("insertGraphics: index beyond the list");
    ++count;
  }
  for (std::size_t i = 0; i < graphics.size(); ++i) list.insert(list.begin() + indexes[i], graphics[i]);
}

SKTGraphicList SKTDocument::removeStraight(CardSide side, const SKTIndexSet& indexes) {
  SKTGraphicList& list = mutableList(side);
  const SKTIndexSet sorted = makeIndexSet(indexes);
  for (int index : sorted)
    if (index < 0 || static_cast<std::size_t>(index) >= list.size())
      throw std::out_of_range("removeGraphicsAtIndexes: index beyond the list");
  SKTGraphicList removed;
  for (int index : sorted) removed.push_back(list[index]);
  for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) list.erase(list.begin() + *it);
  return removed;
}

void SKTDocument::insertGraphics(const SKTGraphicList& graphics, const SKTIndexSet& indexes) {
  // One list edit is one group at least, so that the graphics inserted stay
  // known as such until the group closes.
  SKTUndoGroup group(undo_);
  insertStraight(CardSide::Front, graphics, indexes);
  for (const auto& g : graphics) g->setScriptingContainer(this);
  undo_.registerUndo([this, indexes] { removeGraphicsAtIndexes(indexes); });
  if (undo_.isUndoRegistrationEnabled())
    for (const auto& g : graphics) _undoGroupInsertedGraphics.insert(g.get());
  startObservingGraphics(graphics);
  listDidChange(CardSide::Front);
}

void SKTDocument::removeGraphicsAtIndexes(const SKTIndexSet& indexes) {
  SKTUndoGroup group(undo_);
  const SKTIndexSet sorted = makeIndexSet(indexes);
  for (int index : sorted)
    if (index < 0 || static_cast<std::size_t>(index) >= _graphics.size())
      throw std::out_of_range("removeGraphicsAtIndexes: index beyond the list");
  SKTGraphicList graphics;
  for (int index : sorted) graphics.push_back(_graphics[index]);
  stopObservingGraphics(graphics);
  undo_.registerUndo([this, graphics, sorted] { insertGraphics(graphics, sorted); });
  for (const auto& g : graphics) g->setScriptingContainer(nullptr);
  removeStraight(CardSide::Front, sorted);
  listDidChange(CardSide::Front);
}

void SKTDocument::insertGraphics(CardSide side, const SKTGraphicList& graphics, const SKTIndexSet& indexes) {
  if (side == CardSide::Front) return insertGraphics(graphics, indexes);
  insertStraight(side, graphics, indexes);
  listDidChange(side);
}

void SKTDocument::removeGraphicsAtIndexes(CardSide side, const SKTIndexSet& indexes) {
  if (side == CardSide::Front) return removeGraphicsAtIndexes(indexes);
  removeStraight(side, indexes);
  listDidChange(side);
}

void SKTDocument::insertGraphic(CardSide side, const SKTGraphicPtr& graphic, int index) {
  insertGraphics(side, SKTGraphicList{graphic}, SKTIndexSet{index});
}

void SKTDocument::removeGraphicAtIndex(CardSide side, int index) {
  removeGraphicsAtIndexes(side, SKTIndexSet{index});
}

void SKTDocument::addInGraphics(CardSide side, const SKTGraphicPtr& graphic) {
  insertGraphic(side, graphic, static_cast<int>(graphicsOfSide(side).size()));
}

void SKTDocument::setGraphicsOfSide(CardSide side, const SKTGraphicList& graphics) {
  if (side == CardSide::Front) {
    if (!_graphics.empty()) removeGraphicsAtIndexes(indexRange(0, static_cast<int>(_graphics.size())));
    if (!graphics.empty()) insertGraphics(graphics, indexRange(0, static_cast<int>(graphics.size())));
    return;
  }
  if (std::any_of(graphics.begin(), graphics.end(), [](const SKTGraphicPtr& g) { return !g; }))
    throw std::invalid_argument("setGraphicsOfSide: no graphic");
  mutableList(side) = graphics;
  listDidChange(side);
}

void SKTDocument::listDidChange(CardSide side) {
  _listChangesUnended = true;
  emit graphicsChanged(side);
  endListChangesWhenQuiet();
}

void SKTDocument::endListChangesWhenQuiet() {
  if (!_listChangesUnended || !undo_.isQuiet()) return;
  _listChangesUnended = false;
  emit graphicsChangesEnded();
}

SKTGraphicList SKTDocument::snapshotOfSide(CardSide side) const {
  return SKTGraphic::cloneGraphics(graphicsOfSide(side));
}

// ---- Observation and undo ---------------------------------------------------------------

void SKTDocument::startObservingGraphics(const SKTGraphicList& graphics) {
  for (const auto& g : graphics) {
    for (const QString& key : g->keysForValuesToObserveForUndo()) g->addObserver(this, key, kUndoContext);
    g->addObserver(this, SKTKeys::keysForValuesToObserveForUndo, kUndoKeysContext);
  }
}

void SKTDocument::stopObservingGraphics(const SKTGraphicList& graphics) {
  for (const auto& g : graphics) {
    for (const QString& key : g->keysForValuesToObserveForUndo()) g->removeObserver(this, key, kUndoContext);
    g->removeObserver(this, SKTKeys::keysForValuesToObserveForUndo, kUndoKeysContext);
  }
}

void SKTDocument::observeValueForKey(SKTGraphic& graphic, const QString& key, const QVariant& oldValue,
                                     const QVariant& newValue, int context) {
  if (context == kUndoContext) {
    recordUndoChange(graphic, key, oldValue, newValue);
  } else if (context == kUndoKeysContext) {
    const QStringList oldKeys = oldValue.toStringList();
    const QStringList newKeys = newValue.toStringList();
    for (const QString& k : oldKeys)
      if (!newKeys.contains(k)) graphic.removeObserver(this, k, kUndoContext);
    for (const QString& k : newKeys)
      if (!oldKeys.contains(k)) graphic.addObserver(this, k, kUndoContext);
  }
}

void SKTDocument::recordUndoChange(SKTGraphic& graphic, const QString& key, const QVariant& oldValue,
                                   const QVariant& newValue) {
  if (_undoGroupInsertedGraphics.count(&graphic)) return;
  if (oldValue == newValue) return;
  if (!undo_.isUndoRegistrationEnabled()) return;  // nothing would be registered
  std::shared_ptr<PropertyMap> properties = _undoGroupOldPropertiesPerGraphic;
  if (!properties) {
    // Once per group. (Outside a group the registration is an entry of its own
    // and closes at once, which resets the group fields; the local keeps the map.)
    properties = std::make_shared<PropertyMap>();
    _undoGroupOldPropertiesPerGraphic = properties;
    undo_.registerUndo([this, properties] { setGraphicProperties(properties); });
  }
  SKTGraphicPtr owner = graphic.shared_from_this();
  PropertyMap& map = *properties;
  auto entry = std::find_if(map.begin(), map.end(), [&](const auto& e) { return e.first.get() == &graphic; });
  if (entry == map.end()) {
    map.emplace_back(owner, std::map<QString, QVariant>{});
    entry = std::prev(map.end());
  }
  entry->second.emplace(key, oldValue);  // keeps the first old value of the group
  if (!undo_.isUndoing() && !undo_.isRedoing() && !graphic.presentablePropertyNameForKey(key)) {
    const QString cls = graphic.className();
    throw std::logic_error(
        QStringLiteral("[[%1 class] keysForValuesToObserveForUndo] returns a set that includes "
                       "@\"%2\", but [[%1 class] presentablePropertyNameForKey:@\"%2\"] "
                       "returns nil.")
            .arg(cls, key)
            .toStdString());
  }
}

void SKTDocument::setGraphicProperties(const std::shared_ptr<PropertyMap>& properties) {
  for (const auto& [graphic, values] : *properties)
    for (const auto& [key, value] : values) graphic->setValueForKey(key, value);
}

void SKTDocument::observeUndoManagerCheckpoint() {
  _undoGroupInsertedGraphics.clear();
  _undoGroupOldPropertiesPerGraphic.reset();
}

void SKTDocument::undo() {
  if (!undo_.canUndo()) return;
  emit undoOrRedoStarting();
  undo_.undo();
  emit undoneOrRedone();
}

void SKTDocument::redo() {
  if (!undo_.canRedo()) return;
  emit undoOrRedoStarting();
  undo_.redo();
  emit undoneOrRedone();
}

void SKTDocument::Enable_Disable_Undo_Registraion(bool enable) {
  if (enable)
    undo_.enableUndoRegistration();
  else
    undo_.disableUndoRegistration();
}

void SKTDocument::Clear_All_Undo_Redo() {
  undo_.removeAllActions();
  undo_.disableUndoRegistration();
  try {
    if (!_graphics.empty()) removeGraphicsAtIndexes(indexRange(0, static_cast<int>(_graphics.size())));
  } catch (...) {
    undo_.enableUndoRegistration();
    throw;
  }
  undo_.enableUndoRegistration();
}

// ---- Document answers ---------------------------------------------------------------

QSizeF SKTDocument::canvasSize(bool creditCardSize, const QSizeF& size) {
  return creditCardSize ? QSizeF(243.0, 154.0) : size;
}

QString SKTDocument::displayName() const {
  return (_host != nullptr ? *_host : cardHost()).App_Name();
}
