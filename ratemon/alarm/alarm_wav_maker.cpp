// Build step: writes the sounds shipped beside ratemon into the folder given: the two
// alarm stages and the chime of a fault in the sound path.
#include <iostream>
#include <string>

#include "alarm_tones.h"
#include "ratemon_messages.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "使い方: alarm_wav_maker FOLDER\n";
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  for (auto [name, pattern] : {std::pair{"daiichi.wav", radmon::AlarmPattern::Stage1},
                               std::pair{"daini.wav", radmon::AlarmPattern::Stage2},
                               std::pair{"ijou.wav", radmon::AlarmPattern::Fault}}) {
    if (!radmon::writeAlarmWav(folder + name, pattern)) {
      using radmon::messages::About;
      std::cerr << radmon::messages::about(About::alarmToneNotWritten, folder + name) << '\n';
      return 1;
    }
  }
  return 0;
}
