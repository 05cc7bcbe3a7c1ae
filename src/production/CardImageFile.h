#pragma once
// The card image file: the one writer that puts a rendered card side on disk
// (single and batch export, mail attachments). The data is in the format the
// user chose: PNG, JPEG, TIFF or BMP by the chosen type, PNG for any other.
// A file is replaced atomically: the new data goes to a temporary file that
// then takes the old file's place, so a failed write never loses the old one.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace production {

struct EarlierRuns;
struct FileIdentity;

enum class CardImageFormat { Png, Jpeg, Tiff, Bmp };

// The format for a file type or extension ("PNG", "jpg", ".TIFF", ...); PNG
// for anything unknown.
CardImageFormat cardImageFormatFor(const QString& typeOrExtension);
// The format of a path's extension.
CardImageFormat cardImageFormatOfPath(const QString& path);

// The path unchanged: the front file of an export.
QString Create_Front_Card_Path(const QString& path);
// The back file beside the front file: "X.ext" gives "X_Back.ext" (a name
// without extension gives "X_Back.").
QString Create_Back_Card_Path(const QString& path);

// Whether a PNG or TIFF of a picture whose pixels are all opaque leaves out
// the alpha channel (smaller) or keeps it: RGB with alpha, 8 bits a sample,
// the format of the combined picture of both sides.
enum class AlphaChannel { DroppedWhenOpaque, Kept };

// The picture encoded in the format, with the resolution it records; formats
// without transparency get the picture over white. Empty when it cannot be encoded.
QByteArray encodeCardImage(const QImage& picture, CardImageFormat format,
                           AlphaChannel alpha = AlphaChannel::DroppedWhenOpaque);

// Writes encoded data to the path atomically; false with the reason.
bool writeCardImageData(const QByteArray& data, const QString& path, QString* reason = nullptr);

// The same in two steps, for writers that prepare files in parallel and put
// them in place in order (CardImageFileRun): the data goes to a new hidden
// file in `folder` (a run's folder, on the file system of the path's own,
// so that putting it in place is one rename); its path is returned, empty
// with the reason on failure, and the data's size and checksum in
// `identity`. Its name says that checksum (".<name>.<checksum>.part"), so
// that a file there tells by its bytes whether it is still the one prepared.
// A prepared file that is not put in place is discarded.
QString prepareCardImageFile(const QByteArray& data, const QString& path, const QString& folder,
                             QString* reason = nullptr, FileIdentity* identity = nullptr);
void discardCardImageFile(const QString& prepared);

// One card image file to write: its path and its encoded data.
struct CardImageData {
  QString path;
  QByteArray data;
};

// Writes a set of card image files (the two sides of a card, in one folder)
// all or none: each is written in full to a new file in a run's folder
// beside them first (CardImageFileRun), and only when all of them were
// written do they take their places; one that cannot take its place puts
// back the files replaced before it, and so does the next export into the
// folder when this program ended before the set was whole. What earlier
// exports into the folder left half done is put right first, and said in
// `earlier`, written or not. False with the path of the file that failed and the reason;
// the files at the paths are then as they were, and nothing new is left
// behind.
bool writeCardImageFiles(const std::vector<CardImageData>& files, QString* failedPath = nullptr,
                         QString* reason = nullptr, EarlierRuns* earlier = nullptr);

// The message for a card image file that could not be written.
QString cardImageFailureMessage(const QString& path, const QString& reason);

// Encodes and writes the picture in the format of the path's extension.
// A failure is shown as one message box (cardImageFailureMessage) unless
// `reason` is given, which then receives it instead.
bool Save_gen_image(const QImage& picture, const QString& path, QString* reason = nullptr);
bool Save_gen_image(const QImage& picture, const QString& path, CardImageFormat format,
                    QString* reason = nullptr, AlphaChannel alpha = AlphaChannel::DroppedWhenOpaque);

// Both sides in one picture: the front's width by twice the front's height,
// the front in the upper half and the back below it, each copied unscaled.
// Null (and "Invalid image" logged) when either picture is null.
QImage combinedCardPicture(const QImage& front, const QImage& back);

}  // namespace production
