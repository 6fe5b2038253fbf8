// dayplot's command line, declared once: its usage, --help, argument faults and man
// page come from here.
#pragma once

#include "command_options.h"

namespace radmon {

enum DayplotMode {
  kDayplotWindows,
  kDayplotHeadless,
  kDayplotProcess,
  kDayplotMonth,
  kDayplotYear,
  kDayplotShowSettings,
  kDayplotSet
};

const ProgramOptions& dayplotOptions();

}  // namespace radmon
