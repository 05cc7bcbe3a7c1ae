#pragma once
// The scripting face of one graphic: its fill colour, stroke colour and
// stroke width as scripts see them (none while the fill or stroke is not
// drawn), their setters with the refusals of kinds that cannot take them, and
// the graphic's place in its document.
//
// Every change goes through key-value setting, so a change of a front-side
// graphic is undoable, and one setter call is one undo entry (turning the
// fill on and setting its colour are undone together).

#include <QColor>
#include <optional>
#include <variant>

#include "core/SKTGraphic.h"
#include "core/scripting/SKTScriptError.h"

class SKTGraphicScripting {
 public:
  explicit SKTGraphicScripting(SKTGraphic& graphic) : graphic_(graphic) {}

  std::optional<QColor> scriptingFillColor() const;
  std::optional<QColor> scriptingStrokeColor() const;
  std::optional<double> scriptingStrokeWidth() const;

  // A value turns the fill (stroke) on when it is off and sets it; none turns
  // it off. A kind that cannot change the flag answers the refusal; a flag
  // already off with none changes nothing and answers nothing.
  std::optional<SKTScriptError> setScriptingFillColor(const std::optional<QColor>& color);
  std::optional<SKTScriptError> setScriptingStrokeColor(const std::optional<QColor>& color);
  std::optional<SKTScriptError> setScriptingStrokeWidth(const std::optional<double>& width);

  // The characters of a text object; any other kind refuses (it has no text).
  std::variant<QString, SKTScriptError> scriptingContents() const;
  // Replaces every character of a text object as one undo entry named "Text";
  // any other kind refuses.
  std::optional<SKTScriptError> setScriptingContents(const QString& contents);

  // The graphic's position in the front list of the document holding it; a
  // NoContainer error when no document holds it there (a graphic of the back
  // or temp side, or one already removed).
  std::variant<int, SKTScriptError> objectSpecifier() const;

 private:
  struct Setting;
  std::optional<SKTScriptError> apply(const Setting& setting, const std::optional<QVariant>& value);

  SKTGraphic& graphic_;
};
