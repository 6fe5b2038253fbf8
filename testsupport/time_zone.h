// The computer's time zone, set for a test's scope and put back after it. Header-only.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace radmon::testing {

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
    set(zone);
  }
  ~ScopedTimeZone() {
    saved_ ? ::setenv("TZ", saved_->c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  // Another zone, within the same scope.
  void set(const char* zone) {
    ::setenv("TZ", zone, 1);
    ::tzset();
  }

 private:
  std::optional<std::string> saved_;
};

}  // namespace radmon::testing
