#pragma once
// A fast PNG encoder for card pictures: 8-bit RGBA (RGB when every pixel is
// opaque, unless the alpha channel is to be kept), each row filtered by the
// difference to the pixel on its left, and a deflate stream of its own that
// turns runs and repeated rows into copies and stores what does not compress
// (in image data chunks of at most 64 KiB), with the picture's resolution. A
// batch writes thousands of pictures; this keeps their encoding a small part
// of a card's cost even at 300 dpi and more. Any thread.

#include <QByteArray>
#include <QImage>

namespace production {

// The picture as PNG data; empty for a null picture.
QByteArray encodePngFast(const QImage& picture, bool keepAlpha = false);

}  // namespace production
