// Whether a window can really be shown: the display that the environment names must answer,
// so that a stale setting counts as no display instead of failing inside the window system.
#pragma once

#include <string>

namespace sevrik {

enum class DisplayKind {
  None,      // nothing reachable
  Platform,  // QT_QPA_PLATFORM names a window platform that needs no display server
  X11,       // the X server of DISPLAY accepts connections
  Wayland,   // the compositor socket of WAYLAND_DISPLAY accepts connections
};

// Looks at QT_QPA_PLATFORM (a list of platforms separated by ";": "offscreen" and the other
// platforms without a server are reachable, "xcb" and "wayland" when their server is), then
// WAYLAND_DISPLAY (the socket under XDG_RUNTIME_DIR, or an absolute path), then DISPLAY (the
// X server's local socket, or its TCP port for "host:n"). Each check is one connection
// attempt, local or bounded by a short time-out.
DisplayKind ReachableDisplay();

// The Qt platform name for a reachable display kind: "" for Platform (the environment's
// choice stands), "xcb", "wayland"; "" for None.
std::string QtPlatformFor(DisplayKind kind);

// True when the standard error stream is a terminal (a person watches it).
bool StandardErrorIsTerminal();

}  // namespace sevrik
