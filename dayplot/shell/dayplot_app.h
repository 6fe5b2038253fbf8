// dayplot with its windows: the settings window on the computer's clock, the FTP client
// started as a process of its own.
#pragma once

namespace radmon {

// Runs until the settings window closes; the process exit code.
int runWindows(int argc, char** argv);

}  // namespace radmon
