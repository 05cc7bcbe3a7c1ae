#include "core/SKTError.h"

SKTError SKTErrorWithCode(int code) {
  // The program ships no translated error table, so the fallback texts are used.
  return SKTError{
      QString::fromLatin1(SKTErrorDomain), code,
      QStringLiteral("QUVO Gratulo could not complete the operation because an unknown error occurred."),
      QStringLiteral("An unknown error occurred.")};
}
