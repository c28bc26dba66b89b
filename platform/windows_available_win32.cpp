#include <cstdlib>
#include <string>

#include "platform/dialogs.h"

namespace sevrik {

// The Windows desktop is always there; the console only when asked for (tests, scripts).
bool WindowsAvailable() {
  const char* mode = std::getenv("SEVRIK_DIALOGS");
  return !(mode && std::string(mode) == "console");
}

}  // namespace sevrik
