// Test receiver of AudioInput events that behaves as the recording cycle does: it
// fetches each buffer, keeps its bytes, and hands the buffer back.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "audio_input.h"

namespace radmon {

struct RecordingReceiver : AudioInput::Events {
  explicit RecordingReceiver(AudioInput& input) : input(input) { input.setEvents(this); }

  void bufferDone(int16_t index, int32_t count, int16_t flag) override {
    indices.push_back(index);
    counts.push_back(count);
    std::vector<uint8_t> data(static_cast<size_t>(count));
    input.getBufferData(data.data(), index, count);
    bytes.insert(bytes.end(), data.begin(), data.end());
    if (onBuffer) onBuffer();
    if (handBack && flag == 0) input.addBuffer(index);
  }
  void stateChanged() override {
    states.push_back(input.isRecording());
    if (closeWhenStopped && !input.isRecording()) input.closeDevice();
  }

  // The start sequence of the recording cycle: open, queue every buffer, start.
  void start() {
    input.openDevice();
    for (int16_t i = 0; i < input.bufferCount(); ++i) input.addBuffer(i);
    input.startRecording();
  }

  AudioInput& input;
  bool handBack = true;
  bool closeWhenStopped = false;
  std::function<void()> onBuffer;
  std::vector<int16_t> indices;
  std::vector<int32_t> counts;
  std::vector<uint8_t> bytes;
  std::vector<bool> states;  // isRecording() at each stateChanged
};

}  // namespace radmon
