#include "interface/mdlINI.h"

#include "interface/session.h"
#include "platform/fs.h"
#include "platform/ini.h"
#include "platform/process.h"

namespace sevrik {
namespace {

std::function<void()>& PendingEvents() {
  static std::function<void()> handler;
  return handler;
}

}  // namespace

std::string ReadIniString(std::string_view file_name, std::string_view section, std::string_view key,
                          std::string_view default_value) {
  return ReadProfileString(section, key, default_value, 255, file_name);
}

void SetPendingEventsHandler(std::function<void()> handler) { PendingEvents() = std::move(handler); }

void ShellAndWait(std::string_view command_line) {
  if (PendingEvents()) PendingEvents()();
  RunAndWait(command_line);
}

void EnterPackageFolder(const Session& session) { EnterFolder(session.package_folder); }

void EnterProgramFolder(const Session& session) { EnterFolder(session.program_folder); }

}  // namespace sevrik
