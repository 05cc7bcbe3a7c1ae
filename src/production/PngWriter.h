#pragma once
// A fast PNG encoder for card pictures: 8-bit RGBA (RGB when every pixel is
// opaque, unless the alpha channel is to be kept), one cheap filter per row
// and the fastest deflate level, with the picture's resolution. A batch writes thousands of small pictures;
// this keeps their encoding a small part of a card's cost. Any thread.

#include <QByteArray>
#include <QImage>

namespace production {

// The picture as PNG data; empty for a null picture.
QByteArray encodePngFast(const QImage& picture, bool keepAlpha = false);

}  // namespace production
