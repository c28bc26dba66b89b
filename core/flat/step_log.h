// The step log: a step that fails is told and the next step runs, and what failed is
// remembered: the first failure that counts (a BC 2.3 file in which a record failed is never
// handed to the translator), the first failure told, and how many.
// Where a failure is told: the run log; in a check of a document the CheckList instead
// (counting ones as blocking, nothing logged); in a log that raises (a run that ends at its
// first failure) nowhere: it is raised, after the log's cleanup; in a log that reports to an
// outer one (a part of a run whose own failures matter apart) by the outer log.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "base/error.h"
#include "core/flat/flat_check.h"
#include "db/database.h"
#include "platform/runlog.h"

namespace sevrik {

class StepLog {
 public:
  explicit StepLog(std::string log_path, CheckList* check = nullptr)
      : log_path_(std::move(log_path)), check_(check) {}
  // A log whose failures are remembered here and told by `outer`.
  static StepLog Within(StepLog& outer) {
    StepLog log{std::string()};
    log.outer_ = &outer;
    return log;
  }
  // A log that raises each failure, after `before_raise`.
  static StepLog Raising(std::function<void()> before_raise) {
    StepLog log{std::string()};
    log.before_raise_ = std::move(before_raise);
    log.raises_ = true;
    return log;
  }
  // Called with each failure before it is told.
  void OnFailure(std::function<void(const Error&)> observer) { observer_ = std::move(observer); }

  // The tag of the record that the steps to come write, for a check's lines.
  void SetTag(std::string_view tag) { tag_ = tag; }

  // Runs one step; a failure is logged and counts. Returns whether the step succeeded.
  template <typename F>
  bool Step(F&& step) {
    return Run(step, [](const Error&) { return true; });
  }

  // Runs a step whose failure is logged but does not count against the build.
  template <typename F>
  bool Forgiven(F&& step) {
    return Run(step, [](const Error&) { return false; });
  }

  // Tests a condition; a failing test is logged, counts, and carries on into the guarded step.
  template <typename F>
  bool Test(F&& condition) {
    try {
      return condition();
    } catch (const Error& e) {
      Fail(e, true);
      return true;
    }
  }

  // A walk that begins by moving to the first row (an empty recordset logs 3021, which does
  // not count, and writes nothing), then runs the body once per row. A recordset that cannot
  // be read ends the walk: the failed test is logged and the walk writes nothing more.
  // `tag` and `table` name the record written and the rows walked, for a check.
  template <typename F>
  void Walk(Recordset& rs, F&& body, bool move_first = true, std::string_view tag = {}, std::string_view table = {}) {
    if (move_first) {
      if (check_) {
        try {
          rs.MoveFirst();
        } catch (const Error& e) {
          if (e.number() == err::kNoCurrentRecord) check_->AddMissingRows(tag, table, false);
          else Fail(e, true);
        }
      } else {
        Run([&] { rs.MoveFirst(); }, [](const Error& e) { return e.number() != err::kNoCurrentRecord; });
      }
    }
    for (;;) {
      bool at_end = true;
      if (!Step([&] { at_end = rs.Eof(); }) || at_end) return;
      Step(body);
      if (!Step([&] { rs.MoveNext(); })) return;
    }
  }

  // A failure met outside a step: remembered and told as a step's.
  void Fail(const Error& e, bool counts = true) {
    if (observer_) observer_(e);
    if (!first_logged_) first_logged_ = e;
    ++logged_;
    if (counts && !first_failure_) first_failure_ = e;
    if (outer_) {
      outer_->Fail(e, counts);
    } else if (check_) {
      check_->AddFailure(tag_, e, counts);
    } else if (raises_) {
      if (before_raise_) before_raise_();
      throw e;
    } else {
      AppendToRunLog(log_path_, e);
    }
  }

  // The first failure that counted, or none.
  const std::optional<Error>& first_failure() const { return first_failure_; }
  // The first failure logged, counted or not, and how many were logged.
  const std::optional<Error>& first_logged() const { return first_logged_; }
  size_t logged() const { return logged_; }

 private:
  template <typename F, typename Counts>
  bool Run(F&& step, Counts&& counts) {
    try {
      step();
      return true;
    } catch (const Error& e) {
      Fail(e, counts(e));
      return false;
    }
  }

  std::string log_path_;
  CheckList* check_ = nullptr;
  StepLog* outer_ = nullptr;
  bool raises_ = false;
  std::function<void()> before_raise_;
  std::function<void(const Error&)> observer_;
  std::string tag_;
  std::optional<Error> first_failure_;
  std::optional<Error> first_logged_;
  size_t logged_ = 0;
};

}  // namespace sevrik
