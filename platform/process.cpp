#include "platform/process.h"

namespace sevrik {
namespace {

std::function<void()>& PendingEvents() {
  static std::function<void()> handler;
  return handler;
}

}  // namespace

void SetPendingEventsHandler(std::function<void()> handler) { PendingEvents() = std::move(handler); }

void ShellAndWait(std::string_view command_line) {
  if (PendingEvents()) PendingEvents()();
  RunAndWait(command_line);
}

bool ShellAndWait(std::string_view command_line, const std::string& run,
                  const std::function<void(const ProcessIdentity&)>& started) {
  if (PendingEvents()) PendingEvents()();
  return RunAndWait(command_line, run, started);
}


}  // namespace sevrik
