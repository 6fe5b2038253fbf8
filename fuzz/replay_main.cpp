// Runs kept inputs through a fuzz target's entry function: fuzz_replay <target> <folder
// or file>... Every regular file found is one input. Exits 0 when all were read and no
// property failed (a failure aborts with its message); 2 on a bad command line.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_entries.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: fuzz_replay <target> <folder or file>...\n");
    return 2;
  }
  const std::string name = argv[1];
  const auto* target =
      std::find_if(std::begin(radmon::fuzz::kTargets), std::end(radmon::fuzz::kTargets),
                   [&](const auto& t) { return t.name == name; });
  if (target == std::end(radmon::fuzz::kTargets)) {
    std::fprintf(stderr, "fuzz_replay: unknown target %s\n", name.c_str());
    return 2;
  }
  std::vector<fs::path> inputs;
  for (int i = 2; i < argc; ++i) {
    const fs::path p = argv[i];
    if (fs::is_directory(p)) {
      for (const auto& e : fs::recursive_directory_iterator(p))
        if (e.is_regular_file()) inputs.push_back(e.path());
    } else if (fs::is_regular_file(p)) {
      inputs.push_back(p);
    }
  }
  std::sort(inputs.begin(), inputs.end());
  for (const auto& p : inputs) {
    std::ifstream in(p, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "%s: %s (%zu bytes)\n", name.c_str(), p.string().c_str(), bytes.size());
    target->entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("%s: %zu inputs replayed, every property held\n", name.c_str(), inputs.size());
  return 0;
}
