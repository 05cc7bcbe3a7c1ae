#pragma once
// Decoding helpers for the 2D tests: zxing-cpp reads our pictures back.

#include <ZXing/BarcodeFormat.h>

#include <QImage>
#include <optional>
#include <string>
#include <vector>

#include "barcode/twod/SymbolPicture.h"

namespace twodtest {

// Luminance copy of an image (transparent pixels count as white) with a white border of pad pixels.
std::vector<uint8_t> luminance(const QImage& image, int pad, int* width, int* height);

// Raw content bytes of the one symbol in the image, or nullopt when zxing reads none.
std::optional<std::string> decode(const QImage& image, ZXing::BarcodeFormat format, int pad = 8);

// A grid drawn at px pixels per module with a quiet zone of quiet modules.
QImage gridImage(const barcode::twod::ModuleGrid& grid, int px, int quiet);

}  // namespace twodtest
