#pragma once
// An object specifier of a script: names elements of one of the document's
// collections by key ("graphics", "rectangles", "lines" ...) as
//  - one element by index (negative indexes count from the end, -1 the last),
//  - every element,
//  - a range between an optional start and end specifier (inclusive), or
//  - the element before or after a base specifier.

#include <QString>
#include <memory>
#include <optional>

struct SKTObjectSpecifier {
  enum class Form { Index, Every, Range, Relative };
  enum class Position { Before, After };

  Form form = Form::Index;
  QString key;
  int index = 0;                                         // Index
  std::shared_ptr<const SKTObjectSpecifier> start, end;  // Range (either may be absent)
  std::shared_ptr<const SKTObjectSpecifier> base;        // Relative
  Position position = Position::After;                   // Relative

  static SKTObjectSpecifier indexed(const QString& key, int index) {
    SKTObjectSpecifier s;
    s.form = Form::Index;
    s.key = key;
    s.index = index;
    return s;
  }
  static SKTObjectSpecifier every(const QString& key) {
    SKTObjectSpecifier s;
    s.form = Form::Every;
    s.key = key;
    return s;
  }
  static SKTObjectSpecifier range(const QString& key, const std::optional<SKTObjectSpecifier>& start,
                                  const std::optional<SKTObjectSpecifier>& end) {
    SKTObjectSpecifier s;
    s.form = Form::Range;
    s.key = key;
    if (start) s.start = std::make_shared<const SKTObjectSpecifier>(*start);
    if (end) s.end = std::make_shared<const SKTObjectSpecifier>(*end);
    return s;
  }
  static SKTObjectSpecifier relative(const QString& key, Position position, const SKTObjectSpecifier& base) {
    SKTObjectSpecifier s;
    s.form = Form::Relative;
    s.key = key;
    s.position = position;
    s.base = std::make_shared<const SKTObjectSpecifier>(base);
    return s;
  }
};
