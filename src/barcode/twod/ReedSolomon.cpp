#include "barcode/twod/ReedSolomon.h"

namespace barcode::twod {

GaloisField256::GaloisField256(int primitive) {
  int value = 1;
  for (int i = 0; i < 255; ++i) {
    exp_[static_cast<size_t>(i)] = static_cast<uint8_t>(value);
    log_[static_cast<size_t>(value)] = i;
    value <<= 1;
    if (value & 0x100) value ^= primitive;
  }
  exp_[255] = exp_[0];
  log_[0] = -1;
}

uint8_t GaloisField256::multiply(uint8_t a, uint8_t b) const {
  if (a == 0 || b == 0) return 0;
  return exp_[static_cast<size_t>((log_[a] + log_[b]) % 255)];
}

std::vector<uint8_t> GaloisField256::generator(int degree, int firstRoot) const {
  std::vector<uint8_t> poly{1};
  for (int i = 0; i < degree; ++i) {
    const uint8_t root = exp(firstRoot + i);
    std::vector<uint8_t> next(poly.size() + 1, 0);
    for (size_t j = 0; j < poly.size(); ++j) {
      next[j] ^= poly[j];
      next[j + 1] ^= multiply(poly[j], root);
    }
    poly = std::move(next);
  }
  return poly;
}

std::vector<uint8_t> GaloisField256::remainder(const uint8_t* data, size_t length,
                                               const std::vector<uint8_t>& generator) const {
  const size_t n = generator.size() - 1;
  std::vector<uint8_t> rem(n, 0);
  for (size_t i = 0; i < length; ++i) {
    const uint8_t factor = data[i] ^ (n ? rem[0] : 0);
    for (size_t j = 0; j + 1 < n; ++j) rem[j] = rem[j + 1] ^ multiply(generator[j + 1], factor);
    if (n) rem[n - 1] = multiply(generator[n], factor);
  }
  return rem;
}

const GaloisField256& GaloisField256::qrField() {
  static const GaloisField256 field(0x11D);
  return field;
}

const GaloisField256& GaloisField256::dataMatrixField() {
  static const GaloisField256 field(0x12D);
  return field;
}

}  // namespace barcode::twod
