#include "record_writer.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "day_record.h"
#include "file_bytes.h"
#include "temp_station.h"
#include "text_files.h"

namespace radmon {
namespace fs = std::filesystem;
using testing::readBytes;

class RecordWriterTest : public ::testing::Test {
 protected:
  void TearDown() override { fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add); }
  std::string contents(const std::string& day) { return readBytes(folder + dayFileName(day)); }
  ftp::testing::TempStation temp_{"radmon_records", "station", {}};
  const fs::path dir = temp_.program;
  const std::string folder = dir.string() + "/";
  RecordWriter writer;
};

TEST_F(RecordWriterTest, AppendsLineByLine) {
  EXPECT_TRUE(writer.append(folder, "20110919", "a\r\n"));
  EXPECT_TRUE(writer.append(folder, "20110919", "b\r\n"));
  EXPECT_TRUE(writer.append(folder, "20110920", "c\r\n"));
  EXPECT_EQ(contents("20110919"), "a\r\nb\r\n");
  EXPECT_EQ(contents("20110920"), "c\r\n");
}

TEST_F(RecordWriterTest, ALineTornByAPowerCutStaysApartFromTheNext) {
  std::ofstream(folder + dayFileName("20110919"), std::ios::binary) << "a\r\n\"2011/09/19\",\"10:0";
  EXPECT_TRUE(writer.append(folder, "20110919", "b\r\n"));
  EXPECT_TRUE(writer.append(folder, "20110919", "c\r\n"));
  EXPECT_EQ(contents("20110919"), "a\r\n\"2011/09/19\",\"10:0\r\nb\r\nc\r\n");
  // A line that lost only its LF is closed as well; an empty file is left as it is.
  std::ofstream(folder + dayFileName("20110920"), std::ios::binary) << "x\r";
  EXPECT_TRUE(writer.append(folder, "20110920", "y\r\n"));
  EXPECT_EQ(contents("20110920"), "x\r\r\ny\r\n");
  std::ofstream(folder + dayFileName("20110921"), std::ios::binary);
  EXPECT_TRUE(writer.append(folder, "20110921", "z\r\n"));
  EXPECT_EQ(contents("20110921"), "z\r\n");
}

TEST_F(RecordWriterTest, MissingFolderKeepsLinesUntilItIsBack) {
  const std::string gone = folder + "gone/";
  auto written = writer.append(gone, "20110919", "a\r\n");
  ASSERT_FALSE(written);
  const RecordKept* kept = &written.error();
  EXPECT_EQ(std::tie(kept->path, kept->fault.step, kept->fault.error, kept->keptLines),
            std::tuple(gone + dayFileName("20110919"), WriteStep::open, ENOENT, 1u));
  EXPECT_FALSE(writer.append(gone, "20110919", "b\r\n"));
  EXPECT_EQ(writer.keptLines(), 2u);
  fs::create_directories(gone);
  // Crossing midnight while the folder was gone: each line goes to its own day.
  EXPECT_TRUE(writer.append(gone, "20110920", "c\r\n"));
  EXPECT_EQ(writer.keptLines(), 0u);
  EXPECT_EQ(readBytes(gone + dayFileName("20110919")), "a\r\nb\r\n");
}

TEST_F(RecordWriterTest, ReadOnlyFolderKeepsLinesInOrder) {
  if (::geteuid() == 0) {
    // root writes through permission bits: a file in the way stands in for it.
    const std::string blocked = folder + "blocked";
    std::ofstream(blocked) << "";
    EXPECT_FALSE(writer.append(blocked + "/", "20110919", "a\r\n"));
    fs::remove(blocked);
    fs::create_directories(blocked);
    EXPECT_TRUE(writer.append(blocked + "/", "20110919", "b\r\n"));
    EXPECT_EQ(readBytes(blocked + "/" + dayFileName("20110919")), "a\r\nb\r\n");
    return;
  }
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(writer.append(folder, "20110919", "a\r\n"));
  fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
  EXPECT_TRUE(writer.append(folder, "20110919", "b\r\n"));
  EXPECT_EQ(contents("20110919"), "a\r\nb\r\n");
}

TEST(AppendWhole, FullDiskLeavesNoTornLine) {
  // A file size limit stands in for a full disk that takes part of a line: the first
  // write stops short, the next fails with EFBIG, and the part written must be cut
  // back. It needs no privilege, so it runs on every machine.
  const fs::path file =
      fs::temp_directory_path() / ("radmon_full_" + std::to_string(::getpid()) + ".csv");
  { std::ofstream(file, std::ios::binary) << "a\r\n"; }
  const std::string line = "\"2011/09/19\",\"00:00\",0,0,0,60\r\n";
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 3 + line.size() / 2;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto error = appendWhole(file.string(), line);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(error);
  EXPECT_EQ(readBytes(file), "a\r\n");
  fs::remove(file);
}

}  // namespace radmon
