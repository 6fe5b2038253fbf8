// How long one processing run of dayplot takes on a full day: reading the 1440 records,
// drawing the graph and writing the JPEG (and the BMP), as the real-time schedule does
// every ten minutes.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "day_graph.h"
#include "day_pass.h"
#include "day_table.h"

namespace {

namespace fs = std::filesystem;

class BenchSettings final : public radmon::GraphSettings {
 public:
  bool bmp = false;
  std::string scaleMaximumText() const override { return "1"; }
  std::string placeText() const override { return "大阪府大阪市"; }
  std::string tubeText() const override { return "自作GM管"; }
  std::string baseNameText() const override { return "μSVHGraph"; }
  bool jpegWanted() const override { return true; }
  bool bmpWanted() const override { return bmp; }
};

class NoMessages final : public radmon::MessageSink {
 public:
  void show(const std::string&) override {}
};

// A data folder holding one full day, 2011/04/01, of 1440 one-minute records.
std::string fullDayFolder() {
  const fs::path dir = fs::temp_directory_path() / "dayplot_bench";
  fs::create_directories(dir);
  std::ofstream out(dir / "μSVHData20110401.csv", std::ios::binary);
  for (int m = 0; m < 1440; ++m) {
    const double rate = 0.1 + 0.03 * std::sin(m / 37.0) + 0.01 * ((m * 7919) % 13) / 13.0;
    char line[96];
    std::snprintf(line, sizeof line, "\"2011/04/01\",\"%02d:%02d\",%.3f,%d,%d,60\r\n", m / 60,
                  m % 60, rate, static_cast<int>(rate * 300), m * 30);
    out << line;
  }
  return dir.string() + "/";
}

void runGraph(benchmark::State& state, bool bmp) {
  const std::string folder = fullDayFolder();
  BenchSettings settings;
  settings.bmp = bmp;
  NoMessages messages;
  radmon::ManualClock clock(*radmon::LocalDateTime::parse("2011-04-02 10:00:00"));
  radmon::DayGraph graph(settings, messages, clock);
  for (auto _ : state) {
    if (graph.DrawDayGraph(folder, "20110401") != radmon::DayGraphResult::Done) {
      state.SkipWithError("the run did not write its images");
      break;
    }
  }
}

void BM_DrawDayGraphJpeg(benchmark::State& state) { runGraph(state, false); }
void BM_DrawDayGraphJpegAndBmp(benchmark::State& state) { runGraph(state, true); }

void BM_ReadDayTableAndPass(benchmark::State& state) {
  const std::string path = radmon::DayFilePath(fullDayFolder(), "20110401");
  for (auto _ : state) {
    const auto table = radmon::ReadDayTable(path);
    int drawn = 0;
    const auto stats =
        radmon::runDayPass(*table, [&](const radmon::PlotPair& p) { drawn += p.drawn; });
    benchmark::DoNotOptimize(stats);
    benchmark::DoNotOptimize(drawn);
  }
}

BENCHMARK(BM_DrawDayGraphJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawDayGraphJpegAndBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDayTableAndPass)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  // Fonts need a GUI application; a display does not.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(fs::temp_directory_path() / "dayplot_bench");
  return 0;
}
