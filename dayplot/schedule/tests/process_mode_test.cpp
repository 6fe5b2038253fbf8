// Runs the real dayplot executable from a program folder of its own.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "build_paths.h"
#include "file_bytes.h"
#include "temp_station.h"

namespace {

namespace fs = std::filesystem;
using radmon::testing::readBytes;

class ProcessModeTest : public ::testing::Test {
 protected:
  // The program folder is the executable's folder, so the test gives it one.
  void SetUp() override {
    fs::copy_file(::radmon::testing::programDir() + "/dayplot", dir_ / "dayplot");
  }

  void writeDay(const std::string& day) {
    std::ofstream out(data_ + "μSVHData" + day + ".csv", std::ios::binary);
    out << "\"2011/04/01\",\"00:00\",0.1,1,1,60\r\n\"2011/04/01\",\"00:01\",0.2,1,1,60\r\n";
  }
  void writeIni(const std::string& text) {
    std::ofstream((dir_ / "dayplot.ini").string(), std::ios::binary) << text;
  }
  std::string ini(const std::string& scale, int jpeg, int bmp) {
    return "\"here\",\"" + data_ + "\",\"graph\",\"" + scale +
           "\",\"μSVHData\",\"tube\",\"03\",\"00\"\r\n" + std::to_string(jpeg) + "," +
           std::to_string(bmp) +
           ",0,0\r\n#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n\"s\",\"\",\"\",0,\"\"\r\n";
  }

  // Exit code; stderr kept in err_. Without a display, as on a station without a screen.
  int run(const std::string& args) {
    const int status =
        station_.run("env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY ./dayplot " + args);
    err_ = readBytes(dir_ / "err.txt");
    return status;
  }
  // The exit code of `args`, and a text its stderr must hold.
  void expectRun(const std::string& args, int status, const std::string& says = "") {
    EXPECT_EQ(run(args), status) << args << ": " << err_;
    EXPECT_NE(err_.find(says), std::string::npos) << args << ": " << err_;
  }

