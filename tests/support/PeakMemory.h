#pragma once
// The most memory the calling process has held at once, for the helper
// programs whose peak a test compares with a bound.
#include <fstream>
#include <string>

namespace testing_support {

// The process's peak resident memory in KiB; -1 where the system does not say.
inline long peakResidentKB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace testing_support
