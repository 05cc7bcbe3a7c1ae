#include "core/SKTText.h"

#include "core/globals.h"

SKTGraphicPtr SKTText::cloneShallow() const {
  return SKTGraphicPtr(new SKTText(*this));
}

void SKTText::deepenClonedState(const SKTGraphic& original) {
  SKTGraphic::deepenClonedState(original);
  const auto& text = static_cast<const SKTText&>(original);
  if (text.contents_val && text.contents_val == text._Text_contents)
    contents_val = _Text_contents;
  else if (text.contents_val)
    contents_val = std::make_shared<SKTTextStorage>(*text.contents_val);
}

SKTTextStoragePtr SKTText::contents() {
  if (!contents_val) {
    contents_val = std::make_shared<SKTTextStorage>(
        SKTTextStorage{Text_Value, CardFont{Text_Ctrl_Font.get(), 14.0}, QColor(Qt::black)});
    return contents_val;
  }
  contents_val = Text_contents();
  return contents_val;
}

QRectF SKTText::drawingBounds() const {
  return SKTGraphic::drawingBounds().united(bounds().adjusted(-1.0, -1.0, 1.0, 1.0));
}

QStringList SKTText::keysForValuesToObserveForUndo() const {
  QStringList keys = SKTGraphic::keysForValuesToObserveForUndo();
  if (_contentsBeingChangedByScripting) keys << SKTKeys::undoContents;
  if (_boundsBeingChangedToMatchContents) keys.removeAll(SKTKeys::bounds);
  return keys;
}

std::optional<QString> SKTText::presentablePropertyNameForKey(const QString& key) const {
  if (key == SKTKeys::undoContents) return QStringLiteral("Text");
  return SKTGraphic::presentablePropertyNameForKey(key);
}

QVariant SKTText::valueForKey(const QString& key) {
  if (key == SKTKeys::undoContents) return undoContents();
  return SKTGraphic::valueForKey(key);
}

void SKTText::setValueForKey(const QString& key, const QVariant& value) {
  if (key == SKTKeys::undoContents)
    setUndoContents(value.toString());
  else
    SKTGraphic::setValueForKey(key, value);
}

QStringList SKTText::keysAffectedByKey(const QString& key) const {
  QStringList keys = SKTGraphic::keysAffectedByKey(key);
  if (key == SKTKeys::undoContents) keys << SKTKeys::drawingContents;
  return keys;
}

QString SKTText::undoContents() {
  return Text_contents()->string;
}

void SKTText::setUndoContents(const QString& contents) {
  setScriptingContents(contents);
}

void SKTText::setScriptingContents(const QString& contents) {
  ChangeScope change(*this);  // the watched key set and the characters: one change, one undo entry
  willChangeScriptingContents();
  Text_contents()->string = contents;
  didChangeScriptingContents();
}

void SKTText::willChangeScriptingContents() {
  willChangeValueForKey(SKTKeys::keysForValuesToObserveForUndo);
  _contentsBeingChangedByScripting = true;
  didChangeValueForKey(SKTKeys::keysForValuesToObserveForUndo);
  willChangeValueForKey(SKTKeys::undoContents);
}

void SKTText::didChangeScriptingContents() {
  didChangeValueForKey(SKTKeys::undoContents);
  willChangeValueForKey(SKTKeys::keysForValuesToObserveForUndo);
  _contentsBeingChangedByScripting = false;
  didChangeValueForKey(SKTKeys::keysForValuesToObserveForUndo);
}

void SKTText::setBoundsBeingChangedToMatchContents(bool changing) {
  willChangeValueForKey(SKTKeys::keysForValuesToObserveForUndo);
  _boundsBeingChangedToMatchContents = changing;
  didChangeValueForKey(SKTKeys::keysForValuesToObserveForUndo);
}

QVariantMap SKTText::properties() const {
  QVariantMap p = SKTGraphic::properties();
  const SKTTextStoragePtr storage = _Text_contents;
  p.insert(QStringLiteral("contents"), (storage ? storage->string : Text_Value).toUtf8());
  return p;
}

void SKTText::initWithProperties(const QVariantMap& properties) {
  SKTGraphic::initWithProperties(properties);
  const QVariant contents = properties.value(QStringLiteral("contents"));
  if (contents.typeId() == QMetaType::QByteArray)
    contents_val = std::make_shared<SKTTextStorage>(SKTTextStorage{
        QString::fromUtf8(contents.toByteArray()), CardFont{Text_Ctrl_Font.get(), 14.0}, QColor(Qt::black)});
}
