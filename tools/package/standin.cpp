#include "tools/package/standin.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "base/error.h"
#include "base/text.h"
#include "platform/fs.h"

namespace sevrik::standin {

std::string PackageFolder() {
  // The callers make the package folder current; a translator found elsewhere (on PATH) works
  // in it all the same.
  const std::string cwd = CurrentDirectory();
  return DirectoryExists(cwd + "/ipdata") ? cwd : ProgramFolder();
}

Control ReadControl(const std::string& package) {
  Control c;
  std::string text;
  try {
    text = ReadFileBytes(package + "/standin.ctl");
  } catch (const Error&) {
    return c;
  }
  for (std::string line : Split(ReplaceAll(text, "\r", ""), "\n")) {
    const size_t eq = line.find('=');
    const std::string key(Trim(line.substr(0, eq)));
    const std::string value = eq == std::string::npos ? "" : line.substr(eq + 1);  // kept as written
    if (key == "result") c.result = value;
    else if (key == "silent") c.silent = true;
    else if (key == "short") c.short_record = true;
    else if (key == "log") c.log = value;
    else if (key == "sleep") c.sleep_ms = std::atoi(value.c_str());
    else if (key == "pieces") c.pieces = std::atoi(value.c_str());
  }
  if (c.sleep_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(c.sleep_ms));
  return c;
}

void RecordCall(const std::string& package, const std::string& program, int argc, char** argv) {
  std::string line = program + " [" + CurrentDirectory() + "]";
  for (int i = 1; i < argc; ++i) line += std::string(" <") + argv[i] + ">";
  AppendFileBytes(package + "/calls.log", line + "\n");
}

std::string CheckFlatFile(const std::string& bytes) {
  if (bytes.empty()) return "flat file kosong";
  if (bytes.size() < 2 || bytes.substr(bytes.size() - 2) != "\r\n") return "baris terakhir tanpa CR LF";
  static constexpr std::string_view kTags[] = {
      "ENV00101", "HDEC0101", "HDEC0201", "HDEC0301", "HDEC0401", "HDEC0501", "HDEC0601", "HDEC0701",
      "HDEC0801", "HDEC0901", "HDEC1001", "HDEC1101", "HDEC1201", "HDEC1301", "HDEC1401", "UNS00101",
      "DDEC0101", "DDEC0201", "DDEC0301", "DDEC0401", "DDEC0501", "DDEC0701", "UNS00201", "SDEC0101",
      "SDEC0201", "UNT00101", "UNZ00101"};
  // The lines are looked at in place: a large document's file is megabytes.
  const std::string_view text = std::string_view(bytes).substr(0, bytes.size() - 2);
  if (!text.starts_with("ENV00101")) return "baris pertama bukan ENV00101";
  std::string_view before_last, last;
  size_t count = 0, unknown = 0;
  for (size_t at = 0; at <= text.size();) {
    size_t end = text.find("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    before_last = last;
    last = text.substr(at, end - at);
    ++count;
    bool known = false;
    for (std::string_view tag : kTags) known = known || last.starts_with(tag);
    if (!known && unknown == 0) unknown = count;
    at = end + 2;
  }
  if (count < 3 || before_last != "UNT00101" || last != "UNZ00101") return "tidak diakhiri UNT00101 dan UNZ00101";
  if (unknown > 0) return "tag tidak dikenal pada baris " + std::to_string(unknown);
  return {};
}

std::string DocumentCode(const std::string& bytes) {
  if (bytes.size() < 58 || bytes.rfind("ENV00101", 0) != 0) return {};
  return std::string(Trim(bytes.substr(48, 10)));
}

std::string NextReference(const std::string& package) {
  long seq = 0;
  try {
    seq = std::atol(ReadFileBytes(package + "/standin.seq").c_str());
  } catch (const Error&) {
  }
  ++seq;
  WriteFileBytes(package + "/standin.seq", std::to_string(seq));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%06ld", seq);
  return "Q" + Today("%Y%m%d") + buf;
}

std::string Today(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[64];
  std::strftime(buf, sizeof buf, format, &tm);
  return buf;
}

void WriteText(const std::string& path, const std::vector<std::string>& lines, bool final_line_end) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += lines[i] + (i + 1 < lines.size() || final_line_end ? "\r\n" : "");
  WriteFileBytes(path, text);
}

}  // namespace sevrik::standin
