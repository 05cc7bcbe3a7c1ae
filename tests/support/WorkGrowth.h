#pragma once
// How the work of a step grows with the size of its input, for guards against
// quadratic work where nothing counts the steps. It measures the processor
// time of the calling thread, which a busy machine does not stretch as it
// stretches the time on the wall, takes the least of a few runs and compares
// two sizes in one run: a linear step grows as the sizes, a quadratic one as
// their square, and a guard allows a wide margin between the two.
#include <time.h>

#include <algorithm>
#include <functional>
#include <limits>

namespace testing_support {

inline double threadProcessorSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// How many times more processor time `work` takes at `large` than at `small`
// (the least of `runs` runs at each size).
inline double workGrowth(const std::function<void(int size)>& work, int small, int large, int runs = 3) {
  const auto least = [&](int size) {
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
      const double start = threadProcessorSeconds();
      work(size);
      best = std::min(best, threadProcessorSeconds() - start);
    }
    return std::max(best, 1e-6);
  };
  return least(large) / least(small);
}

}  // namespace testing_support
