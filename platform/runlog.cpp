#include "platform/runlog.h"

#include <string>

#include "base/text.h"
#include "platform/fs.h"

namespace sevrik {

void AppendToRunLog(std::string_view log_path, const Error& error) {
  const std::string entry =
      " " + std::to_string(error.number()) + " \r\n" + ToCp1252(error.description()) + "\r\n";
  try {
    AppendFileBytes(log_path, entry);
  } catch (const Error&) {
  }
}

void ResetRunLog(std::string_view log_path) { WriteFileBytes(log_path, {}); }

}  // namespace sevrik
