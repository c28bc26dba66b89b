#include "core/runs/results.h"

#include "base/error.h"
#include "base/text.h"
#include "core/flat/fields.h"
#include "core/runs/pending.h"
#include "platform/fs.h"

namespace sevrik {
namespace {

const std::string& FieldAt(const std::vector<std::string>& fields, size_t index) {
  if (index >= fields.size()) throw Error(err::kSubscriptOutOfRange);
  return fields[index];
}

size_t CountLineBreaks(std::string_view text) {
  size_t n = 0;
  for (size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string_view::npos; pos += 2) ++n;
  return n;
}

// Lines of a text file as a line reader gives them: a final line end opens no further line.
std::vector<std::string> TextLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::string LinesText(std::initializer_list<std::string> lines) {
  std::string out;
  for (const std::string& l : lines) out += ToCp1252(l) + "\r\n";
  return out;
}

}  // namespace

std::optional<ProcessingRecord> ParseProcessingRecord(std::string_view text) {
  const size_t breaks = CountLineBreaks(text);
  if (breaks != 3 && breaks != 5) return std::nullopt;  // counted before anything is cut: a huge file costs one pass
  const std::vector<std::string> fields = Split(ReplaceAll(text, "\r\n", "|"), "|");
  ProcessingRecord record;
  record.name = FieldAt(fields, 2);
  if (breaks == 3) {
    record.code = FieldAt(fields, 11);
  } else {
    record.full = true;
    record.code = FieldAt(fields, 33);
    record.reference = FieldAt(fields, 20);
    record.line3 = FieldAt(fields, 14);
    record.date = FieldAt(fields, 17);
    record.line6 = FieldAt(fields, 16);
  }
  return record;
}

std::string StatusTextIn(std::string_view table, std::string_view code) {
  std::string found;
  for (const std::string& line : TextLines(table)) {
    const std::vector<std::string> fields = Split(line, "|");
    if (Trim(fields[0]) == code) found = FieldAt(fields, 3);
  }
  return found;
}

std::string StatusFileLine(std::string_view bytes) {
  if (bytes.empty()) throw Error(err::kInputPastEnd);
  return FromCp1252(bytes.substr(0, bytes.find_first_of("\r\n")));
}

std::string LookupStatusText(const Session& session, const std::string& code) {
  return StatusTextIn(FromCp1252(ReadFileBytes(session.package_folder + "\\entity0\\log\\status.txt")), code);
}

std::string DescribeError(const Error& error) {
  return "kesalahan " + std::to_string(error.number()) + " (" + error.description() + ")";
}

void WriteFailureStatus(const Session& session, const std::string& base_name, const std::string& code,
                        const std::string& text) {
  const auto one_line = [](const std::string& t) { return ReplaceAll(ReplaceAll(t, "\r", " "), "\n", " "); };
  std::string first = one_line(code);
  if (first == "0") first = kStatusZeroCode;
  const std::string& f = session.package_folder;
  ReplaceFileBytes(f + "\\ipdata\\" + base_name + ".STA", LinesText({first, one_line(text)}));
  const std::string stale = f + "\\ipdata\\" + base_name + ".log";
  if (FileExists(stale)) RemoveFile(stale);
}

namespace {

void Collect(const Session& session, const std::string& base_name) {
  const std::string& f = session.package_folder;
  std::string name, code, reference, line3, date, line6;
  for (const std::string& file : ListFiles(f + "\\entity0\\log\\*.idt")) {
    const std::optional<ProcessingRecord> record =
        ParseProcessingRecord(FromCp1252(ReadFileBytes(f + "\\entity0\\log\\" + file)));
    if (!record) continue;
    // A four-line record leaves the other fields as an earlier record set them.
    name = record->name;
    code = record->code;
    if (record->full) {
      reference = record->reference;
      line3 = record->line3;
      date = record->date;
      line6 = record->line6;
    }
  }
  if (code == "107") {
    const std::string document = AsciiUpper(ReplaceAll(ReplaceAll(name, "e-", ""), ".flt", ""));
    const std::string log = LinesText({document, reference, line3, LookupStatusText(session, code),
                                       ConvertTranslatorDate(Variant(date), session.locale), line6});
    ReplaceFileBytes(f + "\\ipdata\\" + base_name + ".LOG", log);
    ReplaceFileBytes(f + "\\ipdata\\" + base_name + ".STA", LinesText({"0", "SUCCESS"}));
  } else if (code == "0") {
    WriteFailureStatus(session, base_name, kStatusZeroCode,
                       "Kode hasil translator 0 bukan kode berhasil: " + LookupStatusText(session, code));
  } else {
    WriteFailureStatus(session, base_name, code, LookupStatusText(session, code));
  }
}

}  // namespace

void CollectTranslatorResult(const Session& session, const std::string& base_name) {
  try {
    Collect(session, base_name);
  } catch (const Error& e) {
    try {
      WriteFailureStatus(session, base_name, kStatusNoResult, "Hasil translator tidak dapat dibaca: " + DescribeError(e));
    } catch (const Error&) {
      // The status cannot be written either; the error below tells why the run failed.
    }
    throw;
  }
}

std::string ReadStatusFile(const Session& session, const std::string& name) {
  return ReadStatusLines(session, name).first;
}

StatusLines ReadStatusLines(const Session& session, const std::string& name) {
  const std::string bytes = ReadFileBytes(session.package_folder + "\\ipdata\\" + name);
  const std::vector<std::string> lines = Split(FromCp1252(bytes), "\r\n");
  return {StatusFileLine(bytes), lines.size() > 1 ? lines[1] : std::string()};
}

std::string QueueLogReference(const Session& session) {
  const std::string path = session.package_folder + "\\ipdata\\TPBQUE.LOG";
  if (!FileExists(path)) return {};
  const std::vector<std::string> pieces = Split(FromCp1252(ReadFileBytes(path)), "\r\n");
  return FieldAt(pieces, 1);
}

AppliedQueueLog ApplyQueueLog(const Session& session, const std::string& header_table, const std::string& car) {
  AppliedQueueLog applied{QueueLogReference(session), {}};
  if (!applied.reference.empty()) applied.stored = StoreDocumentStatus(session, {header_table, car, applied.reference, "02"});
  return applied;
}

}  // namespace sevrik
