#pragma once
// The graphic archive and the graphic pasteboard data.
//
// A graphic archive is a keyed archive (NSKeyedArchiver layout, binary
// property list) whose root object is one graphic, archived under its kind's
// class name ("SKTText", "Shape_Control", ...) with the 93 keys named after
// its fields. A line also stores its direction ("_pointsRight",
// "_pointsDown") so that a pasted or reloaded line keeps its direction.
//
// Reading never trusts the archive: only the six kinds are created; any other
// class, a broken archive or a dangling reference is a failure (never a
// crash); a key that is missing or holds another value kind leaves that field
// at the value of a new graphic (so an archive without "ctrl_is_visible"
// gives a visible object).
//
// The graphic pasteboard data (type SKTGraphicViewPasteboardType) is a binary
// property list whose root is an array of data items, one graphic archive each.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

#include "core/PictureBudget.h"
#include "core/SKTError.h"
#include "core/SKTGraphic.h"

class Card_Property;

namespace platform {
class KeyedObjectWriter;
class KeyedObject;
}  // namespace platform

// The 93 archive keys, in the order they are written.
const std::vector<QString>& graphicArchiveKeys();

// ---- One graphic ---------------------------------------------------------------
// Writes the fields of a graphic into an archive object (encodeWithCoder).
void encodeGraphicWithCoder(const SKTGraphic& graphic, platform::KeyedObjectWriter& coder);
// A graphic from an archive object of one of the six kinds; nullptr (and a
// reason) for any other class (initWithCoder), or when its picture does not
// fit in the reading's budget of decoded pictures (`pictures`; without one,
// the archive has a budget of its own).
SKTGraphicPtr decodeGraphicWithCoder(const platform::KeyedObject& coder, QString* why = nullptr,
                                     PictureBudget* pictures = nullptr);

// The archive of one graphic.
QByteArray archivedDataWithGraphic(const SKTGraphic& graphic);

enum class GraphicArchiveResult { Graphic, Nothing, Failed };
// Reads one archive. Graphic: *graphic is set. Nothing: the archive's root is
// none (such an element is skipped). Failed: broken archive, unknown kind, or
// a picture beyond the budget of decoded pictures.
GraphicArchiveResult graphicWithArchivedData(const QByteArray& data, SKTGraphicPtr* graphic,
                                             QString* why = nullptr, PictureBudget* pictures = nullptr);

// Reads the archives of one reading (a design file, clipboard data) one after
// another. An archive met again (a list may name one archive many times) is
// not read again: the graphic is a copy of its first reading, sharing its
// picture. The pictures of all archives share one budget, and none is decoded
// before every archive was read: read() measures each picture by its header
// (and fails once they would not fit together, pictures().exceeded() telling
// why); decodePictures() then gives the graphics read their pictures.
class GraphicArchiveMemo {
 public:
  GraphicArchiveResult read(const QByteArray& data, SKTGraphicPtr* graphic, QString* why = nullptr);
  // Decodes the pictures of every archive read. False (and the number of
  // the read() whose picture it was, counting from 0) when one whose header
  // told no size does not fit after all.
  bool decodePictures(std::size_t* reading = nullptr);
  const PictureBudget& pictures() const { return pictures_; }

 private:
  // A picture read and not yet decoded, and the graphics that show it.
  struct WaitingPicture {
    QByteArray encoded;
    QSizeF size;  // in points, as archived
    QImage SKTGraphic::*member;
    std::vector<SKTGraphicPtr> graphics;
    std::size_t reading;
  };
  struct Archive {
    SKTGraphicPtr graphic;             // a copy of its first reading; none for an archive of nothing
    std::vector<std::size_t> waiting;  // its pictures among waiting_
  };
  QHash<QByteArray, Archive> read_;
  std::vector<WaitingPicture> waiting_;
  std::size_t readings_ = 0;
  PictureBudget pictures_;
};

// ---- Lists of graphics -------------------------------------------------------------
// One archive per graphic, in list order.
std::vector<QByteArray> propertiesWithGraphics(const SKTGraphicList& graphics);
// The graphics of a list of archives, in order; archives whose root is none
// are skipped. Picture objects reload their picture from their file path when
// the file exists. nullopt (and a reason) when any archive cannot be read or
// their pictures together go beyond one reading's budget (told before any
// picture is decoded).
std::optional<SKTGraphicList> graphicsWithProperties(const std::vector<QByteArray>& archives,
                                                     QString* why = nullptr);

// ---- Pasteboard data ---------------------------------------------------------------
QByteArray pasteboardDataWithGraphics(const SKTGraphicList& graphics);
// The graphics of pasteboard data; nullopt with error code 2 in
// "CardDrawingErrorDomain" for data that is not a property list array of
// readable graphic archives. When their pictures go beyond one reading's
// budget, the error's description says so, as a design file's refusal does.
std::optional<SKTGraphicList> graphicsWithPasteboardData(const QByteArray& data, SKTError* error = nullptr);

// ---- Page settings (keyed coding form of Card_Property) ------------------------------
void encodeCardPropertyWithCoder(const Card_Property& property, platform::KeyedObjectWriter& coder);
Card_Property decodeCardPropertyWithCoder(const platform::KeyedObject& coder);
QByteArray archivedDataWithCardProperty(const Card_Property& property);
std::optional<Card_Property> cardPropertyWithArchivedData(const QByteArray& data, QString* why = nullptr);
