// Whether a display answers, with real sockets: listening, stale, missing.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>

#include "platform/display.h"
#include "tests/testutil.h"

namespace sevrik {
namespace {

// Sets the display variables for one test and puts them back afterwards.
class DisplayEnv : public ::testing::Test {
 protected:
  static constexpr const char* kNames[] = {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "QT_QPA_PLATFORM"};
  void SetUp() override {
    for (const char* n : kNames) {
      if (const char* v = std::getenv(n)) saved[n] = v;
      ::unsetenv(n);
    }
  }
  void TearDown() override {
    for (const char* n : kNames) ::unsetenv(n);
    for (const auto& [n, v] : saved) ::setenv(n.c_str(), v.c_str(), 1);
    for (int fd : fds) ::close(fd);
  }
  // A socket at `path`, listening, or bound and closed again (what a dead server leaves).
  void UnixSocket(const std::string& path, bool listening) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0) << path;
    if (listening) {
      ASSERT_EQ(::listen(fd, 4), 0);
      fds.push_back(fd);
    } else {
      ::close(fd);
    }
  }
  // A TCP port listening on 127.0.0.1 above 6000, for "127.0.0.1:n".
  std::optional<int> TcpDisplayNumber() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), size) != 0 || ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) != 0 || ntohs(a.sin_port) <= 6000) {
      ::close(fd);
      return std::nullopt;
    }
    fds.push_back(fd);
    return ntohs(a.sin_port) - 6000;
  }
  std::map<std::string, std::string> saved;
  std::vector<int> fds;
  test::TempDir dir;
};

TEST_F(DisplayEnv, NothingSetOrNothingAnsweringIsNoDisplay) {
  EXPECT_EQ(ReachableDisplay(), DisplayKind::None);
  ::setenv("DISPLAY", ":99", 1);  // no X server there
  EXPECT_EQ(ReachableDisplay(), DisplayKind::None);
  ::setenv("DISPLAY", "no-such-host.invalid:0", 1);
  EXPECT_EQ(ReachableDisplay(), DisplayKind::None);
  ::setenv("DISPLAY", "garbage", 1);
  EXPECT_EQ(ReachableDisplay(), DisplayKind::None);
  ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  ::setenv("WAYLAND_DISPLAY", "wayland-0", 1);  // no socket
  EXPECT_EQ(ReachableDisplay(), DisplayKind::None);
  UnixSocket(dir / "wayland-0", false);  // the socket of a compositor that has gone
  EXPECT_EQ(ReachableDisplay(), DisplayKind::None);
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(ReachableDisplay(), DisplayKind::None);
}

TEST_F(DisplayEnv, AListeningServerIsADisplay) {
  ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  ::setenv("WAYLAND_DISPLAY", "wayland-1", 1);
  UnixSocket(dir / "wayland-1", true);
  EXPECT_EQ(ReachableDisplay(), DisplayKind::Wayland);
  EXPECT_EQ(QtPlatformFor(DisplayKind::Wayland), "wayland");
  ::setenv("WAYLAND_DISPLAY", (dir / "wayland-1").c_str(), 1);  // an absolute socket path
  EXPECT_EQ(ReachableDisplay(), DisplayKind::Wayland);
  ::unsetenv("WAYLAND_DISPLAY");
  UnixSocket(dir / "X0", true);
  ::setenv("DISPLAY", (dir / "X0").c_str(), 1);  // a socket path, as some systems set it
  EXPECT_EQ(ReachableDisplay(), DisplayKind::X11);
  EXPECT_EQ(QtPlatformFor(DisplayKind::X11), "xcb");
  if (const auto n = TcpDisplayNumber()) {
    ::setenv("DISPLAY", ("127.0.0.1:" + std::to_string(*n) + ".0").c_str(), 1);
    EXPECT_EQ(ReachableDisplay(), DisplayKind::X11);
  }
}

TEST_F(DisplayEnv, TheQtPlatformDecidesWhenSet) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  EXPECT_EQ(ReachableDisplay(), DisplayKind::Platform);
  EXPECT_EQ(QtPlatformFor(DisplayKind::Platform), "");
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  ::setenv("DISPLAY", ":99", 1);
  EXPECT_EQ(ReachableDisplay(), DisplayKind::None);
  ::setenv("QT_QPA_PLATFORM", "wayland;xcb:nograb", 1);
  EXPECT_EQ(ReachableDisplay(), DisplayKind::None);
  ::setenv("QT_QPA_PLATFORM", "xcb;offscreen", 1);  // the fallback needs no server
  EXPECT_EQ(ReachableDisplay(), DisplayKind::Platform);
}

}  // namespace
}  // namespace sevrik
