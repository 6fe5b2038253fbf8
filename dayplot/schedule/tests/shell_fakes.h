// Fakes for the shell tests: a launcher that starts nothing and clients whose end the
// test decides, a program folder of the test's own, and the one QApplication.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "file_bytes.h"
#include "process_launcher.h"
#include "qt_app.h"
#include "temp_station.h"

namespace radmon::testing {

using radmon::testApp;

// A client that runs until the test sets its outcome.
struct FakeClient final : StartedProcess {
  std::shared_ptr<std::optional<ProcessOutcome>> outcome =
      std::make_shared<std::optional<ProcessOutcome>>();
  ProcessOutcome wait(std::chrono::milliseconds) override {
    return outcome->value_or(ProcessOutcome{});
  }
  std::optional<ProcessOutcome> poll() override {
    auto result = *outcome;
    if (result) outcome->reset();  // reported once, like a reaped process
    return result;
  }
};

struct FakeLauncher final : ProcessLauncher {
  std::vector<ProgramCommand> started;
  std::vector<std::shared_ptr<std::optional<ProcessOutcome>>> outcomes;
  std::expected<std::unique_ptr<StartedProcess>, int> start(
      const ProgramCommand& command) override {
    started.push_back(command);
    auto client = std::make_unique<FakeClient>();
    outcomes.push_back(client->outcome);
    return client;
  }
  // Ends the n-th client started.
  void end(size_t n, int status, std::string output = {}) {
    *outcomes.at(n) = ProcessOutcome{true, status, std::move(output)};
  }
};

// A fresh program folder with its data folder, removed afterwards.
class ProgramFolder {
 public:
  std::string path() const { return dir_.string() + "/"; }
  std::string data() const { return path() + "data/"; }
  void write(const std::string& relative, const std::string& bytes) const {
    std::ofstream(dir_ / relative, std::ios::binary) << bytes;
  }
  std::string read(const std::string& relative) const { return readBytes(dir_ / relative); }
  bool exists(const std::string& relative) const {
    return std::filesystem::exists(dir_ / relative);
  }
  // A day file of two segments in the data folder.
  void writeDay(const std::string& yyyymmdd) const {
    const std::string date =
        yyyymmdd.substr(0, 4) + "/" + yyyymmdd.substr(4, 2) + "/" + yyyymmdd.substr(6, 2);
    std::string text;
    for (const char* time : {"09:00", "09:01", "09:02", "15:30", "15:31"})
      text += "\"" + date + "\",\"" + time + "\",0.5,10,100,60\r\n";
    write("data/μSVHData" + yyyymmdd + ".csv", text);
  }

 private:
  ftp::testing::TempStation station_{"dayplot_shell", "program", {}};
  const std::filesystem::path& dir_ = station_.program;
};

}  // namespace radmon::testing
