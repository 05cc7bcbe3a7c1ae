#pragma once
// Whether a picture file holds all of its picture, told from its structure
// alone: the kind its first bytes show, how the file ends and the sizes its
// headers give, without decoding a pixel. Qt's readers give a picture for a
// JPEG, GIF or BMP cut short (the missing part grey or empty) without a word;
// this tells such a file from a whole one, cheaply enough for every picture
// of a folder.
//
// Kinds told: JPEG (the end-of-picture mark after the last scan), PNG (the
// closing chunk), GIF (every frame's data, then the trailer), BMP and WebP
// (the size the header gives), TIFF (every strip or tile of the first
// picture within the file). A whole JPEG or PNG costs a read of its last
// bytes; only a file that does not end as its kind ends (cut short, or with
// data of another program after the picture) is walked through. Whatever its
// headers say, the check reads each byte of the file at most once, besides
// its first and last few, and sizes in headers that no file could hold
// (their arithmetic overflowing included) make the file damaged.

#include <QByteArray>

class QFileDevice;

enum class PictureCompleteness {
  Whole,     // all of the picture is there
  Cut,       // it ends before all of the picture, or its structure is broken
  OtherKind  // not a kind told here: only decoding it tells
};

struct PictureStructure {
  QByteArray format;  // the kind its first bytes show, as Qt's readers name it; "" for another
  PictureCompleteness completeness = PictureCompleteness::OtherKind;
  qint64 bytesRead = 0;  // of the file, by the check
};

// Examines the open regular file of `size` bytes, reading it by position:
// its own position and buffer stay as they were.
PictureStructure examinePictureFile(const QFileDevice& file, qint64 size);
