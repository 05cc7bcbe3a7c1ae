#pragma once
// Data Matrix ECC200 (ISO/IEC 16022): encodation optimiser, codeword encoder,
// Reed-Solomon error correction and module placement. Plain functions without
// shared mutable state; any number of threads may encode at once.

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "barcode/twod/SymbolPicture.h"

namespace barcode::twod {

using std::size_t;

// One ECC200 symbol size.
struct Ecc200Size {
  int H;          // rows
  int W;          // columns
  int FH;         // data region height including its finder and clock lines
  int FW;         // data region width including its finder and clock lines
  int bytes;      // data codewords
  int datablock;  // data codewords per interleaved block
  int rsblock;    // error-correction codewords per block
  int blocks() const { return (bytes + 2) / datablock; }
  int eccBytes() const { return blocks() * rsblock; }
};

// The 30 sizes in ascending order of capacity (square first on equal capacity).
const std::array<Ecc200Size, 30>& ecc200matrix();

// Encodation letters in table order.
inline constexpr char encchr[] = "ACTXEB";

// The optimiser: one encodation letter per byte. Empty for length 0, nullopt
// for 3117 bytes or more. cost receives the codewords of the best choice.
std::optional<std::string> encmake(const uint8_t* data, int length, int* cost, bool exact);

// Encodes data with the encoding string into capacity data codewords (pads
// included). used receives the codewords written before padding. Failures
// write their line to err and answer false.
bool ecc200encode(std::vector<uint8_t>& codewords, int capacity, const uint8_t* data, int length,
                  const std::string& encoding, int* used, std::ostream& err);

// Appends the interleaved error-correction codewords to the data codewords.
void ecc200(std::vector<uint8_t>& codewords, const Ecc200Size& size);

// The symbol character placement: nrow x ncol entries, codeword * 8 + bit, or 1 for a fixed dark module.
std::vector<int> ecc200placement(int nrow, int ncol);

struct DataMatrixSymbol {
  int width = 0;                   // columns
  int height = 0;                  // rows
  std::vector<uint8_t> grid;       // width x height, bottom row first, 1 = dark
  std::string encoding;            // the encoding string used
  int used = 0;                    // data codewords before padding
  int capacity = 0;                // data codewords of the size
  int ecc = 0;                     // error-correction codewords
  std::vector<uint8_t> codewords;  // data and error-correction codewords

  bool dark(int x, int yFromBottom) const { return grid[static_cast<size_t>(yFromBottom) * width + x] != 0; }
  ModuleGrid toModuleGrid() const;  // top row first
};

// The entry: width/height 0 means choose the size; encoding nullptr means
// automatic (at a given size both of the optimiser's plans are tried before the
// data is refused). Failures write one line to err and answer nullopt.
std::optional<DataMatrixSymbol> datamatrix_ecc200(int width, int height, const std::string* encoding,
                                                  const uint8_t* data, int length, std::ostream& err);

}  // namespace barcode::twod
