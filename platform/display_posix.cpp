#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/text.h"
#include "platform/display.h"

namespace sevrik {
namespace {

constexpr int kTcpWaitMs = 500;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// One connection attempt to a local socket; `abstract` names Linux's abstract namespace.
bool UnixSocketAnswers(const std::string& path, bool abstract) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const size_t offset = abstract ? 1 : 0;
  if (path.empty() || path.size() + offset >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path + offset, path.data(), path.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), length) == 0;
  ::close(fd);
  return ok;
}

bool TcpAnswers(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool ok = false;
  for (addrinfo* a = found; a && !ok; a = a->ai_next) {
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
    if (fd < 0) continue;
    if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
      ok = true;
    } else if (errno == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      int error = 0;
      socklen_t size = sizeof error;
      ok = ::poll(&p, 1, kTcpWaitMs) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    ::close(fd);
  }
  ::freeaddrinfo(found);
  return ok;
}

// DISPLAY: "[host]:n[.screen]", or a socket path.
bool X11Answers() {
  const std::string display = Env("DISPLAY");
  if (display.empty()) return false;
  if (display[0] == '/') {
    if (UnixSocketAnswers(display, false)) return true;
    const size_t colon = display.rfind(':');
    return colon != std::string::npos && UnixSocketAnswers(display.substr(0, colon), false);
  }
  const size_t colon = display.rfind(':');
  if (colon == std::string::npos) return false;
  std::string host = display.substr(0, colon);
  const std::string number_text = display.substr(colon + 1, display.find('.', colon) - colon - 1);
  if (number_text.empty() || number_text.find_first_not_of("0123456789") != std::string::npos ||
      number_text.size() > 5)
    return false;
  const int number = std::stoi(number_text);
  if (host.rfind("unix", 0) == 0) host.clear();
  if (host.empty()) {
    const std::string socket = "/tmp/.X11-unix/X" + number_text;
    return UnixSocketAnswers(socket, true) || UnixSocketAnswers(socket, false);
  }
  return number <= 59535 && TcpAnswers(host, 6000 + number);
}

bool WaylandAnswers() {
  const std::string name = Env("WAYLAND_DISPLAY");
  if (name.empty()) return false;
  if (name[0] == '/') return UnixSocketAnswers(name, false);
  const std::string runtime = Env("XDG_RUNTIME_DIR");
  return !runtime.empty() && UnixSocketAnswers(runtime + "/" + name, false);
}

}  // namespace

DisplayKind ReachableDisplay() {
  const std::string platforms = Env("QT_QPA_PLATFORM");
  if (!platforms.empty()) {
    for (const std::string& entry : Split(platforms, ";")) {
      const std::string name = AsciiLower(Trim(entry.substr(0, entry.find(':'))));
      if (name.empty()) continue;
      if (name == "xcb") {
        if (X11Answers()) return DisplayKind::Platform;
      } else if (name.rfind("wayland", 0) == 0) {
        if (WaylandAnswers()) return DisplayKind::Platform;
      } else {
        return DisplayKind::Platform;  // offscreen, minimal, vnc, linuxfb, eglfs: no server to ask
      }
    }
    return DisplayKind::None;
  }
  if (WaylandAnswers()) return DisplayKind::Wayland;
  if (X11Answers()) return DisplayKind::X11;
  return DisplayKind::None;
}

std::string QtPlatformFor(DisplayKind kind) {
  switch (kind) {
    case DisplayKind::X11: return "xcb";
    case DisplayKind::Wayland: return "wayland";
    default: return "";
  }
}

bool StandardErrorIsTerminal() { return ::isatty(2) == 1; }

}  // namespace sevrik
