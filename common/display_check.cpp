#include "display_check.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace radmon {
namespace {

std::string_view variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string_view(value) : std::string_view();
}

bool waylandAnswers(std::string_view name) {
  std::string path(name);
  if (!path.starts_with('/')) {
    const std::string_view runtime = variable("XDG_RUNTIME_DIR");
    if (runtime.empty()) return false;
    path = std::string(runtime) + "/" + path;
  }
  sockaddr_un address{};
  if (path.size() >= sizeof(address.sun_path)) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool connected =
      ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  ::close(fd);
  return connected;
}

bool xAnswers(std::string_view name) {
  const std::string display(name);
  xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
  const bool connected = connection && xcb_connection_has_error(connection) == 0;
  if (connection) xcb_disconnect(connection);
  return connected;
}

}  // namespace

DisplayState displayState() {
  const std::string_view platform = variable("QT_QPA_PLATFORM");
  const std::string_view wayland = variable("WAYLAND_DISPLAY");
  const std::string_view x = variable("DISPLAY");
  if (!platform.empty() && !platform.starts_with("xcb") && !platform.starts_with("wayland"))
    return DisplayState::Reachable;
  if (platform.empty() && wayland.empty() && x.empty()) return DisplayState::None;
  // Qt's Wayland platform takes wayland-0 when no display is named.
  const std::string_view waylandName =
      wayland.empty() && platform.starts_with("wayland") ? "wayland-0" : wayland;
  if (!platform.starts_with("xcb") && !waylandName.empty() && waylandAnswers(waylandName))
    return DisplayState::Reachable;
  if (!platform.starts_with("wayland") && !x.empty() && xAnswers(x)) return DisplayState::Reachable;
  return DisplayState::Unreachable;
}

}  // namespace radmon
