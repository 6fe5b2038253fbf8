#include "temp_station.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include <stdexcept>

#include "build_paths.h"
#include "text_files.h"

namespace radmon::ftp::testing {
namespace {

namespace fs = std::filesystem;

fs::path freshFolder(const std::string& prefix) {
  std::string pattern = "/tmp/" + prefix + "_XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp " + pattern);
  return pattern;
}

}  // namespace

TempStation::TempStation(const std::string& prefix, const std::string& programFolder,
                         std::initializer_list<const char*> programs)
    : dir(freshFolder(prefix)),
      root(dir / "root"),
      program(dir / programFolder),
      data(dataFolder(program.string() + "/")) {
  fs::create_directories(root);
  fs::create_directories(data);
  for (const char* name : programs)
    fs::copy_file(fs::path(::radmon::testing::programDir()) / name, program / name);
}

TempStation::~TempStation() {
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

void TempStation::writeRatemonSettings(const std::string& sensitivity, const std::string& record,
                                       const std::string& ticks) const {
  std::ofstream(program / "ratemon.ini", std::ios::binary)
      << "\"50\",\"3\",\"10\",\"" << sensitivity << "\",\"0.27\",\"2.7\",\"" << program.string()
      << "/" << record << "\"," << ticks << ",\"0\"\r\n";
}

int TempStation::run(const std::string& command) const {
  const std::string line = "cd '" + program.string() + "' && " + command + " >out.txt 2>err.txt";
  const int status = std::system(line.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace radmon::ftp::testing
