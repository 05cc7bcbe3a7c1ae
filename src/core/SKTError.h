#pragma once
// Error values of the drawing core's error domain "CardDrawingErrorDomain".
// Codes in use: 2 unreadable graphic pasteboard data, 3 no TIFF picture made.

#include <QString>

inline constexpr const char* SKTErrorDomain = "CardDrawingErrorDomain";

enum : int {
  SKTErrorUnreadablePasteboardData = 2,
  SKTErrorTiffFailed = 3,
};

struct SKTError {
  QString domain;
  int code = 0;
  QString localizedDescription;
  QString localizedFailureReason;
};

SKTError SKTErrorWithCode(int code);
