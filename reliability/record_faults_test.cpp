// The record folder taken away, made read-only, or on a full disk for ten minutes in
// the middle of a replay of several hours: afterwards every minute's line is in the
// day file, in order.
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

#include "audio_source_text.h"
#include "day_record.h"
#include "headless_station.h"
#include "station_files.h"

namespace radmon::reliability {
namespace fs = std::filesystem;

namespace {

constexpr int64_t kHours = 4;
constexpr int64_t kSecondHour = 3600 + 17;  // a little into the second hour
constexpr int64_t kTenMinutes = 600;

class RecordFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("radmon_faults_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    data = root / "data";
    fs::create_directories(data);
    writeStationSettings(root, data);
  }
  void TearDown() override {
    ::umount(data.c_str());
    fs::permissions(data, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(root);
  }

  // Replays kHours from 10:00 with `begin` done after second `from` and `end` ten
  // minutes later; the messages of the run.
  std::string replay(int64_t from, const std::function<void()>& begin,
                     const std::function<void()>& end) {
    int64_t second = 0;
    InputFactory open = [&](const std::string& text,
                            int startSecondOfDay) -> std::expected<DrivenInput, std::string> {
      auto input = makeAudioInput(*parseAudioSource(text), startSecondOfDay);
      PullAudioInput* raw = input.get();
      return DrivenInput{std::move(input), [&, raw] {
                           if (second == from) begin();
                           if (second == from + kTenMinutes) end();
                           ++second;
                           return raw->deliverNext();
                         }};
    };
    std::ostringstream out, err;
    HeadlessOptions options;
    options.input = "sim:20";
    options.fast = true;
    options.start = LocalDateTime{2011, 9, 19, 9, 59, 59};
    options.seconds = kHours * 3600;
    const HeadlessEnvironment env{
        root.string() + "/", (root / "~Record.tmp").string(), open, out, err, nullptr};
    EXPECT_EQ(runHeadless(options, env), 0) << err.str();
    return err.str();
  }

  // Every minute from 10:00 on, kHours of them, in order, each one minute on.
  void expectEveryMinute() {
    const auto lines = fileLines(data / dayFileName("20110919"));
    ASSERT_EQ(lines.size(), static_cast<size_t>(kHours * 60));
    for (size_t k = 0; k < lines.size(); ++k) {
      EXPECT_EQ(timeOf(lines[k]), minuteText(600 + static_cast<int>(k))) << lines[k];
      EXPECT_EQ(elapsedOf(lines[k]), 60 * static_cast<int64_t>(k + 1)) << lines[k];
      EXPECT_TRUE(parseRecordLine(lines[k])) << lines[k];
    }
  }

  fs::path root, data;
};

}  // namespace

TEST_F(RecordFaults, FolderTakenAwayForTenMinutes) {
  const fs::path aside = root / "data.away";
  const std::string messages = replay(
      kSecondHour, [&] { fs::rename(data, aside); }, [&] { fs::rename(aside, data); });
  EXPECT_NE(messages.find("記録ファイルに書き込めません"), std::string::npos) << messages;
  expectEveryMinute();
}

TEST_F(RecordFaults, FolderReadOnlyForTenMinutes) {
  // Root writes through permissions: a read-only bind mount stands for the read-only
  // folder there.
  const bool root = ::geteuid() == 0;
  const std::string messages = replay(
      kSecondHour,
      [&] {
        if (!root) {
          fs::permissions(data, fs::perms::owner_read | fs::perms::owner_exec);
          return;
        }
        ASSERT_EQ(::mount(data.c_str(), data.c_str(), nullptr, MS_BIND, nullptr), 0);
        ASSERT_EQ(
            ::mount(nullptr, data.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
      },
      [&] {
        if (root)
          ASSERT_EQ(::umount(data.c_str()), 0);
        else
          fs::permissions(data, fs::perms::owner_all);
      });
  EXPECT_NE(messages.find("記録ファイルに書き込めません"), std::string::npos) << messages;
  expectEveryMinute();
}

TEST_F(RecordFaults, DiskFullForTenMinutes) {
  if (::geteuid() != 0) GTEST_SKIP() << "a small tmpfs needs root";
  // A full disk refuses only the write that needs a new page: the fault is put on the
  // ten minutes in which the day file grows past its first 4 KiB, found by a first run.
  replay(
      0, [] {}, [] {});
  size_t bytes = 0;
  int64_t crossing = 0;
  for (const auto& line : fileLines(data / dayFileName("20110919"))) {
    bytes += line.size() + 2;
    if (bytes > 4096) break;
    ++crossing;
  }
  ASSERT_LT(crossing, kHours * 60);
  fs::remove(data / dayFileName("20110919"));

  // A 64 KiB disk holding the day file; a filler takes the rest of it for ten minutes.
  ASSERT_EQ(::mount("tmpfs", data.c_str(), "tmpfs", 0, "size=64k"), 0);
  const fs::path filler = data / "filler";
  const std::string messages = replay((crossing - 5) * 60 + 17,
                                      [&] {
                                        std::ofstream out(filler, std::ios::binary);
                                        const std::string block(512, 'x');
                                        for (int i = 0; i < 1024 && out; ++i)
                                          out.write(block.data(), block.size());
                                        out.close();
                                        EXPECT_LT(fs::space(data).available, 4096u);
                                      },
                                      [&] { fs::remove(filler); });
  EXPECT_NE(messages.find("No space left on device"), std::string::npos) << messages;
  expectEveryMinute();
}

}  // namespace radmon::reliability
