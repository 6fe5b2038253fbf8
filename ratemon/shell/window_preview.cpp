// Shows ratemon's windows on an invented tube signal, for screenshots and for looking at
// the windows without a sound card: window_preview [SECONDS] [graph|pulse].
// The station runs in a temporary program folder; nothing of the real one is touched.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <random>

#include "window_app.h"
#include "window_station.h"

namespace {

// One second of quiet sound per buffer with a Poisson number of dips, the rate rising
// over time so that all three bar colours appear.
class InventedTube final : public radmon::AudioInput {
 public:
  std::optional<std::string> openDevice() override { return std::nullopt; }
  int16_t bufferCount() const override { return 1; }
  int32_t bufferSize() const override { return radmon::kBufferSize; }
  bool isRecording() const override { return recording_; }
  void addBuffer(int16_t) override {}
  void getBufferData(uint8_t* dest, int16_t, int32_t count) override {
    std::copy(samples_.begin(), samples_.begin() + count, dest);
  }
  void startRecording() override {
    recording_ = true;
    if (events_) events_->stateChanged();
  }
  void stopRecording() override {
    recording_ = false;
    if (events_) events_->stateChanged();
  }
  void closeDevice() override {}

  bool deliverNext() {
    samples_.assign(radmon::kBufferSize, 128);
    std::normal_distribution<double> noise(0, 3);
    for (auto& s : samples_) s = static_cast<uint8_t>(128 + noise(random_));
    const double cps = 0.5 + 0.3 * second_++;
    std::poisson_distribution<int> pulses(cps);
    std::uniform_int_distribution<int> where(0, radmon::kBufferSize - 40);
    for (int n = pulses(random_); n > 0; --n) {
      const int at = where(random_);
      for (int k = 0; k < 30; ++k) samples_[size_t(at + k)] = static_cast<uint8_t>(k < 4 ? 10 : 128 - 60 + 2 * k);
    }
    if (events_) events_->bufferDone(0, radmon::kBufferSize, 0);
    return true;
  }

 private:
  bool recording_ = false;
  std::vector<uint8_t> samples_ = std::vector<uint8_t>(radmon::kBufferSize, 128);
  std::mt19937 random_{7};
  int second_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  radmon::useJapaneseFont(app);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
  const std::string mode = argc > 2 ? argv[2] : "graph";
  QTemporaryDir folder;

  radmon::StationParts parts;
  parts.programFolder = folder.path().toStdString() + "/";
  parts.lockPath = parts.programFolder + "~Record.tmp";
  auto tube = std::make_unique<InventedTube>();
  InventedTube* source = tube.get();
  parts.input = std::move(tube);
  parts.deliverNext = [source] { return source->deliverNext(); };
  radmon::WindowStation station(std::move(parts));
  if (auto refused = station.startup()) return 1;
  radmon::MainWindow& w = station.window();
  w.setText(radmon::Box::sensitivity, "120");
  w.setText(radmon::Box::limit2, "0.5");
  w.setText(radmon::Box::limit1, "0.2");
  w.move(0, 0);
  w.show();
  if (mode == "pulse") {
    w.tick(radmon::Tick::pulseTest)->setChecked(true);
  } else if (mode == "graph") {
    w.tick(radmon::Tick::graph)->click();
    if (station.graphWindow()) station.graphWindow()->move(0, 365);
  }
  w.cmdRec()->click();
  QTimer::singleShot(seconds * 1000, &w, &QWidget::close);
  QTimer::singleShot(1500, &w, [&station] {
    if (station.pulseWindow()) station.pulseWindow()->move(0, 365);
  });
  return app.exec();
}
