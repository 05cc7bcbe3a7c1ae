#pragma once
// Counts what the property-list reader asks of the library. The library's
// entry points are interposed in every test program that uses these counters
// (the program's own definitions come before the shared library's); each
// counts, then hands over to the library. A fetch by index counts the items
// the library walks to reach it, so a reader that fetches item after item by
// index shows quadratic work.

#include <QtGlobal>

namespace testing_support {

struct PlistLibraryWork {
  qint64 itemWork = 0;  // items the library walked for array fetches
  qint64 parses = 0;    // inputs handed to the library's parsers
  PlistLibraryWork operator-(const PlistLibraryWork& before) const {
    return {itemWork - before.itemWork, parses - before.parses};
  }
};

// The work counted so far in this program.
PlistLibraryWork plistLibraryWork();

}  // namespace testing_support
