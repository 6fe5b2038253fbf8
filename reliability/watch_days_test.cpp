// Days of a clean, busy tube through the pulse scan and the signal watch, sample by
// sample: at 30 000 and 100 000 CPM, with the narrow and the wide pulse, the watch
// tells nothing.
#include <gtest/gtest.h>

#include "pulse_scan.h"
#include "signal_watch.h"
#include "tube_simulator.h"

namespace radmon {
namespace {

TEST(WatchDays, ADayOfABusyCleanTubeRaisesNothing) {
  using Shape = TubeSimulator::Shape;
  for (const double cpm : {30000.0, 100000.0}) {
    for (const Shape shape : {Shape::Narrow, Shape::Wide}) {
      SCOPED_TRACE(std::to_string(cpm) + (shape == Shape::Wide ? " wide" : " narrow"));
      TubeSimulator tube(TubeProfile::constant(cpm), 31, 0);
      tube.setShape(shape);
      SignalWatch watch;
      std::vector<uint8_t> second(TubeSimulator::kSampleRate);
      std::vector<size_t> ends;
      bool armed = false;
      for (int s = 0; s < 86400; ++s) {
        tube.fill(second.data(), second.size());
        ends.clear();
        scanPulses(second.data(), second.size(), {47, 53, 10}, armed, ends);
        for (const auto& c : watch.observe(second.data(), second.size(), ends))
          ADD_FAILURE() << "fault " << static_cast<int>(c.fault) << " at " << s;
      }
    }
  }
}

}  // namespace
}  // namespace radmon
