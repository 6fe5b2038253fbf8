// Stand-ins for the window, the sound and the audio device in tests of the cycle.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "audio_input.h"
#include "sound_output.h"
#include "station_panel.h"

namespace radmon {

class FakePanel : public StationPanel {
 public:
  FakePanel() {
    for (const auto& c : kBoxControls) texts[c.id] = c.initial;
    for (const auto& c : kTickControls) ticks[c.id] = c.initial;
  }
  std::string text(Box box) const override { return texts.at(box); }
  void setText(Box box, const std::string& text) override { texts[box] = text; }
  bool checked(Tick tick) const override { return ticks.at(tick); }
  void report(const Notice& notice) override { reports.push_back(notice); }

  std::map<Box, std::string> texts;
  std::map<Tick, bool> ticks;
  std::vector<Notice> reports;
};

class FakeSound : public SoundOutput {
 public:
  void playLoop(const std::string& name) override {
    playing = name;
    calls.push_back("play " + name);
  }
  void stop() override {
    playing.clear();
    calls.push_back("stop");
  }
  std::string playing;
  std::vector<std::string> calls;
};

// A device whose buffers the test fills by hand; records every call.
class FakeAudio : public AudioInput {
 public:
  std::expected<void, DeviceFailure> openDevice() override {
    calls.push_back("open");
    if (openError) return std::unexpected(*openError);
    return {};
  }
  int16_t bufferCount() const override { return kBufferCount; }
  int32_t bufferSize() const override { return kBufferSize; }
  bool isRecording() const override { return recording; }
  void addBuffer(int16_t index) override { calls.push_back("add " + std::to_string(index)); }
  void getBufferData(uint8_t* dest, int16_t, int32_t count) override {
    std::copy(next.begin(), next.begin() + count, dest);
  }
  void startRecording() override {
    calls.push_back("start");
    recording = true;
    if (events_) events_->stateChanged();
  }
  void stopRecording() override {
    calls.push_back("stop");
    recording = false;
    if (events_) events_->stateChanged();
  }
  void closeDevice() override { calls.push_back("close"); }

  // The device's own events, as a card raises them.
  void fail(const DeviceFailure& failure) { events_->deviceFailed(failure); }
  void back() { events_->deviceBack(); }
  void drop(int64_t bytes) { events_->soundDropped(bytes); }

  // Delivers `samples` as buffer 0.
  void deliver(const std::vector<uint8_t>& samples, int16_t flag = 0) {
    next = samples;
    events_->bufferDone(0, static_cast<int32_t>(samples.size()), flag);
  }

  std::optional<DeviceFailure> openError;
  bool recording = false;
  std::vector<uint8_t> next;
  std::vector<std::string> calls;
};

// One second of quiet sound with a pulse (dip to 20, back to 128 after 5 samples) at
// each of the given positions.
inline std::vector<uint8_t> secondWithPulses(const std::vector<int>& at) {
  std::vector<uint8_t> s(kBufferSize, 128);
  for (int p : at)
    for (int k = 0; k < 5 && p + k < kBufferSize; ++k) s[p + k] = 20;
  return s;
}

inline std::vector<uint8_t> secondWithPulseCount(int n) {
  std::vector<int> at;
  for (int i = 0; i < n; ++i) at.push_back(100 + i * (kBufferSize - 200) / std::max(n, 1));
  return secondWithPulses(at);
}

// The same for the `second`-th second of a run, the pulses moved by a part of a mains
// cycle that changes from second to second, as a tube's would: at the same places every
// second they keep a phase on the mains (22050 samples are 50 cycles), which the signal
// watch tells as interference.
inline std::vector<uint8_t> secondWithPulseCount(int n, int64_t second) {
  std::vector<int> at;
  const int shift = static_cast<int>((second * 273) % 441);
  for (int i = 0; i < n; ++i) at.push_back(shift + 100 + i * (kBufferSize - 641) / std::max(n, 1));
  return secondWithPulses(at);
}

}  // namespace radmon
