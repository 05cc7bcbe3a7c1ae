#pragma once
// A PDF printed to a file is written under a hidden temporary name beside
// the chosen one and takes that name only once it is complete: a full disk,
// a stopped job or a closed program never leaves a half-written PDF under
// the chosen name, and a file already there stays as it was until then.

#include <QString>

namespace production {

class PrintFileTarget {
 public:
  explicit PrintFileTarget(const QString& finalPath);
  ~PrintFileTarget();
  PrintFileTarget(const PrintFileTarget&) = delete;
  PrintFileTarget& operator=(const PrintFileTarget&) = delete;

  // Where the printer writes; empty when no file could be made beside the
  // chosen one (the reason is in why()).
  const QString& workingPath() const { return working_; }
  const QString& why() const { return why_; }

  // True when the written PDF is whole (its cross-reference table is where
  // its trailer says) and has taken the chosen name; otherwise false with
  // the reason in why(), and the temporary file is removed.
  bool commit();

 private:
  QString final_;
  QString working_;
  QString why_;
};

// True when the bytes end in a trailer whose "startxref" offset points at
// the cross-reference table: a PDF cut short or missing a piece fails.
bool isCompletePdf(const QString& path);

}  // namespace production
