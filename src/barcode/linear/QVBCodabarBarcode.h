#pragma once
// Codabar: the content's characters (start and stop characters A to D included
// by the caller) with a one-module gap between characters.

#include "barcode/linear/QVBBarcode.h"

namespace barcode {

class QVBCodabarBarcode : public QVBBarcode {
 public:
  const char* className() const override { return "QVBCodabarBarcode"; }
  std::string _encodeChar(char c) const override;
  // The characters' patterns separated by one space module.
  std::string barcode() const override;
  // Every character in the table, a start and a stop character (A to D) at the
  // two ends and none between them: readers find a symbol by those two and
  // stop reading at the next one.
  bool isContentValid() const override;
};

}  // namespace barcode
