#include "messages.h"

#include <cstdio>

namespace radmon {

void StderrMessages::show(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
}

}  // namespace radmon