  radmon::ftp::testing::TempStation station_{"dayplot_process", "program", {}};
  const fs::path dir_ = station_.program;
  const std::string data_ = station_.data.string();  // ends with its separator
  std::string err_;
};

// Without a settings file: the data subfolder, and no file made; with one that asks for no
// image: success; with both images asked for: both, and the settings file left alone.
TEST_F(ProcessModeTest, WritesTheImagesAskedForAndLeavesTheSettingsFileAlone) {
  writeDay("20110401");
  writeIni(ini("2", 0, 0));
  EXPECT_EQ(run("--process 20110401"), 0) << err_;
  EXPECT_EQ(std::distance(fs::directory_iterator(data_), fs::directory_iterator()), 1);

  fs::remove(dir_ / "dayplot.ini");
  EXPECT_EQ(run("--process 20110401"), 0) << err_;
  EXPECT_TRUE(fs::is_regular_file(data_ + "μSVHGraph_20110401.jpg"));
  EXPECT_FALSE(fs::exists(dir_ / "dayplot.ini"));

  const std::string settings = ini("2", 1, 1);
  writeIni(settings);
  EXPECT_EQ(run("--process 20110401"), 0) << err_;
  EXPECT_TRUE(fs::is_regular_file(data_ + "graph_20110401.jpg"));
  EXPECT_TRUE(fs::is_regular_file(data_ + "graph_20110401.bmp"));
  EXPECT_EQ(readBytes(dir_ / "dayplot.ini"), settings);
  // The day's figures are all that goes to stdout, for scripts.
  EXPECT_EQ(readBytes(dir_ / "out.txt"), "statistics max=0.2 mean=0.15 minutes=2 suspect=0\n");
}

// A missing day file exits with 1, other failures with 2, each with its message.
TEST_F(ProcessModeTest, FailuresExitOneOrTwoWithTheirMessage) {
  expectRun("--process 20110401", 1, "ファイルがありません");
  writeDay("20110401");
  writeIni(ini("0", 1, 0));
  expectRun("--process 20110401", 2, "縦軸最大スケール");

  writeIni(ini("2", 1, 0));
  fs::create_directory(data_ + "graph_20110401.jpg");
  expectRun("--process 20110401", 2, "JPEG");

  expectRun("--process 2011041", 2, "yyyymmdd");
  expectRun("--process 20110231", 2);
  expectRun("--bogus", 2, "--process");
  EXPECT_NE(err_.find("--headless"), std::string::npos) << err_;
  // No arguments opens the settings window; without a screen it says so and ends.
  expectRun("", 1, "dayplot --headless");
}

// dayplot_readings.ini adds the interval of the day's mean; without it the graph is as
// it always was.
TEST_F(ProcessModeTest, MeanIntervalFromTheReadingsSettingsFile) {
  writeDay("20110401");
  writeIni(ini("2", 0, 1));
  // The statistics line's rows of the bottom-up 24-bit bitmap (841 pixels, rows of 2524
  // bytes after a 54-byte header); the made time above it may change between runs.
  auto image = [&] {
    EXPECT_EQ(run("--process 20110401"), 0) << err_;
    const std::string all = readBytes(data_ + "graph_20110401.bmp");
    constexpr size_t kRow = 2524;
    return all.size() < 54 + 537 * kRow ? all : all.substr(54 + (536 - 64) * kRow, 24 * kRow);
  };
  const std::string plain = image();
  std::ofstream((dir_ / "dayplot_readings.ini").string()) << "mean_interval=0\n";
  EXPECT_EQ(image(), plain);
  std::ofstream((dir_ / "dayplot_readings.ini").string()) << "mean_interval=1\n";
  EXPECT_NE(image(), plain);
  // A line that is no setting is told, and the graph is drawn as without the file.
  std::ofstream((dir_ / "dayplot_readings.ini").string()) << "mean_interval=yes\n";
  EXPECT_EQ(image(), plain);
  EXPECT_NE(err_.find("読めない行を無視しました: mean_interval=yes"), std::string::npos) << err_;
}

// --month and --year: the images named after the period, the same exit codes.
TEST_F(ProcessModeTest, MonthAndYearGraphs) {
  writeDay("20110401");
  writeDay("20110415");
  writeIni(ini("2", 1, 0));
  const struct {
    const char* args;
    int status;
    const char* image;
    const char* says;
  } cases[] = {
      {"--month 201104", 0, "graph_201104.jpg", ""},
      {"--year 2011", 0, "graph_2011.jpg", ""},
      {"--month 201105", 1, "", "この期間の記録ファイルがありません"},
      {"--year 2010", 1, "", "この期間の記録ファイルがありません"},
      {"--month 201113", 2, "", "yyyymm"},
      {"--month 2011", 2, "", "yyyymm"},
      {"--year 11", 2, "", "yyyy"},
  };
  for (const auto& c : cases) {
    expectRun(c.args, c.status, c.says);
    if (*c.image) {
      EXPECT_TRUE(fs::is_regular_file(data_ + c.image)) << c.args;
    }
  }
  EXPECT_FALSE(fs::exists(data_ + "graph_201105.jpg"));
  EXPECT_EQ(std::distance(fs::directory_iterator(data_), fs::directory_iterator()), 4);
}

// A torn line is skipped and told, by the day, the month and the year alike.
TEST_F(ProcessModeTest, SkippedLinesAreToldForADayAMonthAndAYear) {
  writeDay("20110401");
  std::ofstream(data_ + "μSVHData20110401.csv", std::ios::binary | std::ios::app)
      << "\"2011/04/01\",\"00:0\r\n";
  writeIni(ini("2", 1, 0));
  for (const char* args : {"--process 20110401", "--month 201104", "--year 2011"})
    expectRun(args, 0, data_ + "μSVHData20110401.csv の読めない 1 行を読み飛ばしました");
}

// dayplot set up without a screen: the settings listed (never the password), changed
// through the checks the program uses, each refused edit leaving every file as it was.
TEST_F(ProcessModeTest, SettingsFromTheCommandLine) {
  EXPECT_EQ(run("--set upload_password=hidden --set today_every_minutes=30 "
                "--set publish.retry_minutes=15 --set readings.mean_interval=1 "
                "--set publish.page=1"),
            0)
      << err_;
  const std::string ini = readBytes(dir_ / "dayplot.ini");
  EXPECT_NE(ini.find("#FALSE#,#FALSE#,#TRUE#,#FALSE#\r\n\"ftp.example.com\",\"\",\"hidden\",0,"),
            std::string::npos)
      << ini;
  EXPECT_EQ(fs::status(dir_ / "dayplot.ini").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_NE(readBytes(dir_ / "dayplot_publish.ini").find("RetryMinutes=15\n"), std::string::npos);
  EXPECT_NE(readBytes(dir_ / "dayplot_publish.ini").find("PublishPage=1\n"), std::string::npos);
  EXPECT_EQ(readBytes(dir_ / "dayplot_readings.ini"), "mean_interval=1\r\n");
  EXPECT_EQ(run("--show-settings"), 0) << err_;
  const std::string listed = readBytes(dir_ / "out.txt");
  EXPECT_EQ(listed.find("hidden"), std::string::npos);
  for (const char* line : {"upload_password=(set)\n", "today_every_minutes=30\n",
                           "yesterday_hour=00\n", "publish.retry_minutes=15\n"})
    EXPECT_NE(listed.find(line), std::string::npos) << line << listed;

  auto files = [&] {
    std::string all;
    for (const auto& entry : fs::directory_iterator(dir_))
      if (entry.path().extension() == ".ini")
        all += entry.path().filename().string() + ":" + readBytes(entry.path());
    return all;
  };
  const std::string before = files();
  for (const char* edit :
       {"yesterday_hour=24", "yesterday_minute=7", "scale_max_usv_h=0", "today_every_minutes=15",
        "jpeg=2", "place='a\"b'", "publish.retry_minutes=0", "publish.trusted_fingerprints=ab",
        "publish.tls_required=yes", "publish.page=2", "readings.mean_interval=on",
        "upload=1 --set server=x"}) {
    const std::string args = std::string("--set bmp=1 --set ") + edit;
    EXPECT_NE(run(args), 0) << args;
    const std::string key = std::string(edit).substr(0, std::string(edit).find('='));
    EXPECT_NE(err_.find(key == "upload" ? "server" : key), std::string::npos) << args << err_;
    EXPECT_EQ(files(), before) << args;
  }
}

// A value that would break a later run is refused with its key and why; a password is
// never shown, even refused; a folder with spaces is taken (the script quotes it).
TEST_F(ProcessModeTest, RefusalsSayWhyAndNeverShowThePassword) {
  ASSERT_EQ(run("--set bmp=1"), 0) << err_;
  const std::string before = readBytes(dir_ / "dayplot.ini");
  const struct {
    const char* edit;
    const char* says;
  } cases[] = {
      {"graph_name=a/b", "「/」と「\\」は使えません"},
      {"graph_name=", "空にはできません"},
      {"data_prefix=' '", "空にはできません"},
      {"upload_server='ftp example.org'", "名前に空白は使えません"},
      {"upload_server=", "名前に空白は使えません"},
      {"upload_password='pa\"ss,w=rd'", "値に「\"」は使えません"},
      {"upload_folder='my \"graphs\"'", "値に「\"」は使えません"},
      {"yesterday_hour=24", "00 から 23 までの 2 桁の時"},
      {"yesterday_minute=5", "00 から 59 までの 2 桁の分"},
      {"scale_max_usv_h=0", "0 より大きい数"},
      {"today_every_minutes=15", "10、20、30、60 のどれか"},
      {"language=fr", "ja、en、または空"},
      {"publish.retry_minutes=0", "1 から 720 までの整数"},
      {"publish.page=yes", "1 (オン) か 0 (オフ)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(run(std::string("--set ") + c.edit), 1) << c.edit;
    const std::string key = std::string(c.edit).substr(0, std::string(c.edit).find('='));
    EXPECT_NE(err_.find(key), std::string::npos) << c.edit << ": " << err_;
    EXPECT_NE(err_.find(c.says), std::string::npos) << c.edit << ": " << err_;
    EXPECT_EQ(readBytes(dir_ / "dayplot.ini"), before) << c.edit;
  }
  run("--set upload_password='pa\"ss,w=rd'");
  EXPECT_EQ(err_.find("w=rd"), std::string::npos) << err_;
  EXPECT_EQ(run("--lang en --set graph_name=a/b"), 1);
  EXPECT_NE(err_.find("graph_name"), std::string::npos) << err_;
  EXPECT_NE(err_.find("file name"), std::string::npos) << err_;
  EXPECT_EQ(run("--lang en --set yesterday_hour=3"), 1);
  EXPECT_NE(err_.find("two-digit hour from 00 to 23"), std::string::npos) << err_;

  EXPECT_EQ(run("--set 'upload_folder=my graphs' --set 'upload_server=ftp.example.org 2121' "
                "--set upload_password=pa,ss"),
            0)
      << err_;
  EXPECT_NE(readBytes(dir_ / "dayplot.ini").find("\"ftp.example.org 2121\""), std::string::npos);
}

// A display that is named but does not answer ends the window at once, as no display
// does, in either language, rather than Qt aborting.
TEST_F(ProcessModeTest, AnUnreachableDisplayIsToldLikeNoDisplay) {
  for (const char* lang : {"ja", "en"}) {
    const int status = station_.run(
        std::string("env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:77 ./dayplot --lang ") +
        lang);
    err_ = readBytes(dir_ / "err.txt");
    EXPECT_EQ(status, 1) << lang << ": " << err_;
    EXPECT_NE(err_.find("dayplot --headless"), std::string::npos) << err_;
    EXPECT_NE(err_.find(lang == std::string("ja") ? "画面がない" : "no screen"), std::string::npos)
        << err_;
  }
}

// One dayplot per station: a second --headless is refused at once and says how to stop
// the service; the window needs a display and says what to use instead. A SIGTERM (a
// logout) closes the window as a close does, saving its settings.
TEST_F(ProcessModeTest, OneDayplotPerStationAndNoWindowWithoutADisplay) {
  // Starts ./dayplot with `option` (none: the window, offscreen) and waits for its lock.
  auto start = [&](const char* option) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (::chdir(dir_.c_str()) != 0) ::_exit(127);
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::execl("./dayplot", "dayplot", option, nullptr);
      ::_exit(127);
    }
    for (int i = 0; i < 250 && !fs::exists(dir_ / "~Dayplot.tmp"); ++i) ::usleep(20000);
    return pid;
  };
  auto stop = [&](pid_t pid) {
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(fs::exists(dir_ / "~Dayplot.tmp"));
  };
  const pid_t headless = start("--headless");
  expectRun("--headless", 1, "systemctl --user stop dayplot");
  expectRun("", 1, "dayplot --headless");
  stop(headless);
  EXPECT_FALSE(fs::exists(dir_ / "dayplot.ini"));  // headless only reads it

  const pid_t window = start(nullptr);
  expectRun("--headless", 1, "systemctl --user stop dayplot");
  stop(window);
  EXPECT_NE(readBytes(dir_ / "dayplot.ini").find("\"ftp.example.com\""), std::string::npos);
}

}  // namespace
