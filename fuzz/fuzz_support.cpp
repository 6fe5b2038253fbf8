#include <cstdio>
#include <cstdlib>

#include "fuzz_entries.h"

namespace radmon::fuzz {

void fail(const char* target, const char* what) {
  std::fprintf(stderr, "%s: property failed: %s\n", target, what);
  std::abort();
}

}  // namespace radmon::fuzz
