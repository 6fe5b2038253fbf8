// dayplot with its windows: the settings window on the computer's clock, the FTP client
// started as a process of its own.
#pragma once

#include <string>

namespace radmon {

// Runs until the settings window closes; the process exit code.
// `station` is the station folder, ending with the separator.
int runWindows(int& argc, char** argv, const std::string& station);

}  // namespace radmon
