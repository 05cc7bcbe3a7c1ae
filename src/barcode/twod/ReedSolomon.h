#pragma once
// Reed-Solomon coding over GF(256) for the 2D symbologies. A field is an
// immutable value: its tables are built in the constructor and never change,
// so one field may serve any number of threads at once.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace barcode::twod {

using std::size_t;

class GaloisField256 {
 public:
  // primitive: the field polynomial including x^8 (0x11D for QR Code, 0x12D for Data Matrix).
  explicit GaloisField256(int primitive);

  uint8_t exp(int power) const { return exp_[static_cast<size_t>(power % 255)]; }
  int log(uint8_t value) const { return log_[value]; }
  uint8_t multiply(uint8_t a, uint8_t b) const;

  // Generator polynomial (x - a^first)(x - a^(first+1))...(x - a^(first+degree-1)),
  // coefficients highest power first, the leading 1 included.
  std::vector<uint8_t> generator(int degree, int firstRoot) const;

  // Remainder of data(x) * x^n divided by the generator (n = generator size - 1):
  // the n check bytes, highest power first.
  std::vector<uint8_t> remainder(const uint8_t* data, size_t length,
                                 const std::vector<uint8_t>& generator) const;

  // The two fields in use, built once.
  static const GaloisField256& qrField();
  static const GaloisField256& dataMatrixField();

 private:
  std::array<uint8_t, 256> exp_{};
  std::array<int, 256> log_{};
};

}  // namespace barcode::twod
