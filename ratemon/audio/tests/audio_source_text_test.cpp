#include "audio_source_text.h"

#include <gtest/gtest.h>

#include "simulated_tube_input.h"
#include "wav_file_input.h"

namespace radmon {
namespace {

TEST(AudioSourceText, SimulationForms) {
  const auto constant = parseAudioSource("sim:20");
  ASSERT_TRUE(constant);
  EXPECT_EQ(constant->kind, SourceChoice::Kind::SimulatedTube);
  EXPECT_EQ(constant->profile.cpmAt(0), 20);
  EXPECT_EQ(constant->seed, kDefaultSimulationSeed);

  const auto day = parseAudioSource("sim:20:120@13:00-16:00,seed=7");
  ASSERT_TRUE(day);
  EXPECT_EQ(day->profile.cpmAt(13 * 3600 - 1), 20);
  EXPECT_EQ(day->profile.cpmAt(13 * 3600), 120);
  EXPECT_EQ(day->profile.cpmAt(16 * 3600), 20);
  EXPECT_EQ(day->seed, 7u);
  EXPECT_EQ(day->profile.kind, TubeKind::Narrow);

  const auto wide = parseAudioSource("sim:5000,tube=wide,seed=3");
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->profile.kind, TubeKind::Wide);
  EXPECT_EQ(wide->seed, 3u);
  EXPECT_EQ(parseAudioSource("sim:20,seed=2,tube=paralysable")->profile.kind,
            TubeKind::Paralysable);
}

TEST(AudioSourceText, BadSimulationTextAndNoTextNameNoInput) {
  for (const char* bad :
       {"sim:", "sim:abc", "sim:-3", "sim:20,seed=", "sim:20,seed=x", "sim:20,seed=-1",
        "sim:20:120", "sim:20:120@13:00", "sim:20:120@13:00-25:00", "sim:20 ",
        "sim:20,tube=", "sim:20,tube=round", "sim:20,", "sim:20,colour=red"}) {
    EXPECT_FALSE(parseAudioSource(bad)) << bad;
  }
  EXPECT_FALSE(parseAudioSource(""));
}

TEST(AudioSourceText, AnythingElseIsAWavPathAndMakesTheMatchingInput) {
  const auto wav = parseAudioSource("rec/sim:20.wav");
  ASSERT_TRUE(wav);
  EXPECT_EQ(wav->kind, SourceChoice::Kind::WavFile);
  EXPECT_EQ(wav->wavPath, "rec/sim:20.wav");
  EXPECT_NE(dynamic_cast<WavFileInput*>(makeAudioInput(*wav, 0).get()), nullptr);
  EXPECT_NE(dynamic_cast<SimulatedTubeInput*>(makeAudioInput(*parseAudioSource("sim:5"), 0).get()),
            nullptr);
}

}  // namespace
}  // namespace radmon
