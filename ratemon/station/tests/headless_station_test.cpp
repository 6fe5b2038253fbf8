// The headless ratemon as an operator runs it: a real process on a program folder of
// its own, replaying recordings whose pulses and record lines are known.
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "build_paths.h"
#include "file_bytes.h"
#include "temp_station.h"

#include "day_record.h"
#include "event_log.h"
#include "fakes.h"
#include "headless_station.h"
#include "pending_records.h"
#include "ratemon_options.h"
#include "text_files.h"

namespace radmon {
namespace fs = std::filesystem;

namespace {

struct ProcessResult {
  int status = -1;
  std::string out;
  std::string err;
};

// One second of quiet sound with `n` well separated pulses.
std::vector<uint8_t> second(int n) {
  std::vector<uint8_t> s(22050, 128);
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < 5; ++k) s[200 + i * 400 + k] = 20;
  return s;
}

void writeWav(const fs::path& path, const std::vector<uint8_t>& samples) {
  SF_INFO info{};
  info.samplerate = 22050;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr);
  sf_write_raw(f, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(f);
}

class HeadlessRatemon : public ::testing::Test {
 protected:
  void SetUp() override { station_.writeRatemonSettings(); }

  ProcessResult run(const std::string& args) { return ratemon("--headless " + args); }
  ProcessResult ratemon(const std::string& args) {
    const int status = station_.run("./ratemon " + args);
    return {status, testing::readBytes(root / "out.txt"), testing::readBytes(root / "err.txt")};
  }
  // Starts `./ratemon args...` in the program folder and waits until it holds the lock.
  pid_t startHolder(std::vector<const char*> args) {
    args.insert(args.begin(), "ratemon");
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (::chdir(root.c_str()) != 0) ::_exit(127);
      ::execv("./ratemon", const_cast<char* const*>(args.data()));
      ::_exit(127);
    }
    for (int i = 0; i < 100 && !fs::exists(root / "~Record.tmp"); ++i) ::usleep(20000);
    ::usleep(100000);
    return pid;
  }
  // The exit status of `pid` after SIGTERM; -1 when it did not exit.
  static int stop(pid_t pid) {
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  ftp::testing::TempStation station_{"radmon_headless", "station", {"ratemon"}};
  const fs::path root = station_.program;
};

}  // namespace

TEST_F(HeadlessRatemon, ReplaysARecordingToKnownLines) {
  // 150 seconds: 1 pulse a second for a minute, 2 for the next, then 30 seconds of 3;
  // the last buffer is half a second and counts as a second without pulses, so the
  // last minute holds 29 × 2 + 30 × 3 = 148.
  std::vector<uint8_t> wav;
  for (int s = 0; s < 150; ++s) {
    const auto one = second(s < 60 ? 1 : s < 120 ? 2 : 3);
    wav.insert(wav.end(), one.begin(), one.end());
  }
  wav.insert(wav.end(), 11025, 128);
  writeWav(root / "rec.wav", wav);

  const ProcessResult r = run("--input rec.wav --fast --start '2011-09-19 23:59:30'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(
      r.out,
      "\"2011/09/20\",\"00:00\",0.555,60,60,60\n"
      "\"2011/09/20\",\"00:01\",1.111,120,180,120\n"
      "summary elapsed=151 total=270 cpm=148 dose=1.37 cpm95=125.1-173.9 dose95=1.158-1.610\n");
  EXPECT_EQ(testing::readBytes(root / "data" / dayFileName("20110920")),
            "\"2011/09/20\",\"00:00\",0.555,60,60,60\r\n"
            "\"2011/09/20\",\"00:01\",1.111,120,180,120\r\n");
  // The stage-1 alarm was on (1.111 > 0.27) and is announced with its time.
  EXPECT_NE(r.err.find("2011/09/19 23:59:31 第一段警報: 0.555 μSv/h > 0.27 μSv/h"),
            std::string::npos)
      << r.err;
  // The settings file is only read, and the lock file is gone.
  EXPECT_NE(testing::readBytes(root / "ratemon.ini").find("\"18\""), std::string::npos);
  EXPECT_FALSE(fs::exists(root / "~Record.tmp"));
}

