#include "audio_source_text.h"

#include <gtest/gtest.h>

#include "simulated_tube_input.h"
#include "wav_file_input.h"

namespace radmon {
namespace {

TEST(AudioSourceText, SimulationForms) {
  const auto constant = parseAudioSource("sim:20");
  ASSERT_TRUE(constant.choice) << constant.error;
  EXPECT_EQ(constant.choice->kind, SourceChoice::Kind::SimulatedTube);
  EXPECT_EQ(constant.choice->profile.cpmAt(0), 20);
  EXPECT_EQ(constant.choice->seed, kDefaultSimulationSeed);

  const auto day = parseAudioSource("sim:20:120@13:00-16:00,seed=7");
  ASSERT_TRUE(day.choice) << day.error;
  EXPECT_EQ(day.choice->profile.cpmAt(13 * 3600 - 1), 20);
  EXPECT_EQ(day.choice->profile.cpmAt(13 * 3600), 120);
  EXPECT_EQ(day.choice->profile.cpmAt(16 * 3600), 20);
  EXPECT_EQ(day.choice->seed, 7u);
}

TEST(AudioSourceText, BadSimulationTextIsRefusedInJapanese) {
  for (const char* bad : {"sim:", "sim:abc", "sim:-3", "sim:20,seed=", "sim:20,seed=x", "sim:20,seed=-1",
                          "sim:20:120", "sim:20:120@13:00", "sim:20:120@13:00-25:00", "sim:20 "}) {
    const auto parsed = parseAudioSource(bad);
    EXPECT_FALSE(parsed.choice) << bad;
    EXPECT_EQ(parsed.error.rfind("シミュレーション入力の指定が正しくありません: " + std::string(bad), 0), 0u) << parsed.error;
  }
  EXPECT_FALSE(parseAudioSource("").choice);
  EXPECT_FALSE(parseAudioSource("").error.empty());
}

TEST(AudioSourceText, AnythingElseIsAWavPathAndMakesTheMatchingInput) {
  const auto wav = parseAudioSource("rec/sim:20.wav");
  ASSERT_TRUE(wav.choice);
  EXPECT_EQ(wav.choice->kind, SourceChoice::Kind::WavFile);
  EXPECT_EQ(wav.choice->wavPath, "rec/sim:20.wav");
  EXPECT_NE(dynamic_cast<WavFileInput*>(makeAudioInput(*wav.choice, 0).get()), nullptr);
  EXPECT_NE(dynamic_cast<SimulatedTubeInput*>(makeAudioInput(*parseAudioSource("sim:5").choice, 0).get()), nullptr);
}

}  // namespace
}  // namespace radmon
