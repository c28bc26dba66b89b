// Stand-in for the older translator's export: reads "entity0\flat\e-BC23.FLT", writes one
// processing record "entity0\log\<time><n>.idt" with code "107" or an error code, and on an
// error the files "entity0\flat\e_error.<n>".
#include <string>

#include "base/error.h"
#include "base/text.h"
#include "platform/fs.h"
#include "tools/package/standin.h"

int main(int argc, char** argv) {
  using namespace sevrik;
  using namespace sevrik::standin;
  const std::string pkg = PackageFolder();
  RecordCall(pkg, "EXPORT", argc, argv);
  const Control c = ReadControl(pkg);
  if (c.silent) return 0;
  std::string bytes, problem;
  try {
    bytes = ReadFileBytes(pkg + "/entity0/flat/e-BC23.FLT");
    problem = CheckFlatFile(bytes);
  } catch (const Error& e) {
    problem = "flat file tidak dapat dibaca: " + e.description();
  }
  std::string code = c.result.empty() ? (problem.empty() ? "107" : "201") : c.result;
  const std::string reference = code == "107" ? NextReference(pkg) : "";
  const std::string stamp = Today("%Y%m%d%H%M%S");
  const std::string record = pkg + "/entity0/log/" + stamp + reference + ".idt";
  if (c.short_record) {
    WriteText(record, {"IDT|1|e-BC23.flt", "HDR", "RES|" + code, "END"}, false);
  } else if (c.pieces == 4) {
    WriteText(record, {"IDT|1|e-BC23.flt|TPBQUE", "HDR|" + std::to_string(bytes.size()) + "|0|BC23",
                       "RES|" + Today("%Y-%m-%d") + "|-|" + code, "END"},
              false);
  } else {
    WriteText(record,
              {"IDT|1|e-BC23.flt|TPBQUE|" + Today("%Y%m%d") + "|" + Today("%H%M%S"),
               "HDR|" + std::to_string(bytes.size()) + "|0|BC23|-|-",
               "RES|" + std::string(code == "107" ? "QUEUED" : "REJECTED") + "|ANTRIAN|-|TPBQUE|" + Today("%Y-%m-%d"),
               "REF|EDI|" + reference + "|-|-|-", "MSG|CUSDEC|D|96B|UN|-", "END|-|-|" + code},
              false);
  }
  if (code != "107") {
    WriteText(pkg + "/entity0/flat/e_error.001", {"ERROR " + code, problem});
    WriteText(pkg + "/entity0/flat/e_error.log", {problem});
  }
  return 0;
}