TEST_F(HeadlessRatemon, CountsWhatTheSimulatorPutIntoAWav) {
  const std::string gm = ::radmon::testing::programDir() +
                         "/gmsim --cpm 120 --seconds 300 --seed 3 --out '" +
                         (root / "sim.wav").string() + "' > '" + (root / "gm.txt").string() + "'";
  ASSERT_EQ(std::system(gm.c_str()), 0);
  const std::string text = testing::readBytes(root / "gm.txt");
  const long truth = std::stol(text.substr(text.find("pulses=") + 7));
  const ProcessResult r = run("--input sim.wav --fast");
  ASSERT_EQ(r.status, 0) << r.err;
  const long counted = std::stol(r.out.substr(r.out.find("total=") + 6));
  // At 2 pulses a second two pulses closer than half a millisecond are rare.
  EXPECT_NEAR(counted, truth, truth / 200.0 + 1);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 6);  // 5 minutes and the summary
}

TEST_F(HeadlessRatemon, SimulatedDayGivesOneLineAMinuteSplitAtMidnight) {
  const ProcessResult r =
      run("--input sim:20 --fast --start '2011-09-19 23:59:59' --seconds 86400");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string day = testing::readBytes(root / "data" / dayFileName("20110920"));
  EXPECT_EQ(std::count(day.begin(), day.end(), '\n'), 1440);
  EXPECT_EQ(day.substr(0, 21), "\"2011/09/20\",\"00:00\",");
  EXPECT_NE(day.find("\"23:59\",", day.size() - 60), std::string::npos);
  EXPECT_NE(r.out.find("summary elapsed=86400 "), std::string::npos);
}

TEST_F(HeadlessRatemon, RefusesToStartWithoutSensitivityOrWithTheLockHeld) {
  station_.writeRatemonSettings("");
  ProcessResult r = run("--input sim:20 --fast --seconds 60");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("GM菅γ線感度を入力してください"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(root / "data"));

  station_.writeRatemonSettings("18");
  const pid_t holder = startHolder({"--headless", "--input", "sim:20"});
  r = run("--input sim:20 --fast --seconds 60");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("既に起動しています"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("systemctl --user stop ratemon"), std::string::npos) << r.err;
  EXPECT_EQ(stop(holder), 0);  // a clean end on SIGTERM
  EXPECT_FALSE(fs::exists(root / "~Record.tmp"));
}

