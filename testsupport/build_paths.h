// Where the build put the programs and where the sources are, for tests that run the
// built programs or read the checkout's files. Compiled into one small unit of its own
// so that every other test source is the same text in any checkout folder and a
// compiler cache serves it to a clone elsewhere.
#pragma once

#include <string>

namespace radmon::testing {

// The program folder (build/bin), without a trailing slash.
std::string programDir();
// The checkout's top folder, without a trailing slash.
std::string sourceDir();

}  // namespace radmon::testing
