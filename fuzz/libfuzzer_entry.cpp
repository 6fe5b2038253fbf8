// libFuzzer's entry for one target; FUZZ_ENTRY names the entry function (clang builds).
#include <cstddef>
#include <cstdint>

#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  radmon::fuzz::FUZZ_ENTRY(data, size);
  return 0;
}
