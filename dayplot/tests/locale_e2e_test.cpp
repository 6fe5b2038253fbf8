// The whole chain under a German locale, where the C library writes and reads decimal
// commas: gmsim makes a recording, ratemon --headless --fast records it with the
// dead-time correction on (so the summary has its intervals) and logs a silence, and
// dayplot --process draws the day. Everything printed and every file left in the
// program folder must be the same bytes as under the C locale.
#include <locale.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "day_record.h"
#include "event_log.h"
#include "file_bytes.h"
#include "temp_station.h"

namespace {

namespace fs = std::filesystem;
using radmon::testing::readBytes;

constexpr const char* kGerman = "de_DE.UTF-8";
constexpr const char* kPrograms[] = {"gmsim", "ratemon", "dayplot"};

// What each program printed ("ratemon stdout") and every file of the program folder
// but the programs (by path inside it), after the chain ran under `locale`.
using Outputs = std::map<std::string, std::string>;

bool isText(const std::string& name) {
  return name.ends_with("stdout") || name.ends_with("stderr") || name.ends_with(".csv") ||
         name.ends_with(".ini");
}

Outputs runChain(const std::string& locale) {
  radmon::ftp::testing::TempStation station{
      "radmon_locale", "station", {"gmsim", "ratemon", "dayplot"}};
  station.writeRatemonSettings("18", "data/", "0,0,1");
  std::ofstream(station.program / "dayplot.ini", std::ios::binary)
      << "\"here\",\"" << station.data.string()
      << "\",\"graph\",\"2\",\"μSVHData\",\"tube\",\"03\",\"00\"\r\n1,1,0,0\r\n"
         "#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n\"s\",\"\",\"\",0,\"\"\r\n";
  // The day's mean with its 95 % interval, the figures that came out truncated.
  std::ofstream(station.program / "dayplot_readings.ini", std::ios::binary)
      << "mean_interval=1\r\n";
  // No display, and the locale decides: LC_ALL over every other variable. The interface
  // speaks Japanese in both runs (a German locale alone would choose English: LANGUAGE
  // goes before it, and C ignores it), so that only the locale's numbers could differ.
  const std::string env =
      "env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY LANGUAGE=ja TZ=UTC LC_ALL=" + locale +
      " ";
  // The day graph names the minute it was made: the same faked minute for both runs.
  const std::string faked = std::string("LD_PRELOAD='") + FAKETIME_LIBRARY +
                            "' FAKETIME='@2011-03-17 09:00:00' FAKETIME_DONT_FAKE_MONOTONIC=1 ";
  const std::pair<const char*, std::string> steps[] = {
      // 120.5 CPM, none from 00:20 to 00:45: an improbable silence and its end.
      {"gmsim",
       env + "./gmsim --profile 120.5:0@00:20-00:45 --seconds 3600 --seed 7 --out tube.wav"},
      {"ratemon", env + "./ratemon --headless --fast --input tube.wav --dead-time 150 --start "
                        "'2011-03-16 00:00:00'"},
      {"dayplot", env + faked + "./dayplot --process 20110316"},
  };
  Outputs outputs;
  for (const auto& [name, command] : steps) {
    EXPECT_EQ(station.run(command), 0) << locale << ": " << command << "\n"
                                       << readBytes(station.program / "err.txt");
    outputs[std::string(name) + " stdout"] = readBytes(station.program / "out.txt");
    outputs[std::string(name) + " stderr"] = readBytes(station.program / "err.txt");
  }
  fs::remove(station.program / "out.txt");
  fs::remove(station.program / "err.txt");
  for (const auto& entry : fs::recursive_directory_iterator(station.program)) {
    const std::string path = fs::relative(entry.path(), station.program).string();
    if (entry.is_regular_file() &&
        std::find(std::begin(kPrograms), std::end(kPrograms), path) == std::end(kPrograms))
      outputs[path] = readBytes(entry.path());
  }
  // Each run has a folder of its own: named alike in the texts.
  const std::string folder = station.dir.string();
  for (auto& [name, bytes] : outputs) {
    if (!isText(name)) continue;
    for (size_t at = bytes.find(folder); at != std::string::npos; at = bytes.find(folder, at))
      bytes.replace(at, folder.size(), "STATION");
  }
  return outputs;
}

TEST(LocaleChain, GermanLocaleGivesTheSameBytesAsC) {
  if (locale_t german = ::newlocale(LC_ALL_MASK, kGerman, nullptr))
    ::freelocale(german);
  else
    GTEST_SKIP() << "the locale " << kGerman
                 << " is not installed (Debian: package locales, then locale-gen; "
                    "scripts/install-deps.sh does both)";

  const Outputs c = runChain("C");
  const Outputs german = runChain(kGerman);

  // The chain made what is compared: intervals in the summary, an event, both images.
  EXPECT_NE(c.at("ratemon stdout").find(" cpm95="), std::string::npos) << c.at("ratemon stdout");
  EXPECT_NE(c.at("ratemon stdout").find(" dead_time_us=150"), std::string::npos);
  const std::string made[] = {"data/" + radmon::dayFileName("20110316"),
                              "data/" + radmon::eventFileName("20110316"),
                              "data/graph_20110316.bmp", "data/graph_20110316.jpg"};
  for (const std::string& name : made) EXPECT_TRUE(c.contains(name) && !c.at(name).empty()) << name;

  for (const auto& [name, bytes] : c) {
    if (!german.contains(name)) {
      ADD_FAILURE() << name << " is missing under " << kGerman;
      continue;
    }
    const std::string& other = german.at(name);
    if (isText(name)) {
      EXPECT_EQ(other, bytes) << name;
    } else if (other != bytes) {
      const auto differ = std::mismatch(bytes.begin(), bytes.end(), other.begin(), other.end());
      ADD_FAILURE() << name << " differs from byte " << (differ.first - bytes.begin()) << " ("
                    << bytes.size() << " and " << other.size() << " bytes)";
    }
  }
  for (const auto& [name, bytes] : german)
    EXPECT_TRUE(c.contains(name)) << name << " is written only under " << kGerman;
}

}  // namespace
