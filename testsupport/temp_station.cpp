#include "temp_station.h"

#include <unistd.h>

#include <stdexcept>

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
  for (const char* name : programs) fs::copy_file(fs::path(PROGRAM_DIR) / name, program / name);
}

TempStation::~TempStation() {
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

}  // namespace radmon::ftp::testing