// A station set up without a screen: the settings listed, the sensitivity set, and the
// station records with it; the window refuses at once without a display.
TEST_F(HeadlessRatemon, SetUpFromTheCommandLineThenRecords) {
  fs::remove(root / "ratemon.ini");
  ProcessResult r = ratemon("--show-settings");
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* line : {"tube_sensitivity=\n", "alarm1_limit_usv_h=0.27\n", "record_csv=1\n",
                           "counting.dead_time_us=0\n", "counting.alarm_on_evidence=0\n",
                           "mqtt.password=(unset)\n", "maps.safecast.api_key=(unset)\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
  EXPECT_FALSE(fs::exists(root / "ratemon.ini"));  // listing writes nothing

  r = ratemon(
      "--set tube_sensitivity=18 --set mqtt.password=hidden --set maps.safecast.api_key=hidden "
      "--set maps.radmon.password=hidden --set maps.gmcmap.account=hidden");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("tube_sensitivity"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("hidden"), std::string::npos) << r.out;
  EXPECT_EQ(testing::readBytes(root / "ratemon.ini"),
            "\"50\",\"3\",\"10\",\"18\",\"0.27\",\"2.7\",\"" + root.string() +
                "/data/\",0,0,1,\"0\"\r\n");
  for (const char* file : {"ratemon_mqtt.ini", "ratemon_maps.ini"})
    EXPECT_EQ(fs::status(root / file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write)
        << file;
  r = ratemon("--show-settings");
  EXPECT_EQ(r.out.find("hidden"), std::string::npos) << r.out;
  for (const char* line : {"maps.radmon.password=(set)\n", "maps.gmcmap.account=(set)\n",
                           "maps.safecast.api_key=(set)\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;

  r = run("--input sim:20 --fast --start '2011-09-19 10:00:00' --seconds 120");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string day = testing::readBytes(root / "data" / dayFileName("20110919"));
  EXPECT_EQ(std::count(day.begin(), day.end(), '\n'), 2) << day;

  EXPECT_EQ(station_.run("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ./ratemon"), 1);
  EXPECT_NE(testing::readBytes(root / "err.txt").find("ratemon --headless"), std::string::npos);
}

// Each refused edit names its key and leaves every file byte for byte, the good edits
// given with it too.
TEST_F(HeadlessRatemon, ARefusedEditChangesNoFile) {
  ASSERT_EQ(ratemon("--set counting.dead_time_us=50 --set mqtt.url=mqtt://h/radmon/a").status, 0);
  auto files = [&] {
    std::string all;
    for (const auto& entry : fs::directory_iterator(root))
      if (entry.path().extension() == ".ini")
        all += entry.path().filename().string() + ":" + testing::readBytes(entry.path());
    return all;
  };
  const std::string before = files();
  const struct {
    const char* args;
    const char* key;
  } cases[] = {
      {"--set tube_sensitivity=0", "tube_sensitivity"},
      {"--set threshold=40 --set tube_sensitivity=abc", "tube_sensitivity"},
      {"--set threshold=x1", "threshold"},
      {"--set dead_band=40000", "dead_band"},
      {"--set alarm2_limit_usv_h=x", "alarm2_limit_usv_h"},
      {"--set record_path='a\"b.csv'", "record_path"},
      {"--set alarm1=yes", "alarm1"},
      {"--set counting.dead_time_us=-1", "counting.dead_time_us"},
      {"--set mqtt.url=http://h/x", "mqtt.url"},
      {"--set mqtt.live=2 --set threshold=45", "mqtt.live"},
      {"--set maps.safecast.latitude=91", "maps.safecast.latitude"},
      {"--set maps.gmcmap.url=ftp://h/log2.asp", "maps.gmcmap.url"},
      {"--set sensitivity=18", "sensitivity"},
      {"--set threshold", "threshold"},
  };
  for (const auto& c : cases) {
    const ProcessResult r = ratemon(c.args);
    EXPECT_NE(r.status, 0) << c.args;
    EXPECT_NE(r.err.find(c.key), std::string::npos) << c.args << ": " << r.err;
    EXPECT_EQ(files(), before) << c.args;
  }
}

// Each value that would break later is refused with its key and why, in the operator's
// words; the ranges are the window's labels, a record path moves the day files only as
// a csv path in a folder that exists, and then it does.
TEST_F(HeadlessRatemon, RefusalsSayWhyAndARecordPathThatIsTakenIsWhereTheDayGoes) {
  const fs::path elsewhere = root / "elsewhere";
  fs::create_directories(elsewhere);
  const std::string before = testing::readBytes(root / "ratemon.ini");
  const struct {
    std::string edit;
    std::string says;
  } cases[] = {
      {"threshold=-1", "20 から 80 までの数"},
      {"threshold=300", "20 から 80 までの数"},
      {"threshold=19.5", "20 から 80 までの数"},
      {"dead_band=11", "0 から 10 までの数"},
      {"resolution=0", "5 から 15 までの数"},
      {"resolution=16", "5 から 15 までの数"},
      {"background_cpm=-3", "0 以上の数"},
      {"tube_sensitivity=0", "0 より大きい数"},
      {"alarm1_limit_usv_h=abc", "数を指定してください"},
      {"record_path='" + elsewhere.string() + "/'", "csv で終わるファイルの絶対パス"},
      {"record_path=x.csv", "csv で終わるファイルの絶対パス"},
      {"record_path='" + (root / "none" / "x.csv").string() + "'",
       "フォルダ " + (root / "none").string() + "/ がありません"},
      {"record_path='/a\"b.csv'", "値に「\"」は使えません"},
      {"language=fr", "ja、en、または空"},
      {"maps.radmon.url=ftp://radmon.example", "http:// か https:// で始まるアドレス"},
      {"maps.safecast.latitude=91", "-90 から 90 までの度"},
  };
  for (const auto& c : cases) {
    const ProcessResult r = ratemon("--set " + c.edit);
    EXPECT_EQ(r.status, 1) << c.edit;
    const std::string key = c.edit.substr(0, c.edit.find('='));
    EXPECT_NE(r.err.find(key), std::string::npos) << c.edit << ": " << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.edit << ": " << r.err;
    EXPECT_EQ(testing::readBytes(root / "ratemon.ini"), before) << c.edit;
  }
  // The ends of the labels' ranges are taken.
  EXPECT_EQ(ratemon("--set threshold=20 --set resolution=15 --set dead_band=0").status, 0);
  const ProcessResult english = ratemon("--lang en --set resolution=0");
  EXPECT_NE(english.err.find("resolution"), std::string::npos) << english.err;
  EXPECT_NE(english.err.find("5 to 15"), std::string::npos) << english.err;

  const ProcessResult moved =
      ratemon("--set record_path='" + (elsewhere / "μSVHData_nnnntthh.csv").string() + "'");
  ASSERT_EQ(moved.status, 0) << moved.err;
  ASSERT_EQ(run("--input sim:20 --fast --start '2011-09-19 10:00:00' --seconds 60").status, 0);
  EXPECT_TRUE(fs::exists(elsewhere / dayFileName("20110919")));
  EXPECT_FALSE(fs::exists(root / "data" / dayFileName("20110919")));
}

// A display that is named but does not answer ends the window at once, as no display
// does, in either language, rather than Qt aborting.
TEST_F(HeadlessRatemon, AnUnreachableDisplayIsToldLikeNoDisplay) {
  for (const char* lang : {"ja", "en"}) {
    const int status = station_.run(
        std::string("env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:77 ./ratemon --lang ") +
        lang);
    const std::string err = testing::readBytes(root / "err.txt");
    EXPECT_EQ(status, 1) << lang << ": " << err;
    EXPECT_NE(err.find("ratemon --headless --input SOURCE"), std::string::npos) << err;
    EXPECT_NE(err.find(lang == std::string("ja") ? "画面がない" : "no screen"), std::string::npos)
        << err;
  }
  EXPECT_FALSE(fs::exists(root / "~Record.tmp"));
}

// Headless, the refusals name what mends them, in the station's language when it chose
// one: over the locale (none here, as a service has), under --lang.
TEST_F(HeadlessRatemon, HeadlessRefusalsNameTheCommandInTheStationsLanguage) {
  fs::remove(root / "ratemon.ini");
  const std::string noLocale = "env -u LANG -u LC_ALL -u LC_MESSAGES -u LANGUAGE ./ratemon ";
  auto said = [&](const std::string& args) {
    station_.run(noLocale + args);
    return testing::readBytes(root / "err.txt");
  };
  EXPECT_NE(said("--headless").find("--headless には --input SOURCE が必要です"),
            std::string::npos);
  EXPECT_NE(said("--headless --input sim:20 --fast --seconds 60")
                .find("ratemon --set tube_sensitivity=N"),
            std::string::npos);

  ASSERT_EQ(ratemon("--set language=en").status, 0);
  EXPECT_EQ(testing::readBytes(root / "radmon_language.ini"), "language=en\n");
  EXPECT_NE(said("--headless").find("--headless needs --input SOURCE"), std::string::npos);
  const std::string english = said("--headless --input sim:20 --fast --seconds 60");
  EXPECT_NE(english.find("ratemon --set tube_sensitivity=N"), std::string::npos) << english;
  EXPECT_NE(english.find("cps/mR/h"), std::string::npos) << english;
  EXPECT_NE(said("--lang ja --headless").find("が必要です"), std::string::npos);
  EXPECT_NE(ratemon("--show-settings").out.find("\nlanguage=en\n"), std::string::npos);
  const ProcessResult refused = ratemon("--set language=fr");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("language"), std::string::npos) << refused.err;
  ASSERT_EQ(ratemon("--set language=").status, 0);
  EXPECT_NE(said("--headless").find("が必要です"), std::string::npos);
}

// An edit made while the service runs survives its stop: the headless station only
// reads its settings.
TEST_F(HeadlessRatemon, AnEditWhileRunningSurvivesTheStop) {
  const pid_t holder = startHolder({"--headless", "--input", "sim:20", "--silent"});
  const ProcessResult r = ratemon(
      "--set alarm1_limit_usv_h=0.5 --set counting.graph_band=1 --set "
      "counting.alarm_on_evidence=1");
  EXPECT_EQ(r.status, 0) << r.err;
  // The change of rule is told with both rules' figures.
  EXPECT_NE(r.out.find("88.8 %"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("250 / 596"), std::string::npos) << r.out;
  EXPECT_EQ(stop(holder), 0);
  EXPECT_NE(testing::readBytes(root / "ratemon.ini").find("\"0.5\""), std::string::npos);
  EXPECT_NE(testing::readBytes(root / "ratemon_counting.ini").find("graph_band=1"),
            std::string::npos);
  EXPECT_NE(testing::readBytes(root / "ratemon_counting.ini").find("alarm_on_evidence=1"),
            std::string::npos);
}

TEST_F(HeadlessRatemon, BadArgumentsAndSourcesAreExplained) {
  EXPECT_EQ(run("--input sim:20 --seconds abc").status, 2);
  EXPECT_EQ(run("--input sim:20 --start tomorrow").status, 2);
  EXPECT_EQ(run("--fast").status, 2);
  const ProcessResult r = run("--input missing.wav --fast");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("WAVファイルを開けません"), std::string::npos) << r.err;
  EXPECT_EQ(run("--input sim:abc --fast").status, 1);
  // A WAV without a single sample, a bare header or no bytes at all, is no recording.
  writeWav(root / "bare.wav", {});
  std::ofstream(root / "nobytes.wav", std::ios::binary).flush();
  for (const char* empty : {"bare.wav", "nobytes.wav"}) {
    const ProcessResult e = run(std::string("--input ") + empty + " --fast");
    EXPECT_EQ(e.status, 1) << empty;
    EXPECT_NE(e.err.find("WAVファイルに音がありません"), std::string::npos) << e.err;
  }
  const ProcessResult tau = run("--input sim:20 --fast --dead-time -5");
  EXPECT_EQ(tau.status, 2);
  EXPECT_NE(tau.err.find("不感時間が正しくありません"), std::string::npos) << tau.err;
}

// 1200 CPM for two minutes: the resolving time from ratemon_counting.ini, or from the
// command line over it, corrects the CPM; the total stays the count; a bad file line is
// told and the correction stays off.
TEST_F(HeadlessRatemon, DeadTimeFromTheSettingsFileOrTheCommandLine) {
  const struct {
    const char* file;
    const char* args;
    const char* says;
    bool corrected;
  } cases[] = {
      {nullptr, "", "", false},
      {"dead_time_us=10000\n", "", "dead_time_us=10000 capped=0", true},
      {"dead_time_us=10000\n", "--dead-time 0", "", false},
      {nullptr, "--dead-time 10000", "dead_time_us=10000 capped=0", true},
      {"dead_time_us=fast\n", "", "", false},
  };
  for (const auto& c : cases) {
    fs::remove(root / "ratemon_counting.ini");
    if (c.file) std::ofstream(root / "ratemon_counting.ini") << c.file;
    const ProcessResult r =
        run(std::string("--input sim:1200,seed=4 --fast --seconds 120 ") + c.args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string summary = r.out.substr(r.out.find("summary"));
    const long total = std::stol(summary.substr(summary.find("total=") + 6));
    const long cpm = std::stol(summary.substr(summary.find("cpm=") + 4));
    // The first line: "date","time",dose,cpm,total,60.
    const std::string first = r.out.substr(0, r.out.find('\n'));
    const size_t totalAt = first.rfind(',', first.rfind(',') - 1) + 1;
    const long lastMinute = total - std::stol(first.substr(totalAt));
    EXPECT_EQ(summary.find("dead_time_us") != std::string::npos, c.corrected) << summary;
    if (*c.says) {
      EXPECT_NE(summary.find(c.says), std::string::npos) << summary;
    }
    // 10 ms blind after each of about 20 pulses a second: the correction adds a quarter.
    if (c.corrected) {
      EXPECT_NEAR(cpm, lastMinute / (1 - lastMinute / 60.0 * 0.01), 1.0) << summary;
    } else {
      EXPECT_EQ(cpm, lastMinute) << summary;
    }
    EXPECT_EQ(r.err.find("dead_time_us") != std::string::npos,
              std::string(c.file ? c.file : "") == "dead_time_us=fast\n")
        << r.err;
  }
}

// The simulated tube at 120000 and 200000 CPM through the real scan with its own τ: past
// the dead-time cap the counted figure stands as a lower bound (above the cap's 51531
// CPM, 477 μSv/h), the stage-1 alarm at 500 μSv/h sounds, the record line has the same
// figure and the interval has no upper end. A wide tube held down at 10^6 CPM, without
// the correction, is saturated: at least the cap's figure for the scan's τ (51545 CPM,
// under the stage's limit), and the alarm sounds all the same; no signal is not told.
TEST_F(HeadlessRatemon, PastTheDeadTimeCapTheCountedFigureStandsAndSoundsTheAlarm) {
  std::ofstream(root / "ratemon.ini", std::ios::binary)
      << "\"50\",\"3\",\"10\",\"18\",\"500\",\"5000\",\"" << root.string()
      << "/data/μSVHData_nnnntthh.csv\",1,0,1,\"0\"\r\n";
  const struct {
    const char* input;
    long leastCpm;
    bool saturated;
  } cases[] = {{"120000,seed=5 --dead-time 499", 52000, false},
               {"200000,seed=5 --dead-time 499", 52000, false},
               {"1000000,tube=wide,seed=5", 51545, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const ProcessResult r = run(std::string("--input sim:") + c.input + " --fast --seconds 60");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string summary = r.out.substr(r.out.find("summary"));
    const long cpm = std::stol(summary.substr(summary.find(" cpm=") + 5));
    const double low = std::stod(summary.substr(summary.find("cpm95=") + 6));
    EXPECT_GE(cpm, c.leastCpm) << summary;
    EXPECT_EQ(summary.find("saturated=1") != std::string::npos, c.saturated) << summary;
    EXPECT_EQ(r.err.find("信号なし"), std::string::npos) << r.err;
    EXPECT_LE(low, static_cast<double>(cpm)) << summary;
    EXPECT_NE(summary.find(" dose95="), std::string::npos);
    EXPECT_NE(summary.find("-inf dose95="), std::string::npos) << summary;
    EXPECT_NE(summary.find("capped=1"), std::string::npos) << summary;
    EXPECT_NE(r.out.find("," + std::to_string(cpm) + ","), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("第一段警報"), std::string::npos) << r.err;
  }
}

// The summary carries the resolving time estimated from the intervals once enough were
// heard: the wide pulse's own, not the scan's 0.5 ms; none from a minute at 20 CPM.
TEST_F(HeadlessRatemon, SummaryCarriesTheEstimatedResolvingTime) {
  const struct {
    const char* input;
    long from, to;  // µs; 0: no estimate
  } cases[] = {{"sim:5000,tube=wide", 950, 1150}, {"sim:5000", 450, 520}, {"sim:20", 0, 0}};
  for (const auto& c : cases) {
    const ProcessResult r = run(std::string("--input ") + c.input + " --fast --seconds 60");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string summary = r.out.substr(r.out.find("summary"));
    const size_t at = summary.find("dead_time_estimate_us=");
    ASSERT_EQ(at != std::string::npos, c.to > 0) << summary;
    if (c.to > 0) {
      const long us = std::stol(summary.substr(at + 22));
      EXPECT_GE(us, c.from) << summary;
      EXPECT_LE(us, c.to) << summary;
    }
  }
}

// The headless loop in this process on a fake input: each second's sound and the data
// folder's presence are the test's, so that a fault comes and goes at a known second.
class HeadlessSession : public HeadlessRatemon {
 protected:
  // Runs `seconds` seconds; before each, `at(second)` may change the folder and gives
  // the second's pulses (0: flat sound). The log.
  std::string run(int seconds, const std::function<int(int)>& at) {
    std::ostringstream out, err;
    const InputFactory open = [&](const std::string&,
                                  int) -> std::expected<DrivenInput, std::string> {
      auto audio = std::make_unique<FakeAudio>();
      FakeAudio* raw = audio.get();
      return DrivenInput{std::move(audio), [raw, &at, s = 0]() mutable {
                           raw->deliver(secondWithPulseCount(at(s), s));
                           ++s;
                           return true;
                         }};
    };
    HeadlessOptions options;
    options.input = "fake";
    options.fast = true;
    options.start = LocalDateTime{2011, 9, 19, 10, 0, 0};
    options.seconds = seconds;
    const std::string folder = root.string() + "/";
    EXPECT_EQ(runHeadless(options, {folder, folder + "~Record.tmp", open, out, err}), 0)
        << err.str();
    return err.str();
  }
  // The data folder is there only outside [from, to).
  std::function<int(int)> dataGone(int from, int to, std::function<int(int)> pulses) {
    return [=, this](int s) {
      if (s == from) fs::remove_all(root / "data");
      if (s == to) fs::create_directories(root / "data");
      return pulses(s);
    };
  }
  // The sound path's events of the day; the stage-1 alarm (on, 60 CPM is over its limit)
  // is logged beside them.
  std::vector<EventLine> events() {
    std::vector<EventLine> all = readEventLog((root / "data/").string(), "20110919");
    std::erase_if(all, [](const EventLine& e) { return isAlarm(e.kind); });
    return all;
  }
};

size_t occurrences(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// A day file folder gone for minutes, and an event log gone across two events and back
// before the next (flat sound from 0 s and from 120 s): each write fault is logged once when it
// begins and once when the kept lines are written, and nothing is lost.
TEST_F(HeadlessSession, AWriteFaultThatLastsIsLoggedOnceWhenItBeginsAndOnceWhenItEnds) {
  struct Case {
    const char* name;
    int goneFrom, goneTo, seconds;
    bool flat;
    const char *began, *ended;
    size_t dayLines, events;
  };
  for (const Case& c : {Case{"day file", 30, 200, 300, false, "記録ファイルに書き込めません",
                             "記録ファイルに再び書き込めます", 5, 0},
                        // The first minute had no-signal on for ten seconds: a gap.
                        Case{"event log", 0, 100, 150, true, "イベント記録に書き込めません",
                             "イベント記録に再び書き込めます", 1, 4}}) {
    SCOPED_TRACE(c.name);
    fs::remove_all(root / "data");
    fs::create_directories(root / "data");
    const std::string log =
        run(c.seconds,
            dataGone(c.goneFrom, c.goneTo, [&](int s) { return c.flat && s % 120 < 20 ? 0 : 1; }));
    EXPECT_EQ(occurrences(log, c.began), 1u) << log;
    EXPECT_EQ(occurrences(log, c.ended), 1u) << log;
    EXPECT_LT(log.find(c.began), log.find(c.ended)) << log;
    const std::string day = testing::readBytes(root / "data" / dayFileName("20110919"));
    EXPECT_EQ(static_cast<size_t>(std::count(day.begin(), day.end(), '\n')), c.dayLines) << day;
    EXPECT_EQ(events().size(), c.events);
  }
}

// Events that could not be written before the end wait in the station folder and reach
// their event log at the next start, with their own times.
TEST_F(HeadlessSession, EventsKeptAtTheEndReachTheirEventLogAtTheNextStart) {
  std::string log = run(30, dataGone(0, -1, [](int s) { return s < 20 ? 0 : 1; }));
  const std::string pending = (root / kPendingEventsFileName).string();
  EXPECT_NE(log.find("書き込めなかったイベント 2 件を " + pending), std::string::npos) << log;
  ASSERT_TRUE(fs::exists(pending));

  fs::create_directories(root / "data");
  log = run(1, [](int) { return 1; });
  EXPECT_NE(log.find("前回書き込めなかったイベント 2 件をイベント記録に書き込みました"),
            std::string::npos)
      << log;
  EXPECT_FALSE(fs::exists(pending));
  const auto logged = events();
  ASSERT_EQ(logged.size(), 2u);
  EXPECT_EQ(logged[0].kind, EventKind::NoSignal);
  EXPECT_EQ(logged[1].kind, EventKind::SignalOk);
  EXPECT_EQ(logged[1].when, (LocalDateTime{2011, 9, 19, 10, 0, 21}));
}

TEST(ParseHeadlessOptions, ReadsEveryOption) {
  auto parsed = parseHeadlessOptions(checkOptions(
      ratemonOptions(), {"--headless", "--input", "x.wav", "--fast", "--start",
                         "2011-09-19 10:00:00", "--seconds", "60", "--dead-time", "499"}));
  ASSERT_TRUE(parsed.has_value());
  const auto& o = *parsed;
  EXPECT_EQ(o.input, "x.wav");
  EXPECT_TRUE(o.fast);
  EXPECT_EQ(o.start->hour, 10);
  EXPECT_EQ(o.seconds, 60);
  EXPECT_EQ(o.deadTimeMicroseconds, 499.0);
}

}  // namespace radmon
