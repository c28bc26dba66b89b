#include "core/forms/log_viewer.h"

#include "base/text.h"
#include "platform/fs.h"

namespace sevrik {

std::string DecodeLogText(std::string_view bytes, std::string_view line_end) {
  return ReplaceAll(FromCp1252(bytes), "\r\n", line_end);
}

LogViewer::LogViewer(const Session& session) : s_(session) {}

std::string LogViewer::Folder() const { return s_.package_folder + "\\ipdata"; }

LogListing LogViewer::List() const {
  LogListing listing;
  const std::string folder = Folder();
  try {
    if (!DirectoryExists(folder)) throw Error(err::kPathNotFound, StandardDescription(err::kPathNotFound) + ": " + folder);
    listing.names = ListFiles(folder + "\\*.log");
  } catch (const Error& e) {
    listing.error = e;
  }
  return listing;
}

std::optional<std::string> LogViewer::Read(const std::string& name, std::string_view line_end) const {
  try {
    return DecodeLogText(ReadFileBytes(Folder() + "\\" + name), line_end);
  } catch (const Error& e) {
    Report(e);
    return std::nullopt;
  }
}

void LogViewer::Report(const Error& error) const {
  s_.dialogs.ShowMessage(RunTimeErrorText(error), MsgButtons::Ok, MsgIcon::Exclamation, "Perhatian");
}

}  // namespace sevrik
