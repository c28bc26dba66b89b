#include "core/flat/flat_check.h"

#include <algorithm>

#include "base/text.h"

namespace sevrik {
namespace {

// A value as a line shows it: its text, cut short after 30 characters.
std::string Shown(const Variant& value, const LocaleInfo& locale) {
  std::string text;
  try {
    text = ToText(value, locale);
  } catch (const Error&) {
    return "?";
  }
  const std::string bytes = ToCp1252(text);
  return bytes.size() > 30 ? FromCp1252(bytes.substr(0, 30)) + "..." : text;
}

// What the value is, then what the layout allows, for a field that failed with `number`.
std::string Finding(int number, const std::string& description, const Variant& v, const Allowed& a,
                    const LocaleInfo& locale) {
  const std::string width = std::to_string(a.width);
  const bool code = a.kind == Allowed::Kind::Code;
  switch (number) {
    case err::kInvalidArgument:
      if (a.kind == Allowed::Kind::Text)
        return std::to_string(ToCp1252(ToText(v, locale)).size()) + " karakter, paling banyak " + width + " (\"" +
               Shown(v, locale) + "\")";
      break;
    case err::kInvalidUseOfNull:
      if (code) return "kosong (null), harus diisi dengan kode angka";
      return "kosong (null), harus diisi" + (a.width > 0 ? ", paling banyak " + width + " karakter" : std::string());
    case err::kTypeMismatch:
      return "\"" + Shown(v, locale) + "\" bukan angka, harus " + (code ? "kode angka" : "angka");
    case err::kOverflow:
      if (code) return Shown(v, locale) + " terlalu besar, paling besar 32767";
      return Shown(v, locale) + " terlalu besar, paling banyak " + width + " digit" +
             (a.decimals > 0 ? " di depan koma" : "");
    default:
      break;
  }
  return description;
}

std::string Head(std::string_view tag, std::string_view table, std::string_view column, const std::string& place) {
  std::string line(tag);
  if (!table.empty()) {
    line += (line.empty() ? "" : " ") + std::string(table);
    if (!column.empty()) line += "." + std::string(column);
  }
  if (!place.empty()) line += ", " + place;
  return line + ":";
}

}  // namespace

void CheckList::Push(std::string line, bool blocking) {
  if (seen_.insert(line).second) problems_.push_back({std::move(line), blocking});
}

void CheckList::Add(std::string_view tag, const Field& field, const Error& e, const Allowed& allowed,
                    const LocaleInfo& locale) {
  const std::string what = Finding(e.number(), e.description(), field.value(), allowed, locale);
  Push(Head(tag, field.table(), field.column(), place_) + " " + what, true);
}

void CheckList::AddMissingRows(std::string_view tag, std::string_view table, bool blocking) {
  Push(Head(tag, table, {}, place_) + (blocking ? " tidak ada baris, paling sedikit satu" : " tidak ada baris"),
       blocking);
}

void CheckList::AddFailure(std::string_view tag, const Error& e, bool blocking) {
  Push(Head(tag, {}, {}, place_) + " " + e.description(), blocking);
}

bool CheckList::blocking() const {
  return std::any_of(problems_.begin(), problems_.end(), [](const CheckProblem& p) { return p.blocking; });
}

std::vector<std::string> CheckReportLines(std::string_view type, std::string_view car, const CheckList& check) {
  std::vector<std::string> lines{"Pemeriksaan dokumen " + std::string(type) + " CAR = " + std::string(car)};
  for (const bool blocking : {true, false}) {
    size_t count = 0;
    for (const CheckProblem& p : check.problems()) count += p.blocking == blocking;
    if (count == 0) continue;
    lines.push_back((blocking ? "Menghalangi pengiriman (" : "Hanya dicatat di log (") + std::to_string(count) + "):");
    for (const CheckProblem& p : check.problems())
      if (p.blocking == blocking) lines.push_back(p.line);
  }
  if (check.problems().empty()) lines.push_back("Tidak ada masalah.");
  lines.push_back(check.blocking() ? "Dokumen tidak dapat dikirim." : "Dokumen dapat dikirim.");
  return lines;
}

std::string BlockingSummary(const CheckList& check, size_t shown) {
  std::string text;
  size_t count = 0;
  for (const CheckProblem& p : check.problems()) {
    if (!p.blocking) continue;
    if (count++ < shown) text += (text.empty() ? "" : "\r\n") + p.line;
  }
  if (count > shown) text += "\r\ndan " + std::to_string(count - shown) + " lainnya";
  return text;
}

}  // namespace sevrik
