#pragma once
// A picture kept as a short list of drawing commands in points, y down:
// filled rectangles (backgrounds, bars, modules), filled outlines (texts,
// drawn antialiased) and other pictures placed by a transform.
//
// It replays into any painter, so rectangles stay rectangles in a PDF and
// stay crisp in a raster unless the painter itself smooths them. A finished
// picture never changes and its copies share one list: handing one to
// another picture, another thread or a cache costs a reference count.
//
//   VectorRecorder recorder;
//   recorder.fillRect(QRectF(0, 0, 40, 20), Qt::white);
//   recorder.fillRect(QRectF(2, 2, 1, 16), Qt::black);
//   const VectorPicture picture = recorder.finish();
//   picture.play(painter);

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPicture>
#include <QRectF>
#include <QTransform>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

class QPainter;

namespace barcode {

class VectorPicture {
 public:
  // Rectangles of one colour, filled without an outline in the order given.
  struct FilledRects {
    QColor colour;
    std::vector<QRectF> rects;
  };
  // A line of text laid out from its baseline point in a font, as
  // QPainterPath::addText() lays it out. Playing a picture never uses the
  // font; laying the line out again is for one thread at a time (a font
  // keeps what it last found), the one that made the picture.
  struct TextLine {
    QString text;
    QFont font;
    QPointF baseline;
  };
  // One outline (a text's glyphs), filled antialiased without an outline.
  // The outline of one line of text keeps that line too, for painters that
  // draw text as text (the outline and the text cover the same area).
  struct FilledPath {
    QColor colour;
    QPainterPath path;
    std::optional<TextLine> text;
  };
  // Another picture drawn through a transform (its units into these).
  struct Placed;
  using Command = std::variant<FilledRects, FilledPath, Placed>;

  bool isNull() const;
  // The commands in drawing order (empty for a null picture).
  const std::vector<Command>& commands() const;

  // Draws every command into the painter, one unit per painter unit; the
  // painter's state is the same afterwards.
  void play(QPainter& painter) const;

  // The same drawing recorded as a QPicture, for code that reads that form.
  QPicture toQPicture() const;
  operator QPicture() const { return toQPicture(); }

 private:
  friend class VectorRecorder;
  std::shared_ptr<const std::vector<Command>> commands_;
};

struct VectorPicture::Placed {
  VectorPicture picture;
  QTransform transform;
};

inline bool VectorPicture::isNull() const {
  return !commands_ || commands_->empty();
}

// Collects the commands of one picture. Rectangles of one colour that follow
// each other become one command.
class VectorRecorder {
 public:
  void fillRect(const QRectF& rect, const QColor& colour);
  void fillPath(const QPainterPath& path, const QColor& colour);
  // The outlines of `line` (path.addText(line.baseline, line.font, line.text)).
  void fillText(const QPainterPath& outlines, const QColor& colour, const VectorPicture::TextLine& line);
  void place(const VectorPicture& picture, const QTransform& transform);
  // The recorded picture; the recorder starts empty again.
  VectorPicture finish();

 private:
  std::vector<VectorPicture::Command> commands_;
};

}  // namespace barcode
