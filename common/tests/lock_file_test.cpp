#include "lock_file.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

namespace radmon {
namespace fs = std::filesystem;

namespace {
// Whether another process can take the lock at `path` (locks are per open file, so a
// second LockFile in this process would not tell).
bool otherProcessCanTake(const std::string& path) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    LockFile other;
    const bool ok = other.take(path).has_value();
    other.release();
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
}  // namespace

TEST(LockFile, SecondHolderIsRefusedUntilRelease) {
  const std::string path = (fs::temp_directory_path() / "radmon_lock_test.tmp").string();
  fs::remove(path);
  LockFile lock;
  ASSERT_TRUE(lock.take(path));
  EXPECT_TRUE(fs::exists(path));
  EXPECT_FALSE(otherProcessCanTake(path));
  lock.release();
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(otherProcessCanTake(path));
}

TEST(LockFile, StaleFileOfADeadProcessDoesNotBlock) {
  const std::string path = (fs::temp_directory_path() / "radmon_lock_stale.tmp").string();
  const pid_t pid = ::fork();
  if (pid == 0) {
    LockFile lock;
    lock.take(path);
    ::_exit(0);  // dies holding it, as a crash would
  }
  ::waitpid(pid, nullptr, 0);
  EXPECT_TRUE(fs::exists(path));
  LockFile lock;
  EXPECT_TRUE(lock.take(path));
}

TEST(LockFile, UnopenableFileIsReported) {
  LockFile lock;
  const auto taken = lock.take("/nonexistent-folder/~Record.tmp");
  ASSERT_FALSE(taken);
  EXPECT_FALSE(taken.error().inUse);
  EXPECT_EQ(taken.error().error, ENOENT);
}

}  // namespace radmon
