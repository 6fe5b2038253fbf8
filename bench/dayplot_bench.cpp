// How long one processing run of dayplot takes on a full day: reading the 1440 records,
// drawing the graph and writing the JPEG (and the BMP), as the real-time schedule does
// every ten minutes; and a whole year of such days drawn as the year graph.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "day_graph.h"
#include "day_pass.h"
#include "day_table.h"
#include "period_graph.h"

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

void writeFullDay(const fs::path& dir, const std::string& yyyymmdd) {
  const std::string date =
      yyyymmdd.substr(0, 4) + "/" + yyyymmdd.substr(4, 2) + "/" + yyyymmdd.substr(6);
  std::ofstream out(dir / radmon::dayFileName(yyyymmdd), std::ios::binary);
  for (int m = 0; m < 1440; ++m) {
    const double rate = 0.1 + 0.03 * std::sin(m / 37.0) + 0.01 * ((m * 7919) % 13) / 13.0;
    char line[96];
    std::snprintf(line, sizeof line, "\"%s\",\"%02d:%02d\",%.3f,%d,%d,60\r\n", date.c_str(), m / 60,
                  m % 60, rate, static_cast<int>(rate * 300), m * 30);
    out << line;
  }
}

// A data folder holding one full day, 2011/04/01, of 1440 one-minute records.
std::string fullDayFolder() {
  const fs::path dir = fs::temp_directory_path() / "dayplot_bench";
  fs::create_directories(dir);
  writeFullDay(dir, "20110401");
  return dir.string() + "/";
}

// A data folder holding every day of 2011 in full: 525,600 records.
std::string fullYearFolder() {
  const fs::path dir = fs::temp_directory_path() / "dayplot_bench_year";
  fs::create_directories(dir);
  for (const std::string& day : radmon::parseYear("2011")->days())
    if (!fs::exists(dir / radmon::dayFileName(day))) writeFullDay(dir, day);
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
    if (graph.drawDayGraph(folder, "20110401") != radmon::DayGraphResult::Done) {
      state.SkipWithError("the run did not write its images");
      break;
    }
  }
}

void BM_DrawDayGraphJpeg(benchmark::State& state) { runGraph(state, false); }
void BM_DrawDayGraphJpegAndBmp(benchmark::State& state) { runGraph(state, true); }

void BM_ReadDayTableAndPass(benchmark::State& state) {
  const std::string path = radmon::dayFilePath(fullDayFolder(), "20110401");
  for (auto _ : state) {
    const auto table = radmon::readDayTable(path);
    int drawn = 0;
    const auto stats =
        radmon::runDayPass(table.value, [&](const radmon::PlotPair& p) { drawn += p.drawn; });
    benchmark::DoNotOptimize(stats);
    benchmark::DoNotOptimize(drawn);
  }
}

void BM_DrawYearGraphJpeg(benchmark::State& state) {
  const std::string folder = fullYearFolder();
  BenchSettings settings;
  NoMessages messages;
  radmon::ManualClock clock(*radmon::LocalDateTime::parse("2012-01-01 10:00:00"));
  radmon::PeriodGraph graph(settings, messages, clock);
  for (auto _ : state) {
    if (graph.drawPeriodGraph(folder, *radmon::parseYear("2011")) != radmon::DayGraphResult::Done) {
      state.SkipWithError("the run did not write its image");
      break;
    }
  }
}

BENCHMARK(BM_DrawDayGraphJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawDayGraphJpegAndBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDayTableAndPass)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawYearGraphJpeg)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Fonts need a GUI application; a display does not.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(fs::temp_directory_path() / "dayplot_bench");
  fs::remove_all(fs::temp_directory_path() / "dayplot_bench_year");
  return 0;
}
