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
