#include <io.h>

#include "platform/display.h"

namespace sevrik {

// Windows always has its desktop: message boxes are windows unless the console is asked for.
DisplayKind ReachableDisplay() { return DisplayKind::Platform; }

std::string QtPlatformFor(DisplayKind) { return {}; }

bool StandardErrorIsTerminal() { return ::_isatty(2) != 0; }

}  // namespace sevrik
