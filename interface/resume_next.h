// The resume-next rule of the BC 2.3 queueing: a step that fails is appended to the run log
// and the next step runs.
#pragma once

#include <string>
#include <utility>

#include "db/database.h"
#include "platform/error.h"
#include "platform/runlog.h"

namespace sevrik {

class ResumeNext {
 public:
  explicit ResumeNext(std::string log_path) : log_path_(std::move(log_path)) {}

  // Runs one step; a failure is logged. Returns whether the step succeeded.
  template <typename F>
  bool Step(F&& step) {
    try {
      step();
      return true;
    } catch (const Error& e) {
      Log(e);
      return false;
    }
  }

  // Tests a condition; a failing test is logged and carries on into the guarded step.
  template <typename F>
  bool Test(F&& condition) {
    try {
      return condition();
    } catch (const Error& e) {
      Log(e);
      return true;
    }
  }

  // A walk that begins by moving to the first row (an empty recordset logs 3021 and writes
  // nothing), then runs the body once per row. A recordset that cannot be read ends the walk:
  // the failed test is logged and the walk writes nothing more.
  template <typename F>
  void Walk(Recordset& rs, F&& body, bool move_first = true) {
    if (move_first) Step([&] { rs.MoveFirst(); });
    for (;;) {
      bool at_end = true;
      if (!Step([&] { at_end = rs.Eof(); }) || at_end) return;
      Step(body);
      if (!Step([&] { rs.MoveNext(); })) return;
    }
  }

  void Log(const Error& e) const { AppendToRunLog(log_path_, e); }

 private:
  std::string log_path_;
};

}  // namespace sevrik
