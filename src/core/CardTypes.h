#pragma once
// Small value types of the card model: the font of a text or caption (kept by
// its PostScript name, as the design file stores it), the formatted text of a
// text object, and the kinds of card objects.

#include <QColor>
#include <QString>
#include <memory>
#include <optional>

// A font as the card model stores it: PostScript name and point size.
// An empty name means "no font".
struct CardFont {
  QString name;
  double size = 0.0;

  bool isNull() const { return name.isEmpty(); }
  friend bool operator==(const CardFont&, const CardFont&) = default;
};

// The formatted text of a text object: its characters with one font and one
// colour over the whole length (the text object draws and measures with its
// own look; the storage's attributes only travel with its archive).
struct SKTTextStorage {
  QString string;
  CardFont font;
  QColor foregroundColor = Qt::black;

  friend bool operator==(const SKTTextStorage&, const SKTTextStorage&) = default;
};
using SKTTextStoragePtr = std::shared_ptr<SKTTextStorage>;

// The six card object kinds (and the plain base, which is never placed on a card).
enum class GraphicKind { Graphic, Text, Image, Line, Shape, Signature, Barcode };

// The drawing tools of the tool strip, by the number the window keeps for the
// current one (Selected_Control_Tool): the arrow selects, every other tool
// makes one object and the strip falls back to the arrow.
enum class DrawingTool : int {
  Arrow = 0,
  Line = 1,
  Text = 2,
  Rectangle = 3,
  Oval = 4,
  RoundedRectangle = 5,
  Triangle = 6,
  Diamond = 7,
  PictureFile = 8,     // a picture from a file the user chose
  LibraryPicture = 9,  // a picture of the picture library
  Barcode = 10,
  Signature = 11,
  Fingerprint = 12,
  Star = 13,
  DoubleStar = 14,
  Polygon = 15,
};

// The class name a kind is archived under ("SKTText", "Shape_Control", ...).
QString graphicClassName(GraphicKind kind);
// The kind archived under a class name; nothing for any name but the six kinds.
std::optional<GraphicKind> graphicKindForClassName(const QString& className);
