// The check of a document before it is sent: the builders run over the document without a
// file and note every field and walk that would fail, instead of stopping at the first.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "base/error.h"
#include "core/flat/flat_record.h"
#include "platform/locale.h"

namespace sevrik {

// One problem, as the line that tells it: the record's tag, the field as table.column, the
// item it belongs to, the value as found and what the layout allows. A blocking problem keeps
// the document from being queued (the build would fail); the others are only logged.
struct CheckProblem {
  std::string line;
  bool blocking = true;
};

// The problems a check found, in the order the build met them, each line once.
class CheckList {
 public:
  // Where the fields that follow belong: "barang ke-2", "bahan baku ke-1"; empty for the
  // document's own records.
  void SetPlace(std::string place) { place_ = std::move(place); }

  // A field of the record `tag` that failed with `e`; blocking.
  void Add(std::string_view tag, const Field& field, const Error& e, const Allowed& allowed, const LocaleInfo& locale);
  // A walk over `table` that found no row: blocking where the build needs one.
  void AddMissingRows(std::string_view tag, std::string_view table, bool blocking);
  // Any other failure of a step (a table that cannot be read, a key that makes no statement).
  void AddFailure(std::string_view tag, const Error& e, bool blocking);

  const std::vector<CheckProblem>& problems() const { return problems_; }
  bool blocking() const;

 private:
  void Push(std::string line, bool blocking);

  std::string place_;
  std::vector<CheckProblem> problems_;
  std::unordered_set<std::string> seen_;
};

// The check's report, one line each, without line ends: a heading that names the document,
// then the blocking problems, then those only logged, then the verdict.
std::vector<std::string> CheckReportLines(std::string_view type, std::string_view car, const CheckList& check);

// The failure box's part for the blocking problems: the first ten lines, then
// "dan N lainnya" for the rest; lines joined by CR LF.
std::string BlockingSummary(const CheckList& check, size_t shown = 10);

}  // namespace sevrik
