// The live page's state from the second's reading, in the order the published page
// keeps: a stopped station, an alarm stage, a lost input, any other fault of the sound
// path, a lower bound, measuring.
#include <gtest/gtest.h>

#include "station_session.h"

namespace radmon {
namespace {

using web::StationState;

TEST(LiveStationState, FromTheReadingInThePublishedPagesOrder) {
  struct Case {
    const char* name;
    bool recording;
    const char* health;
    bool alarm1, alarm2, lowerBound;
    StationState state;
  };
  const Case cases[] = {
      {"measuring", true, "ok", false, false, false, StationState::Measuring},
      {"lower bound", true, "ok", false, false, true, StationState::LowerBound},
      {"hum", true, "hum", false, false, false, StationState::SignalFault},
      {"clipping", true, "clipping", false, false, false, StationState::SignalFault},
      {"no signal", true, "no-signal", false, false, false, StationState::SignalFault},
      {"interference", true, "interference", false, false, false, StationState::SignalFault},
      {"after-pulses", true, "after-pulses", false, false, false, StationState::SignalFault},
      {"fault beats the lower bound", true, "hum", false, false, true, StationState::SignalFault},
      {"input lost", true, "device-lost", false, false, false, StationState::InputLost},
      {"input lost among faults", true, "hum,device-lost", false, false, false,
       StationState::InputLost},
      {"stage 1 beats a fault", true, "clipping", true, false, false, StationState::Alarm1},
      {"stage 2 beats stage 1", true, "ok", true, true, false, StationState::Alarm2},
      {"stopped beats everything", false, "hum", true, true, true, StationState::Stopped},
  };
  for (const Case& c : cases) {
    LiveReading r;
    r.recording = c.recording;
    r.health = c.health;
    r.alarm1 = c.alarm1;
    r.alarm2 = c.alarm2;
    r.lowerBound = c.lowerBound;
    EXPECT_EQ(liveStationState(r), c.state) << c.name;
  }
}

TEST(LiveLowerBound, ASaturatedTubeIsToldBeforeTheCap) {
  struct Case {
    bool lowerBound, saturated;
    web::LowerBound bound;
  };
  const Case cases[] = {{false, false, web::LowerBound::None},
                        {true, false, web::LowerBound::DeadTimeCapped},
                        {true, true, web::LowerBound::TubeSaturated}};
  for (const Case& c : cases) {
    LiveReading r;
    r.recording = true;
    r.lowerBound = c.lowerBound;
    r.tubeSaturated = c.saturated;
    EXPECT_EQ(liveLowerBound(r), c.bound) << c.lowerBound << c.saturated;
  }
}

}  // namespace
}  // namespace radmon
