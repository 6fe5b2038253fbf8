// The published page in each state that must not be missed, written from day files and
// event logs as dayplot writes it and read in headless Chromium at a phone's width: the
// banner at the top says the state and since when in words, each state has a colour of
// its own, and nothing scrolls sideways. RADMON_PAGE_SHOTS=DIR keeps the screenshots
// (docs/page-state-*.png come from here).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTranslator>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "build_paths.h"
#include "event_log.h"
#include "graph_names.h"
#include "local_ftp_server.h"
#include "period_graph.h"
#include "screen_graph.h"
#include "station_files.h"
#include "temp_station.h"

namespace radmon {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr LocalDateTime kNow{2026, 1, 15, 12, 0, 30};

// Minutes from..to (hh*60+mm) of one run at `cpm`, 200 CPM to the µSv/h.
std::string minutes(int from, int to, int cpm) {
  std::string text;
  for (int m = from; m <= to; ++m) {
    char line[96];
    std::snprintf(line, sizeof line, "\"2026/01/15\",\"%02d:%02d\",%.3f,%d,%d,%d\r\n", m / 60,
                  m % 60, cpm * 0.005, cpm, cpm * (m - from + 1), 60 * (m - from + 1));
    text += line;
  }
  return text;
}

std::string event(int h, int m, EventKind kind) {
  return formatEventLine({{2026, 1, 15, h, m, 0}, kind, std::string(eventKindName(kind))});
}

struct StateCase {
  const char* name;  // the page's file and screenshot
  std::string records, events;
  std::vector<std::string> banners;  // each banner's words, in order
  bool english = false;
};

std::vector<StateCase> cases() {
  const std::string normal = minutes(0, 11 * 60 + 59, 20);
  const std::string high = minutes(0, 11 * 60 + 29, 20) + minutes(11 * 60 + 30, 11 * 60 + 59, 715);
  return {
      {"alarm2",
       high,
       event(11, 31, EventKind::Alarm1) + event(11, 32, EventKind::Alarm2),
       {"警報 第2段階 線量率が第2段階の警報値を超えました。 (2026/01/15 11:32 から)"}},
      {"alarm2-en",
       high,
       event(11, 31, EventKind::Alarm1) + event(11, 32, EventKind::Alarm2),
       {"Alarm, second stage The dose rate passed the second stage's alarm level. (since "
        "2026/01/15 11:32)"},
       true},
      {"alarm1",
       high,
       event(11, 31, EventKind::Alarm1),
       {"警報 第1段階 線量率が第1段階の警報値を超えました。 (2026/01/15 11:31 から)"}},
      {"stopped",
       minutes(0, 10 * 60, 20),
       "",
       {"記録が止まっています 新しい測定値がありません。表示の値は最後の記録のものです。 "
        "(2026/01/15 10:00 から)"}},
      {"input-lost",
       minutes(0, 11 * 60 + 49, 20),
       event(11, 50, EventKind::DeviceLost),
       {"故障: 音声入力が失われました 音声が届かず、測定できていません。 (2026/01/15 11:50 から)"}},
      {"signal-fault",
       normal,
       event(11, 45, EventKind::Hum),
       {"故障: 信号の異常 この間の値は疑わしく、グラフでは灰色で示し、最大と平均から除きます。 "
        "(2026/01/15 11:45 から)"}},
      {"lower-bound",
       high,
       event(11, 30, EventKind::DeadTimeCapped),
       {"値は下限です 計数が補正の上限を超えました。真の線量率は表示の値以上です。 (2026/01/15 "
        "11:30 から)"}},
      {"saturated",
       high,
       event(11, 30, EventKind::TubeSaturated),
       {"GM管の飽和 線量率はこの GM管が数えられる範囲を超えています。"
        "表示の値は下限で、真の線量率はこれ以上です。 (2026/01/15 11:30 から)"}},
      // An alarm and the lower bound together: both told, the alarm first.
      {"alarm2-lower-bound",
       high,
       event(11, 30, EventKind::DeadTimeCapped) + event(11, 33, EventKind::Alarm2),
       {"警報 第2段階 線量率が第2段階の警報値を超えました。 (2026/01/15 11:33 から)",
        "値は下限です 計数が補正の上限を超えました。真の線量率は表示の値以上です。 (2026/01/15 "
        "11:30 から)"}},
  };
}

// The graphs' text needs the fonts of a GUI application (offscreen in the tests).
QGuiApplication& app() {
  static int argc = 1;
  static char name[] = "page_states_e2e_test";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* instance = new QGuiApplication(argc, argv);
  return *instance;
}

TEST(PageStates, EachStateHasItsBannerColourAndTimeAt360Pixels) {
  app();
  QTranslator english;
  ASSERT_TRUE(english.load(QStringLiteral(":/i18n/radmon_en.qm")));
  const ftp::testing::TempStation station{"radmon_page_states", "station", {}};
  std::vector<std::string> pages;
  for (const StateCase& c : cases()) {
    const fs::path folder = station.dir / c.name;
    fs::create_directories(folder);
    std::ofstream(folder / dayFileName("20260115"), std::ios::binary) << c.records;
    std::ofstream(folder / eventFileName("20260115"), std::ios::binary) << c.events;
    fs::copy_file(fs::path(::radmon::testing::sourceDir()) / "docs/dayplot-graph-ja.png",
                  folder / "graph.jpg");
    if (c.english) QCoreApplication::installTranslator(&english);
    ASSERT_TRUE(writeDaySvg(folder.string() + "/", "graph", "20260115", kNow.secondOfDay()).path);
    for (const Period& period :
         {Period{PeriodKind::Month, 2026, 1}, Period{PeriodKind::Year, 2026}}) {
      fs::copy_file(folder / "graph.jpg", folder / (periodImageBaseName("graph", period) + ".jpg"));
      ASSERT_TRUE(writePeriodSvg(folder.string() + "/", "graph", period).path) << c.name;
    }
    const StationFilesWritten written =
        writeStationFiles({folder.string() + "/", "graph", "大阪府大阪市", kNow});
    QCoreApplication::removeTranslator(&english);
    ASSERT_TRUE(written.files) << c.name << ": " << written.reason;
    pages.push_back(written.files->page);
  }
  std::vector<std::string> command{
      "/usr/bin/python3", ::radmon::testing::sourceDir() + "/dayplot/tests/page_state_check.py"};
  command.insert(command.end(), pages.begin(), pages.end());
  const ftp::testing::ProgramRun view = ftp::testing::runProgram(command, 180s);
  ASSERT_EQ(view.status, 0) << view.output;

  std::map<std::string, nlohmann::json> seen;
  std::istringstream lines(view.output);
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with("{")) {
      const auto json = nlohmann::json::parse(line);
      seen[json["page"].get<std::string>()] = json;
    }
  std::map<std::string, std::string> colourOf;  // the first banner's colour by state
  for (const StateCase& c : cases()) {
    const nlohmann::json& page = seen[c.name];
    ASSERT_TRUE(page.is_object()) << c.name << "\n" << view.output;
    EXPECT_EQ(page["banners"].get<std::vector<std::string>>(), c.banners) << c.name;
    EXPECT_GE(page["top"].get<double>(), 0) << c.name;
    EXPECT_LT(page["top"].get<double>(), 40) << c.name << ": the banner is at the top";
    EXPECT_LE(page["scrollWidth"].get<int>(), 360) << c.name;
    EXPECT_EQ(page["innerWidth"].get<int>(), 360) << c.name;
    if (!c.english && c.banners.size() == 1) colourOf[c.name] = page["colours"][0];
    // Today's graph drawn for the screen, its axes named as text, no wider than the phone.
    ASSERT_FALSE(page["images"].empty()) << c.name;
    EXPECT_EQ(page["images"][0]["src"], "graph_20260115.svg") << c.name;
    EXPECT_GT(page["images"][0]["natural"].get<int>(), 0) << c.name;
    EXPECT_LE(page["images"][0]["width"].get<double>(), 360) << c.name;
    // SVG text comes in runs of one script each: the labels are read from their joined text.
    std::string joined;
    for (const auto& text : page["svgTexts"]) joined += text.get<std::string>();
    std::erase(joined, ' ');
    for (const std::string label : {"µSv/h", c.english ? "Timeofday(h)" : "時刻(時)", "06121824"})
      EXPECT_NE(joined.find(label), std::string::npos) << c.name << ": " << label << "\n"
                                                       << page["svgTexts"].dump();
    // The month's and the year's graphs drawn for the screen too, each with its axes.
    const std::map<std::string, std::vector<std::string>> periodLabels{
        {"graph_202601.svg",
         {"µSv/h", "151015202530", c.english ? "Dayofthemonth" : "日",
          c.english ? "2026-01" : "2026年01月"}},
        {"graph_2026.svg",
         {"µSv/h", "123456789101112", c.english ? "Month" : "月", c.english ? "Daily" : "日平均"}}};
    for (const auto& [src, labels] : periodLabels) {
      const auto image = std::find_if(page["images"].begin(), page["images"].end(),
                                      [&](const nlohmann::json& i) { return i["src"] == src; });
      ASSERT_NE(image, page["images"].end()) << c.name << ": " << src;
      EXPECT_GT((*image)["natural"].get<int>(), 0) << c.name << ": " << src;
      EXPECT_LE((*image)["width"].get<double>(), 360) << c.name << ": " << src;
      std::string texts;
      for (const auto& text : (*image)["texts"]) texts += text.get<std::string>();
      std::erase(texts, ' ');
      for (const std::string& label : labels)
        EXPECT_NE(texts.find(label), std::string::npos)
            << c.name << ": " << src << ": " << label << "\n"
            << (*image)["texts"].dump();
    }
  }
  std::set<std::string> colours;
  for (const auto& [state, colour] : colourOf) colours.insert(colour);
  EXPECT_EQ(colours.size(), colourOf.size()) << "each state has a colour of its own";
  // The suspect minute and the lower bound are shown as such in the headline.
  EXPECT_EQ(seen["lower-bound"]["dose"].get<std::string>().rfind("≥ ", 0), 0u);
  EXPECT_NE(seen["signal-fault"]["doseColour"], seen["stopped"]["doseColour"]);

  if (const char* keep = std::getenv("RADMON_PAGE_SHOTS"))
    for (const StateCase& c : cases())
      fs::copy_file(station.dir / c.name / "page-360.png",
                    fs::path(keep) / ("page-state-" + std::string(c.name) + "-360.png"),
                    fs::copy_options::overwrite_existing);
}

}  // namespace
}  // namespace radmon
