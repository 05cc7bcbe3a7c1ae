#pragma once
// How long a test waits for anything (a run of workers, another program, an
// event) before it gives up: a guard against a hang, never a measure of
// speed. It is a hundred times the longest such wait on an idle machine, so a
// busy machine never meets it; what must be quick is counted, or measured in
// bench/.

namespace testing_support {

inline constexpr int kHangGuardMs = 300000;

}  // namespace testing_support
