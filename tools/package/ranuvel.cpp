// Stand-in for the EDI translator: the queueing, cancellation and communication profiles.
//   ranuvel <profile file or word> <arguments...>
// TPBQUE <flat file> [partner] [title] [code]: checks the flat file; writes
//        "ipdata\TPBQUE.STA" ("0", "SUCCESS") and "ipdata\TPBQUE.LOG" (six lines with a fresh
//        submission reference) and queues a copy under "queue\"; a bad file gives code 201.
// TPBUNQ <partner> <type> <reference>: cancels a queued reference of that document type:
//        "ipdata\TPBUNQ.STA" "0"; an unknown reference gives code 301, another type 302.
// TPBCOM [line]: moves queued documents to "outbox\" and appends a dated line to
//        "ipdata\TPBCOM.LOG".
#include <filesystem>
#include <string>

#include "base/error.h"
#include "base/text.h"
#include "platform/fs.h"
#include "tools/package/standin.h"

namespace {
using namespace sevrik;
using namespace sevrik::standin;
namespace fs = std::filesystem;

std::string Profile(const std::string& arg) {
  std::string name = arg.substr(arg.find_last_of("\\/") == std::string::npos ? 0 : arg.find_last_of("\\/") + 1);
  if (const size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
  return AsciiUpper(name);
}

void Queue(const std::string& pkg, const Control& c, const std::vector<std::string>& args) {
  std::string bytes, problem;
  try {
    bytes = args.size() > 1 ? ReadFileBytes(args[1]) : std::string();
    problem = args.size() > 1 ? CheckFlatFile(bytes) : "flat file tidak disebut";
  } catch (const Error& e) {
    problem = "flat file tidak dapat dibaca: " + e.description();
  }
  std::string code = c.result;
  if (code.empty() && !problem.empty()) code = "201";
  if (!code.empty()) {
    WriteText(pkg + "/ipdata/TPBQUE.STA", {code, problem.empty() ? "DITOLAK OLEH TRANSLATOR" : "FLAT FILE TIDAK VALID: " + problem});
    return;
  }
  if (!c.log.empty()) {
    WriteText(pkg + "/ipdata/TPBQUE.STA", {"0", "SUCCESS"});
    if (c.log == "empty") WriteFileBytes(pkg + "/ipdata/TPBQUE.LOG", "");
    if (c.log == "noref")
      WriteText(pkg + "/ipdata/TPBQUE.LOG", {DocumentCode(bytes), "", "ANTRIAN", "-", Today("%d%b%y"), "TPBQUE"});
    return;
  }
  const std::string reference = NextReference(pkg);
  fs::create_directories(pkg + "/queue");
  WriteFileBytes(pkg + "/queue/" + reference + ".flt", bytes);
  std::string document = DocumentCode(bytes);
  WriteText(pkg + "/ipdata/TPBQUE.STA", {"0", "SUCCESS"});
  WriteText(pkg + "/ipdata/TPBQUE.LOG",
            {document, reference, "ANTRIAN", "Dokumen masuk antrian kirim", Today("%d%b%y"), "TPBQUE"});
}

void Unqueue(const std::string& pkg, const Control& c, const std::vector<std::string>& args) {
  // The reference comes last, the type before it; a partner name with blanks arrives as
  // several arguments.
  const std::string reference = args.size() > 3 ? args.back() : "";
  const std::string type = args.size() > 3 ? args[args.size() - 2] : "";
  const std::string queued = pkg + "/queue/" + reference + ".flt";
  std::string code = c.result, text;
  if (code.empty() && (reference.empty() || !fs::exists(queued))) {
    code = "301";
    text = "REFERENSI TIDAK DITEMUKAN DALAM ANTRIAN";
  } else if (code.empty() && DocumentCode(ReadFileBytes(queued)) != type) {
    code = "302";
    text = "JENIS DOKUMEN TIDAK SESUAI DENGAN ANTRIAN";
  }
  if (!code.empty()) {
    WriteText(pkg + "/ipdata/TPBUNQ.STA", {code, text.empty() ? "DITOLAK OLEH TRANSLATOR" : text});
    return;
  }
  fs::remove(queued);
  WriteText(pkg + "/ipdata/TPBUNQ.STA", {"0", "SUCCESS"});
}

void Communicate(const std::string& pkg, const std::vector<std::string>& args) {
  fs::create_directories(pkg + "/outbox");
  int moved = 0;
  if (fs::exists(pkg + "/queue"))
    for (const auto& entry : fs::directory_iterator(pkg + "/queue")) {
      fs::rename(entry.path(), fs::path(pkg) / "outbox" / entry.path().filename());
      ++moved;
    }
  AppendFileBytes(pkg + "/ipdata/TPBCOM.LOG", Today("%Y-%m-%d %H:%M:%S") + "  " + std::to_string(moved) +
                                                  " dokumen dikirim melalui " + (args.size() > 1 ? args[1] : "-") + "\r\n");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string pkg = PackageFolder();
  RecordCall(pkg, "ranuvel", argc, argv);
  const Control c = ReadControl(pkg);
  if (c.silent || argc < 2) return 0;
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    const std::string profile = Profile(args[0]);
    if (profile == "TPBQUE") Queue(pkg, c, args);
    else if (profile == "TPBUNQ") Unqueue(pkg, c, args);
    else if (profile == "TPBCOM") Communicate(pkg, args);
  } catch (const std::exception& e) {
    AppendFileBytes(pkg + "/calls.log", std::string("ranuvel failed: ") + e.what() + "\n");
    return 1;
  }
  return 0;
}
