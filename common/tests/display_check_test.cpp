#include "display_check.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

namespace radmon {
namespace {

namespace fs = std::filesystem;

// Sets the display variables for one case and puts back what was there.
class DisplayEnvironment {
 public:
  explicit DisplayEnvironment(const std::map<std::string, std::string>& values) {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"}) {
      if (const char* v = std::getenv(name)) saved_[name] = v;
      ::unsetenv(name);
    }
    for (const auto& [name, value] : values) ::setenv(name.c_str(), value.c_str(), 1);
  }
  ~DisplayEnvironment() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"})
      ::unsetenv(name);
    for (const auto& [name, value] : saved_) ::setenv(name.c_str(), value.c_str(), 1);
  }

 private:
  std::map<std::string, std::string> saved_;
};

// A display that is named but does not answer is told from one that is not named, and a
// listening Wayland socket answers.
TEST(DisplayState, NamedDisplaysAreTriedBeforeQtWould) {
  const fs::path runtime =
      fs::temp_directory_path() / ("display_check_" + std::to_string(getpid()));
  fs::create_directories(runtime);
  const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listening, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = (runtime / "wayland-test").string();
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
  ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(::listen(listening, 4), 0);

  const std::string rt = runtime.string();
  const struct {
    std::map<std::string, std::string> env;
    DisplayState expected;
  } cases[] = {
      {{}, DisplayState::None},
      {{{"QT_QPA_PLATFORM", "offscreen"}}, DisplayState::Reachable},
      {{{"DISPLAY", ":77"}}, DisplayState::Unreachable},
      {{{"DISPLAY", "unix:77.0"}}, DisplayState::Unreachable},
      {{{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":77"}}, DisplayState::Unreachable},
      {{{"QT_QPA_PLATFORM", "xcb"}}, DisplayState::Unreachable},
      {{{"WAYLAND_DISPLAY", "wayland-none"}, {"XDG_RUNTIME_DIR", rt}}, DisplayState::Unreachable},
      {{{"WAYLAND_DISPLAY", "wayland-test"}}, DisplayState::Unreachable},  // no runtime folder
      {{{"WAYLAND_DISPLAY", "wayland-test"}, {"XDG_RUNTIME_DIR", rt}}, DisplayState::Reachable},
      {{{"WAYLAND_DISPLAY", socketPath}, {"DISPLAY", ":77"}}, DisplayState::Reachable},
      {{{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", socketPath}}, DisplayState::Unreachable},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    DisplayEnvironment env(cases[i].env);
    EXPECT_EQ(displayState(), cases[i].expected) << "case " << i;
  }
  ::close(listening);
  fs::remove_all(runtime);
}

}  // namespace
}  // namespace radmon
