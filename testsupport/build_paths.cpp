#include "build_paths.h"

namespace radmon::testing {

std::string programDir() { return RADMON_PROGRAM_DIR; }
std::string sourceDir() { return RADMON_SOURCE_DIR; }

}  // namespace radmon::testing
