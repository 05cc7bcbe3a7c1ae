#pragma once
// Generated hostile inputs for the readers of design files and clipboard
// data: small files whose shape makes a careless reader do far more work than
// their size suggests. Shared by the design file tests and the reading
// benchmark.

#include <QByteArray>
#include <QString>

#include "platform/PropertyList.h"

namespace hostile {

// A binary design whose spreadsheet row list holds `items` references to one
// shared text: about one byte an item.
QByteArray binaryDesignWithRowItems(int items);

// Clipboard data: a binary list of `items` references to one shared archive
// of a shape.
QByteArray clipboardWithItems(int items);

// A binary design with one front shape whose archive carries `objects`
// extra entries that nothing refers to.
QByteArray designWithPaddedArchive(int objects);

// An XML design whose row list holds `elements` empty dictionaries.
QByteArray xmlDesignWithRowElements(qint64 elements);

// The element array of an empty design whose row list is `rows`.
platform::PlistArray designElementsWithRows(platform::PlistArray rows);

// An XML design whose front holds `objects` picture objects naming the same
// picture file.
QByteArray designWithSharedPicture(const QString& picturePath, int objects);

// PNG bytes of a square picture of `side` pixels with an alpha channel (four
// bytes a pixel once decoded), of one colour so that the file stays small.
QByteArray largeAlphaPicture(int side);

// An XML design whose front holds `objects` barcode objects, each carrying
// the picture (PNG bytes) in its own archive; the archives differ by the
// object's place, so that none is read as a copy of another.
QByteArray designWithEmbeddedPictures(const QByteArray& png, int objects);

// Clipboard data of `objects` barcode objects carrying the picture, as in
// designWithEmbeddedPictures.
QByteArray clipboardWithEmbeddedPictures(const QByteArray& png, int objects);

// Writes a square PNG of `side` pixels (a few large colour blocks, so the file
// stays small) to the path; false when it cannot.
bool writeLargePicture(const QString& path, int side);

}  // namespace hostile
