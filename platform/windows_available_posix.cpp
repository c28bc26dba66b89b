#include <cstdlib>
#include <string>

#include "platform/dialogs.h"

namespace sevrik {

bool WindowsAvailable() {
  const char* mode = std::getenv("SEVRIK_DIALOGS");
  if (mode && std::string(mode) == "console") return false;
  for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* v = std::getenv(var);
    if (v && *v) return true;
  }
  return false;
}

}  // namespace sevrik
