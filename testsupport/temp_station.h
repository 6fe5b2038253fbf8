// A station of the test's own for end-to-end runs: a fresh folder under /tmp that
// holds the FTP server's root and a program folder with its data folder and copies of
// the built programs, so that each program finds its files beside itself as it would
// on a real station. Removed with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>

namespace radmon::ftp::testing {

class TempStation {
 public:
  // `prefix` names the folder under /tmp; `programFolder` the program folder inside it
  // (spaces welcome); `programs` are copied there from the build's program folder.
  TempStation(const std::string& prefix, const std::string& programFolder,
              std::initializer_list<const char*> programs);
  ~TempStation();
  TempStation(const TempStation&) = delete;
  TempStation& operator=(const TempStation&) = delete;

  // Writes ratemon.ini in the program folder: the design values with `sensitivity`, a
  // record path inside the program folder and the three tick boxes as saved.
  void writeRatemonSettings(const std::string& sensitivity = "18",
                            const std::string& record = "data/μSVHData_nnnntthh.csv",
                            const std::string& ticks = "1,0,1") const;
  // Runs `command` through the shell in the program folder with its output in out.txt
  // and err.txt there; the exit status, or -1 when it did not exit.
  int run(const std::string& command) const;

  const std::filesystem::path dir;      // everything of the test
  const std::filesystem::path root;     // served by the FTP server
  const std::filesystem::path program;  // the program folder
  const std::filesystem::path data;     // its data folder
};

}  // namespace radmon::ftp::testing
